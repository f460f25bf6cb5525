#include "projects/frmproject.h"

#include "documents/fileops.h"
#include "platform/apphelpers.h"
#include "projects/modprojectlist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace projects {

namespace {

QPointer<FrmProject> g_window;

const QString kDrive = QStringLiteral("Drive");

} // namespace

const QList<QPair<QString, QString>> &FrmProject::actions()
{
    static const QList<QPair<QString, QString>> list{
        {QStringLiteral("&Add File"), QStringLiteral("AddFile")},
        {QStringLiteral("&Drop File"), QStringLiteral("DropFile")},
        {QStringLiteral("Do&wnload"), QStringLiteral("DeleteFile")},
        {QStringLiteral("&Save"), QStringLiteral("SaveFile")},
        {QStringLiteral("&Close"), QStringLiteral("ExtractFile")},
        {QStringLiteral("&Open"), QStringLiteral("OpenFile")},
    };
    return list;
}

FrmProject *FrmProject::instance()
{
    return g_window;
}

FrmProject *FrmProject::load()
{
    if (!g_window)
        g_window = new FrmProject(platform::frameWindow());
    return g_window;
}

void FrmProject::showWindow()
{
    FrmProject *w = load();
    w->show();
    w->raise();
    w->activateWindow();
}

FrmProject::FrmProject(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmProject"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Project List"));
    buildControls();

    m_cboPrjMode->addItems({kDrive, QStringLiteral("Local"), QStringLiteral("Network")});
    connect(m_cboPrjMode, &QComboBox::currentTextChanged, this, &FrmProject::onModeChanged);
    m_cboPrjMode->setCurrentIndex(0);
    onModeChanged();

    setFixedSize(620, 440);
}

void FrmProject::buildControls()
{
    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    m_lblProjectName = new QLabel(QStringLiteral("Project Name"), this);
    named(m_lblProjectName, "lblProjectName");
    m_txtProjectName = new QLineEdit(this);
    named(m_txtProjectName, "txtProjectName");
    // Nothing reads the box back; saving always asks for a name.
    m_txtProjectName->setReadOnly(true);

    m_modeLabel = new QLabel(QStringLiteral("Mode:"), this);
    named(m_modeLabel, "Label1");
    m_cboPrjMode = new QComboBox(this);
    named(m_cboPrjMode, "cboPrjMode");

    m_fraUrlInfo = new QGroupBox(QStringLiteral("Network Settings"), this);
    named(m_fraUrlInfo, "fraUrlInfo");
    m_urlLabel = new QLabel(QStringLiteral("Url:"), m_fraUrlInfo);
    named(m_urlLabel, "Label2");
    m_txtUrl = new QLineEdit(m_fraUrlInfo);
    named(m_txtUrl, "txtUrl");
    m_chkUploadonSave = new QCheckBox(QStringLiteral("Upload On Save"), m_fraUrlInfo);
    named(m_chkUploadonSave, "chkUploadonSave");
    auto *net = new QHBoxLayout(m_fraUrlInfo);
    net->addWidget(m_urlLabel);
    net->addWidget(m_txtUrl, 1);
    net->addWidget(m_chkUploadonSave);

    m_prjList = new QTreeWidget(this);
    named(m_prjList, "prjList");
    m_prjList->setColumnCount(3);
    m_prjList->setHeaderLabels(
        {QStringLiteral("FileTitle"), QStringLiteral("FilePath"), QStringLiteral("Date Created")});
    m_prjList->setRootIsDecorated(false);
    m_prjList->setUniformRowHeights(true);
    m_prjList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_prjList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_prjList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_prjList->setTextElideMode(Qt::ElideMiddle);
    m_prjList->header()->setSectionResizeMode(QHeaderView::Stretch); // three equal columns
    m_prjList->header()->setSectionsMovable(false);
    connect(m_prjList, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedFile(); });
    // The list, not the read-only name box, takes the keys when the window opens.
    m_prjList->setFocus();

    auto *buttons = new QVBoxLayout;
    const auto &acts = actions();
    for (int i = 0; i < acts.size(); ++i) {
        auto *b = new QPushButton(acts[i].first, this);
        named(b, "cmdAction");
        b->setProperty("index", i);
        b->setProperty("tag", acts[i].second);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        m_cmdAction << b;
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    // The report can name many files; it scrolls rather than stretch the window.
    m_lblStatus = new QLabel(this);
    named(m_lblStatus, "lblStatus");
    m_lblStatus->setTextFormat(Qt::PlainText);
    m_lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *statusArea = new QScrollArea(this);
    statusArea->setObjectName(QStringLiteral("statusArea"));
    statusArea->setWidget(m_lblStatus);
    statusArea->setWidgetResizable(true);
    statusArea->setFrameShape(QFrame::StyledPanel);
    statusArea->setFixedHeight(64);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_lblProjectName, 0, 0);
    grid->addWidget(m_txtProjectName, 0, 1, 1, 3);
    grid->addWidget(m_modeLabel, 1, 0);
    grid->addWidget(m_cboPrjMode, 1, 1);
    grid->addWidget(m_fraUrlInfo, 1, 2, 1, 2);
    grid->addWidget(m_prjList, 2, 0, 1, 3);
    grid->addLayout(buttons, 2, 3);
    grid->addWidget(statusArea, 3, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
}

