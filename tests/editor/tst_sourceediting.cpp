#include "app/mdimain.h"
#include "appfixture.h"
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

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include <optional>

using Sci = QsciScintillaBase;

namespace {

QString lexerOf(TextControl *t)
{
    QByteArray name(64, '\0');
    const long n = t->SendScintilla(Sci::SCI_GETLEXERLANGUAGE, 0UL, name.data());
    return QString::fromLatin1(name.left(n));
}

QLineEdit *field(FrmDoc *d, const char *name)
{
    return d->findBar()->findChild<QLineEdit *>(QLatin1String(name));
}
QCheckBox *box(FrmDoc *d, const char *name)
{
    return d->findBar()->findChild<QCheckBox *>(QLatin1String(name));
}
QPushButton *button(FrmDoc *d, const char *name)
{
    return d->findBar()->findChild<QPushButton *>(QLatin1String(name));
}

QPair<qsizetype, qsizetype> selection(FrmDoc *d)
{
    return {d->textControl()->selStart(), d->textControl()->selLength()};
}

// Paints the document as the user would see it, which is when it is styled.
void paint(FrmDoc *d)
{
    d->textControl()->grab();
}

// Options written as letters: c match case, w whole word, n no wrap around.
void setOptions(FrmDoc *d, const QString &flags)
{
    box(d, "chkMatchCase")->setChecked(flags.contains(QLatin1Char('c')));
    box(d, "chkWholeWord")->setChecked(flags.contains(QLatin1Char('w')));
    box(d, "chkWrapAround")->setChecked(!flags.contains(QLatin1Char('n')));
}

// A web page of about `bytes` bytes whose last `scriptLines` lines sit in one script block.
QByteArray webPage(qsizetype bytes, int scriptLines)
{
    const QByteArray line =
        "<div class=\"note\"><p>Some <b>text</b> &amp; a <a href=\"x.html\">link</a></p></div>\r\n";
    QByteArray out = "<html>\r\n<body>\r\n";
    while (out.size() < bytes)
        out += line;
    out += "<script>\r\n";
    for (int i = 0; i < scriptLines; ++i)
        out += "var s = \"word\"; // a comment\r\n";
    out += "</script>\r\n</body>\r\n</html>";
    return out;
}

} // namespace

class TstSourceEditing : public QObject
{
    Q_OBJECT
    std::optional<ScriptedPrompts> m_prompts;
    std::optional<AppFixture> m_app;

    FrmDoc *open(const QString &name, const QByteArray &bytes)
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        return m_app->current();
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
    void init()
    {
        m_prompts.emplace();
        m_app.emplace();
    }
    void cleanup()
    {
        m_app.reset();
        m_prompts.reset();
    }

    void menuEntries()
    {
        FrmDoc *d = m_app->newDocument();
        const QList<std::pair<const char *, const char *>> rows = {
            {"mnuEditFind", "Find...|Ctrl+F"},       {"mnuEditFindNext", "Find Next|F3"},
            {"mnuEditReplace", "Replace...|Ctrl+H"}, {"mnuEditGoToLine", "Go To Line...|Ctrl+G"},
            {"mnuViewWordWrap", "Word Wrap|"},
        };
        for (const auto &[name, expected] : rows) {
            QAction *a = d->action(QLatin1String(name));
            QVERIFY2(a, name);
            QCOMPARE(a->text() + "|" + a->shortcut().toString(QKeySequence::PortableText),
                     QLatin1String(expected));
        }
        QVERIFY2(d->action(QStringLiteral("mnuViewWordWrap"))->isCheckable(), "Word Wrap is a check item");
        // No key is taken twice in the document window's menus.
        QSet<QString> seen;
        for (const menutree::Entry &e : menutree::documentMenu()) {
            if (!e.shortcut)
                continue;
            QVERIFY2(!seen.contains(QLatin1String(e.shortcut)), e.shortcut);
            seen.insert(QLatin1String(e.shortcut));
        }
    }

