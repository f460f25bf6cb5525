// Idle CPU with ten document windows open, one of them holding a 50 MB
// text: the process's own CPU time over ten seconds of its event loop with
// nothing typed. The floor, measured first in the same process: ten bare
// Scintilla widgets in an MDI area holding the same texts.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kLimitPercent = 0.5;

int idleSeconds()
{
    const int s = qEnvironmentVariableIntValue("QP_IDLE_SECONDS");
    return s > 0 ? s : 10;
}

void runLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU used over `seconds` of an idle event loop, in percent of one core.
double idlePercent(int seconds)
{
    runLoop(2000); // let start-up work, first paints and deferred deletes finish
    const double c0 = bench::cpuMs();
    const double t0 = bench::nowMs();
    runLoop(seconds * 1000);
    return (bench::cpuMs() - c0) / (bench::nowMs() - t0) * 100.0;
}

QStringList tenFiles()
{
    QStringList files{bench::Data::instance().bigFile()};
    for (int i = 0; i < 9; ++i)
        files << bench::Data::instance().smallFile(i);
    return files;
}

void BM_IdleTenDocuments(benchmark::State &state)
{
    const int seconds = idleSeconds();
    for (auto _ : state) {
        double floor = 0;
        {
            QMainWindow frame;
            auto *area = new QMdiArea(&frame);
            frame.setCentralWidget(area);
            frame.resize(1100, 760);
            frame.show();
            QsciScintillaBase *last = nullptr;
            for (const QString &path : tenFiles()) {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                const QByteArray bytes = f.readAll();
                QsciScintillaBase *w = bench::newBareScintilla();
                bench::addBareText(w, bytes);
                area->addSubWindow(w)->show();
                last = w;
            }
            frame.activateWindow();
            last->setFocus();
            floor = idlePercent(seconds);
        }
        QApplication::processEvents();

        AppFixture app;
        for (const QString &path : tenFiles())
            fileops::OpenFile(path);
        if (!bench::checkNoQuestions(state))
            return;
        const std::vector<int> open = DocumentRegistry::instance().slotsWithWindows();
        if (open.size() != 10) {
            state.SkipWithError("ten documents did not open");
            return;
        }
        app.frame()->activateWindow();
        if (FrmDoc *doc = app.current())
            doc->textControl()->setFocus();
        const double product = idlePercent(seconds);
        state.counters["rss_mb"] = bench::mb(double(bench::rssBytes()));
        for (int slot : open)
            DocumentRegistry::instance().record(slot).Changed = false;

        state.counters["cpu_percent"] = product;
        state.counters["floor_cpu_percent"] = floor;
        state.counters["limit_percent"] = kLimitPercent;
        char label[160];
        std::snprintf(label, sizeof label,
                      "%d s idle, %s: %.3f%% of one core (floor %.3f%%, target < %.1f%%: %s)", seconds,
                      qPrintable(QApplication::platformName()), product, floor, kLimitPercent,
                      product < kLimitPercent ? "met" : "MISSED");
        state.SetLabel(label);
    }
}

} // namespace

BENCHMARK(BM_IdleTenDocuments)->Iterations(1)->Unit(benchmark::kSecond);

QP_BENCH_MAIN()
