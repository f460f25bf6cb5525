// Journaling a 50 MB document for crash recovery: how long the window's
// thread is held by the keeper's tick that journals it (one copy of the
// text; the file is written on a worker thread), beside the floor of writing
// the same 50 MB through a plain QSaveFile, which is what journaling on the
// window's thread would cost. Also the checksum that the disk state keeps of
// every file loaded or saved, beside copying the same bytes.

#include "benchsupport.h"

#include "appfixture.h"
#include "documents/checksum.h"
#include "documents/fileops.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtTest>

#include <cstring>

namespace {

double plainSave(const QString &path, const QByteArray &bytes)
{
    const double t0 = bench::nowMs();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return -1;
    return bench::nowMs() - t0;
}

void BM_JournalHold(benchmark::State &state)
{
    const bool typing = state.range(0) == 1;
    AppFixture app;
    fileops::OpenFile(bench::Data::instance().bigFile());
    QApplication::processEvents();
    FrmDoc *doc = app.current();
    if (!doc || doc->textControl()->length() != bench::kBigSize - 2) {
        state.SkipWithError("the document does not hold the file");
        return;
    }
    const QString root = bench::Data::instance().scratch(QStringLiteral("recovery"));
    recovery::Keeper &keeper = recovery::Keeper::instance();
    if (!keeper.start(root)) {
        state.SkipWithError("no recovery folder");
        return;
    }
    const QString floorFile = bench::Data::instance().scratch(QStringLiteral("plain-save.txt"));
    keeper.setTimerRunning(false);
    // The first change journals at once; after that, every third tick.
    QTest::keyClicks(doc->textControl(), "x");
    keeper.tick();
    bench::Samples figure, floor, held;
    int i = 0;
    for (auto _ : state) {
        keeper.waitForWrites();
        // Ticks with a keystroke before each, or enough quiet ones for the
        // keeper to let its buffer go, then a keystroke: the next tick
        // journals it.
        const int ticks =
            typing ? recovery::Keeper::kTicksBetweenWrites - 1 : recovery::Keeper::kTicksToKeepBuffer;
        for (int t = 0; t < ticks; ++t) {
            if (typing)
                QTest::keyClicks(doc->textControl(), "x");
            keeper.tick();
        }
        QTest::keyClicks(doc->textControl(), "x");
        QApplication::processEvents();
        auto product = [&] {
            const double t0 = bench::nowMs();
            keeper.tick();
            const double held = bench::nowMs() - t0;
            keeper.waitForWrites(); // not the window's time, but done before the floor runs
            return held;
        };
        auto plain = [&] { return plainSave(floorFile, doc->textControl()->text()); };
        const std::vector<double> r = bench::inTurns(i++, {product, plain});
        recovery::Journal j;
        if (!recovery::readJournal(keeper.journalFile(doc->slot()), &j) ||
            j.text != doc->textControl()->bytes() || r[1] < 0) {
            state.SkipWithError("the journal does not hold the text");
            return;
        }
        held.add(r[0]);
        figure.add(r[0]);
        floor.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
    }
    bench::reportRatio(state, figure, floor, typing ? 0.5 : 0.75,
                       typing
                           ? "while typing: the window held by a 50 MB journal vs a plain 50 MB save"
                           : "after a long pause: the window held by a 50 MB journal vs a plain 50 MB save");
    state.counters["max_ms"] = held.max();
    keeper.shutdown();
}

void BM_Checksum(benchmark::State &state)
{
    const QByteArray bytes = bench::makeLines(bench::kBigSize);
    QByteArray copy(bytes.size(), Qt::Uninitialized);
    bench::Samples figure, floor;
    quint64 sink = 0;
    int i = 0;
    for (auto _ : state) {
        auto sum = [&] {
            const double t0 = bench::nowMs();
            sink ^= Checksum::of(bytes);
            return bench::nowMs() - t0;
        };
        auto memcopy = [&] {
            const double t0 = bench::nowMs();
            std::memcpy(copy.data(), bytes.constData(), size_t(bytes.size()));
            return bench::nowMs() - t0;
        };
        const std::vector<double> r = bench::inTurns(i++, {sum, memcopy});
        figure.add(r[0]);
        floor.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
    }
    benchmark::DoNotOptimize(sink);
    bench::reportRatio(state, figure, floor, 2.0, "checksum of 50 MB vs copying them");
}

} // namespace

BENCHMARK(BM_JournalHold)->Arg(0)->Arg(1)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Checksum)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
