// Opening a 50 MB file of 80-byte CR LF lines, against its floor: reading the
// file and handing its bytes to a bare Scintilla widget in one SCI_ADDTEXT.
// Product and floor run in the same iterations, taking turns at going first.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/textfile.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>

#include <memory>

namespace {

constexpr double kTarget = 1.5;

QString fileFor(const benchmark::State &state)
{
    return state.range(0) == 0 ? bench::Data::instance().bigFile()
                               : bench::Data::instance().bigFileNoFinalEnd();
}

const char *nameFor(const benchmark::State &state)
{
    return state.range(0) == 0 ? "last line ends in CR LF" : "no final line end";
}

// Lines of the file less its final line end: what every open must hold.
qsizetype expectedLength()
{
    return bench::kBigSize - 2;
}

// The floor: read the file, one SCI_ADDTEXT. Returns its time in ms.
double floorOpen(const QString &path, QsciScintillaBase *bare, bool paint)
{
    const double t0 = bench::nowMs();
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray bytes = f.readAll();
        bench::addBareText(bare, bytes);
    }
    if (paint)
        QApplication::processEvents();
    return bench::nowMs() - t0;
}

// The steps of opening, as the open command takes them, timed one by one:
// the file reader, the format and line rules, the text control.
void BM_OpenSteps(benchmark::State &state)
{
    const QString path = fileFor(state);
    bench::Samples figure, floor, read, convert, set;
    int i = 0;
    for (auto _ : state) {
        auto control = std::make_unique<TextControl>();
        std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());

        auto product = [&] {
            const double t0 = bench::nowMs();
            platform::FileReader reader;
            QByteArray bytes;
            if (!reader.open(path, nullptr) || !reader.readAll(&bytes, nullptr))
                return -1.0;
            reader.close();
            const double t1 = bench::nowMs();
            const TextFormat format = detectFormat(bytes, TextFormat::classic()).format;
            const QByteArray text = textFromFileBytes(std::move(bytes), format);
            const double t2 = bench::nowMs();
            control->setFormat(format);
            control->setText(QByteArrayView(text));
            const double t3 = bench::nowMs();
            read.add(t1 - t0);
            convert.add(t2 - t1);
            set.add(t3 - t2);
            return t3 - t0;
        };
        const std::vector<double> r =
            bench::inTurns(i++, {product, [&] { return floorOpen(path, bare.get(), false); }});
        const double p = r[0], f = r[1];
        if (p < 0 || f < 0 || control->length() != expectedLength()) {
            state.SkipWithError("the file was not read whole");
            return;
        }
        figure.add(p);
        floor.add(f);
        state.SetIterationTime(p / 1000.0);
    }
    bench::reportRatio(state, figure, floor, kTarget, nameFor(state));
    state.counters["read_ms"] = read.median();
    state.counters["lines_ms"] = convert.median();
    state.counters["set_ms"] = set.median();
}

// The whole open command in a running frame: fileops::OpenFile makes a
// document window, fills it and records the path; then the window is shown
// and painted. The floor's widget is shown and painted too.
void BM_OpenFile(benchmark::State &state)
{
    const QString path = fileFor(state);
    AppFixture app;
    QApplication::processEvents();
    bench::Samples figure, floor;
    int i = 0;
    for (auto _ : state) {
        std::unique_ptr<QsciScintillaBase> bare(bench::newBareScintilla());
        bare->resize(800, 500);
        bare->show();
        QApplication::processEvents();

        auto product = [&] {
            const double t0 = bench::nowMs();
            fileops::OpenFile(path);
            QApplication::processEvents();
            return bench::nowMs() - t0;
        };
        const std::vector<double> r =
            bench::inTurns(i++, {product, [&] { return floorOpen(path, bare.get(), true); }});
        const double p = r[0], f = r[1];
        FrmDoc *doc = app.current();
        if (!bench::checkNoQuestions(state))
            return;
        if (!doc || doc->textControl()->length() != expectedLength()) {
            state.SkipWithError("the document does not hold the file");
            return;
        }
        figure.add(p);
        floor.add(f);
        state.SetIterationTime(p / 1000.0);

        // Close the document as the user would, so the next open makes a new window.
        DocumentRegistry::instance().record(doc->slot()).Changed = false;
        doc->subWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bare.reset();
        QApplication::processEvents();
    }
    bench::reportRatio(state, figure, floor, kTarget, nameFor(state));
}

} // namespace

BENCHMARK(BM_OpenSteps)->Arg(0)->Arg(1)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFile)->Arg(0)->Arg(1)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
