// Syntax colours and Replace All on a 50 MB web page, each against its
// floor in the same run:
//  - opening it coloured (.html) against opening the same bytes plain (.txt),
//    the window shown and painted; target: at most 10% more. The style
//    bytes of a big page come a moment after its text, from a worker: the
//    time until they are there and painted is reported beside it;
//  - jumping from the top to the last line until the coloured end is painted,
//    beside the same jump in the plain copy; limit 1 s;
//  - Replace All of a word found 100,000 times, beside QByteArray::replace
//    of the same bytes; limit 2 s.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "editor/sourceview.h"
#include "editor/stylecatchup.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

using Sci = QsciScintillaBase;

constexpr int kWords = 100000;

// 50 MB of markup with style and script blocks, in blocks of about 524
// bytes that each hold "word" once: 100,000 of them.
QByteArray webPage()
{
    const QByteArray head =
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title>Big page</title>\r\n</head>\r\n<body>\r\n";
    QByteArray out = head;
    const qsizetype per = (bench::kBigSize - head.size() - 16) / kWords;
    for (int i = 0; i < kWords; ++i) {
        QByteArray block;
        switch (i % 4) {
        case 0:
            block = "<style>\r\n.note { color: #333; margin: 0 auto; }\r\n</style>\r\n";
            break;
        case 1:
            block = "<script>\r\nfunction f(x) { var s = \"text\"; return x + 1; } // note\r\n</script>\r\n";
            break;
        default:
            block = "<!-- a comment -->\r\n";
            break;
        }
        block += "<div class=\"note\"><p>A word in a <b>block</b> &amp; a <a "
                 "href=\"page.html\">link</a>.</p></div>\r\n";
        const QByteArray filler = "<p>Some text of the page, <i>written</i> to fill the line.</p>\r\n";
        while (block.size() + filler.size() <= per)
            block += filler;
        block += QByteArray(per - block.size() - 2, 'x') + "\r\n";
        out += block;
    }
    out += "</body>\r\n</html>";
    return out;
}

struct Files
{
    Files()
    {
        bytes = webPage();
        html = bench::Data::instance().scratch(QStringLiteral("big.html"));
        txt = bench::Data::instance().scratch(QStringLiteral("big.txt"));
        for (const QString &p : {html, txt}) {
            QFile f(p);
            ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && ok;
        }
    }
    static Files &instance()
    {
        static Files f;
        return f;
    }
    QByteArray bytes;
    QString html, txt;
    bool ok = true;
};

FrmDoc *openShown(AppFixture &app, const QString &path)
{
    fileops::OpenFile(path);
    FrmDoc *doc = app.current();
    if (doc)
        doc->subWindow()->resize(900, 600);
    QApplication::processEvents();
    return doc;
}

