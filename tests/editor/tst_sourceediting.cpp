#include "app/mdimain.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recoverykeeper.h"
#include "editor/embeddedcss.h"
#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "editor/menutree.h"
#include "editor/sourceview.h"
#include "editor/stylecatchup.h"
#include "editor/syntaxcolours.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

using Sci = QsciScintillaBase;
using Sel = QPair<qsizetype, qsizetype>;

namespace {

QString lexerOf(TextControl *t)
{
    QByteArray name(64, '\0');
    const long n = t->SendScintilla(Sci::SCI_GETLEXERLANGUAGE, 0UL, name.data());
    return QString::fromLatin1(name.left(n));
}

// Options written as letters: c match case, w whole word, n no wrap around.
void setOptions(FindBar *bar, const QByteArray &flags)
{
    bar->findChild<QCheckBox *>(QStringLiteral("chkMatchCase"))->setChecked(flags.contains('c'));
    bar->findChild<QCheckBox *>(QStringLiteral("chkWholeWord"))->setChecked(flags.contains('w'));
    bar->findChild<QCheckBox *>(QStringLiteral("chkWrapAround"))->setChecked(!flags.contains('n'));
}

// One message (or none when text is empty), in the program's caption.
void expectMessage(ScriptedPrompts &prompts, const QString &text, platform::Icon icon = platform::Icon::None)
{
    const QList<ScriptedPrompts::Asked> messages = prompts.messages();
    QCOMPARE(messages.size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(messages[0].text, text);
        QCOMPARE(messages[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(messages[0].icon, icon);
    }
}

// A web page of about `bytes` bytes whose last `scriptLines` lines sit in one script block.
QByteArray webPage(qsizetype bytes, int scriptLines,
                   const QByteArray &line = "<div class=\"note\"><p>Some <b>text</b> &amp; a <a "
                                            "href=\"x.html\">link</a></p></div>\r\n")
{
    QByteArray out = "<html>\r\n<body>\r\n";
    while (out.size() < bytes)
        out += line;
    out += "<script>\r\n" + QByteArray("var s = \"word\"; // a comment\r\n").repeated(scriptLines);
    return out + "</script>\r\n</body>\r\n</html>";
}

} // namespace

class TstSourceEditing : public WindowTest
{
    Q_OBJECT

    // The bytes of a literal, NULs included.
    template <size_t N> static QByteArray b(const char (&s)[N]) { return QByteArray(s, N - 1); }
    static int styleAt(TextControl *t, qsizetype pos)
    {
        return int(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xff);
    }
    static void select(FrmDoc *d, qsizetype start, qsizetype length)
    {
        d->textControl()->setSelStart(start);
        d->textControl()->setSelLength(length);
    }
    static Sel selection(FrmDoc *d) { return {d->textControl()->selStart(), d->textControl()->selLength()}; }
    static QLineEdit *field(FrmDoc *d, const char *name)
    {
        return d->findBar()->findChild<QLineEdit *>(name);
    }
    static void click(FrmDoc *d, const char *name)
    {
        QTest::mouseClick(d->findBar()->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // Paints the document as the user would see it, which is when it is styled.
    static void paint(FrmDoc *d) { d->textControl()->grab(); }

    FrmDoc *open(const QString &name, const QByteArray &bytes)
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        m_app->current()->subWindow()->resize(700, 450);
        return m_app->current();
    }

    // A big page (CR LF, lone LF, NUL and Latin-1 bytes) gets its style bytes from a worker.
    const QByteArray m_big = webPage(6 << 20, 0, b("<p>Caf\xe9 \0 <b>text</b> &amp;</p>\n\r\n"));
    static bool waitForStyleBytes(TextControl *t)
    {
        return QTest::qWaitFor([t] { return t->hasStyleBytes(); }, 60000);
    }
    // Colours of the shown part: the lexer has run over it, not all default.
    static bool colouredOnScreen(TextControl *t)
    {
        t->grab();
        const long first =
            t->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                             static_cast<unsigned long>(t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
        for (long p = first; p < first + 200 && p < t->length(); ++p)
            if (styleAt(t, p) != 0)
                return true;
        return false;
    }
    FrmDoc *documentWith(const QByteArray &text)
    {
        FrmDoc *d = m_app->newDocument();
        d->textControl()->setText(QByteArrayView(text));
        d->undoTick();
        m_app->record(d->slot()).Changed = false;
        return d;
    }

private slots:
    void menuKeysAndWordWrap()
    {
        FrmDoc *d = m_app->newDocument();
        // No key is taken twice in the document window's menus.
        QSet<QString> seen;
        for (const menutree::Entry &e : menutree::documentMenu()) {
            if (!e.shortcut)
                continue;
            QVERIFY2(!seen.contains(QLatin1String(e.shortcut)), e.shortcut);
            seen.insert(QLatin1String(e.shortcut));
        }
        // Word Wrap is a check item that turns wrapping on and off.
        QAction *wrap = d->action(QStringLiteral("mnuViewWordWrap"));
        for (bool on : {false, true, false}) {
            QCOMPARE(wrap->isChecked(), on);
            QCOMPARE(d->textControl()->SendScintilla(Sci::SCI_GETWRAPMODE),
                     long(on ? Sci::SC_WRAP_WORD : Sci::SC_WRAP_NONE));
            AppFixture::trigger(d, QStringLiteral("mnuViewWordWrap"));
        }
    }

    // The keys reach their entries from the text and from the find field.
    void findKeysAndFindNextAndPrevious()
    {
        FrmDoc *d = documentWith("ab ab ab");
        FindBar *bar = d->findBar();
        QApplication::setActiveWindow(m_app->frame());
        QVERIFY(QTest::qWaitForWindowActive(m_app->frame()));
        TextControl *t = d->textControl();
        t->setFocus();
        QTest::keyClick(t, Qt::Key_F3);
        QVERIFY2(bar->isVisible(), "F3 with nothing to find yet opens the bar");
        bar->close();
        QTest::keyClick(t, Qt::Key_F, Qt::ControlModifier);
        QVERIFY2(bar->isVisible() && !bar->replaceShown(), "Ctrl+F opens the find row");
        QLineEdit *f = field(d, "txtFind");
        QVERIFY(f->hasFocus());
        QTest::keyClicks(f, "ab");
        QTest::keyClick(f, Qt::Key_F3);
        QCOMPARE(selection(d), Sel(0, 2));
        bar->close();
        QTest::keyClick(t, Qt::Key_F3);
        QCOMPARE(selection(d), Sel(3, 2));
        QVERIFY2(!bar->isVisible(), "F3 searches without opening the bar");
        QTest::keyClick(t, Qt::Key_H, Qt::ControlModifier);
        QVERIFY2(bar->replaceShown(), "Ctrl+H opens the replace row");
        QTest::keyClick(f, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(selection(d), Sel(0, 2));
        click(d, "cmdFindPrevious");
        QCOMPARE(selection(d), Sel(6, 2));
        QTest::keyClick(f, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_prompts->asked.value(0).caption, QStringLiteral("Go To Line"));
    }

    void colouringByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lexer");
        // Which extension gives which language is the find engine test's; here each language's lexer.
        for (const char *row :
             {"page.html|hypertext", "index.php|hypertext", "feed.xml|xml", "site.css|css", "main.cpp|cpp",
              "App.java|cpp", "app.js|cpp", "tool.pl|perl", "setup.ini|props", "notes.txt|null"}) {
            const QStringList cells = QString::fromLatin1(row).split(QLatin1Char('|'));
            QTest::newRow(row) << cells[0] << cells[1];
        }
    }
    void colouringByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, lexer);
        // CR LF, a lone LF, NUL and Latin-1 bytes; no final line end.
        const QByteArray bytes = b("<p class=\"a\">{caf\xe9}</p>\r\n/* x */ int a; // \xff\r\nb\nc\0d");
        FrmDoc *d = open(name, bytes);
        TextControl *t = d->textControl();
        QCOMPARE(lexerOf(t), lexer);
        QCOMPARE(t->hasStyleBytes(), lexer != QLatin1String("null"));
        paint(d);
        QCOMPARE(t->bytes().toByteArray(), bytes);
        QCOMPARE(m_app->record(d->slot()).Changed, false);
        bool coloured = false;
        for (int i = 0; i < bytes.size(); ++i)
            coloured = coloured || styleAt(t, i) != 0;
        QVERIFY2(coloured == (lexer != QLatin1String("null")), "the shown text has styles of its own");
    }

    void styleSheetsInsideAPageAreColouredAsCss()
    {
        const QByteArray page = "<!-- <style> in a comment -->\r\nbody x\r\n<STYLE type=\"text/css\">\r\n"
                                "body { color: red; }\r\n</style>\r\n<p>body</p>";
        FrmDoc *d = open(QStringLiteral("page.htm"), page);
        TextControl *t = d->textControl();
        paint(d);
        auto styleOf = [&](const char *what, int nth = 0) {
            qsizetype at = -1;
            for (int i = 0; i <= nth; ++i)
                at = page.indexOf(what, at + 1);
            return styleAt(t, at);
        };
        const int css = EmbeddedCss::Base;
        // Page text after the comment, then a CSS tag, property and value; line ends and
        // the text after the block keep the page's styles.
        QCOMPARE((QList<int>{styleOf("body", 0), styleOf("body", 1), styleOf("color"), styleOf("red"),
                             styleOf("\r\nbody {"), styleOf("</style>"), styleOf("body", 2)}),
                 (QList<int>{0, css + 1, css + 6, css + 8, 0, 1, 0}));

        // Typing in the block keeps it coloured; the bytes are only ever the text.
        t->setSelStart(page.indexOf("red"));
        QTest::keyClicks(t, "dark");
        paint(d);
        const QByteArray typed = QByteArray(page).insert(page.indexOf("red"), "dark");
        QCOMPARE(t->bytes().toByteArray(), typed);
        QCOMPARE(styleAt(t, typed.indexOf("darkred")), css + 8);
    }

    // Windows not opened from a file: untitled ones and reused ones are plain, restored work is coloured.
    void untitledReusedAndRestoredWindows()
    {
        FrmDoc *page = open(QStringLiteral("a.html"), "<b>x</b>");
        AppFixture::trigger(page, QStringLiteral("mnuFileClose"));
        FrmDoc *again = m_app->newDocument();
        QCOMPARE(again, page); // the closed window is handed out again
        QCOMPARE(lexerOf(again->textControl()), QStringLiteral("null"));
        QVERIFY(!again->textControl()->hasStyleBytes());

        recovery::Journal journal;
        journal.title = journal.path = m_app->path(QStringLiteral("site.css"));
        journal.text = "body { color: red; }\r\n\xe9";
        QVERIFY(recovery::Keeper::instance().restore(journal, QString()));
        QCOMPARE(lexerOf(m_app->current()->textControl()), QStringLiteral("css"));
        QCOMPARE(m_app->current()->textControl()->text(), journal.text);
    }

    void saveAsRecoloursAndKeepsTextCaretAndUndo()
    {
        FrmDoc *d = m_app->newDocument();
        TextControl *t = d->textControl();
        QTest::keyClicks(t, "<b>bold</b>");
        d->undoTick();
        QTest::keyClicks(t, "x");
        d->undoTick();
        select(d, 3, 4);
        auto saveAs = [&](const QString &name) {
            m_prompts->answerFile(name.isEmpty() ? QString() : m_app->path(name));
            AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        };

        saveAs(QStringLiteral("page.html"));
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QCOMPARE(t->text(), QByteArray("<b>bold</b>x"));
        QCOMPARE(selection(d), Sel(3, 4));
        QCOMPARE(m_app->record(d->slot()).Changed, false);
        QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("page.html"))),
                 QByteArray("<b>bold</b>x\r\n"));
        saveAs(QString()); // cancelled: the colours stay
        // The undo history goes on as before: Undo takes the "x" away.
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(t->text(), QByteArray("<b>bold</b>"));

