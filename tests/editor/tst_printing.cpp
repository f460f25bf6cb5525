#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/printer.h"
#include "platform/printlayout.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QPrinterInfo>

using platform::Answer;

namespace {

// Prints the document with the real Qt printer, into a PDF file when pdf is given;
// returns each page's lines, blank ones left out, as pdftotext reads them.
QList<QStringList> print(FrmDoc *doc, const QString &pdf)
{
    platform::QtTextPrinter printer(pdf);
    platform::setPrinter(&printer);
    AppFixture::trigger(doc, "mnuFilePrint");
    platform::setPrinter(nullptr);
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    p.waitForFinished(120000);
    QList<QStringList> pages;
    for (const QString &page : QString::fromUtf8(p.readAllStandardOutput()).split('\f')) {
        pages << QStringList();
        for (const QString &line : page.split('\n'))
            if (!line.trimmed().isEmpty())
                pages.last() << line.trimmed();
    }
    pages.removeLast(); // what follows the last page's form feed
    return pages;
}

} // namespace

class TstPrinting : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // in characters
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("line breaks") << "a\r\nb\nc\rd\n\re\r\n"
                                     << 9 << QStringList{"a", "b", "c", "d", "", "e", ""};
        QTest::newRow("tab stops") << "\tx\ty\r\nab\tz" << 20
                                   << QStringList{"        x       y", "ab      z"};
        QTest::newRow("controls") << QString::fromLatin1("a\0b\x1b"
                                                         "c\x7f\x85"
                                                         "d",
                                                         8)
                                  << 9 << QStringList{"a b c  d"};
        QTest::newRow("wrap at a blank")
            << "the quick brown fox" << 10 << QStringList{"the quick ", "brown fox"};
        QTest::newRow("blanks at the break vanish")
            << "0123456789   abc" << 10 << QStringList{"0123456789", "abc"};
        QTest::newRow("long word cut")
            << "ab abcdefghijklmnopq" << 10 << QStringList{"ab ", "abcdefghij", "klmnopq"};
        QTest::newRow("narrower than a letter") << "abc" << 0 << QStringList{"a", "b", "c"};
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QStringList, lines);
        QStringList got;
        for (const QString &line : platform::printlayout::splitLines(text))
            got << platform::printlayout::wrapLine(
                line, [](QChar) { return 1.0; }, width);
        QCOMPARE(got, lines);
    }

    void printsOnePage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("selected"); // bytes from position 4
        QTest::addColumn<QList<Answer>>("answer");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("whole text") << QByteArray("First\r\n\r\ncaf\xe9 \xa9\r\n\tTabbed") << 0
                                    << QList<Answer>() << QStringList{"First", "caf\u00e9 \u00a9", "Tabbed"};
        QTest::newRow("empty document, a blank page")
            << QByteArray() << 0 << QList<Answer>() << QStringList();
        QTest::newRow("yes prints the selection")
            << QByteArray("one two\r\nthree") << 8 << QList<Answer>{Answer::Yes} << QStringList{"two", "thr"};
        QTest::newRow("no prints everything") << QByteArray("one two\r\nthree") << 8
                                              << QList<Answer>{Answer::No} << QStringList{"one two", "three"};
    }
    void printsOnePage()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, selected);
        QFETCH(QList<Answer>, answer);
        QFETCH(QStringList, printed);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView(text));
        doc->textControl()->setSelStart(selected ? 4 : 0);
        doc->textControl()->setSelLength(selected);
        prompts.answer(answer.value(0));
        const QList<QStringList> pages = print(doc, app.path("out.pdf"));
        QCOMPARE(prompts.asked.size(), answer.size());
        if (!answer.isEmpty()) {
            QCOMPARE(prompts.asked[0].text, "Do you wish to only print the highlighted text?");
            QCOMPARE(prompts.asked[0].caption, "Print your selection?");
            QCOMPARE(prompts.asked[0].buttons, platform::Buttons::YesNo);
        }
        QCOMPARE(pages, QList<QStringList>{printed});
        QProcess info; // the job is named after its window
        info.start("pdfinfo", {app.path("out.pdf")});
        QVERIFY(info.waitForFinished() &&
                QString(info.readAll()).contains(QRegularExpression("Title: +Untitled\n")));
    }

    void longDocumentWrapsAndFillsItsPages()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QStringList words, lines;
        for (int i = 0; i < 400; ++i)
            words << QStringLiteral("word%1").arg(i);
        for (int i = 1; i <= 10000; ++i)
            lines << QStringLiteral("Line %1 of the long document").arg(i, 5, 10, QLatin1Char('0'));
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(words.join(' ') + "\r\n" + lines.join("\r\n"));
        const QList<QStringList> pages = print(doc, app.path("long.pdf"));
        QVERIFY2(pages.size() > 50, qPrintable(QString::number(pages.size())));
        QStringList printed;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            // Every page but the last is full, all holding the same number of lines.
            if (p + 1 < pages.size())
                QCOMPARE(pages[p].size(), pages[0].size());
            printed << pages[p];
        }
        // The long line wraps between words, and nothing is lost.
        const qsizetype first = printed.indexOf(lines.first());
        QVERIFY2(first > 1, qPrintable(printed.value(0)));
        QCOMPARE(printed.mid(0, first).join(' ').split(' ', Qt::SkipEmptyParts), words);
        QCOMPARE(printed.mid(first), lines);
    }

    void failureIsTold()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString folder = app.path("out.pdf"); // stands where the file would go
        QVERIFY(QDir().mkpath(folder));
        FrmDoc *doc = app.newDocument();
        print(doc, folder);
        const QString lead = "there was an error in printing your document: ";
        QCOMPARE(prompts.messages().value(0).text,
                 lead + "The file \"" + folder + "\" could not start the print job.");
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer; the job would really be printed");
        print(doc, QString());
        QCOMPARE(prompts.messages().value(1).text, lead + "No printer is installed.");
    }
};

QP_TEST_MAIN(TstPrinting)
#include "tst_printing.moc"
