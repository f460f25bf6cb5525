// Find in Files over a big tree, for scripts/measure-find.sh: the search core
// alone, then the window on top of it, with the longest stall of its event
// loop, how soon the first result shows and how much resident memory grows.
// measure_findinfiles <folder> <fixed text> <regular expression> [window-shot <png>]
#include "tools/findjob.h"
#include "tools/frmfindinfiles.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

using namespace tools;

namespace {

qint64 statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The core alone: best of three runs.
void core(const QString &folder, const FindOptions &options, const char *label)
{
    double best = 1e9;
    qint64 lines = 0, files = 0;
    for (int run = 0; run < 3; ++run) {
        FindJob job;
        FindJob::Request r;
        r.options = options;
        r.folder = folder;
        r.patterns = QStringLiteral("*");
        QString error;
        QElapsedTimer t;
        t.start();
        if (!job.start(r, &error)) {
            std::printf("%s: %s\n", label, qPrintable(error));
            return;
        }
        job.wait();
        best = qMin(best, t.nsecsElapsed() / 1e9);
        lines = job.stats().lines;
        files = job.stats().searched;
    }
    std::printf("core %s: %.3f s, %lld lines, %lld files searched\n", label, best, lines, files);
}

FrmFindInFiles *window(const QString &folder, const FindOptions &options, const char *label)
{
    FrmFindInFiles *w = FrmFindInFiles::showFor(nullptr);
    w->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(options.text);
    w->findChild<QLineEdit *>(QStringLiteral("txtFolder"))->setText(folder);
    w->findChild<QCheckBox *>(QStringLiteral("chkMatchCase"))->setChecked(options.matchCase);
    w->findChild<QCheckBox *>(QStringLiteral("chkRegex"))->setChecked(options.regex);
    auto *tree = w->findChild<QTreeView *>(QStringLiteral("treeResults"));
    QApplication::processEvents();

    const qint64 rssBefore = statusKb("VmRSS:");
    QElapsedTimer clock, sinceTick;
    qint64 longestStall = 0, firstRowMs = -1;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = qMax(longestStall, sinceTick.elapsed());
        sinceTick.restart();
    });
    const auto conn = QObject::connect(tree->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (firstRowMs < 0)
            firstRowMs = clock.elapsed();
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    w->findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
    while (w->isSearching() ||
           tree->model()->rowCount() < w->job()->stats().lines + w->job()->stats().matched)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double total = clock.nsecsElapsed() / 1e9;
    ticker.stop();
    QObject::disconnect(conn);
    const FindJob::Stats s = w->job()->stats();
    std::printf(
        "window %s: %.3f s to the last row, %d rows; first result found at %lld ms, shown at %lld ms; "
        "longest event-loop stall %lld ms; resident memory grew by %lld MB (peak)\n",
        label, total, tree->model()->rowCount(), s.firstFoundMs, firstRowMs, longestStall,
        (statusKb("VmHWM:") - rssBefore) / 1024);
    return w;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <folder> <fixed text> <regular expression>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const FindOptions fixed{QString::fromLocal8Bit(argv[2]), true, false, false};
    const FindOptions folded{QString::fromLocal8Bit(argv[2]), false, false, false};
    const FindOptions regex{QString::fromLocal8Bit(argv[3]), true, false, true};
    // "window-shot <png>": the window alone, then a picture of the screen with its results.
    const bool onlyWindow = argc > 5 && qstrcmp(argv[4], "window-shot") == 0;
    if (!onlyWindow) {
        core(folder, fixed, "fixed");
        core(folder, folded, "fixed, ignoring case");
        core(folder, regex, "regex");
    }
    FrmFindInFiles *w = window(folder, fixed, "fixed");
    if (onlyWindow) {
        w->setGeometry(40, 40, 1180, 780);
        auto *tree = w->findChild<QTreeView *>(QStringLiteral("treeResults"));
        tree->setCurrentIndex(tree->model()->index(3, 0));
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 800)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[5]));
    }
    return 0;
}
