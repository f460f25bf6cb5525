// Reading the whole text, placing the caret at the end and saving, on a real
// document window holding a 50 MB file, each against its floor in the same
// iterations.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>

namespace {

// A frame with the big file opened through the open command.
struct OpenDocument
{
    OpenDocument()
    {
        fileops::OpenFile(bench::Data::instance().bigFile());
        QApplication::processEvents();
        doc = app.current();
        control = doc ? doc->textControl() : nullptr;
    }
    bool ok() const { return control && control->length() == bench::kBigSize - 2; }

    AppFixture app;
    FrmDoc *doc = nullptr;
    TextControl *control = nullptr;
};

// Arg 0: the text as loaded (Scintilla's gap at the end). Arg 1: after an
// edit in the middle, so the read has to close the gap first.
void BM_ReadWholeText(benchmark::State &state)
{
    OpenDocument d;
    if (!d.ok()) {
        state.SkipWithError("the document does not hold the file");
        return;
    }
    const bool editFirst = state.range(0) == 1;
    const QByteArray copy = d.control->text();
    const qsizetype mid = copy.size() / 2;
    bench::Samples figure, floor, view, bytesCopy;
    int i = 0;
    for (auto _ : state) {
        if (editFirst) // the same byte again: a change that moves the gap, not the text
            d.control->replaceRange(mid, 1, QByteArrayView(copy).sliced(mid, 1));

        // bytes() alone: what the save and the undo tick take.
        double t0 = bench::nowMs();
        QByteArrayView v = d.control->bytes();
        benchmark::DoNotOptimize(v.data());
        view.add(bench::nowMs() - t0);
        if (editFirst)
            d.control->replaceRange(mid, 1, QByteArrayView(copy).sliced(mid, 1));

        auto product = [&] {
            const double t = bench::nowMs();
            const QString s = d.control->textString();
            benchmark::DoNotOptimize(s.constData());
            return bench::nowMs() - t;
        };
        auto bare = [&] {
            const double t = bench::nowMs();
            const QString s = QString::fromLatin1(copy);
            benchmark::DoNotOptimize(s.constData());
            return bench::nowMs() - t;
        };
        const std::vector<double> r = bench::inTurns(i++, {product, bare});
        const double p = r[0], f = r[1];
        figure.add(p);
        floor.add(f);
        state.SetIterationTime(p / 1000.0);

        t0 = bench::nowMs();
        const QByteArray c = d.control->text();
        benchmark::DoNotOptimize(c.constData());
        bytesCopy.add(bench::nowMs() - t0);
    }
    if (d.control->bytes() != QByteArrayView(copy)) {
        state.SkipWithError("the text changed");
        return;
    }
    bench::reportRatio(state, figure, floor, 1.2,
                       editFirst ? "textString() after an edit mid-text" : "textString(), text as loaded");
    state.counters["bytes_view_ms"] = view.median();
    state.counters["text_copy_ms"] = bytesCopy.median();
}

// Writing the selection start at the end of the text and reading it back.
void BM_SelStartAtEnd(benchmark::State &state)
{
    OpenDocument d;
    if (!d.ok()) {
        state.SkipWithError("the document does not hold the file");
        return;
    }
    const qsizetype end = d.control->length();
    bench::Samples figure, painted;
    for (auto _ : state) {
        d.control->setSelStart(0);
        QApplication::processEvents();

        const double t0 = bench::nowMs();
        d.control->setSelStart(end);
        const qsizetype got = d.control->selStart();
        const double t1 = bench::nowMs();
        QApplication::processEvents(); // the scroll to the end, painted
        const double t2 = bench::nowMs();
        if (got != end) {
            state.SkipWithError("the selection start did not move to the end");
            return;
        }
        figure.add(t1 - t0);
        painted.add(t2 - t0);
        state.SetIterationTime((t1 - t0) / 1000.0);
    }
    bench::reportLimit(state, figure, 1.0, "setSelStart(end) + selStart()");
    state.counters["with_paint_ms"] = painted.median();
}

// Save of the 50 MB document, against a bare QSaveFile write and commit of
// the same bytes (text and final CR LF).
void BM_Save(benchmark::State &state)
{
    OpenDocument d;
    if (!d.ok()) {
        state.SkipWithError("the document does not hold the file");
        return;
    }
    const int slot = d.doc->slot();
    const QString target = bench::Data::instance().scratch(QStringLiteral("saved.txt"));
    const QString floorTarget = bench::Data::instance().scratch(QStringLiteral("floor-saved.txt"));
    // Saved under a new name, as after Save As: nothing is known of that file yet.
    DocumentRegistry::instance().record(slot).Path = target;
    DocumentRegistry::instance().record(slot).Disk = DiskState();
    const QString writerTarget = bench::Data::instance().scratch(QStringLiteral("writer-saved.txt"));
    const QByteArray bytes = d.control->text();

    bench::Samples figure, floor, writerOnly;
    int i = 0;
    for (auto _ : state) {
        DocumentRegistry::instance().record(slot).Changed = true;
        auto product = [&] {
            const double t0 = bench::nowMs();
            const bool ok = fileops::SaveDocument(slot);
            return ok ? bench::nowMs() - t0 : -1.0;
        };
        auto bare = [&] {
            const double t0 = bench::nowMs();
            QSaveFile f(floorTarget);
            const bool ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
                            f.write("\r\n", 2) == 2 && f.commit();
            return ok ? bench::nowMs() - t0 : -1.0;
        };
        auto writer = [&] {
            const double t0 = bench::nowMs();
            platform::FileWriter w;
            const bool ok = w.open(writerTarget, nullptr) && w.write(d.control->bytes(), nullptr) &&
                            w.write("\r\n", nullptr) && w.commit(nullptr);
            return ok ? bench::nowMs() - t0 : -1.0;
        };
        const std::vector<double> r = bench::inTurns(i++, {product, bare, writer});
        const double p = r[0], f = r[1];
        writerOnly.add(r[2]);
        if (!bench::checkNoQuestions(state))
            return;
        if (p < 0 || f < 0 || QFileInfo(target).size() != bench::kBigSize ||
            DocumentRegistry::instance().record(slot).Changed) {
            state.SkipWithError("the save did not write the whole file");
            return;
        }
        figure.add(p);
        floor.add(f);
        state.SetIterationTime(p / 1000.0);
    }
    bench::reportRatio(state, figure, floor, 1.5, "SaveDocument");

    // What the save adds besides the file: the recent-files list written to the settings store.
    bench::Samples recent;
    for (int k = 0; k < 5; ++k) {
        const double t0 = bench::nowMs();
        recentfiles::AddRecentFile(target);
        recent.add(bench::nowMs() - t0);
    }
    state.counters["recent_list_ms"] = recent.median();
    state.counters["writer_ms"] = writerOnly.median();
}

} // namespace

BENCHMARK(BM_ReadWholeText)->Arg(0)->Arg(1)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelStartAtEnd)->Iterations(50)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Iterations(12)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
