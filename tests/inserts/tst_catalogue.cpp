#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QMenu>
#include <QSet>

namespace {

using Kind = ScriptedPrompts::Kind;

// A selection with a line break and a letter outside ASCII, written back byte for byte.
const QByteArray kSel("x\xE9\r\ny");
const QByteArray kBefore("Left [");
const QByteArray kAfter("] right");

struct Row
{
    const char *entry;
    const char *withSel; // "$" marks where the selection goes
    const char *without;
    const char *answer = nullptr; // the entry asks first
};

// Every entry with the bytes it must write, for a scripted answer where one is asked.
const Row kRows[] = {
    {"mnuCopyright", "Copyright \xA9 2010 of <QPLPROMPT>Company Name</QPLPROMPT>\xAE Alrights reserved",
     "Copyright \xA9 2010 of <QPLPROMPT>Company Name</QPLPROMPT>\xAE Alrights reserved"},
    {"mnuInsertCSSClass", ".intro {\r\n\r\n}", ".intro {\r\n\r\n}", "intro"},
    {"mnuInsertCSSID", "#main {\r\n\r\n}", "#main {\r\n\r\n}", "main"},
    {"mnuInsertCSSName", "p {\r\n\r\n}", "p {\r\n\r\n}", "p"},
    {"mnuInsertCPPInclude", "#include \"$\"", "#include <<QPLPROMPT>IncludeFIle</QPLPROMPT>>"},
    {"mnuInsertCPPNameSpace", "using namespace <QPLPROMPT>NameSpace</QPLPROMPT>;",
     "using namespace <QPLPROMPT>NameSpace</QPLPROMPT>;"},
    {"mnuInsertCPPHeading",
     "#include <iostream>\r\n\r\nusing namespace std;\r\n \r\nint main(int agrc, char *agrv[])\r\n{\r\n\r\n$\r\nreturn 0;\r\n}",
     "#include <iostream>\r\n\r\nusing namespace std;\r\n \r\nint main(int agrc, char *agrv[])\r\n{\r\n\r\n\r\nreturn 0;\r\n}"},
    {"mnuInsertHTMLP", "<P>$</P>", "<P> [REPLACE WITH TEXT] </P>"},
    {"mnuInsertHTMLSpan", "<Span ID='nav' name='nav' class='nav'>$</span>",
     "<Span ID='nav' name='nav' class='nav'>[INSERT TEXT HERE]</span>", "nav"},
    {"mnuInsertHTMLLineBreak", "<BR />", "<BR />"},
    {"mnuInsertHTMLHeading1", "<h1>$</h1>", "<h1> [REPLACE WITH TEXT] </h1>"},
    {"mnuInsertLinkAnchor", "<A href='http://a.example/' target='_SELF'>$</A>",
     "<A href='http://a.example/' target='_SELF'>[Insert Text]</A>", "http://a.example/"},
    {"mnuInsertLinkEmail", "<A href='mailto:me@a.example' target='_SELF'>$</A>",
     "<A href='mailto:me@a.example' target='_SELF'>[Insert Text]</A>", "me@a.example"},
    {"mnuInsetBoldText", "<B>$</B>", "<B><!-- Paragraph //--></B>"},
    {"mnuInsertHtmlUnderline", "<U>$</U>", "<U><!-- Paragraph //--></U>"},
    {"mnuHTMLInsertItalic", "<I>$</I>", "<I><!-- Paragraph //--></I>"},
    {"mnuInsertHTMLStyle", "<STYLE>$</STYLE>",
     "<STYLE>\r\nBODY{\r\nBACKGROUND-COLOR: #FFFFFF;\r\nCOLOR:#000000;\r\n}</STYLE>"},
    {"mnuInsertHTMLTable", "<TABLE BORDER=1><TR><TD>$</TD></TR></TABLE>",
     "<TABLE BORDER=1><TR><TD><!-- TABLE CONTENT //--></TD></TR></TABLE>"},
    {"mnuInsertHTMLImage", "<IMG SRC='$'>", "<IMG SRC=''>"},
    {"mnuInsertHTMLBody", "<BODY>\r\n$\r\n</BODY>", "<BODY>\r\n<H1>heading</H1>\r\n</BODY>"},
    {"mnuInsertHTMLDiv", "<DIV>$</DIV>", "<DIV><!-- CONTENTS //--></DIV>"},
    {"mnuInsertHTMLForm", "<FORM METHOD=POST ACTION=''>$</FORM>",
     "<FORM METHOD=POST ACTION=''>\r\nEmail: <input type='textbox' name='email'>\r\n</form>"},
    {"mnuInsertHTMLFrames",
     "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC='$'></FRAME><FRAME SRC=''></FRAME></FRAMESET>",
     "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME></FRAMESET>"},
    {"mnuInsertHTMLScrolling", "<MARQUEE DIRECTION='LEFT'>$</MARQUEE>",
     "<MARQUEE DIRECTION='LEFT'><!-- CONTENT //--></MARQUEE>"},
    {"mnuInsertHTMLFont", "<FONT COLOR=BLACK SIZE=12>$</FONT>", "<FONT COLOR=BLACK SIZE=12><!-- Paragraph //--></FONT>"},
    {"mnuInsertHTMLTitle", "<TITLE>$</TITLE>", "<TITLE>TITLE</TITLE>"},
    {"mnuInsertHTMLHeader", "<HEAD>\r\n<TITLE>$</TITLE>\r\n</HEAD>", "<HEAD>\r\n<TITLE>TITLE</TITLE>\r\n</HEAD>"},
};

// Title, prompt and initial value of the box an entry asks.
QStringList boxOf(const QByteArray &entry)
{
    if (entry.startsWith("mnuInsertCSS"))
        return {"CSS CLASS", "Please Enter the class you'd like to add formatting for", ""};
    if (entry == "mnuInsertHTMLSpan")
        return {"SPAN INSERT", "Enter ID for the span", "default"};
    if (entry == "mnuInsertLinkAnchor")
        return {"Link", "Please Enter the link", "http://"};
    if (entry == "mnuInsertLinkEmail")
        return {"Link", "Please Enter the email link", "name@example.com"};
    return {};
}

// A document "Left [<selection>] right" with the selection selected, or the caret between the brackets.
FrmDoc *documentWith(AppFixture &app, const QByteArray &selection)
{
    FrmDoc *doc = app.newDocument();
    doc->textControl()->setText(QByteArrayView(kBefore + selection + kAfter));
    doc->textControl()->setSelStart(kBefore.size());
    doc->textControl()->setSelLength(selection.size());
    return doc;
}

#define COMPARE_RESULT(doc, fragment)                                                                     \
    do {                                                                                                   \
        TextControl *t_ = (doc)->textControl();                                                            \
        QCOMPARE(t_->text(), kBefore + (fragment) + kAfter);                                               \
        QVERIFY2(t_->selStart() == kBefore.size() + (fragment).size() && t_->selLength() == 0,             \
                 "the caret must stand after the fragment with nothing selected");                         \
    } while (0)

} // namespace

class TstCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void everyEntryWritesItsFragment_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("fragment");
        for (const Row &r : kRows) {
            const QString answer = r.answer ? QString::fromLatin1(r.answer) : QString();
            QTest::addRow("%s selected", r.entry)
                << QByteArray(r.entry) << kSel << answer << QByteArray(r.withSel).replace('$', kSel);
            QTest::addRow("%s at caret", r.entry) << QByteArray(r.entry) << QByteArray() << answer << QByteArray(r.without);
        }
    }
    void everyEntryWritesItsFragment()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, selection);
        QFETCH(QString, answer);
        QFETCH(QByteArray, fragment);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, selection);
        const QStringList box = boxOf(entry);
        if (!box.isEmpty())
            prompts.answerInput(answer);
        AppFixture::trigger(doc, QString::fromLatin1(entry));
        COMPARE_RESULT(doc, fragment);
        QCOMPARE(prompts.asked.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            const ScriptedPrompts::Asked &q = prompts.asked.first();
            QCOMPARE(int(q.kind), int(Kind::Input));
            QCOMPARE(QStringList({q.caption, q.text, q.initial}), box);
        }
    }

    // Every entry of the Insert menu but the date stamp is in the table above.
    void tableCoversTheInsertMenu()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QSet<QString> inMenu;
        QList<QMenu *> menus = {doc->findChild<QMenu *>(QStringLiteral("mnuInsert"))};
        QVERIFY(menus.first());
        while (!menus.isEmpty())
            for (QAction *a : menus.takeFirst()->actions()) {
                if (a->menu())
                    menus << a->menu();
                else if (!a->isSeparator() && a->objectName() != QLatin1String("mnuInsertStampDate"))
                    inMenu << a->objectName();
            }
        QSet<QString> inTable;
        for (const Row &r : kRows)
            inTable << QString::fromLatin1(r.entry);
        QCOMPARE(inMenu, inTable);
    }

    // Cancel gives "" and blank answers; what each entry makes of them.
    void blankAndCancelledAnswers_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("fragment"); // "=" for an unchanged document
        const QByteArray css[] = {"mnuInsertCSSClass", "mnuInsertCSSID", "mnuInsertCSSName"};
        for (const QByteArray &e : css) {
            QTest::addRow("%s cancelled", e.constData()) << e << QByteArray() << QString() << QByteArray("=");
            QTest::addRow("%s cancelled, selection", e.constData()) << e << kSel << QString() << QByteArray("=");
        }
        QTest::newRow("CSS name of spaces") << QByteArray("mnuInsertCSSName") << QByteArray() << QString("  ")
                                            << QByteArray("   {\r\n\r\n}");
        QTest::newRow("SPAN cancelled") << QByteArray("mnuInsertHTMLSpan") << QByteArray() << QString()
                                        << QByteArray("<Span ID='' name='' class=''>[INSERT TEXT HERE]</span>");
        QTest::newRow("SPAN cancelled, selection") << QByteArray("mnuInsertHTMLSpan") << kSel << QString()
                                                   << "<Span ID='' name='' class=''>" + kSel + "</span>";
        QTest::newRow("anchor cancelled") << QByteArray("mnuInsertLinkAnchor") << QByteArray() << QString()
                                          << QByteArray("<A href='#' target='_SELF'>[Insert Text]</A>");
        QTest::newRow("anchor of spaces") << QByteArray("mnuInsertLinkAnchor") << kSel << QString("   ")
                                          << "<A href='#' target='_SELF'>" + kSel + "</A>";
        QTest::newRow("anchor keeps spaces") << QByteArray("mnuInsertLinkAnchor") << QByteArray() << QString(" a.htm ")
                                             << QByteArray("<A href=' a.htm ' target='_SELF'>[Insert Text]</A>");
        QTest::newRow("email cancelled") << QByteArray("mnuInsertLinkEmail") << QByteArray() << QString()
                                         << QByteArray("<A href='mailto:#' target='_SELF'>[Insert Text]</A>");
        QTest::newRow("email of spaces") << QByteArray("mnuInsertLinkEmail") << kSel << QString(" ")
                                         << "<A href='mailto:#' target='_SELF'>" + kSel + "</A>";
        QTest::newRow("answer with CR LF and Latin-1") << QByteArray("mnuInsertCSSClass") << QByteArray()
                                                       << QString("a\r\n\u00e9") << QByteArray(".a\r\n\xE9 {\r\n\r\n}");
    }
    void blankAndCancelledAnswers()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, selection);
        QFETCH(QString, answer);
        QFETCH(QByteArray, fragment);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, selection);
        prompts.answerInput(answer);
        AppFixture::trigger(doc, QString::fromLatin1(entry));
        QVERIFY(prompts.scriptUsedUp());
        QVERIFY(prompts.messages().isEmpty());
        if (fragment != "=") {
            COMPARE_RESULT(doc, fragment);
            return;
        }
        TextControl *t = doc->textControl();
        QCOMPARE(t->text(), kBefore + selection + kAfter);
        QVERIFY2(t->selStart() == kBefore.size() && t->selLength() == selection.size(),
                 "a cancelled entry leaves the selection as it was");
    }

    void answerOutsideLatin1BecomesQuestionMarksAndIsReported()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, kSel);
        prompts.answerInput(QString::fromUtf8("n\u0101v\U0001F600"));
        AppFixture::trigger(doc, QStringLiteral("mnuInsertHTMLSpan"));
        COMPARE_RESULT(doc, "<Span ID='n?v?' name='n?v?' class='n?v?'>" + kSel + "</span>");
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages().first().text.startsWith(QLatin1String("6 character(s)")),
                 qPrintable(prompts.messages().first().text));
    }

    // SPAN reads the selection once its box has closed; a link reads it before asking.
    void selectionIsReadBeforeOrAfterTheBox_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("fragment");
        QTest::newRow("SPAN") << QString("mnuInsertHTMLSpan") << QByteArray("<Span ID='i' name='i' class='i'>ri</span>");
        QTest::newRow("anchor") << QString("mnuInsertLinkAnchor") << QByteArray("<A href='i' target='_SELF'>Le</A>");
        QTest::newRow("email") << QString("mnuInsertLinkEmail") << QByteArray("<A href='mailto:i' target='_SELF'>Le</A>");
    }
    void selectionIsReadBeforeOrAfterTheBox()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, fragment);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, QByteArray());
        TextControl *t = doc->textControl();
        t->setSelStart(0);
        t->setSelLength(2); // "Le"
        prompts.onAsk = [t](const ScriptedPrompts::Asked &) {
            t->setSelStart(8);
            t->setSelLength(2); // "ri"
        };
        prompts.answerInput(QStringLiteral("i"));
        AppFixture::trigger(doc, entry);
        QCOMPARE(t->text(), QByteArray("Left [] ") + fragment + "ght");
    }
};

QP_TEST_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
