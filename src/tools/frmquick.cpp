#include "tools/frmquick.h"

#include "documents/fileprompts.h"
#include "platform/apphelpers.h"
#include "tools/filescan.h"
#include "tools/toolwindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

namespace tools {

namespace {
QPointer<FrmQuick> g_quick;

const char *const Instructions = "Instructions: Enter text into the box labelled search. Then click scan. a "
                                 "box will open for you to select a "
                                 "file. open the file, and Quillpad will scan the file to see if the string "
                                 "appears. if it appears it will "
                                 "display in the box labelled results.";
} // namespace

FrmQuick *FrmQuick::instance()
{
    return g_quick;
}

FrmQuick *FrmQuick::showQuick()
{
    if (!g_quick)
        g_quick = new FrmQuick(platform::frameWindow());
    showTool(g_quick);
    return g_quick;
}

FrmQuick::FrmQuick(QWidget *parent) : QWidget(parent, Qt::Tool), m_pieceBytes(FileScan::DefaultPieceBytes)
{
    setObjectName(QStringLiteral("frmQuick"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quick Scan"));

    auto named = [this](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    m_searchLabel = named(new QLabel(QStringLiteral("Search"), this), "Label1");
    m_searchBox = named(new QLineEdit(this), "Text1");
    m_searchLabel->setBuddy(m_searchBox);
    m_scanButton = named(new QPushButton(QStringLiteral("&Scan"), this), "Command1");
    m_resultsLabel = named(new QLabel(QStringLiteral("Results"), this), "Label2");
    m_resultList = named(new QListWidget(this), "List1");
    m_resultsLabel->setBuddy(m_resultList);
    m_progress = named(new QProgressBar(this), "prgScan");
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    // Keeps its place while hidden, so nothing jumps when a scan starts.
    QSizePolicy keep = m_progress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keep);
    m_progress->hide();
    m_instructions = named(new QLabel(QString::fromLatin1(Instructions), this), "Label3");
    m_instructions->setWordWrap(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_searchLabel, 0, 0, 1, 2);
    layout->addWidget(m_searchBox, 1, 0);
    layout->addWidget(m_scanButton, 1, 1);
    layout->addWidget(m_resultsLabel, 2, 0, 1, 2);
    layout->addWidget(m_resultList, 3, 0, 1, 2);
    layout->addWidget(m_progress, 4, 0, 1, 2);
    layout->addWidget(m_instructions, 5, 0, 1, 2);
    layout->setRowStretch(3, 1);
    setFixedSize(440, 470);

    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &FrmQuick::scanSlice);
    connect(m_scanButton, &QPushButton::clicked, this, &FrmQuick::Scan);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &FrmQuick::Scan);
}

FrmQuick::~FrmQuick() = default;

void FrmQuick::Scan()
{
    if (m_scan)
        return; // the button is off while a scan runs
    m_resultList->clear();
    m_fileDialog.showOpen();
    const QString path = m_fileDialog.fileName();
    if (path.trimmed().isEmpty())
        return;
    auto scan = std::make_unique<FileScan>(m_searchBox->text(), m_pieceBytes);
    const auto opened = fileprompts::runStep(fileprompts::Wording::Read,
                                             [&](platform::FileError *e) { return scan->open(path, e); });
    // After Ignore there is nothing to read in a file that did not open.
    if (opened != fileprompts::StepResult::Done)
        return;
    m_scan = std::move(scan);
    m_scanButton->setEnabled(false);
    m_progress->setValue(0);
    m_progress->show();
    m_slices.start();
}

void FrmQuick::scanSlice()
{
    if (!m_scan)
        return;
    for (int i = 0; i < SlicePieces && !m_scan->atEnd(); ++i) {
        platform::FileError err;
        if (m_scan->step(&err))
            continue;
        m_slices.stop();
        takeResults();
        const platform::Answer a = fileprompts::ask(fileprompts::Wording::Read, err);
        if (a == platform::Answer::Retry) {
            m_slices.start();
            return;
        }
        // Abort ends the scan; so does Ignore, for the rest of the file would
        // only fail and ask again. The lines found so far stay.
        m_scan->stop();
        endScan();
        return;
    }
    takeResults();
    if (m_scan->atEnd()) {
        endScan();
        return;
    }
    if (m_scan->size() > 0)
        m_progress->setValue(int(qMin<qint64>(1000, m_scan->position() * 1000 / m_scan->size())));
}

void FrmQuick::takeResults()
{
    const QList<QByteArray> lines = m_scan->scanner().takeLines();
    if (lines.isEmpty())
        return;
    QStringList items;
    items.reserve(lines.size());
    for (const QByteArray &line : lines)
        items << m_scan->scanner().lineText(line);
    m_resultList->addItems(items);
}

void FrmQuick::endScan()
{
    m_slices.stop();
    const int cut = m_scan->scanner().cutLines();
    m_scan.reset();
    m_progress->hide();
    m_scanButton->setEnabled(true);
    if (cut > 0)
        platform::message(QStringLiteral("%1 very long line(s) are shown cut to their first %2 characters.")
                              .arg(cut)
                              .arg(LineScanner::DefaultMaxLineBytes));
}

} // namespace tools
