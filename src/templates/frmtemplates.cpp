#include "templates/frmtemplates.h"

#include "platform/prompts.h"
#include "templates/folderlist.h"
#include "templates/templatelibrary.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace templates {

namespace {

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const QString &name, const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

} // namespace

FrmTemplates::FrmTemplates(QWidget *parent)
    : QDialog(parent), m_drives(new QComboBox(this)), m_folders(new FolderList(this)),
      m_files(new QListWidget(this)), m_path(new QLineEdit(this)), m_entries(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(QStringLiteral("Install Template"));
    setModal(true);

    m_drives->setObjectName(QStringLiteral("drvTemplates"));
    m_folders->setObjectName(QStringLiteral("DirTemplates"));
    m_files->setObjectName(QStringLiteral("fleTemplates"));
    m_path->setObjectName(QStringLiteral("txtTemplates"));
    m_entries->setObjectName(QStringLiteral("lstTemplates"));
    m_drives->addItems(driveRoots());
    m_folders->setMinimumSize(230, 200);
    m_files->setMinimumSize(200, 200);
    m_entries->setMinimumHeight(110);
    m_entries->setSelectionMode(QAbstractItemView::SingleSelection);

    QPushButton *add = button(QStringLiteral("Command1"), QStringLiteral("&add"), this);
    QPushButton *remove = button(QStringLiteral("Command2"), QStringLiteral("Delete"), this);
    QPushButton *clear = button(QStringLiteral("Command4"), QStringLiteral("&Clear"), this);
    QPushButton *import = button(QStringLiteral("Command3"), QStringLiteral("&Import"), this);

    auto *pick = new QGridLayout;
    pick->addWidget(label(QStringLiteral("Label1"), QStringLiteral("D&rive:"), m_drives, this), 0, 0);
    pick->addWidget(m_drives, 1, 0);
    pick->addWidget(label(QStringLiteral("Label2"), QStringLiteral("&Folder:"), m_folders, this), 2, 0);
    pick->addWidget(m_folders, 3, 0);
    pick->addWidget(
        label(QStringLiteral("Label3"), QStringLiteral("Template &files (*.qpt):"), m_files, this), 2, 1);
    pick->addWidget(m_files, 3, 1);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(add);

    auto *listButtons = new QVBoxLayout;
    listButtons->addWidget(remove);
    listButtons->addWidget(clear);
    listButtons->addStretch(1);
    listButtons->addWidget(import);
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(m_entries, 1);
    listRow->addLayout(listButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(pick);
    layout->addWidget(label(QStringLiteral("Label4"), QStringLiteral("&Path:"), m_path, this));
    layout->addLayout(pathRow);
    layout->addWidget(
        label(QStringLiteral("Label5"), QStringLiteral("Templates to &install:"), m_entries, this));
    layout->addLayout(listRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_drives, &QComboBox::activated, this, &FrmTemplates::driveChosen);
    connect(m_folders, &FolderList::pathChanged, this, &FrmTemplates::folderChanged);
    connect(m_files, &QListWidget::itemClicked, this, &FrmTemplates::fileClicked);
    connect(m_files, &QListWidget::itemActivated, this, &FrmTemplates::fileClicked);
    connect(add, &QPushButton::clicked, this, &FrmTemplates::addEntry);
    connect(m_path, &QLineEdit::returnPressed, this, &FrmTemplates::addEntry);
    connect(remove, &QPushButton::clicked, this, &FrmTemplates::deleteEntry);
    connect(clear, &QPushButton::clicked, this, &FrmTemplates::clearEntries);
    connect(import, &QPushButton::clicked, this, &FrmTemplates::importEntries);

    goToFolder(QDir::currentPath());
    adjustSize();
}

void FrmTemplates::goToFolder(const QString &folder)
{
    const QString drive = driveOf(folder);
    {
        const QSignalBlocker quiet(m_drives);
        if (m_drives->findText(drive) < 0)
            m_drives->addItem(drive);
        m_drives->setCurrentIndex(m_drives->findText(drive));
    }
    m_folders->setPath(folder);
    folderChanged(m_folders->path());
}

QStringList FrmTemplates::installList() const
{
    QStringList entries;
    for (int i = 0; i < m_entries->count(); ++i)
        entries << m_entries->item(i)->text();
    return entries;
}

void FrmTemplates::driveChosen(int index)
{
    if (index >= 0)
        m_folders->setPath(m_drives->itemText(index));
}

void FrmTemplates::folderChanged(const QString &folder)
{
    m_files->clear();
    m_files->addItems(listFiles(folder, QStringLiteral("*.qpt")));
}

void FrmTemplates::fileClicked()
{
    const QListWidgetItem *item = m_files->currentItem();
    if (!item)
        return;
    const QString folder = m_folders->path();
    m_path->setText(folder.endsWith(QLatin1Char('/')) ? folder + item->text()
                                                      : folder + QLatin1Char('/') + item->text());
}

void FrmTemplates::addEntry()
{
    m_entries->addItem(m_path->text());
    m_path->clear();
}

void FrmTemplates::deleteEntry()
{
    const QList<QListWidgetItem *> selected = m_entries->selectedItems();
    if (selected.isEmpty()) {
        platform::beep();
        return;
    }
    delete selected.constFirst();
    m_entries->clearSelection();
}

void FrmTemplates::clearEntries()
{
    m_entries->clear();
}

void FrmTemplates::importEntries()
{
    installTemplates(installList(), templateFolder());
    accept();
}

} // namespace templates
