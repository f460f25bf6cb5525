#include "templates/frmnew.h"

#include "documents/documents.h"
#include "documents/textfile.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "templates/commands.h"
#include "templates/frmtemplates.h"
#include "templates/templatelibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace templates {

namespace {

QPointer<FrmNew> g_instance;

// Where the templates can be had; shown when the folder is missing.
const char *const DownloadAddress = "https://example.org/quillpad";

// The label shows line breaks as breaks; a CR alone breaks the line too.
QString previewText(const QByteArray &bytes)
{
    QString text = decodeFileText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

FrmNew::FrmNew(QWidget *parent) : QDialog(parent), m_files(new QListWidget(this)), m_preview(new QLabel(this))
{
    setObjectName(QStringLiteral("frmNew"));
    setWindowTitle(QStringLiteral("New Document"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;

    m_files->setObjectName(QStringLiteral("File1"));
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);
    m_files->setMinimumSize(220, 240);

    m_preview->setObjectName(QStringLiteral("lblPreview"));
    // A template's text is shown as it is, never read as markup.
    m_preview->setTextFormat(Qt::PlainText);
    m_preview->setWordWrap(true);
    m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setFrameShadow(QFrame::Sunken);
    m_preview->setMargin(6);
    // A fixed width: a line too long to wrap is cut at the edge instead of
    // widening the dialog.
    m_preview->setFixedWidth(260);
    m_preview->setMinimumHeight(240);
    m_preview->setBackgroundRole(QPalette::Base);
    m_preview->setAutoFillBackground(true);
    m_preview->setTextInteractionFlags(Qt::NoTextInteraction);
    m_preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *templatesLabel = new QLabel(QStringLiteral("&Templates:"), this);
    templatesLabel->setObjectName(QStringLiteral("Label1"));
    templatesLabel->setBuddy(m_files);
    auto *previewLabel = new QLabel(QStringLiteral("Preview:"), this);
    previewLabel->setObjectName(QStringLiteral("Label2"));

    QPushButton *create = button(QStringLiteral("Command1"), QStringLiteral("&Create"), this);
    QPushButton *blank = button(QStringLiteral("Command4"), QStringLiteral("&Blank"), this);
    QPushButton *import = button(QStringLiteral("Command2"), QStringLiteral("&Import"), this);
    QPushButton *cancel = button(QStringLiteral("Command3"), QStringLiteral("C&ancel"), this);
    create->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(templatesLabel, 0, 0);
    grid->addWidget(previewLabel, 0, 1);
    grid->addWidget(m_files, 1, 0);
    grid->addWidget(m_preview, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(import);
    buttons->addStretch(1);
    buttons->addWidget(create);
    buttons->addWidget(blank);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_files, &QListWidget::itemClicked, this, &FrmNew::showPreview);
    // Choosing by keyboard (arrows, Space) previews as a click does.
    connect(m_files, &QListWidget::itemSelectionChanged, this, &FrmNew::showPreview);
    // Enter reaches "&Create" as the default button; a double-click creates too.
    connect(m_files, &QListWidget::itemDoubleClicked, this, &FrmNew::createDocument);
    connect(create, &QPushButton::clicked, this, &FrmNew::createDocument);
    connect(blank, &QPushButton::clicked, this, &FrmNew::blankDocument);
    connect(import, &QPushButton::clicked, this, &FrmNew::importTemplates);
    connect(cancel, &QPushButton::clicked, this, &FrmNew::close);
    // Sized now, so it can be centred before it is first shown.
    adjustSize();
}

FrmNew *FrmNew::instance()
{
    return g_instance;
}

void FrmNew::load()
{
    const QStringList folders = templateFolders();
    if (!QFileInfo::exists(folders.constFirst()) && !QFileInfo(folders.constFirst()).isSymLink()) {
        QDir().mkpath(folders.constFirst());
        // Shipped templates beside an installed program are still there to choose.
        const bool others = std::any_of(folders.cbegin() + 1, folders.cend(),
                                        [](const QString &f) { return QFileInfo(f).isDir(); });
        if (!others)
            platform::message(QStringLiteral("There are no installed templates, please visit our website: ") +
                              QLatin1String(DownloadAddress) + QStringLiteral(" to download the template"));
    }
    refreshList();
}

void FrmNew::refreshList()
{
    const QString keep = selectedName();
    m_files->blockSignals(true);
    m_files->clear();
    for (const TemplateEntry &entry : listTemplateEntries(templateFolders())) {
        auto *item = new QListWidgetItem(entry.name, m_files);
        item->setData(Qt::UserRole, entry.path);
    }
    const QList<QListWidgetItem *> same =
        keep.isEmpty() ? QList<QListWidgetItem *>() : m_files->findItems(keep, Qt::MatchExactly);
    if (!same.isEmpty())
        m_files->setCurrentItem(same.constFirst());
    m_files->blockSignals(false);
    if (same.isEmpty())
        m_preview->clear();
}

QString FrmNew::selectedName() const
{
    const QList<QListWidgetItem *> sel = m_files->selectedItems();
    return sel.isEmpty() ? QString() : sel.constFirst()->text();
}

QString FrmNew::selectedPath() const
{
    const QList<QListWidgetItem *> sel = m_files->selectedItems();
    return sel.isEmpty() ? QString() : sel.constFirst()->data(Qt::UserRole).toString();
}

void FrmNew::showPreview()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    m_preview->setText(previewText(previewBytes(path)));
}

void FrmNew::createDocument()
{
    // With nothing chosen the path names the folder itself, which cannot be
    // read: the read question tells the user so.
    const QString path = selectedPath();
    NewDocumentFromTemplate(path.isEmpty() ? templateFolder() + QLatin1Char('/') : path);
}

void FrmNew::blankDocument()
{
    documents::NewDocument();
    close();
}

void FrmNew::importTemplates()
{
    QPointer<FrmNew> self(this);
    QPointer<FrmTemplates> installer = new FrmTemplates(this);
    platform::CenterWindow(installer);
    installer->exec();
    delete installer;
    if (self)
        refreshList();
}

} // namespace templates
