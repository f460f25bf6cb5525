#include "tools/frmfindinfiles.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"
#include "projects/modprojectlist.h"
#include "projects/projectlist.h"
#include "tools/findjob.h"
#include "tools/findresults.h"
#include "tools/openresult.h"
#include "tools/toolwindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

namespace tools {

namespace {
const QString kName = QStringLiteral("frmFindInFiles");
}

FrmFindInFiles *FrmFindInFiles::instance()
{
    QWidget *frame = platform::frameWindow();
    return frame ? frame->findChild<FrmFindInFiles *>(kName, Qt::FindDirectChildrenOnly) : nullptr;
}

FrmFindInFiles *FrmFindInFiles::showFor(DocumentWindow *doc)
{
    FrmFindInFiles *w = instance();
    const bool fresh = !w;
    if (fresh)
        w = new FrmFindInFiles(platform::frameWindow());
    if (doc) {
        const QString selected = doc->textControl()->selectedString();
        if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) &&
            !selected.contains(QLatin1Char('\r')))
            w->txtFind->setText(selected);
        const DocumentRecord &rec = DocumentRegistry::instance().record(doc->slot());
        if (!rec.Path.isEmpty())
            w->txtFolder->setText(QDir::toNativeSeparators(QFileInfo(rec.Path).absolutePath()));
    }
    if (fresh) {
        showTool(w);
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
    w->txtFind->setFocus();
    w->txtFind->selectAll();
    return w;
}

