#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/extras.h"
#include "editor/frmdoc.h"
#include "platform/printer.h"
#include "platform/printlayout.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QPrinterInfo>
#include <QProcess>

using platform::Answer;
namespace layout = platform::printlayout;

namespace {

// Remembers each job instead of printing it; can fail like a printer.
struct RecordingPrinter : platform::Printer
{
    RecordingPrinter() { platform::setPrinter(this); }
    ~RecordingPrinter() override { platform::setPrinter(nullptr); }
    bool printText(const QString &jobName, const QString &text, QString *error) override
    {
        jobs << text;
        names << jobName;
        if (!failure.isEmpty())
            *error = failure;
        return failure.isEmpty();
    }
    QStringList jobs;
    QStringList names;
    QString failure;
};

// Prints through the real Qt printer into a PDF file for as long as it lives.
struct PdfPrinter
{
    explicit PdfPrinter(const QString &file) : printer(file) { platform::setPrinter(&printer); }
    ~PdfPrinter() { platform::setPrinter(nullptr); }
    platform::QtTextPrinter printer;
};

// The PDF's text, pages separated by form feeds, as pdftotext reads it.
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pages(const QString &text)
{
    QStringList list = text.split(QLatin1Char('\f'));
    if (!list.isEmpty() && list.last().trimmed().isEmpty())
        list.removeLast();
    return list;
}

QStringList nonEmptyLines(const QString &text)
{
    QStringList out;
    for (const QString &l : text.split(QLatin1Char('\n')))
        if (!l.trimmed().isEmpty())
            out << l.trimmed();
    return out;
}

qreal oneEach(QChar) { return 1; }

} // namespace

