// One very long line (a minified script of 20 MB on one line), in a real
// document window against the bare engine in the same run: the first screen
// drawn after opening, one keystroke on that line, and the jump to its end.
// Every one of these is the engine laying the whole line out again (it
// measures every character of a line through Qt's text layout), so the
// window's figures follow the bare engine's; see bench/huge-files.md.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>
#include <QtTest>

#include <memory>

namespace {

constexpr qsizetype kLineBytes = 20 * 1000 * 1000;
constexpr double kOpenLimitMs = 2000, kKeyLimitMs = 50, kEndLimitMs = 1000;

QString lineFile()
{
    static const QString path = [] {
        const QString p = bench::Data::instance().scratch(QStringLiteral("one-line.js"));
        QFile f(p);
        const QByteArray line(kLineBytes, 'a');
        if (!f.open(QIODevice::WriteOnly) || f.write(line) != line.size())
            return QString();
        return p;
    }();
    return path;
}

double timed(const std::function<void()> &step)
{
    const double t0 = bench::nowMs();
    step();
    QApplication::processEvents();
    return bench::nowMs() - t0;
}

void BM_LongLine(benchmark::State &state)
{
    bench::Samples open, key, end, floorOpen, floorKey, floorEnd;
    QFile f(lineFile());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state) {
        AppFixture app;
        QApplication::processEvents();
        std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());
        bare->resize(800, 500);
        bare->show();
        QApplication::processEvents();

        open.add(timed([] { fileops::OpenFile(lineFile()); }));
        floorOpen.add(timed([&] { bench::addBareText(bare.get(), bytes); }));
        FrmDoc *doc = app.current();
        if (!doc) {
            state.SkipWithError("the file did not open");
            return;
        }
        doc->textControl()->setFocus();
        key.add(timed([&] { QTest::keyClick(doc->textControl(), 'b'); }));
        floorKey.add(timed([&] { QTest::keyClick(bare.get(), 'b'); }));
        end.add(timed([&] { QTest::keyClick(doc->textControl(), Qt::Key_End, Qt::ControlModifier); }));
        floorEnd.add(timed([&] { QTest::keyClick(bare.get(), Qt::Key_End, Qt::ControlModifier); }));
        state.SetIterationTime(open.median() / 1000.0);
        DocumentRegistry::instance().record(doc->slot()).Changed = false;
    }
    state.counters["open_ms"] = open.median();
    state.counters["open_floor_ms"] = floorOpen.median();
    state.counters["key_ms"] = key.median();
    state.counters["key_floor_ms"] = floorKey.median();
    state.counters["end_ms"] = end.median();
    state.counters["end_floor_ms"] = floorEnd.median();
    char label[240];
    std::snprintf(
        label, sizeof label,
        "20 MB line: open %.0f ms (target %.0f: %s), key %.0f ms (target %.0f: %s), to the end %.0f ms "
        "(target %.0f: %s)",
        open.median(), kOpenLimitMs, open.median() <= kOpenLimitMs ? "met" : "MISSED", key.median(),
        kKeyLimitMs, key.median() <= kKeyLimitMs ? "met" : "MISSED", end.median(), kEndLimitMs,
        end.median() < kEndLimitMs ? "met" : "MISSED");
    state.SetLabel(label);
}

} // namespace

BENCHMARK(BM_LongLine)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
