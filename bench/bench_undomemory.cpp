// What the undo state of a 50 MB document costs after five recorded
// one-character edits: the bytes the history and the window's pending edits
// hold, and how much the process's resident memory grew meanwhile. The floor
// is the same five keystrokes into a bare Scintilla widget (no undo at all),
// measured first in the same process.

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

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr double kLimitMb = 10.0;
constexpr int kEdits = 5;

// Five places spread over the text, one per edit.
qsizetype editPosition(qsizetype length, int k)
{
    return (length / bench::kLineBytes) * k / (kEdits - 1) * bench::kLineBytes;
}

void BM_UndoMemory(benchmark::State &state)
{
    for (auto _ : state) {
        // The floor: the engine alone, typed into at the same places.
        double floorGrowth = 0;
        double floorRss = 0;
        {
            QFile f(bench::Data::instance().bigFile());
            f.open(QIODevice::ReadOnly);
            std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());
            {
                const QByteArray bytes = f.readAll();
                bench::addBareText(bare.get(), bytes);
            }
            bare->resize(800, 500);
            bare->show();
            QApplication::processEvents();
            const qint64 rss0 = bench::rssBytes();
            floorRss = double(rss0);
            const long length = bare->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
            for (int k = 0; k < kEdits; ++k) {
                const long pos = long(editPosition(length, k));
                bare->SendScintilla(QsciScintillaBase::SCI_SETSEL, pos, pos);
                QTest::keyClick(bare.get(), 'x');
                QApplication::processEvents();
            }
            floorGrowth = double(bench::rssBytes() - rss0);
        }
        QApplication::processEvents();

        AppFixture app;
        fileops::OpenFile(bench::Data::instance().bigFile());
        QApplication::processEvents();
        FrmDoc *doc = app.current();
        TextControl *control = doc ? doc->textControl() : nullptr;
        if (!control || control->length() != bench::kBigSize - 2) {
            state.SkipWithError("the document does not hold the file");
            return;
        }
        control->setFocus();
        doc->undoTick();
        QApplication::processEvents();
        const qint64 rss0 = bench::rssBytes();
        const qsizetype length = control->length();
        for (int k = 0; k < kEdits; ++k) {
            control->setSelStart(editPosition(length, k));
            QTest::keyClick(control, 'x');
            QApplication::processEvents();
            doc->undoTick();
        }
        const qint64 growth = bench::rssBytes() - rss0;
        const DocumentRecord &rec = DocumentRegistry::instance().record(doc->slot());
        const qsizetype held = rec.Undo.byteCost() + doc->undoBytesPending();
        if (rec.Undo.depth() != 4 || !bench::checkNoQuestions(state)) {
            state.SkipWithError("the five edits did not fill the history");
            return;
        }
        const double beyond = bench::mb(double(held) + double(std::max<qint64>(0, growth)));
        state.counters["undo_bytes"] = double(held);
        state.counters["rss_growth_mb"] = bench::mb(double(growth));
        state.counters["floor_rss_growth_mb"] = bench::mb(floorGrowth);
        state.counters["beyond_text_mb"] = beyond;
        state.counters["limit_mb"] = kLimitMb;
        state.counters["text_mb"] = bench::mb(double(length));
        state.counters["rss_open_mb"] = bench::mb(double(rss0));
        state.counters["floor_rss_open_mb"] = bench::mb(floorRss);
        char label[160];
        std::snprintf(
            label, sizeof label,
            "undo holds %lld bytes, RSS grew %.1f MB: %.1f MB beyond the text (target < %.0f MB: %s)",
            static_cast<long long>(held), bench::mb(double(growth)), beyond, kLimitMb,
            beyond < kLimitMb ? "met" : "MISSED");
        state.SetLabel(label);
        DocumentRegistry::instance().record(doc->slot()).Changed = false;
    }
}

} // namespace

BENCHMARK(BM_UndoMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