class TstPrinting : public QObject
{
    Q_OBJECT

private slots:
    void splitLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("one line") << QStringLiteral("abc") << QStringList{QStringLiteral("abc")};
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("trailing CR LF") << QStringLiteral("a\r\n") << QStringList{QStringLiteral("a"), QString()};
        QTest::newRow("blank lines") << QStringLiteral("a\r\n\r\n\r\nb")
                                     << QStringList{QStringLiteral("a"), QString(), QString(), QStringLiteral("b")};
        QTest::newRow("lone LF and CR") << QStringLiteral("a\nb\rc")
                                        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb")
                                             << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
        QTest::newRow("tabs to eight columns") << QStringLiteral("\tx\ty\r\nabcdefgh\tz")
                                               << QStringList{QStringLiteral("        x       y"),
                                                              QStringLiteral("abcdefgh        z")};
        QTest::newRow("control characters") << QString::fromLatin1("a\0b\x1b" "c\x7f\x85" "d", 8)
                                            << QStringList{QStringLiteral("a b c  d")};
        QTest::newRow("Latin-1 kept") << QStringLiteral("\u00a9 caf\u00e9 \u00ff")
                                      << QStringList{QStringLiteral("\u00a9 caf\u00e9 \u00ff")};
    }
    void splitLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(layout::splitLines(text), lines);
    }

    void wrapLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("empty") << QString() << 10 << QStringList{QString()};
        QTest::newRow("fits") << QStringLiteral("short line") << 10 << QStringList{QStringLiteral("short line")};
        QTest::newRow("at a blank") << QStringLiteral("the quick brown fox") << 10
                                    << QStringList{QStringLiteral("the quick "), QStringLiteral("brown fox")};
        QTest::newRow("break falls on blanks") << QStringLiteral("0123456789   abc") << 10
                                               << QStringList{QStringLiteral("0123456789"), QStringLiteral("abc")};
        QTest::newRow("long word cut") << QStringLiteral("abcdefghijklmnopqrstuvwxy") << 10
                                       << QStringList{QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"),
                                                      QStringLiteral("uvwxy")};
        QTest::newRow("word after blank too long")
            << QStringLiteral("ab abcdefghijklmn") << 10
            << QStringList{QStringLiteral("ab "), QStringLiteral("abcdefghij"), QStringLiteral("klmn")};
        QTest::newRow("leading blanks kept") << QStringLiteral("   indented") << 20
                                             << QStringList{QStringLiteral("   indented")};
        QTest::newRow("narrower than a letter") << QStringLiteral("abc") << 0
                                                << QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                                               QStringLiteral("c")};
    }
    void wrapLine()
    {
        QFETCH(QString, line);
        QFETCH(int, width);
        QFETCH(QStringList, pieces);
        const QStringList got = layout::wrapLine(line, oneEach, width);
        QCOMPARE(got, pieces);
        QCOMPARE(got.join(QString()).remove(QLatin1Char(' ')), QString(line).remove(QLatin1Char(' ')));
    }

    void paginate()
    {
        QStringList lines;
        for (int i = 0; i < 7; ++i)
            lines << QString::number(i);
        const QList<QStringList> p = layout::paginate(lines, 3);
        QCOMPARE(p.size(), 3);
        QCOMPARE(p[0], (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(p[2], QStringList{QStringLiteral("6")});
        QCOMPARE(layout::paginate({}, 3).size(), 1);
        QCOMPARE(layout::paginate(lines, 0).size(), 7);
    }

    void wholeTextWithoutSelection()
    {
        RecordingPrinter printer;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("one\r\ntwo \xa9"));
        app.record(doc->slot()).Changed = false;
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        QCOMPARE(printer.jobs, QStringList{QStringLiteral("one\r\ntwo \u00a9")});
        QCOMPARE(printer.names, QStringList{QStringLiteral("Untitled")});
        QVERIFY(!app.record(doc->slot()).Changed);
    }

    void selectionQuestion_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("printed");
        QTest::newRow("yes prints the selection") << Answer::Yes << QStringLiteral("two\r\nthr");
        QTest::newRow("no prints everything") << Answer::No << QStringLiteral("one two\r\nthree");
    }
    void selectionQuestion()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, printed);
        RecordingPrinter printer;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("one two\r\nthree"));
        text->setSelStart(4);
        text->setSelLength(8);
        app.record(doc->slot()).Changed = false;
        prompts.answer(answer);
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.asked[0].text, QStringLiteral("Do you wish to only print the highlighted text?"));
        QCOMPARE(prompts.asked[0].caption, QStringLiteral("Print your selection?"));
        QCOMPARE(prompts.asked[0].buttons, platform::Buttons::YesNo);
        QCOMPARE(printer.jobs, QStringList{printed});
        QCOMPARE(text->selStart(), qsizetype(4));
        QCOMPARE(text->selLength(), qsizetype(8));
        QCOMPARE(text->text(), QByteArray("one two\r\nthree"));
        QVERIFY(!app.record(doc->slot()).Changed);
    }

    void emptyDocumentStillSendsAJob()
    {
        RecordingPrinter printer;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        extras::PrintDocument(*doc);
        QCOMPARE(printer.jobs, QStringList{QString()});
        QVERIFY(prompts.asked.isEmpty());
    }

    void failureIsTold()
    {
        RecordingPrinter printer;
        printer.failure = QStringLiteral("Out of paper.");
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("keep me"));
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("there was an error in printing your document: Out of paper."));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::Ok);
        QCOMPARE(prompts.messages()[0].icon, platform::Icon::None);
        QCOMPARE(doc->textControl()->text(), QByteArray("keep me"));
        // The window stays usable.
        QTest::keyClicks(doc->textControl(), QStringLiteral("!"));
        QCOMPARE(doc->textControl()->text(), QByteArray("!keep me"));
    }

    void withoutAPrinterTheUserIsTold()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer; the job would really be printed");
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("text"));
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("there was an error in printing your document: No printer is installed."));
    }

    void unwritableOutputIsAFailure()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        // A folder stands where the file would go.
        const QString folder = app.path(QStringLiteral("out.pdf"));
        QVERIFY(QDir().mkpath(folder));
        PdfPrinter pdf(folder);
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("text"));
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("there was an error in printing your document: The file \"%1\" could not start the "
                                "print job.")
                     .arg(folder));
    }

    void printsLinesIntoPdf()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString out = app.path(QStringLiteral("short.pdf"));
        PdfPrinter pdf(out);
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("First line\r\n\r\nThird line, caf\xe9 \xa9\r\n\tTabbed"));
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        const QString text = pdfText(out);
        QCOMPARE(pages(text).size(), 1);
        QCOMPARE(nonEmptyLines(text), (QStringList{QStringLiteral("First line"),
                                                   QStringLiteral("Third line, caf\u00e9 \u00a9"),
                                                   QStringLiteral("Tabbed")}));
    }

    void emptyDocumentGivesOneBlankPage()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString out = app.path(QStringLiteral("empty.pdf"));
        PdfPrinter pdf(out);
        FrmDoc *doc = app.newDocument();
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        QVERIFY2(QFileInfo(out).size() > 0, "no PDF was written");
        const QString text = pdfText(out);
        QVERIFY2(!text.startsWith(QLatin1String("<pdftotext")), qPrintable(text));
        QCOMPARE(text.count(QLatin1Char('\f')), 1);
        QCOMPARE(nonEmptyLines(text), QStringList());
    }

    void longLinesWrapAndNothingIsLost()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString out = app.path(QStringLiteral("wrapped.pdf"));
        PdfPrinter pdf(out);
        QStringList words;
        for (int i = 0; i < 400; ++i)
            words << QStringLiteral("word%1").arg(i);
        const QString unbroken(700, QLatin1Char('x'));
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(words.join(QLatin1Char(' ')) + QStringLiteral("\r\n") + unbroken);
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        const QStringList lines = nonEmptyLines(pdfText(out));
        QVERIFY2(lines.size() > 4, qPrintable(QStringLiteral("%1 lines").arg(lines.size())));
        QString printedWords;
        QString printedX;
        for (const QString &l : lines)
            (l.startsWith(QLatin1String("word")) ? printedWords : printedX) += l + QLatin1Char(' ');
        QCOMPARE(printedWords.split(QLatin1Char(' '), Qt::SkipEmptyParts), words);
        QCOMPARE(printedX.remove(QLatin1Char(' ')), unbroken);
        // Words are never cut in the middle.
        for (const QString &l : lines)
            if (l.startsWith(QLatin1String("word")))
                QVERIFY2(l.split(QLatin1Char(' ')).last().contains(QRegularExpression(QStringLiteral("^word\\d+$"))),
                         qPrintable(l));
    }

    void tenThousandLinesOverManyPages()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString out = app.path(QStringLiteral("long.pdf"));
        PdfPrinter pdf(out);
        QStringList lines;
        for (int i = 1; i <= 10000; ++i)
            lines << QStringLiteral("Line %1 of the long document").arg(i, 5, 10, QLatin1Char('0'));
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(lines.join(QStringLiteral("\r\n")));
        AppFixture::trigger(doc, QStringLiteral("mnuFilePrint"));
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        const QString text = pdfText(out);
        const QStringList pageTexts = pages(text);
        QVERIFY2(pageTexts.size() > 50, qPrintable(QStringLiteral("%1 pages").arg(pageTexts.size())));
        QCOMPARE(nonEmptyLines(text), lines);
        // Every page but the last is full, and all hold the same number of lines.
        const int perPage = int(nonEmptyLines(pageTexts.first()).size());
        for (qsizetype p = 0; p + 1 < pageTexts.size(); ++p)
            QCOMPARE(int(nonEmptyLines(pageTexts[p]).size()), perPage);
        QCOMPARE(int(pageTexts.size()), (10000 + perPage - 1) / perPage);
    }
};

QP_TEST_MAIN(TstPrinting)
#include "tst_printing.moc"