void closeDocument(FrmDoc *doc)
{
    DocumentRegistry::instance().record(doc->slot()).Changed = false;
    doc->subWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// Runs the event loop until the style bytes built aside are in the document
// and painted.
void waitForColours(FrmDoc *doc)
{
    TextControl *t = doc->textControl();
    while (!t->hasStyleBytes())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
}

bool holdsThePage(FrmDoc *doc)
{
    return doc && doc->textControl()->bytes() == QByteArrayView(Files::instance().bytes);
}

void BM_OpenColoured(benchmark::State &state)
{
    Files &files = Files::instance();
    AppFixture app;
    QApplication::processEvents();
    bench::Samples figure, floor, coloured;
    int i = 0;
    bool ok = true;
    for (auto _ : state) {
        auto openTimed = [&](const QString &path, bool colours) {
            const double t0 = bench::nowMs();
            FrmDoc *doc = openShown(app, path);
            const double t = bench::nowMs() - t0;
            if (doc && colours) {
                waitForColours(doc);
                coloured.add(bench::nowMs() - t0);
            }
            ok = ok && holdsThePage(doc);
            if (doc)
                closeDocument(doc);
            return t;
        };
        const std::vector<double> r = bench::inTurns(
            i++, {[&] { return openTimed(files.html, true); }, [&] { return openTimed(files.txt, false); }});
        if (!ok || !files.ok || !bench::checkNoQuestions(state)) {
            state.SkipWithError("the document does not hold the page");
            return;
        }
        figure.add(r[0]);
        floor.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
    }
    state.counters["colours_shown_ms"] = coloured.median();
    bench::reportRatio(state, figure, floor, 1.10,
                       "coloured text shown against plain (colours in colours_shown_ms)");
}

// From the top of the freshly opened page to its last line, painted.
double jumpToEnd(FrmDoc *doc)
{
    TextControl *t = doc->textControl();
    const double t0 = bench::nowMs();
    t->setSelStart(t->length());
    QApplication::processEvents();
    return bench::nowMs() - t0;
}

void BM_JumpToLastLine(benchmark::State &state)
{
    Files &files = Files::instance();
    AppFixture app;
    bench::Samples figure, floor;
    int i = 0;
    for (auto _ : state) {
        double coloured = 0, plain = 0;
        bool styledEnd = false;
        auto measureColoured = [&] {
            FrmDoc *doc = openShown(app, files.html);
            if (!holdsThePage(doc))
                return -1.0;
            waitForColours(doc);
            coloured = jumpToEnd(doc);
            // The end tag is painted in the tag colour, not as plain text.
            TextControl *t = doc->textControl();
            const long tag = long(files.bytes.lastIndexOf("</html>")) + 2;
            styledEnd = t->SendScintilla(Sci::SCI_GETENDSTYLED) == t->length() &&
                        t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(tag)) != 0;
            closeDocument(doc);
            return coloured;
        };
        auto measurePlain = [&] {
            FrmDoc *doc = openShown(app, files.txt);
            if (!holdsThePage(doc))
                return -1.0;
            plain = jumpToEnd(doc);
            closeDocument(doc);
            return plain;
        };
        const std::vector<double> r = bench::inTurns(i++, {measureColoured, measurePlain});
        if (r[0] < 0 || r[1] < 0 || !bench::checkNoQuestions(state)) {
            state.SkipWithError("the document does not hold the page");
            return;
        }
        if (!styledEnd) {
            state.SkipWithError("the last line was not coloured");
            return;
        }
        figure.add(coloured);
        floor.add(plain);
        state.SetIterationTime(coloured / 1000.0);
    }
    state.counters["plain_ms"] = floor.median();
    bench::reportLimit(state, figure, 1000.0, "coloured jump (plain jump in plain_ms)");
}

void BM_ReplaceAll(benchmark::State &state)
{
    Files &files = Files::instance();
    AppFixture app;
    FrmDoc *doc = openShown(app, files.html);
    if (!holdsThePage(doc)) {
        state.SkipWithError("the document does not hold the page");
        return;
    }
    TextControl *t = doc->textControl();
    if (files.bytes.count("word") != kWords) {
        state.SkipWithError("the page does not hold the word 100,000 times");
        return;
    }
    QByteArray expected = files.bytes;
    expected.replace("word", "phrase");
    AppFixture::trigger(doc, QStringLiteral("mnuEditReplace"));
    doc->findBar()->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("word"));
    doc->findBar()->findChild<QLineEdit *>(QStringLiteral("txtReplace"))->setText(QStringLiteral("phrase"));
    auto *button = doc->findBar()->findChild<QPushButton *>(QStringLiteral("cmdReplaceAll"));
    auto *prompts = static_cast<ScriptedPrompts *>(&platform::prompts());
    bench::Samples figure, floor;
    int i = 0;
    for (auto _ : state) {
        t->setText(QByteArrayView(files.bytes));
        doc->undoTick();
        QApplication::processEvents();
        auto product = [&] {
            const double t0 = bench::nowMs();
            button->click();
            QApplication::processEvents();
            return bench::nowMs() - t0;
        };
        auto bare = [&] {
            const double t0 = bench::nowMs();
            QByteArray copy = files.bytes;
            copy.replace("word", "phrase");
            const double ms = bench::nowMs() - t0;
            benchmark::DoNotOptimize(copy.data());
            return ms;
        };
        const std::vector<double> r = bench::inTurns(i++, {product, bare});
        const bool said = prompts->asked.size() == 1 &&
                          prompts->asked[0].text == QStringLiteral("Replaced 100000 occurrences.");
        prompts->clear();
        if (!said || t->bytes() != QByteArrayView(expected)) {
            state.SkipWithError("Replace All did not replace every word, or said otherwise");
            return;
        }
        figure.add(r[0]);
        floor.add(r[1]);
        state.SetIterationTime(r[0] / 1000.0);
    }
    state.counters["bytes_replace_ms"] = floor.median();
    bench::reportLimit(state, figure, 2000.0, "Replace All (QByteArray::replace in bytes_replace_ms)");
}

} // namespace

BENCHMARK(BM_OpenColoured)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLastLine)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAll)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