FrmFindInFiles::FrmFindInFiles(QWidget *parent)
    : QWidget(parent, Qt::Tool), m_model(new FindResultModel(this))
{
    setObjectName(kName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Find in Files"));
    auto named = [](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    txtFind = named(new QLineEdit(this), "txtFind");
    txtFolder = named(new QLineEdit(QDir::toNativeSeparators(QDir::currentPath()), this), "txtFolder");
    cmdBrowse = named(new QPushButton(QStringLiteral("&Browse..."), this), "cmdBrowse");
    txtPatterns = named(new QLineEdit(QStringLiteral("*"), this), "txtPatterns");
    chkMatchCase = named(new QCheckBox(QStringLiteral("Match &Case"), this), "chkMatchCase");
    chkWholeWord = named(new QCheckBox(QStringLiteral("&Whole Word"), this), "chkWholeWord");
    chkRegex = named(new QCheckBox(QStringLiteral("Regular E&xpression"), this), "chkRegex");
    chkProjectList =
        named(new QCheckBox(QStringLiteral("Search the files of the &project list"), this), "chkProjectList");
    cmdFind = named(new QPushButton(QStringLiteral("&Find"), this), "cmdFind");
    cmdStop = named(new QPushButton(QStringLiteral("S&top"), this), "cmdStop");
    cmdStop->setEnabled(false);
    cmdFind->setDefault(true);
    treeResults = named(new QTreeView(this), "treeResults");
    treeResults->setModel(m_model);
    treeResults->setItemDelegate(new FindResultDelegate(treeResults));
    treeResults->setRootIsDecorated(false);
    treeResults->setUniformRowHeights(true);
    treeResults->setHeaderHidden(true);
    treeResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lblSummary = named(new QLabel(this), "lblSummary");
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *grid = new QGridLayout(this);
    const auto label = [this](const char *text, QWidget *buddy) {
        auto *l = new QLabel(QString::fromUtf8(text), this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("Fi&nd:", txtFind), 0, 0);
    grid->addWidget(txtFind, 0, 1, 1, 2);
    grid->addWidget(cmdFind, 0, 3);
    grid->addWidget(label("F&older:", txtFolder), 1, 0);
    grid->addWidget(txtFolder, 1, 1);
    grid->addWidget(cmdBrowse, 1, 2);
    grid->addWidget(cmdStop, 1, 3);
    grid->addWidget(label("File p&atterns:", txtPatterns), 2, 0);
    grid->addWidget(txtPatterns, 2, 1, 1, 2);
    auto *options = new QHBoxLayout;
    for (QCheckBox *c : {chkMatchCase, chkWholeWord, chkRegex, chkProjectList})
        options->addWidget(c);
    options->addStretch();
    grid->addLayout(options, 3, 0, 1, 4);
    grid->addWidget(treeResults, 4, 0, 1, 4);
    grid->addWidget(lblSummary, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    resize(760, 520);

    connect(cmdFind, &QPushButton::clicked, this, &FrmFindInFiles::Find);
    connect(txtFind, &QLineEdit::returnPressed, this, &FrmFindInFiles::Find);
    connect(cmdStop, &QPushButton::clicked, this, &FrmFindInFiles::Stop);
    connect(cmdBrowse, &QPushButton::clicked, this, &FrmFindInFiles::browse);
    connect(chkProjectList, &QCheckBox::toggled, this, [this](bool on) {
        txtFolder->setEnabled(!on);
        cmdBrowse->setEnabled(!on);
    });
    connect(treeResults, &QTreeView::activated, this, [this](const QModelIndex &i) { openRow(i.row()); });
    auto *next = new QShortcut(QKeySequence(Qt::Key_F8), this);
    auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), this);
    connect(next, &QShortcut::activated, this, [this] { step(1); });
    connect(previous, &QShortcut::activated, this, [this] { step(-1); });
    m_tick.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, &FrmFindInFiles::showSummary);
    m_feeding.setInterval(0);
    connect(&m_feeding, &QTimer::timeout, this, &FrmFindInFiles::feed);
}

FrmFindInFiles::~FrmFindInFiles() = default;

bool FrmFindInFiles::isSearching() const
{
    return m_job && !m_userStopped && !m_job->stats().finished;
}

void FrmFindInFiles::browse()
{
    const QString folder =
        platform::prompts().chooseFile(platform::FileMode::Folder, {}, 0, txtFolder->text().trimmed());
    if (!folder.isEmpty())
        txtFolder->setText(QDir::toNativeSeparators(folder));
}

void FrmFindInFiles::Find()
{
    FindJob::Request r;
    r.options.text = txtFind->text();
    r.options.matchCase = chkMatchCase->isChecked();
    r.options.wholeWord = chkWholeWord->isChecked();
    r.options.regex = chkRegex->isChecked();
    r.folder = QDir::fromNativeSeparators(txtFolder->text().trimmed());
    r.patterns = txtPatterns->text();
    r.listed = chkProjectList->isChecked();
    if (r.listed) {
        r.files = projects::projectList().paths();
        if (r.files.isEmpty()) {
            platform::message(QStringLiteral("The project list holds no files to search."));
            return;
        }
    }
    // The old search ends first; its threads finish on their own.
    if (m_job)
        m_job->stop();
    auto job = std::make_unique<FindJob>();
    FindJob *raw = job.get();
    connect(
        raw, &FindJob::resultsReady, this, [this, raw] { takeResults(raw); }, Qt::QueuedConnection);
    connect(
        raw, &FindJob::finished, this, [this, raw] { searchEnded(raw); }, Qt::QueuedConnection);
    QString error;
    if (!job->start(r, &error)) {
        platform::message(error, platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    m_model->clear();
    m_job = std::move(job);
    m_userStopped = false;
    cmdStop->setEnabled(true);
    m_tick.start();
    showSummary();
}

void FrmFindInFiles::Stop()
{
    if (!m_job || m_userStopped)
        return;
    m_userStopped = true;
    m_job->stop();
    cmdStop->setEnabled(false);
    m_tick.stop();
    showSummary();
}

void FrmFindInFiles::takeResults(FindJob *job)
{
    if (job != m_job.get() || m_userStopped)
        return;
    m_model->queue(job->takeResults());
    feed();
}

void FrmFindInFiles::feed()
{
    if (m_userStopped) {
        m_feeding.stop();
        return;
    }
    m_model->addQueued(RowsPerTurn);
    if (m_model->hasQueued())
        m_feeding.start();
    else
        m_feeding.stop();
}

void FrmFindInFiles::searchEnded(FindJob *job)
{
    if (job != m_job.get())
        return;
    m_tick.stop();
    cmdStop->setEnabled(false);
    if (!m_userStopped) {
        m_model->queue(job->takeResults());
        feed();
    }
    showSummary();
    const FindJob::Stats s = job->stats();
    if (!s.problem.isEmpty() && !s.capped)
        platform::message(s.problem, platform::Buttons::Ok, platform::Icon::Exclamation);
}

void FrmFindInFiles::showSummary()
{
    if (!m_job)
        return;
    FindJob::Stats s = m_job->stats();
    if (m_userStopped) {
        s.finished = true;
        s.problem.clear();
        s.capped = false;
    }
    QStringList lines{summaryText(s)};
    const QString skipped = skippedText(s);
    if (!skipped.isEmpty())
        lines << skipped;
    if (!s.problem.isEmpty())
        lines << s.problem;
    lblSummary->setText(lines.join(QLatin1Char('\n')));
}

void FrmFindInFiles::openRow(int row)
{
    const FileHits *file = m_model->fileOf(row);
    if (!file || file->lines.empty())
        return;
    const LineHit *hit = m_model->hitOf(row);
    if (!hit)
        hit = &file->lines.front();
    openResult(file->path, hit->line, hit->byteColumn, hit->byteLength);
}

void FrmFindInFiles::step(int direction)
{
    const int rows = m_model->rowCount();
    int row = treeResults->currentIndex().isValid() ? treeResults->currentIndex().row()
                                                    : (direction > 0 ? -1 : rows);
    do
        row += direction;
    while (row >= 0 && row < rows && m_model->isFile(row));
    if (row < 0 || row >= rows) {
        platform::beep();
        return;
    }
    treeResults->setCurrentIndex(m_model->index(row));
    openRow(row);
}

} // namespace tools