void FrmProject::onModeChanged()
{
    m_fraUrlInfo->setEnabled(m_cboPrjMode->currentText() != kDrive);
}

void FrmProject::setProjectName(const QString &path)
{
    m_txtProjectName->setText(path);
}

void FrmProject::setStatus(const QString &report)
{
    m_lblStatus->setText(report);
}

void FrmProject::showRows(const QList<ProjectRow> &rows)
{
    m_prjList->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const ProjectRow &r : rows) {
        auto *item = new QTreeWidgetItem({r.title, r.folder, r.created});
        item->setToolTip(0, r.folder.isEmpty() ? r.title : r.folder + QLatin1Char('/') + r.title);
        items << item;
    }
    m_prjList->addTopLevelItems(items);
}

void FrmProject::cmdAction_Click(int index)
{
    if (index < 0 || index >= m_cmdAction.size())
        return;
    const QString command = m_cmdAction[index]->property("tag").toString().toUpper();
    if (command == QLatin1String("ADDFILE"))
        AddFileFromDialog();
    else if (command == QLatin1String("DROPFILE"))
        DropSelectedFile();
    else if (command == QLatin1String("SAVEFILE"))
        LoadSaveProject();
    else if (command == QLatin1String("OPENFILE"))
        LoadOpenProject();
    // "DELETEFILE" (Download) and "EXTRACTFILE" (Close) carry no action.
}

void FrmProject::AddFileFromDialog()
{
    m_cdiaFile.showOpen();
    const QString name = m_cdiaFile.makeFileNameAbsolute();
    if (name.trimmed().isEmpty())
        return;
    AddProjectFile(name);
}

void FrmProject::LoadSaveProject()
{
    m_cdProject.setFilter(QStringLiteral("Quillpad Project | *.QPP"));
    m_cdProject.showSave();
    const QString name = m_cdProject.makeFileNameAbsolute();
    if (name.trimmed().isEmpty())
        return;
    SaveProject(name);
}

void FrmProject::LoadOpenProject()
{
    m_cdProject.setFilter(QStringLiteral("Quillpad Project | *QPP"));
    m_cdProject.showOpen();
    const QString name = m_cdProject.makeFileNameAbsolute();
    if (name.trimmed().isEmpty())
        return;
    LoadProject(name);
}

int FrmProject::selectedIndex() const
{
    const QList<QTreeWidgetItem *> sel = m_prjList->selectedItems();
    if (sel.isEmpty())
        return -1;
    return m_prjList->indexOfTopLevelItem(sel.constFirst());
}

void FrmProject::DropSelectedFile()
{
    const int index = selectedIndex();
    if (index >= 0)
        RemoveProjectFile(index);
}

void FrmProject::OpenSelectedFile()
{
    const int index = selectedIndex();
    if (index < 0 || index >= gFileCount())
        return;
    // The entry's own path: rebuilding it from the two columns would not
    // give back a name that holds "\".
    fileops::OpenFile(gFiles(index).path());
}

} // namespace projects
