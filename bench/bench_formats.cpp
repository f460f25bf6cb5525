// What keeping a file's own format costs, each figure beside its floor in the
// same iterations:
// - opening 50 MB with format detection, against the same open without it
//   (the classic reading); once for the CR LF ASCII file, once for a UTF-8
//   file of LF lines, where detection checks every byte and the document
//   counts its characters;
// - a keystroke in a 50 MB UTF-8 document, the Length panel included,
//   against the engine alone: a bare UTF-8 widget, never shown, told of no edits;
// - converting the line ends of a 50 MB document, one change with its undo
//   step, against one pass over the bytes and one whole-text write into a
//   bare widget.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/textfile.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>
#include <QtTest>

#include <memory>

namespace {

constexpr double kDetectTarget = 1.10;
constexpr double kKeyLimitMs = 5.0;
constexpr double kConvertLimitMs = 1000.0;

// 50 MB of LF lines, each with two characters of several bytes.
QString utf8File()
{
    static const QString path = [] {
        // 80 bytes a line: 74 ASCII characters, "é", "€" and LF.
        QByteArray lines;
        lines.reserve(bench::kBigSize);
        for (qsizetype i = 0; lines.size() + bench::kLineBytes <= bench::kBigSize; ++i) {
            for (int c = 0; c < bench::kLineBytes - 6; ++c)
                lines += char(' ' + (i + c) % 95);
            lines += "\xc3\xa9\xe2\x82\xac\n";
        }
        const QString p = bench::Data::instance().scratch(QStringLiteral("big-utf8-lf.txt"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(lines) != lines.size())
            return QString();
        return p;
    }();
    return path;
}

QString fileFor(const benchmark::State &state)
{
    return state.range(0) == 0 ? bench::Data::instance().bigFile() : utf8File();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The open's own steps: read, (detect), line rules, the text control.
double openSteps(const QString &path, TextControl &control, bool detect)
{
    const double t0 = bench::nowMs();
    platform::FileReader reader;
    QByteArray bytes;
    if (!reader.open(path, nullptr) || !reader.readAll(&bytes, nullptr))
        return -1;
    reader.close();
    DetectedFormat detected;
    if (detect)
        detected = detectFormat(bytes, TextFormat::classic());
    const QByteArray text = textFromFileBytes(std::move(bytes), detected.format);
    control.setFormat(detected.format);
    control.setOpenedText(text, detected.characters);
    control.characterCount(); // what the Length panel shows
    return bench::nowMs() - t0;
}

void BM_OpenWithDetection(benchmark::State &state)
{
    const QString path = fileFor(state);
    bench::Samples figure, floor, detect;
    const QByteArray bytes = readAll(path);
    int i = 0;
    for (auto _ : state) {
        auto withDetection = std::make_unique<TextControl>();
        auto classic = std::make_unique<TextControl>();
        const std::vector<double> r =
            bench::inTurns(i++, {[&] { return openSteps(path, *withDetection, true); },
                                 [&] { return openSteps(path, *classic, false); }});
        if (r[0] < 0 || r[1] < 0 || withDetection->length() == 0) {
            state.SkipWithError("the file was not read");
            return;
        }
        figure.add(r[0]);
        floor.add(r[1]);
        const double t0 = bench::nowMs();
        benchmark::DoNotOptimize(detectFormat(bytes, TextFormat::classic()));
        detect.add(bench::nowMs() - t0);
        state.SetIterationTime(r[0] / 1000.0);
    }
    bench::reportRatio(state, figure, floor, kDetectTarget,
                       state.range(0) == 0 ? "CR LF ASCII, against the classic open"
                                           : "LF UTF-8, against the classic open");
    state.counters["detect_ms"] = detect.median();
}

double click(QWidget *w, char text)
{
    const double t0 = bench::nowMs();
    if (text)
        QTest::keyClick(w, text);
    else
        QTest::keyClick(w, Qt::Key_Backspace);
    QApplication::processEvents();
    return bench::nowMs() - t0;
}

// Typing "a" and Backspace mid-text in a real window holding the UTF-8 file;
// the floor types the same into a bare UTF-8 widget.
void BM_Utf8Keystroke(benchmark::State &state)
{
    AppFixture app;
    fileops::OpenFile(utf8File());
    QApplication::processEvents();
    FrmDoc *doc = app.current();
    TextControl *control = doc ? doc->textControl() : nullptr;
    if (!control || !control->format().isUtf8()) {
        state.SkipWithError("the UTF-8 file did not open as UTF-8");
        return;
    }
    std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());
    bare->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, long(QsciScintillaBase::SC_CP_UTF8));
    // Never shown and told of no edits: QScintilla's accessible object would
    // count the characters up to the caret at each keystroke, which in 50 MB
    // of UTF-8 takes a fifth of a second.
    bare->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
    bench::addBareText(bare.get(), readAll(utf8File()));
    bare->resize(800, 500);
    const qsizetype pos = (control->length() / 2 / bench::kLineBytes) * bench::kLineBytes + 20;
    const QString length = doc->panelText(FrmDoc::Panel::Length);
    bench::Samples key, floorKey;
    int i = 0;
    for (auto _ : state) {
        control->setSelStart(pos);
        bare->SendScintilla(QsciScintillaBase::SCI_SETSEL, long(pos), long(pos));
        QApplication::processEvents();
        const std::vector<double> r = bench::inTurns(
            i++, {[&] { return click(control, 'a'); }, [&] { return click(bare.get(), 'a'); }});
        key.add(r[0]);
        floorKey.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
        key.add(click(control, 0));
        floorKey.add(click(bare.get(), 0));
        doc->undoTick();
    }
    if (!bench::checkNoQuestions(state))
        return;
    if (doc->panelText(FrmDoc::Panel::Length) != length) {
        state.SkipWithError("the Length panel did not come back to its count");
        return;
    }
    bench::reportLimit(state, key, kKeyLimitMs, "50 MB UTF-8, mid-text, Length panel included");
    state.counters["floor_ms"] = floorKey.median();
    DocumentRegistry::instance().record(doc->slot()).Changed = false;
}

// Options > Line Ends > LF on the 50 MB CR LF file, then Undo.
void BM_ConvertLineEnds(benchmark::State &state)
{
    AppFixture app;
    fileops::OpenFile(bench::Data::instance().bigFile());
    QApplication::processEvents();
    FrmDoc *doc = app.current();
    if (!doc) {
        state.SkipWithError("the file did not open");
        return;
    }
    TextControl *control = doc->textControl();
    const QByteArray before = control->text();
    std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());
    bench::addBareText(bare.get(), before);
    bench::Samples convert, floor, undo;
    int i = 0;
    for (auto _ : state) {
        auto product = [&] {
            const double t0 = bench::nowMs();
            AppFixture::trigger(doc, QStringLiteral("mnuLineEndsLF"));
            QApplication::processEvents();
            return bench::nowMs() - t0;
        };
        auto floorWrite = [&] {
            const double t0 = bench::nowMs();
            const QByteArray lf = textcodec::unifyLineEnds(QByteArrayView(before), "\n");
            bare->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
            bench::addBareText(bare.get(), lf);
            return bench::nowMs() - t0;
        };
        const std::vector<double> r = bench::inTurns(i++, {product, floorWrite});
        if (control->format().lineEnd != LineEnd::Lf || control->text().contains('\r')) {
            state.SkipWithError("the line ends were not converted");
            return;
        }
        convert.add(r[0]);
        floor.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
        const double t0 = bench::nowMs();
        doc->refreshTick();
        AppFixture::trigger(doc, QStringLiteral("mnuEditUndo"));
        QApplication::processEvents();
        undo.add(bench::nowMs() - t0);
        if (control->bytes() != QByteArrayView(before) || control->format().lineEnd != LineEnd::CrLf) {
            state.SkipWithError("Undo did not bring the CR LF text back");
            return;
        }
        doc->undoTick();
    }
    bench::reportLimit(state, convert, kConvertLimitMs, "50 MB CR LF to LF, one change with its undo step");
    state.counters["floor_ms"] = floor.median();
    state.counters["undo_ms"] = undo.median();
    DocumentRegistry::instance().record(doc->slot()).Changed = false;
}

} // namespace

BENCHMARK(BM_OpenWithDetection)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8Keystroke)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertLineEnds)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