        saveAs(QStringLiteral("page.txt"));
        QCOMPARE(lexerOf(t), QStringLiteral("null"));
        QVERIFY2(!t->hasStyleBytes(), "back to plain text, without style bytes");
        QCOMPARE(t->text(), QByteArray("<b>bold</b>"));
    }

    void lineNumberMarginGrowsWithTheDocument()
    {
        FrmDoc *d = documentWith("one\r\ntwo");
        TextControl *t = d->textControl();
        QCOMPARE(t->SendScintilla(Sci::SCI_GETMARGINTYPEN, 0UL), long(Sci::SC_MARGIN_NUMBER));
        const long small = t->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL);
        QVERIFY2(small > 0, "line numbers are shown");
        t->setText(QByteArrayView(QByteArray("x\r\n").repeated(123456)));
        QVERIFY2(t->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL) > small, "room for six digits");
        t->setText(QByteArrayView("y"));
        QCOMPARE(t->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL), small);
    }

    // The bar opens with the selected text, between the text and the status bar.
    void findBarTakesTheSelectionAndFitsBelowTheText()
    {
        FrmDoc *d = documentWith("alpha beta\r\ngamma");
        d->subWindow()->resize(700, 450);
        QApplication::processEvents();
        TextControl *t = d->textControl();
        FindBar *bar = d->findBar();
        const QRect closed = t->geometry();
        select(d, 6, 4);
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        select(d, 6, 8); // over a line end: not taken
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QCOMPARE(field(d, "txtFind")->text(), QStringLiteral("beta"));
        QApplication::processEvents();
        QCOMPARE(bar->geometry().top(), t->geometry().bottom() + 1);
        QCOMPARE(d->findChild<QStatusBar *>(QStringLiteral("stBar"))->geometry().top(),
                 bar->geometry().bottom() + 1);
        // Escape closes it from any of its controls and gives the document the room back.
        QTest::keyClick(field(d, "txtFind"), Qt::Key_Escape);
        QApplication::processEvents();
        QCOMPARE(t->geometry(), closed);
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        QTest::keyClick(bar->findChild<QCheckBox *>(QStringLiteral("chkWholeWord")), Qt::Key_Escape);
        QVERIFY2(!bar->isVisible(), "Escape on a check box closes the bar too");
    }

    // The options reach the search (what they mean is the find engine test's);
    // without wrap around the end is told.
    void findWithOptions()
    {
        FrmDoc *d = documentWith("Cat cat\r\ncats CAT");
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        setOptions(d->findBar(), "cwn");
        QLineEdit *f = field(d, "txtFind");
        QTest::keyClicks(f, "cat");
        QTest::keyClick(f, Qt::Key_Return);
        QCOMPARE(selection(d), Sel(4, 3));
        QTest::keyClick(f, Qt::Key_Return);
        expectMessage(*m_prompts, QStringLiteral("Cannot find \"cat\"."));
        QCOMPARE(selection(d), Sel(4, 3));
        QCOMPARE(m_app->record(d->slot()).Changed, false);
    }

    // The fields take Latin-1 only: what a document cannot hold is refused with a beep.
    void replaceOneAtATime()
    {
        FrmDoc *d = documentWith("one two one");
        TextControl *t = d->textControl();
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QTest::keyClicks(field(d, "txtFind"), "one");
        QLineEdit *r = field(d, "txtReplace");
        QTest::keyClicks(r, "1");
        QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20ac)));
        QApplication::sendEvent(r, &euro);
        QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
        QApplication::sendEvent(r, &eacute);
        QCOMPARE(r->text(), QStringLiteral("1\u00e9"));
        QCOMPARE(m_prompts->beeps(), 1);
        click(d, "cmdReplace"); // selects the first
        QCOMPARE(t->text(), QByteArray("one two one"));
        QCOMPARE(selection(d), Sel(0, 3));
        click(d, "cmdReplace"); // replaces it, selects the next
        QCOMPARE(t->text(), QByteArray("1\xe9 two one"));
        QCOMPARE(selection(d), Sel(7, 3));
        QCOMPARE(m_app->record(d->slot()).Changed, true);
        QTest::keyClick(r, Qt::Key_Return); // Enter in the field replaces too
        QCOMPARE(t->text(), QByteArray("1\xe9 two 1\xe9"));
        m_prompts->clear();
        click(d, "cmdReplace");
        expectMessage(*m_prompts, QStringLiteral("Cannot find \"one\"."));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle"); // Latin-1, as the fields hold
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("CR LF and latin-1 bytes kept")
            << b("caf\xe9 one\r\n\xff one\rone\n\0one") << b("one") << b("two") << b("")
            << b("caf\xe9 two\r\n\xff two\rtwo\n\0two") << "Replaced 4 occurrences.";
        QTest::newRow("one, whole word and case") << b("Tab tab table") << b("tab") << b("\xe9") << b("cw")
                                                  << b("Tab \xe9 table") << "Replaced 1 occurrence.";
        QTest::newRow("none") << b("abc") << b("x") << b("y") << b("") << b("abc") << "Cannot find \"x\".";
    }
    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QByteArray, replacement);
        QFETCH(QByteArray, flags);
        QFETCH(QString, message);
        FrmDoc *d = documentWith(text);
        TextControl *t = d->textControl();
        t->setSelStart(text.size());
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        setOptions(d->findBar(), flags);
        field(d, "txtFind")->setText(QString::fromLatin1(needle));
        field(d, "txtReplace")->setText(QString::fromLatin1(replacement));
        click(d, "cmdReplaceAll");
        QTEST(t->bytes().toByteArray(), "result");
        expectMessage(*m_prompts, message);
        QCOMPARE(t->selStart(), t->length()); // the caret stays at the end of the text
        if (t->text() == text)
            return;
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: %1").arg(t->length()));
        QCOMPARE(m_app->record(d->slot()).Changed, true);
        // All of it is one step back.
        d->undoTick();
        d->refreshTick();
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(t->bytes().toByteArray(), text);
    }

    // In UTF-8 the fields take any character (folding is the find engine
    // test's); in Latin-1 a character the document cannot hold is found
    // nowhere, not even as the "?" it would become.
    void findAndReplaceByCharacters()
    {
        FrmDoc *d = m_app->newDocument();
        TextControl *t = d->textControl();
        t->setFormat(TextFormat{LineEnd::Lf, Encoding::Utf8});
        t->setText(QByteArrayView("Жук ЖУК\nжук?"));
        select(d, 0, 6);
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QCOMPARE(field(d, "txtFind")->text(), QStringLiteral("Жук"));
        QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ω"));
        QApplication::sendEvent(field(d, "txtReplace"), &omega);
        QCOMPARE(m_prompts->beeps(), 0);
        click(d, "cmdReplaceAll");
        QCOMPARE(t->text(), QByteArray("Ω Ω\nΩ?"));
        expectMessage(*m_prompts, QStringLiteral("Replaced 3 occurrences."));

        FrmDoc *classic = documentWith("why?");
        AppFixture::trigger(classic, QStringLiteral("mnuEditFind"));
        field(classic, "txtFind")->setText(QStringLiteral("Ж"));
        m_prompts->clear();
        QTest::keyClick(field(classic, "txtFind"), Qt::Key_Return);
        expectMessage(*m_prompts, QStringLiteral("Cannot find \"Ж\"."));
        QCOMPARE(selection(classic), Sel(0, 0));
    }

    void goToLine_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("caret"); // -1: where it was
        QTest::addColumn<QString>("message");
        const QString none =
            QStringLiteral("There is no line \"%1\" in this document. Enter a number from 1 to 5.");
        QTest::newRow("third line") << "3" << 10 << "";
        QTest::newRow("last line") << "5" << 17 << "";
        QTest::newRow("cancel") << "" << -1 << "";
        QTest::newRow("past the end") << "6" << -1 << none.arg("6");
        // Only plain ASCII digits count (U+0663 is an Arabic-Indic 3).
        for (const char *bad : {" x2 ", "0", "-3", "+3", "2.0", "\u0663", "99999999999999999999999"})
            QTest::newRow(bad) << QString::fromUtf8(bad) << -1 << none.arg(QString::fromUtf8(bad).trimmed());
    }
    void goToLine()
    {
        QFETCH(QString, input);
        QFETCH(int, caret);
        QFETCH(QString, message);
        // Lines start at 0, 5, 10, 13 (after a lone CR) and 17.
        FrmDoc *d = documentWith("one\r\ntwo\r\n\xe9\xe9\rab\r\n");
        d->textControl()->setSelStart(6);
        m_prompts->answerInput(input);
        AppFixture::trigger(d, QStringLiteral("mnuEditGoToLine"));
        const ScriptedPrompts::Asked asked = m_prompts->asked.value(0);
        QCOMPARE(asked.text + "|" + asked.caption + "|" + asked.initial,
                 QStringLiteral("Line number (1 to 5):|Go To Line|2"));
        QCOMPARE(selection(d), Sel(caret < 0 ? 6 : caret, 0));
        expectMessage(*m_prompts, message, platform::Icon::Exclamation);
        QCOMPARE(m_app->record(d->slot()).Changed, false);
    }

    void farJumpIsColouredAndComesRightOnceCaughtUp()
    {
        // Bigger than the distance at which the lexer restarts, with the end
        // of the page in a script block that starts well above the restart.
        const QByteArray page = webPage(3 * StyleCatchUp::kFar, 1000);
        FrmDoc *d = open(QStringLiteral("big.html"), page);
        TextControl *t = d->textControl();
        paint(d);
        StyleCatchUp *catchUp = d->sourceView()->catchUp();
        QVERIFY(!catchUp->hasGap());

        m_prompts->answerInput(QString::number(t->SendScintilla(Sci::SCI_GETLINECOUNT)));
        AppFixture::trigger(d, QStringLiteral("mnuEditGoToLine"));
        paint(d);
        QVERIFY2(catchUp->hasGap(), "the lexer restarted near the end");
        QVERIFY2(t->SendScintilla(Sci::SCI_GETENDSTYLED) == t->length(), "the end is styled");
        QVERIFY2(styleAt(t, page.lastIndexOf("</html>")) != 0, "and coloured");

        while (catchUp->hasGap())
            catchUp->fillStep();
        paint(d);
        QCOMPARE(t->bytes().toByteArray(), page);
        // Every byte now has the style a full pass from the start gives it.
        TextControl reference;
        syntaxcolours::apply(reference, languages::Language::Html,
                             syntaxcolours::Look{QStringLiteral("Monospace")});
        reference.setText(QByteArrayView(page));
        reference.SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        const long styled = t->SendScintilla(Sci::SCI_GETENDSTYLED);
        const long lastScriptLine = page.lastIndexOf("var s");
        QVERIFY2(styled > lastScriptLine, "the script block at the end is styled");
        for (long i = 0; i < styled; i += (i > lastScriptLine - 100000 ? 1 : 97)) {
            const int want = styleAt(&reference, i), got = styleAt(t, i);
            if (want != got)
                QFAIL(qPrintable(QStringLiteral("style %1 instead of %2 at %3").arg(got).arg(want).arg(i)));
        }
    }

    void editsBeforeTheGapCloseIt()
    {
        const QByteArray page = webPage(3 * StyleCatchUp::kFar, 10);
        FrmDoc *d = open(QStringLiteral("big.html"), page);
        TextControl *t = d->textControl();
        paint(d);
        t->setSelStart(t->length());
        paint(d);
        StyleCatchUp *catchUp = d->sourceView()->catchUp();
        QVERIFY(catchUp->hasGap());
        t->setSelStart(0);
        t->replaceSelection(QByteArrayView("<i>"));
        paint(d);
        catchUp->fillStep();
        QVERIFY2(!catchUp->hasGap(), "everything is styled afresh from the edit on");
        QCOMPARE(t->bytes().toByteArray(), "<i>" + page);
    }

    void bigPageColouredAfterItsText()
    {
        FrmDoc *d = open(QStringLiteral("big.html"), m_big);
        TextControl *t = d->textControl();
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the text is there at once");
        QVERIFY2(!t->hasStyleBytes(), "the style bytes come later, from the worker");
        // Where the user went before the colours came stays.
        t->SendScintilla(Sci::SCI_SETSEL, 5000L, 5010L);
        const long firstLine = t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the bytes changed on the way");
        QCOMPARE(t->SendScintilla(Sci::SCI_GETANCHOR), 5000L);
        QCOMPARE(t->SendScintilla(Sci::SCI_GETCURRENTPOS), 5010L);
        QCOMPARE(t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE), firstLine);
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY2(colouredOnScreen(t), "the shown part is not coloured");
        QVERIFY2(!m_app->record(d->slot()).Changed, "colours are no change");
        t->SendScintilla(Sci::SCI_DOCUMENTEND);
        QTest::keyClicks(t, "z");
        QVERIFY2(t->bytes() == QByteArrayView(m_big + "z"), "typing at the end");

        // Typed before the colours came: kept, and coloured with the rest.
        d = open(QStringLiteral("typed.html"), m_big);
        t = d->textControl();
        t->setFocus();
        QTest::keyClicks(t, "xy");
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView("xy" + m_big), "the typed text is lost");
        QCOMPARE(t->selStart(), qsizetype(2));
        QVERIFY2(colouredOnScreen(t), "the edited page is not coloured");
    }

    // Plain files take no style bytes, nor does a page saved as plain text
    // before its colours came; new text put in before them is coloured.
    void plainOrReplacedBeforeTheColours()
    {
        FrmDoc *d = open(QStringLiteral("big.txt"), m_big);
        FrmDoc *renamed = open(QStringLiteral("renamed.html"), m_big);
        renamed->sourceView()->setPath(QStringLiteral("renamed.txt"));
        FrmDoc *replaced = open(QStringLiteral("replaced.html"), m_big);
        const QByteArray other = webPage(30000, 0);
        replaced->textControl()->setText(QByteArrayView(other));
        QVERIFY2(replaced->textControl()->hasStyleBytes(), "the new text goes into a coloured document");
        QApplication::processEvents();
        QTest::qWait(0);
        for (FrmDoc *plain : {d, renamed}) {
            QVERIFY2(!plain->textControl()->hasStyleBytes(), "a plain file got style bytes");
            QVERIFY(plain->textControl()->bytes() == QByteArrayView(m_big));
        }
        QVERIFY(replaced->textControl()->bytes() == QByteArrayView(other));
        QVERIFY2(colouredOnScreen(replaced->textControl()), "the new text is not coloured");
    }

    void closedBeforeTheColours()
    {
        for (int i = 0; i < 3; ++i) {
            FrmDoc *d = open(QStringLiteral("closed.html"), m_big);
            const int slot = d->slot();
            d->subWindow()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!DocumentRegistry::instance().window(slot), "the window is still there");
        }
        QApplication::processEvents();
        // Nothing left to wait for: another page opens and colours as usual.
        FrmDoc *d = open(QStringLiteral("after.html"), m_big);
        QVERIFY2(waitForStyleBytes(d->textControl()), "style bytes never came");
    }
};

QP_TEST_MAIN(TstSourceEditing)
#include "tst_sourceediting.moc"
