// Typing into a real document window holding a 50 MB file: each keystroke
// is a key click on txtContents followed by the events it posts (status bar
// length, command states, paint); then the undo tick that records it. The
// floor is the same key click into a bare Scintilla widget holding the same
// bytes, typed into at the same place (no ticks: its buffer's gap stays
// where the typing is).

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

#include <cstdio>
#include <memory>

namespace {

constexpr double kKeyLimitMs = 5.0;
constexpr double kTickLimitMs = 30.0;

struct TypingSetup
{
    TypingSetup()
    {
        fileops::OpenFile(bench::Data::instance().bigFile());
        QApplication::processEvents();
        doc = app.current();
        control = doc ? doc->textControl() : nullptr;

        QFile f(bench::Data::instance().bigFile());
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        bare.reset(bench::newBareScintilla());
        bench::addBareText(bare.get(), bytes);
        bare->resize(800, 500);
        bare->show();
        if (control)
            control->setFocus();
        QApplication::processEvents();
    }
    bool ok() const { return control && control->length() == bench::kBigSize - 2; }

    // Where arg 0, 1, 2 put the caret: the start, the middle, the end.
    qsizetype position(int which) const
    {
        const qsizetype n = control->length();
        return which == 0 ? 0 : which == 1 ? (n / 2 / bench::kLineBytes) * bench::kLineBytes + 10 : n;
    }

    AppFixture app;
    FrmDoc *doc = nullptr;
    TextControl *control = nullptr;
    std::unique_ptr<QsciScintillaBase> bare;
};

double click(QWidget *w, Qt::Key key, char text)
{
    const double t0 = bench::nowMs();
    if (text)
        QTest::keyClick(w, text);
    else
        QTest::keyClick(w, key);
    QApplication::processEvents();
    return bench::nowMs() - t0;
}

void placeBareCaret(QsciScintillaBase *bare, qsizetype pos)
{
    bare->SendScintilla(QsciScintillaBase::SCI_SETSEL, long(pos), long(pos));
}

// Each iteration: a tick, one letter typed, the tick that records it, a
// second letter right after the first (no tick between), Backspace twice
// with a tick after each. The text is as loaded at the end of each iteration.
void BM_Keystroke(benchmark::State &state)
{
    TypingSetup s;
    if (!s.ok()) {
        state.SkipWithError("the document does not hold the file");
        return;
    }
    const qsizetype pos = s.position(int(state.range(0)));
    const QByteArray before = s.control->text();
    bench::Samples key, next, tick, floorKey;
    int i = 0;
    for (auto _ : state) {
        s.control->setSelStart(pos);
        s.doc->undoTick();
        QApplication::processEvents();

        placeBareCaret(s.bare.get(), pos);
        QApplication::processEvents(); // what moving its caret costs the floor is not typing
        const std::vector<double> r =
            bench::inTurns(i++, {[&] { return click(s.control, Qt::Key_A, 'a'); },
                                 [&] { return click(s.bare.get(), Qt::Key_A, 'a'); }});
        key.add(r[0]);
        floorKey.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);

        double t0 = bench::nowMs();
        s.doc->undoTick();
        tick.add(bench::nowMs() - t0);

        next.add(click(s.control, Qt::Key_B, 'b'));
        click(s.bare.get(), Qt::Key_B, 'b');

        key.add(click(s.control, Qt::Key_Backspace, 0));
        t0 = bench::nowMs();
        s.doc->undoTick();
        tick.add(bench::nowMs() - t0);
        key.add(click(s.control, Qt::Key_Backspace, 0));
        t0 = bench::nowMs();
        s.doc->undoTick();
        tick.add(bench::nowMs() - t0);
        placeBareCaret(s.bare.get(), pos + 2);
        QApplication::processEvents();
        floorKey.add(click(s.bare.get(), Qt::Key_Backspace, 0));
        placeBareCaret(s.bare.get(), pos + 1);
        QApplication::processEvents();
        floorKey.add(click(s.bare.get(), Qt::Key_Backspace, 0));
    }
    if (!bench::checkNoQuestions(state))
        return;
    if (s.control->bytes() != QByteArrayView(before)) {
        state.SkipWithError("typing and Backspace did not give the text back");
        return;
    }
    static const char *where[] = {"caret at the start", "caret mid-text", "caret at the end"};
    bench::reportLimit(state, key, kKeyLimitMs, where[state.range(0)]);
    state.counters["floor_ms"] = floorKey.median();
    state.counters["next_key_ms"] = next.median();
    state.counters["tick_ms"] = tick.median();
    state.counters["tick_max_ms"] = tick.max();
    state.counters["tick_limit_ms"] = kTickLimitMs;
    char label[200];
    std::snprintf(
        label, sizeof label, "%s: key %.2f ms (target < %.0f: %s), tick %.2f ms (target < %.0f: %s)",
        where[state.range(0)], key.median(), kKeyLimitMs, key.median() < kKeyLimitMs ? "met" : "MISSED",
        tick.median(), kTickLimitMs, tick.median() < kTickLimitMs ? "met" : "MISSED");
    state.SetLabel(label);
}

// The first keystroke after a file is opened. Besides the bare widget, a
// second floor: the engine alone, in a widget never shown (so Qt never makes
// its accessible object) and told of no edits (so QScintilla's accessibility
// hooks never run).
void BM_FirstKeystroke(benchmark::State &state)
{
    QByteArray bytes;
    {
        QFile f(bench::Data::instance().bigFile());
        f.open(QIODevice::ReadOnly);
        bytes = f.readAll();
    }
    bench::Samples key, floorKey, engineKey;
    int i = 0;
    for (auto _ : state) {
        TypingSetup s;
        if (!s.ok()) {
            state.SkipWithError("the document does not hold the file");
            return;
        }
        std::unique_ptr<QsciScintillaBase> engine(bench::newBareScintilla());
        engine->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        bench::addBareText(engine.get(), bytes);

        const qsizetype pos = s.position(1);
        s.control->setSelStart(pos);
        s.bare->SendScintilla(QsciScintillaBase::SCI_SETSEL, long(pos), long(pos));
        engine->SendScintilla(QsciScintillaBase::SCI_SETSEL, long(pos), long(pos));
        QApplication::processEvents();
        const std::vector<double> r =
            bench::inTurns(i++, {[&] { return click(s.control, Qt::Key_A, 'a'); },
                                 [&] { return click(s.bare.get(), Qt::Key_A, 'a'); },
                                 [&] { return click(engine.get(), Qt::Key_A, 'a'); }});
        key.add(r[0]);
        floorKey.add(r[1]);
        engineKey.add(r[2]);
        state.SetIterationTime(r[0] / 1000.0);
        DocumentRegistry::instance().record(s.doc->slot()).Changed = false;
    }
    bench::reportLimit(state, key, kKeyLimitMs, "first key after open, mid-text");
    state.counters["floor_ms"] = floorKey.median();
    state.counters["engine_floor_ms"] = engineKey.median();
}

} // namespace

BENCHMARK(BM_Keystroke)->DenseRange(0, 2)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstKeystroke)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