    void keysReachTheEntries()
    {
        FrmDoc *d = documentWith("ab ab");
        QApplication::setActiveWindow(m_app->frame());
        QVERIFY(QTest::qWaitForWindowActive(m_app->frame()));
        TextControl *t = d->textControl();
        t->setFocus();
        QTest::keyClick(t, Qt::Key_F, Qt::ControlModifier);
        QVERIFY2(d->findBar()->isVisible() && !d->findBar()->replaceShown(), "Ctrl+F opens the find row");
        QLineEdit *f = field(d, "txtFind");
        QVERIFY(f->hasFocus());
        QTest::keyClicks(f, "ab");
        QTest::keyClick(f, Qt::Key_F3); // F3 from the field too
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(0, 2)));
        t->setFocus();
        QTest::keyClick(t, Qt::Key_F3);
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(3, 2)));
        QTest::keyClick(t, Qt::Key_H, Qt::ControlModifier);
        QVERIFY2(d->findBar()->replaceShown(), "Ctrl+H opens the replace row");
        m_prompts->answerInput(QStringLiteral("1"));
        QTest::keyClick(f, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_prompts->asked.size(), 1);
        QCOMPARE(m_prompts->asked[0].caption, QStringLiteral("Go To Line"));
        QCOMPARE(t->text(), QByteArray("ab ab"));
    }

    void colouringByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lexer");
        const QList<std::pair<const char *, const char *>> rows = {
            {"page.html", "hypertext"}, {"PAGE.HTM", "hypertext"}, {"letter.qpt", "hypertext"},
            {"index.php", "hypertext"}, {"feed.xml", "xml"},       {"site.css", "css"},
            {"main.cpp", "cpp"},        {"App.java", "cpp"},       {"app.js", "cpp"},
            {"tool.pl", "perl"},        {"setup.ini", "props"},    {"notes.txt", "null"},
            {"noextension", "null"},
        };
        for (const auto &[name, lexer] : rows)
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(lexer);
    }
    void colouringByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, lexer);
        // CR LF, a lone LF, NUL and Latin-1 bytes; no final line end.
        const QByteArray bytes("<p class=\"a\">{caf\xe9}</p>\r\n/* x */ int a; // \xff\r\nb\nc\0d", 51);
        FrmDoc *d = open(name, bytes);
        TextControl *t = d->textControl();
        QCOMPARE(lexerOf(t), lexer);
        QCOMPARE(t->hasStyleBytes(), lexer != QLatin1String("null"));
        paint(d);
        QCOMPARE(t->bytes().toByteArray(), bytes);
        QCOMPARE(m_app->record(d->slot()).Changed, false);
        if (lexer != QLatin1String("null")) {
            QVERIFY2(t->SendScintilla(Sci::SCI_GETENDSTYLED) > 0, "the shown text is styled");
            bool coloured = false;
            for (int i = 0; i < bytes.size(); ++i)
                coloured =
                    coloured || t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(i)) != 0;
            QVERIFY2(coloured, "some text has a style of its own");
        }
        QVERIFY2(m_prompts->asked.isEmpty(), "nothing asked");
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
            return int(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)) & 0xff);
        };
        const int css = EmbeddedCss::Base;
        QCOMPARE(styleOf("body", 0), 0);       // after the comment: page text
        QCOMPARE(styleOf("body", 1), css + 1); // a CSS tag
        QCOMPARE(styleOf("color"), css + 6);   // a CSS property
        QCOMPARE(styleOf("red"), css + 8);     // a value
        QCOMPARE(styleOf("body", 2), 0);       // after the block: page text again
        QCOMPARE(styleOf("\r\nbody {"), 0);    // line ends keep the page's style
        QCOMPARE(styleOf("</style>"), 1);

        // Typing in the block keeps it coloured; the bytes are only ever the text.
        t->setSelStart(page.indexOf("red"));
        QTest::keyClicks(t, "dark");
        paint(d);
        QCOMPARE(styleOf("color"), css + 6);
        const QByteArray typed = QByteArray(page).insert(page.indexOf("red"), "dark");
        QCOMPARE(t->bytes().toByteArray(), typed);
        QCOMPARE(
            int(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(typed.indexOf("darkred"))) &
                0xff),
            css + 8);
    }

    void untitledStaysPlainAndReusedWindowsForgetTheirColours()
    {
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(lexerOf(d->textControl()), QStringLiteral("null"));
        QVERIFY2(!d->textControl()->hasStyleBytes(), "plain text takes no style bytes");
        FrmDoc *page = open(QStringLiteral("a.html"), "<b>x</b>");
        const int slot = page->slot();
        AppFixture::trigger(page, QStringLiteral("mnuFileClose"));
        FrmDoc *again = m_app->newDocument();
        QCOMPARE(again->slot(), slot);
        QCOMPARE(again, page);
        QCOMPARE(lexerOf(again->textControl()), QStringLiteral("null"));
        QVERIFY(!again->textControl()->hasStyleBytes());
    }

    void restoredWorkIsColouredByItsFile()
    {
        recovery::Journal journal;
        journal.title = journal.path = m_app->path(QStringLiteral("site.css"));
        journal.text = "body { color: red; }\r\n\xe9";
        QVERIFY(recovery::Keeper::instance().restore(journal, QString()));
        FrmDoc *d = m_app->current();
        QCOMPARE(lexerOf(d->textControl()), QStringLiteral("css"));
        QCOMPARE(d->textControl()->text(), journal.text);
    }

    void saveAsRecoloursAndKeepsTextCaretAndUndo()
    {
        FrmDoc *d = m_app->newDocument();
        TextControl *t = d->textControl();
        QTest::keyClicks(t, "<b>bold</b>");
        d->undoTick();
        QTest::keyClicks(t, "x");
        d->undoTick();
        t->setSelStart(3);
        t->setSelLength(4);
        const quint64 changes = t->changeCount();

        m_prompts->answerFile(m_app->path(QStringLiteral("page.html")));
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY(t->hasStyleBytes());
        QCOMPARE(t->text(), QByteArray("<b>bold</b>x"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(3, 4)));
        QCOMPARE(t->changeCount(), changes);
        QCOMPARE(m_app->record(d->slot()).Changed, false);
        QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("page.html"))),
                 QByteArray("<b>bold</b>x\r\n"));
        // The undo history goes on as before: Undo takes the "x" away.
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(t->text(), QByteArray("<b>bold</b>"));

        m_prompts->answerFile(m_app->path(QStringLiteral("page.txt")));
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(lexerOf(t), QStringLiteral("null"));
        QVERIFY2(!t->hasStyleBytes(), "back to plain text, without style bytes");
        QCOMPARE(t->text(), QByteArray("<b>bold</b>"));

        // Cancelled: nothing changes.
        m_prompts->answerFile(QString());
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(lexerOf(t), QStringLiteral("null"));
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

    void wordWrapIsACheckItem()
    {
        FrmDoc *d = m_app->newDocument();
        QAction *wrap = d->action(QStringLiteral("mnuViewWordWrap"));
        QVERIFY(!wrap->isChecked());
        QCOMPARE(d->textControl()->SendScintilla(Sci::SCI_GETWRAPMODE), long(Sci::SC_WRAP_NONE));
        AppFixture::trigger(d, QStringLiteral("mnuViewWordWrap"));
        QVERIFY(wrap->isChecked());
        QCOMPARE(d->textControl()->SendScintilla(Sci::SCI_GETWRAPMODE), long(Sci::SC_WRAP_WORD));
        AppFixture::trigger(d, QStringLiteral("mnuViewWordWrap"));
        QVERIFY(!wrap->isChecked());
        QCOMPARE(d->textControl()->SendScintilla(Sci::SCI_GETWRAPMODE), long(Sci::SC_WRAP_NONE));
    }

    void findBarFitsBetweenTextAndStatusBar()
    {
        FrmDoc *d = m_app->newDocument();
        d->subWindow()->resize(700, 450);
        QApplication::processEvents();
        QStatusBar *status = d->findChild<QStatusBar *>(QStringLiteral("stBar"));
        const QRect closed = d->textControl()->geometry();
        QCOMPARE(closed.height(), d->height() - d->toolBar()->height() - status->height());
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QApplication::processEvents();
        FindBar *bar = d->findBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(d->textControl()->geometry().top(), d->toolBar()->height());
        QCOMPARE(bar->geometry().top(), d->textControl()->geometry().bottom() + 1);
        QCOMPARE(status->geometry().top(), bar->geometry().bottom() + 1);
        QCOMPARE(d->textControl()->height(),
                 d->height() - d->toolBar()->height() - status->height() - bar->height());
        QCOMPARE(bar->width(), d->width());
        // Escape closes it and gives the document the room and the focus back.
        QTest::keyClick(field(d, "txtFind"), Qt::Key_Escape);
        QApplication::processEvents();
        QVERIFY(!bar->isVisible());
        QCOMPARE(d->textControl()->geometry(), closed);
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        QTest::keyClick(box(d, "chkWholeWord"), Qt::Key_Escape);
        QVERIFY2(!bar->isVisible(), "Escape on a check box closes the bar too");
    }

    void findOpensWithTheSelection()
    {
        FrmDoc *d = documentWith("alpha beta\r\ngamma");
        d->textControl()->setSelStart(6);
        d->textControl()->setSelLength(4);
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        QCOMPARE(field(d, "txtFind")->text(), QStringLiteral("beta"));
        QVERIFY2(!field(d, "txtReplace")->isVisible(), "Find shows the find row only");
        // A selection over a line end is not taken.
        d->textControl()->setSelStart(6);
        d->textControl()->setSelLength(8);
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QCOMPARE(field(d, "txtFind")->text(), QStringLiteral("beta"));
        QVERIFY(field(d, "txtReplace")->isVisible());
    }

    void find_data()
    {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("found"); // start,length of each Enter, or "-" for "not found"
        // Text: "Cat cat\r\ncats CAT"
        QTest::newRow("case folded, wraps") << "cat"
                                            << "" << 0 << "0,3 4,3 9,3 14,3 0,3";
        QTest::newRow("match case") << "cat"
                                    << "c" << 0 << "4,3 9,3 4,3";
        QTest::newRow("whole word") << "cat"
                                    << "w" << 5 << "14,3 0,3";
        QTest::newRow("no wrap stops at the end") << "CAT"
                                                  << "cn" << 0 << "14,3 -";
        QTest::newRow("not there") << "dog"
                                   << "" << 0 << "-";
    }
    void find()
    {
        QFETCH(QString, needle);
        QFETCH(QString, flags);
        QFETCH(int, caret);
        QFETCH(QString, found);
        FrmDoc *d = documentWith("Cat cat\r\ncats CAT");
        d->textControl()->setSelStart(caret);
        AppFixture::trigger(d, QStringLiteral("mnuEditFind"));
        setOptions(d, flags);
        QLineEdit *f = field(d, "txtFind");
        QTest::keyClicks(f, needle);
        for (const QString &step : found.split(QLatin1Char(' '))) {
            m_prompts->clear();
            QTest::keyClick(f, Qt::Key_Return);
            if (step == QLatin1String("-")) {
                QCOMPARE(m_prompts->messages().size(), 1);
                QCOMPARE(m_prompts->messages()[0].text, QStringLiteral("Cannot find \"%1\".").arg(needle));
                QCOMPARE(m_prompts->messages()[0].caption, QStringLiteral("Quillpad Basic"));
                continue;
            }
            const QStringList pl = step.split(QLatin1Char(','));
            QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(pl[0].toInt(), pl[1].toInt())));
            QVERIFY2(m_prompts->asked.isEmpty(), "found quietly");
        }
        QCOMPARE(d->textControl()->text(), QByteArray("Cat cat\r\ncats CAT"));
        QCOMPARE(m_app->record(d->slot()).Changed, false);
    }

    void findNextAndPrevious()
    {
        FrmDoc *d = documentWith("ab ab ab");
        // F3 with nothing to find yet opens the bar.
        AppFixture::trigger(d, QStringLiteral("mnuEditFindNext"));
        QVERIFY(d->findBar()->isVisible());
        QVERIFY2(m_prompts->asked.isEmpty(), "nothing asked");
        QTest::keyClicks(field(d, "txtFind"), "ab");
        d->findBar()->close();
        AppFixture::trigger(d, QStringLiteral("mnuEditFindNext"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(0, 2)));
        AppFixture::trigger(d, QStringLiteral("mnuEditFindNext"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(3, 2)));
        QVERIFY2(!d->findBar()->isVisible(), "F3 searches without opening the bar");
        QTest::keyClick(field(d, "txtFind"), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(0, 2)));
        QTest::mouseClick(d->findBar()->findChild<QPushButton *>(QStringLiteral("cmdFindPrevious")),
                          Qt::LeftButton);
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(6, 2)));
    }

    void findFieldsRefuseWhatADocumentCannotHold()
    {
        FrmDoc *d = documentWith("x");
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QLineEdit *f = field(d, "txtFind");
        QTest::keyClicks(f, "ab");
        QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20ac)));
        QApplication::sendEvent(f, &euro);
        QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
        QApplication::sendEvent(f, &eacute);
        QCOMPARE(f->text(), QStringLiteral("ab\u00e9"));
        QCOMPARE(m_prompts->beeps(), 1);
    }

    void replaceOneAtATime()
    {
        FrmDoc *d = documentWith("one two one");
        TextControl *t = d->textControl();
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QTest::keyClicks(field(d, "txtFind"), "one");
        QTest::keyClicks(field(d, "txtReplace"), "1");
        QPushButton *replace = button(d, "cmdReplace");
        QTest::mouseClick(replace, Qt::LeftButton); // selects the first
        QCOMPARE(t->text(), QByteArray("one two one"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(0, 3)));
        QTest::mouseClick(replace, Qt::LeftButton); // replaces it, selects the next
        QCOMPARE(t->text(), QByteArray("1 two one"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(6, 3)));
        QCOMPARE(m_app->record(d->slot()).Changed, true);
        QCOMPARE(d->panelText(3), QStringLiteral("Length: 9"));
        QCOMPARE(d->panelText(4), QStringLiteral("Unsaved Changes Made"));
        QTest::keyClick(field(d, "txtReplace"), Qt::Key_Return); // Enter in the field replaces too
        QCOMPARE(t->text(), QByteArray("1 two 1"));
        m_prompts->clear();
        QTest::mouseClick(replace, Qt::LeftButton);
        QCOMPARE(m_prompts->messages().size(), 1);
        QCOMPARE(m_prompts->messages()[0].text, QStringLiteral("Cannot find \"one\"."));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("CR LF and latin-1 bytes kept")
            << QByteArray("caf\xe9 one\r\n\xff one\rone\n\0one", 24) << "one"
            << "two"
            << "" << QByteArray("caf\xe9 two\r\n\xff two\rtwo\n\0two", 24) << "Replaced 4 occurrences.";
        QTest::newRow("latin-1 case folded")
            << QByteArray("\xc9t\xe9 \xe9t\xe9") << QStringLiteral("\u00e9t\u00e9") << "summer"
            << "" << QByteArray("summer summer") << "Replaced 2 occurrences.";
        QTest::newRow("one, whole word and case")
            << QByteArray("Tab tab table") << "tab"
            << "\u00e9"
            << "cw" << QByteArray("Tab \xe9 table") << "Replaced 1 occurrence.";
        QTest::newRow("none") << QByteArray("abc") << "x"
                              << "y"
                              << "" << QByteArray("abc") << "Cannot find \"x\".";
    }
    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, needle);
        QFETCH(QString, replacement);
        QFETCH(QString, flags);
        FrmDoc *d = documentWith(text);
        TextControl *t = d->textControl();
        t->setSelStart(text.size());
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        setOptions(d, flags);
        field(d, "txtFind")->setText(needle);
        field(d, "txtReplace")->setText(replacement);
        QTest::mouseClick(button(d, "cmdReplaceAll"), Qt::LeftButton);
        QTEST(t->bytes().toByteArray(), "result");
        QCOMPARE(m_prompts->messages().size(), 1);
        QTEST(m_prompts->messages()[0].text, "message");
        QCOMPARE(m_prompts->messages()[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(t->selStart(), t->length()); // the caret stays at the end of the text
        if (t->text() == text)
            return;
        QCOMPARE(d->panelText(3), QStringLiteral("Length: %1").arg(t->length()));
        QCOMPARE(m_app->record(d->slot()).Changed, true);
        // All of it is one step back.
        d->undoTick();
        d->refreshTick();
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(t->bytes().toByteArray(), text);
    }

    void goToLine_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("caret"); // -1: where it was
        QTest::addColumn<QString>("message");
        QTest::newRow("third line") << "3" << 10 << "";
        QTest::newRow("spaces around") << " 2 " << 5 << "";
        QTest::newRow("last line") << "5" << 17 << "";
        QTest::newRow("cancel") << "" << -1 << "";
        QTest::newRow("zero") << "0" << -1
                              << "There is no line \"0\" in this document. Enter a number from 1 to 5.";
        QTest::newRow("past the end")
            << "6" << -1 << "There is no line \"6\" in this document. Enter a number from 1 to 5.";
        QTest::newRow("not a number")
            << "x2" << -1 << "There is no line \"x2\" in this document. Enter a number from 1 to 5.";
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
        QCOMPARE(m_prompts->asked.value(0).kind, ScriptedPrompts::Kind::Input);
        QCOMPARE(m_prompts->asked[0].text, QStringLiteral("Line number (1 to 5):"));
        QCOMPARE(m_prompts->asked[0].caption, QStringLiteral("Go To Line"));
        QCOMPARE(m_prompts->asked[0].initial, QStringLiteral("2"));
        QCOMPARE(selection(d), (QPair<qsizetype, qsizetype>(caret < 0 ? 6 : caret, 0)));
        if (message.isEmpty()) {
            QCOMPARE(m_prompts->messages().size(), 0);
        } else {
            QCOMPARE(m_prompts->messages().size(), 1);
            QCOMPARE(m_prompts->messages()[0].text, message);
            QCOMPARE(m_prompts->messages()[0].icon, platform::Icon::Exclamation);
        }
        QCOMPARE(m_app->record(d->slot()).Changed, false);
    }

    void farJumpIsColouredAndComesRightOnceCaughtUp()
    {
        // Bigger than the distance at which the lexer restarts, with the end
        // of the page in a script block that starts well above the restart.
        const QByteArray page = webPage(3 * StyleCatchUp::kFar, 1000);
        FrmDoc *d = open(QStringLiteral("big.html"), page);
        TextControl *t = d->textControl();
        d->subWindow()->resize(700, 450);
        paint(d);
        StyleCatchUp *catchUp = d->sourceView()->catchUp();
        QVERIFY(!catchUp->hasGap());

        m_prompts->answerInput(QString::number(t->SendScintilla(Sci::SCI_GETLINECOUNT)));
        AppFixture::trigger(d, QStringLiteral("mnuEditGoToLine"));
        paint(d);
        QVERIFY2(catchUp->hasGap(), "the lexer restarted near the end");
        QVERIFY2(t->SendScintilla(Sci::SCI_GETENDSTYLED) == t->length(), "the end is styled");
        const long lastTag = page.lastIndexOf("</html>");
        QVERIFY2(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(lastTag)) != 0,
                 "and coloured");

        while (catchUp->hasGap())
            catchUp->fillStep();
        paint(d);
        QCOMPARE(t->bytes().toByteArray(), page);
        // Every byte now has the style a full pass from the start gives it.
        TextControl reference;
        syntaxcolours::apply(reference, languages::Language::Html);
        reference.setText(QByteArrayView(page));
        reference.SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        const long styled = t->SendScintilla(Sci::SCI_GETENDSTYLED);
        const long lastScriptLine = page.lastIndexOf("var s");
        QVERIFY2(styled > lastScriptLine, "the script block at the end is styled");
        for (long i = 0; i < styled; i += (i > lastScriptLine - 100000 ? 1 : 97)) {
            const long want = reference.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(i));
            const long got = t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(i));
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
};

QP_TEST_MAIN(TstSourceEditing)
#include "tst_sourceediting.moc"
