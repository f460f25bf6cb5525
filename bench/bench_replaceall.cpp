// Replace All over a huge text (256 MB of 80-byte CR LF lines, one match on
// each: 3.4 million replacements) in a real document window, beside its
// floor in the same run: the same replacements made by QByteArray::replace
// on a copy of the bytes, with no editor around them.

#include "benchsupport.h"

#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr qsizetype kBytes = qsizetype(256) << 20;

QString textFile()
{
    static const QString path = [] {
        const QString p = bench::Data::instance().scratch(QStringLiteral("replace.txt"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        QByteArray line = "line " + QByteArray(73, '.') + "\r\n";
        QByteArray block;
        while (block.size() < (qsizetype(1) << 20))
            block += line;
        for (qsizetype n = 0; n < kBytes; n += block.size())
            f.write(block);
        return p;
    }();
    return path;
}

void BM_ReplaceAllHuge(benchmark::State &state)
{
    bench::Samples replace, floor;
    for (auto _ : state) {
        AppFixture app;
        fileops::OpenFile(textFile());
        FrmDoc *doc = app.current();
        if (!doc) {
            state.SkipWithError("the file did not open");
            return;
        }
        const QByteArray copy = doc->textControl()->text();
        AppFixture::trigger(doc, QStringLiteral("mnuEditReplace"));
        doc->findBar()->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("line"));
        doc->findBar()->findChild<QLineEdit *>(QStringLiteral("txtReplace"))->setText(QStringLiteral("row"));
        QPushButton *all = doc->findBar()->findChild<QPushButton *>(QStringLiteral("cmdReplaceAll"));
        double t0 = bench::nowMs();
        QTest::mouseClick(all, Qt::LeftButton);
        replace.add(bench::nowMs() - t0);
        QByteArray floorText = copy;
        t0 = bench::nowMs();
        floorText.replace("line", "row");
        floor.add(bench::nowMs() - t0);
        if (doc->textControl()->length() != floorText.size())
            state.SkipWithError("the window's text differs from the floor's");
        DocumentRegistry::instance().record(doc->slot()).Changed = false;
        state.SetIterationTime(replace.median() / 1000.0);
    }
    // No target is set for it: the figure shows what the progress window is for.
    state.counters["ms"] = replace.median();
    state.counters["floor_ms"] = floor.median();
    state.counters["ratio"] = floor.median() > 0 ? replace.median() / floor.median() : 0;
    state.SetLabel("Replace All, 256 MB, 3.4 million matches, beside the bytes replaced alone");
}

} // namespace

BENCHMARK(BM_ReplaceAllHuge)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

QP_BENCH_MAIN()
