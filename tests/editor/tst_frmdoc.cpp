// The document window, driven through its real widgets: status, undo, character
// mode and printing; source colouring, find and replace; files keeping their
// line ends and encoding; the preferences and the Dark scheme's contrast.

#include "app/mdimain.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/newdocumentformat.h"
#include "documents/recentfiles.h"
#include "documents/recoverykeeper.h"
#include "editor/colourscheme.h"
#include "editor/embeddedcss.h"
#include "editor/filedrop.h"
#include "editor/findbar.h"
#include "editor/findengine.h"
#include "editor/formatcommands.h"
#include "editor/frmdoc.h"
#include "editor/frmpreferences.h"
#include "editor/languages.h"
#include "editor/menutree.h"
#include "editor/preferences.h"
#include "editor/sourceview.h"
#include "editor/stylecatchup.h"
#include "editor/syntaxcolours.h"
#include "platform/clipboard.h"
#include "platform/fileio.h"
#include "platform/printer.h"
#include "platform/printlayout.h"
#include "platform/settingsstore.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"
#include "testmain.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <cerrno>

using platform::Answer;
using preferences::Preferences;
using Sci = QsciScintillaBase;
using Sel = QPair<qsizetype, qsizetype>;

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

QString lexerOf(TextControl *t)
{
    QByteArray name(64, '\0');
    const long n = t->SendScintilla(Sci::SCI_GETLEXERLANGUAGE, 0UL, name.data());
    return QString::fromLatin1(name.left(n));
}

// Options written as letters: c match case, w whole word, n no wrap around, u UTF-8.
findengine::Options opts(const QString &flags)
{
    findengine::Options o;
    o.matchCase = flags.contains(QLatin1Char('c'));
    o.wholeWord = flags.contains(QLatin1Char('w'));
    o.wrapAround = !flags.contains(QLatin1Char('n'));
    o.utf8 = flags.contains(QLatin1Char('u'));
    return o;
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
    QStringList got;
    for (const ScriptedPrompts::Asked &m : prompts.messages())
        got << m.text + "|" + m.caption + "|" + QString::number(int(m.icon));
    QCOMPARE(got, text.isEmpty() ? QStringList()
                                 : QStringList{text + "|Quillpad Basic|" + QString::number(int(icon))});
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

TextFormat format(const char *key)
{
    TextFormat f;
    if (!TextFormat::fromKey(key, &f))
        qFatal("bad format key %s", key);
    return f;
}

// Drops the files on the text control as the platform does; the handler runs
// once the drop is over. False when the drop was refused or a question came
// while it was going on.
bool drop(FrmDoc *doc, const ScriptedPrompts &prompts, const QStringList &files)
{
    QMimeData data;
    for (const QString &f : files)
        data.setUrls(data.urls() << QUrl::fromLocalFile(f));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &enter);
    QDropEvent dropped(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &dropped);
    const bool taken = enter.isAccepted() && dropped.isAccepted() && prompts.asked.isEmpty();
    QCoreApplication::processEvents();
    return taken;
}

QColor colourOf(long bgr)
{
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

long sci(FrmDoc *d, unsigned msg, unsigned long w = 0, long l = 0)
{
    return d->textControl()->SendScintilla(msg, w, l);
}

template <typename W> W *child(const char *name)
{
    return FrmPreferences::instance()->findChild<W *>(QLatin1String(name));
}

void startFromDefaults()
{
    preferences::setCurrent(Preferences::defaults());
    documents::setNewDocumentFormat(TextFormat::classic());
}

// What a window shows of the preferences, in one comparable line.
QString shown(FrmDoc *d, MdiMain *frame)
{
    char font[200] = {};
    d->textControl()->SendScintilla(Sci::SCI_STYLEGETFONT, Sci::STYLE_DEFAULT, font);
    return QStringLiteral("%1 %2 tab %3 spaces %4 numbers %5 line %6 paper %7 %8")
        .arg(QString::fromUtf8(font))
        .arg(sci(d, Sci::SCI_STYLEGETSIZE, 1)) // a lexer style, not only the default
        .arg(sci(d, Sci::SCI_GETTABWIDTH))
        .arg(d->textControl()->tabSpaces())
        .arg(sci(d, Sci::SCI_GETMARGINWIDTHN, 0) > 0)
        .arg(sci(d, Sci::SCI_GETCARETLINEVISIBLE))
        .arg(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)).name())
        .arg(frame->mdiArea()->viewMode() == QMdiArea::TabbedView ? "tabs" : "windows");
}

// Types text as keys; characters outside ASCII come as key events carrying them.
void type(FrmDoc *d, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(d->textControl(), Qt::Key_Return);
        } else if (c.unicode() < 0x80) {
            QTest::keyClick(d->textControl(), c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(d->textControl(), &press);
        }
    }
}

} // namespace

class TstFrmDoc : public WindowTest
{
    Q_OBJECT

    // The bytes of a literal, NULs included.
    template <size_t N> static QByteArray b(const char (&s)[N]) { return QByteArray(s, N - 1); }
    static void typeThenTick(FrmDoc *d, const char *text)
    {
        type(d, text);
        d->undoTick();
    }
    static void select(FrmDoc *d, qsizetype start, qsizetype length)
    {
        d->textControl()->setSelStart(start);
        d->textControl()->setSelLength(length);
    }
    static Sel selection(FrmDoc *d) { return {d->textControl()->selStart(), d->textControl()->selLength()}; }
    // Whether Edit > Undo is on after the next refresh.
    static bool canUndo(FrmDoc *d)
    {
        d->refreshTick();
        return d->action(QStringLiteral("mnuEditUndo"))->isEnabled();
    }
    // A menu entry as the user reaches it: its state brought up to date first.
    static void run(FrmDoc *d, const char *name) { d->refreshTick(), AppFixture::trigger(d, name); }
    static void toEnd(FrmDoc *d) { QTest::keyClick(d->textControl(), Qt::Key_End, Qt::ControlModifier); }
    static int styleAt(TextControl *t, qsizetype pos)
    {
        return int(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xff);
    }
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

    FrmDoc *open(const QByteArray &bytes, const QString &name = "file.txt")
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        m_app->current()->subWindow()->resize(700, 450);
        return m_app->current();
    }
    QByteArray saveAndRead(FrmDoc *d)
    {
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        return AppFixture::readFile(m_app->record(d->slot()).Path);
    }
    FrmDoc *documentWith(const QByteArray &text)
    {
        FrmDoc *d = m_app->newDocument();
        d->textControl()->setText(QByteArrayView(text));
        d->undoTick();
        m_app->record(d->slot()).Changed = false;
        return d;
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

private slots:
    // Keys the menus own reach them instead of Scintilla's own bindings.
    void menuKeysBeatTheEditorsBindings()
    {
        FrmDoc *d = m_app->newDocument();
        QApplication::setActiveWindow(m_app->frame());
        d->textControl()->setFocus();
        d->textControl()->setText(QByteArrayView("first line\r\nsecond line"));
        int fired = 0;
        for (const char *name :
             {"mnuInsertLinkAnchor", "mnuInsertHtmlUnderline", "mnuEditSelectAll", "mnuInsertHTMLLineBreak"})
            QObject::connect(d->action(QString::fromLatin1(name)), &QAction::triggered, [&] { ++fired; });
        m_prompts->answerInput(QString());
        for (Qt::Key key : {Qt::Key_L, Qt::Key_U, Qt::Key_Insert})
            QTest::keyClick(d->textControl(), key, Qt::ControlModifier);
        QVERIFY2(d->textControl()->text().contains("first line\r\nsecond line"),
                 "Scintilla's own line cut and lower-casing never ran");
        QTest::keyClick(d->textControl(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 4);

        // The about box, from either menu, is one box.
        m_app->triggerFrame(QStringLiteral("mnuHelpAbout"));
        AppFixture::trigger(d, QStringLiteral("mnuHelpAbout"));
        QList<QWidget *> shown;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmAbout") && w->isVisible())
                shown << w;
        QCOMPARE(shown.size(), 1);
        QTest::mouseClick(shown[0]->findChild<QLabel *>(QStringLiteral("lblOK")), Qt::LeftButton);
        QTRY_VERIFY(!shown[0]->isVisible());
    }

    void statusPanels()
    {
        FrmDoc *d = m_app->newDocument();
        auto panels = [d] {
            QStringList texts;
            using P = FrmDoc::Panel;
            for (P p : {P::Length, P::Status, P::CharacterMode, P::CapsLock, P::Insert})
                texts << d->panelText(p);
            return texts.join(QLatin1Char('|'));
        };
        d->statusTick();
        QCOMPARE(panels(), QStringLiteral("Length: 0|Document is clean||CAPS|INS"));
        type(d, "ab\nc");
        d->statusTick();
        QCOMPARE(panels(), QStringLiteral("Length: 5|Unsaved Changes Made||CAPS|INS"));
        QVERIFY(!d->panelActive(FrmDoc::Panel::Insert));
        QTest::keyClick(d->textControl(), Qt::Key_Insert);
        QTRY_VERIFY(d->panelActive(FrmDoc::Panel::Insert));

        // Minimizing keeps the text control where it was.
        QApplication::processEvents();
        const QRect before = d->textControl()->geometry();
        d->subWindow()->showMinimized();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry(), before);
        d->subWindow()->showNormal();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry().top(), d->toolBar()->height());

        // Command states follow the selection and the clipboard.
        d = m_app->newDocument();
        QAction *selection = d->action(QStringLiteral("mnuSelection"));
        QAction *paste = d->action(QStringLiteral("mnuEditPaste"));
        d->refreshTick();
        type(d, "hello");
        select(d, 1, 1);
        QTRY_VERIFY(selection->isEnabled());
        AppFixture::trigger(d, QStringLiteral("mnuSelectClear"));
        QCOMPARE(d->textControl()->selStart(), 1);
        QTRY_VERIFY(!selection->isEnabled());

        // An image on the clipboard: Paste is off, its button hidden, and neither pastes.
        auto *image = new QMimeData;
        image->setImageData(QImage(2, 2, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(image);
        QTRY_VERIFY(!paste->isEnabled());
        QVERIFY(!d->toolButton(QStringLiteral("Paste"))->isVisible());
        d->runToolButton(QStringLiteral("Paste"));
        emit paste->triggered();
        QCOMPARE(d->textControl()->text(), QByteArray("hello"));
        platform::clipboard().setText(QStringLiteral("XY"));
        QTRY_VERIFY(paste->isEnabled() && d->toolButton(QStringLiteral("Paste"))->isVisible());

        select(d, 0, 2);
        for (const char *key : {"Cut", "Paste", "Paste"})
            d->runToolButton(QString::fromLatin1(key));
        QCOMPARE(platform::clipboard().text() + "|" + d->textControl()->text(), "he|hehello");
        select(d, 0, 4);
        d->runToolButton(QStringLiteral("Delete"));
        d->runToolButton(QStringLiteral("Delete")); // nothing selected: nothing happens
        QCOMPARE(d->textControl()->text(), QByteArray("llo"));
    }

    void undoStepsBackThroughRecordedStates()
    {
        FrmDoc *d = m_app->newDocument();
        typeThenTick(d, "a");
        QVERIFY2(!canUndo(d), "the empty start is never a state");
        typeThenTick(d, "b");
        QVERIFY(canUndo(d) && d->toolButton(QStringLiteral("Undo"))->isVisible());
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("a"));
        QVERIFY(!canUndo(d) && !d->toolButton(QStringLiteral("Undo"))->isVisible());
        QVERIFY2(m_app->record(d->slot()).Changed, "an undo is a change");

        // Five changes a tick apart: four steps back, newest first.
        d->textControl()->setText(QByteArrayView("s0"));
        d->textControl()->setSelStart(2);
        d->undoTick();
        for (const char *more : {" s1", " s2", " s3", " s4", " s5"})
            typeThenTick(d, more);
        for (const char *state : {"s0 s1 s2 s3 s4", "s0 s1 s2 s3", "s0 s1 s2", "s0 s1"}) {
            QVERIFY2(canUndo(d), state);
            d->runToolButton(QStringLiteral("Undo"));
            QCOMPARE(d->textControl()->text(), QByteArray(state));
        }
        QVERIFY(!canUndo(d));

        // Edits within one tick are one step; edits undone within a tick record nothing.
        d->textControl()->setText(QByteArrayView("base"));
        d->undoTick();
        const int depth = m_app->record(d->slot()).Undo.depth();
        type(d, "xyz");
        typeThenTick(d, "\b");
        type(d, "q");
        typeThenTick(d, "\b");
        QCOMPARE(m_app->record(d->slot()).Undo.depth(), depth + 1);
        type(d, "2"); // edits since the last tick go along with the step undone
        QVERIFY(canUndo(d));
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("base"));

        // Emptying the text records no empty state and keeps the earlier ones.
        d->textControl()->setText(QByteArrayView("precious work"));
        d->undoTick();
        typeThenTick(d, "!"); // records "precious work"
        AppFixture::trigger(d, QStringLiteral("mnuEditSelectAll"));
        d->runToolButton(QStringLiteral("Delete"));
        d->undoTick();
        typeThenTick(d, "x");
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("!precious work"));
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("precious work"));

        // An opened file's text is the first state.
        FrmDoc *f = open("opened\r\n", "o.txt");
        f->undoTick();
        QVERIFY(!canUndo(f));
        typeThenTick(f, "+");
        QVERIFY(canUndo(f));
    }

    void recentItemsFollowOpensAndSaves()
    {
        auto recentCaptions = [](FrmDoc *d) {
            QStringList out;
            for (int i = 1; i <= recentfiles::Count; ++i)
                if (QAction *a = d->action(QStringLiteral("mnuOpenRecent"), i); a && a->isVisible())
                    out << a->data().toString();
            return out;
        };
        const QString a = m_app->writeFile("A.txt", "a"), b = m_app->writeFile("R&D notes.txt", "rd");
        const QString c = m_app->writeFile("C.txt", "c");
        FrmDoc *early = m_app->newDocument();
        for (const QString &f : {a, b, c, b})
            fileops::OpenFile(f);
        QCOMPARE(recentCaptions(m_app->doc(3)).value(0), a); // a window lists what was added before it
        early->rebuildMenus();
        QCOMPARE(recentCaptions(early).mid(0, 3), (QStringList{b, c, a}));
        QAction *item = early->action(QStringLiteral("mnuOpenRecent"), 1);
        QVERIFY2(item->text().contains(QStringLiteral("R&&D notes.txt")), qPrintable(item->text()));

        // Save As in a window rebuilds that window's own menus.
        const QString saved = m_app->path(QStringLiteral("saved.txt"));
        m_prompts->answerFile(saved);
        AppFixture::trigger(early, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(recentCaptions(early).mid(0, 4), (QStringList{saved, b, c, a}));

        // A listed file that has gone asks the read question and stays listed.
        QFile::remove(a);
        m_prompts->answer(Answer::Abort);
        early->action(QStringLiteral("mnuOpenRecent"), 4)->trigger();
        QCOMPARE(m_prompts->messages().size(), 1);
        QVERIFY(recentfiles::entries().contains(a));
    }

    void typingInCharacterMode()
    {
        FrmDoc *doc = documentWith("one two");
        TextControl *text = doc->textControl();
        select(doc, 4, 3);
        QAction *mode = doc->action(QStringLiteral("mnuCharacterMode"));
        auto state = [&] {
            return QString::number(mode->isChecked()) + doc->panelText(FrmDoc::Panel::CharacterMode);
        };
        QVERIFY(mode->isCheckable() && !mode->isChecked());
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QCOMPARE(state(), "1CCM");

        // Keys from all over the chart type their Latin-1 codes, the first over the selection.
        QTest::keyClicks(text, "cCrRAaj1=\"'\\~`Kk");
        const QByteArray typed = "one \xa9\xab\xae\xc7\xa4\xb2\xaa\xce\xd8\xdc\xdd\xee\xf5\xf6\xf7\xf8";
        QCOMPARE(text->text(), typed);
        QVERIFY2(m_app->record(doc->slot()).Changed, "typed replacements mark the document changed");
        // Space stays, other characters type nothing, nor do Backspace and Tab; Enter breaks the line.
        type(doc, QStringView(u" ?\u00e9\u00a9\u20ac").toString());
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Return})
            QTest::keyClick(text, key);
        QCOMPARE(text->text(), typed + " \r\n");
        // Keys without a character code keep working.
        text->setSelStart(0);
        QTest::keyClick(text, Qt::Key_Right);
        QTest::keyClick(text, Qt::Key_Delete);

        // The mode is the window's own: a new window starts without it.
        FrmDoc *other = m_app->newDocument();
        QTest::keyClicks(other->textControl(), "c");
        QCOMPARE(other->panelText(FrmDoc::Panel::CharacterMode) + other->textControl()->text(), "c");
        QTest::keyClicks(text, "H");
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QCOMPARE(state(), "0");
        QTest::keyClicks(text, "c?");
        QCOMPARE(text->text(), "o\xa3" + QByteArray("c?e") + typed.mid(3) + " \r\n");
    }

    // Found by fuzzing: an input method's commit typed "?" for characters
    // outside Latin-1 even in character mode, which types nothing for them.
    void inputMethodCommitInCharacterMode()
    {
        FrmDoc *doc = m_app->newDocument();
        TextControl *text = doc->textControl();
        const QString commit = QStringLiteral("c \u00e9\u20ac\U0001F600\xd83dR");
        auto commitText = [](QWidget *w, const QString &text) {
            QInputMethodEvent ev;
            ev.setCommitString(text);
            QCoreApplication::sendEvent(w, &ev);
        };
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        commitText(text, commit);
        QCOMPARE(text->text(), "\xa9 \xc7");
        QVERIFY2(m_prompts->asked.isEmpty(), "character mode asked or beeped over dropped characters");

        // Without the mode the same commit keeps what it can and says so once.
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        text->setText(QByteArrayView());
        commitText(text, commit);
        QCOMPARE(m_prompts->messageTexts(), QStringList{"3 character(s) outside the Latin-1 set could not be "
                                                        "kept and were replaced by \"?\"."});
        QCOMPARE(text->text(), "c \xe9???R");
    }

    void printLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // in characters
        QTest::addColumn<QString>("lines");
        QTest::newRow("line breaks") << "a\r\nb\nc\rd\n\re\r\n" << 9 << "a|b|c|d||e|";
        QTest::newRow("tab stops") << "\tx\ty\r\nab\tz" << 20 << "        x       y|ab      z";
        QTest::newRow("controls") << QString::fromLatin1("a\0b\x1b\x63\x7f\x85\x64", 8) << 9 << "a b c  d";
        QTest::newRow("wrap at a blank") << "the quick brown fox" << 10 << "the quick |brown fox";
        QTest::newRow("blanks at the break vanish") << "0123456789   abc" << 10 << "0123456789|abc";
        QTest::newRow("long word cut") << "ab abcdefghijklmnopq" << 10 << "ab |abcdefghij|klmnopq";
        QTest::newRow("narrower than a letter") << "abc" << 0 << "a|b|c";
    }
    void printLayout()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QStringList got;
        for (const QString &line : platform::printlayout::splitLines(text))
            got << platform::printlayout::wrapLine(
                line, [](QChar) { return 1.0; }, width);
        QTEST(got.join('|'), "lines");
    }

    void printsOnePage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("selected"); // bytes from position 4
        QTest::addColumn<QList<Answer>>("answer");
        QTest::addColumn<QString>("printed");
        const QByteArray two("one two\r\nthree");
        QTest::newRow("whole text") << QByteArray("First\r\n\r\ncaf\xe9 \xa9\r\n\tTabbed") << 0
                                    << QList<Answer>() << "First|caf\u00e9 \u00a9|Tabbed";
        QTest::newRow("empty document, a blank page") << QByteArray() << 0 << QList<Answer>() << "";
        QTest::newRow("yes prints the selection") << two << 8 << QList{Answer::Yes} << "two|thr";
        QTest::newRow("no prints everything") << two << 8 << QList{Answer::No} << "one two|three";
    }
    void printsOnePage()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, selected);
        QFETCH(QList<Answer>, answer);
        FrmDoc *doc = m_app->newDocument();
        doc->textControl()->setText(QByteArrayView(text));
        select(doc, selected ? 4 : 0, selected);
        m_prompts->answer(answer.value(0));
        const QList<QStringList> pages = print(doc, m_app->path("out.pdf"));
        QStringList asked;
        for (const ScriptedPrompts::Asked &a : m_prompts->asked)
            asked << a.caption + "|" + a.text;
        QCOMPARE(asked,
                 answer.isEmpty()
                     ? QStringList()
                     : QStringList{"Print your selection?|Do you wish to only print the highlighted text?"});
        QCOMPARE(pages.size(), 1);
        QTEST(pages[0].join('|'), "printed");
        QProcess info; // the job is named after its window
        info.start("pdfinfo", {m_app->path("out.pdf")});
        QVERIFY(info.waitForFinished() &&
                QString(info.readAll()).contains(QRegularExpression("Title: +Untitled\n")));
    }

    void longDocumentWrapsAndFillsItsPages()
    {
        QStringList words, lines;
        for (int i = 0; i < 400; ++i)
            words << QStringLiteral("word%1").arg(i);
        for (int i = 1; i <= 10000; ++i)
            lines << QStringLiteral("Line %1 of the long document").arg(i, 5, 10, QLatin1Char('0'));
        FrmDoc *doc = m_app->newDocument();
        doc->textControl()->setText(words.join(' ') + "\r\n" + lines.join("\r\n"));
        const QList<QStringList> pages = print(doc, m_app->path("long.pdf"));
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

        const QString folder = m_app->path("out.pdf"); // stands where the file would go
        QVERIFY(QDir().mkpath(folder));
        doc = m_app->newDocument();
        print(doc, folder);
        const QString lead = "there was an error in printing your document: ";
        QCOMPARE(m_prompts->messages().value(0).text,
                 lead + "The file \"" + folder + "\" could not start the print job.");
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer; the job would really be printed");
        print(doc, QString());
        QCOMPARE(m_prompts->messages().value(1).text, lead + "No printer is installed.");
    }

    // The find engine, headless: which language a file is, finding and replacing bytes.
    void languageByExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("language");
        const QString rows =
            "index.html|HTML;INDEX.HTM|HTML;page.shtml|HTML;Letter.QPT|HTML;data.xml|XML;"
            "pic.svg|XML;site.css|CSS;main.cpp|C++;util.h|C++;App.java|Java;app.js|JavaScript;"
            "index.php|PHP;tool.pl|Perl;setup.ini|INI;notes.txt|Plain;archive.tar.gz|Plain;"
            "Makefile|Plain;.ini|Plain;trailing.|Plain;|Plain;/w/dir.html/notes|Plain;"
            "  /w/spaced.css  |CSS";
        for (const QString &row : rows.split(QLatin1Char(';'))) {
            const QStringList cells = row.split(QLatin1Char('|'));
            QTest::newRow(qPrintable(row)) << cells[0] << cells[1];
        }
    }
    void languageByExtension()
    {
        QFETCH(QString, path);
        QTEST(languages::languageName(languages::languageForPath(path)), "language");
    }

    // Flag b searches backwards from `from`: the last match ending at or
    // before it. Found: "pos,length", with " wrapped" when found round the end.
    // Text and needles in UTF-8 (this file's own encoding) unless escaped.
    void engineFind_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("found");
        QTest::newRow("plain") << b("one two one") << b("one") << "" << 1 << "8,3";
        QTest::newRow("wraps to the start") << b("one two one") << b("one") << "" << 9 << "0,3 wrapped";
        QTest::newRow("no wrap: not found") << b("one two one") << b("one") << "n" << 9 << "-";
        QTest::newRow("latin-1 folded") << b("CAF\xc9!") << b("caf\xe9") << "" << 0 << "0,4";
        QTest::newRow("latin-1 case kept") << b("caf\xc9!") << b("caf\xe9") << "c" << 0 << "-";
        QTest::newRow("latin-1 sees bytes") << b("ébat bat") << b("bat") << "w" << 0 << "2,3";
        QTest::newRow("word: _ is a word byte") << b("a_cat cat_") << b("cat") << "w" << 0 << "-";
        QTest::newRow("word: accented letter") << b("\xe9t\xe9 t\xe9") << b("t\xe9") << "w" << 0 << "4,2";
        QTest::newRow("word: edge not a word") << b("x<b>") << b("<b") << "w" << 0 << "1,2";
        QTest::newRow("across CR LF") << b("ab\r\ncd") << b("b\r\nc") << "" << 0 << "1,4";
        QTest::newRow("NUL in text") << b("a\0b\0c") << b("c") << "" << 0 << "4,1";
        QTest::newRow("empty needle") << b("ab") << QByteArray() << "" << 0 << "-";
        QTest::newRow("from past the end") << b("ab ab") << b("ab") << "" << 99 << "0,2 wrapped";
        QTest::newRow("back: the one before") << b("one two one") << b("one") << "b" << 8 << "0,3";
        QTest::newRow("back: ending at from") << b("one two one") << b("one") << "b" << 11 << "8,3";
        QTest::newRow("back: wraps to the end") << b("one two one") << b("one") << "b" << 2 << "8,3 wrapped";
        QTest::newRow("back: no wrap") << b("one two one") << b("one") << "bn" << 2 << "-";
        QTest::newRow("back: whole word") << b("one bones") << b("one") << "bw" << 9 << "0,3";
        QTest::newRow("back: case") << b("One one") << b("one") << "bc" << 3 << "4,3 wrapped";
        QTest::newRow("é finds É") << b("x Été") << b("été") << "u" << 0 << "2,5";
        QTest::newRow("match case keeps them apart") << b("Été été") << b("été") << "uc" << 0 << "6,5";
        QTest::newRow("cyrillic") << b("ПРИВЕТ мир") << b("привет") << "u" << 0 << "0,12";
        QTest::newRow("four bytes folded") << b("x𐐀") << b("𐐨") << "u" << 0 << "1,4"; // U+10400, U+10428
        QTest::newRow("kelvin sign is k") << b("5 \u212a") << b("k") << "u" << 0 << "2,3";
        QTest::newRow("not a tail byte") << b("é") << b("\xa9") << "u" << 0 << "-";
        QTest::newRow("not a lead byte") << b("é") << b("\xc3") << "uc" << 0 << "-";
        QTest::newRow("word: letter before") << b("ébat bat") << b("bat") << "uw" << 0 << "6,3";
        QTest::newRow("word: letter after") << b("batж bat") << b("bat") << "uw" << 0 << "6,3";
        QTest::newRow("word: 4-byte letter") << b("𐐨bat") << b("bat") << "uw" << 0 << "-";
        QTest::newRow("word: not a letter") << b("€bat") << b("bat") << "uw" << 0 << "3,3";
        QTest::newRow("back: over a longer fold") << b("k \u212a") << b("K") << "ub" << 5 << "2,3";
        QTest::newRow("back: ends past before") << b("k \u212a") << b("K") << "ubn" << 4 << "0,1";
    }
    void engineFind()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QString, flags);
        QFETCH(int, from);
        const findengine::Match m = flags.contains(QLatin1Char('b'))
                                        ? findengine::findPrevious(text, needle, from, opts(flags))
                                        : findengine::findNext(text, needle, from, opts(flags));
        QTEST(m.found() ? QStringLiteral("%1,%2%3").arg(m.pos).arg(m.length).arg(m.wrapped ? " wrapped" : "")
                        : QStringLiteral("-"),
              "found");
        qsizetype length = -1;
        QVERIFY2(!m.found() ||
                     (findengine::matchesAt(text, m.pos, needle, opts(flags), &length) && length == m.length),
                 "matchesAt agrees on the length");
    }

    void engineReplaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("result"); // text|count|caret after
        QTest::newRow("longer") << b("a-b-c") << b("-") << b("--") << 5 << b("a--b--c|2|7");
        QTest::newRow("caret in a match") << b("xx abc abc") << b("abc") << b("Z") << 8 << b("xx Z Z|2|5");
        QTest::newRow("caret before all") << b("ab ab") << b("ab") << b("") << 0 << b(" |2|0");
        QTest::newRow("not overlapping") << b("aaaa") << b("aa") << b("b") << 0 << b("bb|2|0");
        QTest::newRow("holds the needle") << b("a a") << b("a") << b("aa") << 0 << b("aa aa|2|0");
        QTest::newRow("none") << b("abc") << b("x") << b("y") << 1 << b("abc|0|1");
    }
    void engineReplaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QByteArray, replacement);
        QFETCH(int, caret);
        const findengine::Replaced r =
            findengine::replaceAll(text, needle, replacement, findengine::Options(), caret);
        QTEST(QByteArray(text).replace(r.start, r.length, r.bytes) + "|" + QByteArray::number(r.count) + "|" +
                  QByteArray::number(r.caret),
              "result");
        // Only the span from the first match to the end of the last one is handed back.
        QVERIFY2(!r.count || (findengine::matchesAt(text, r.start, needle, findengine::Options()) &&
                              findengine::matchesAt(text, r.start + r.length - needle.size(), needle,
                                                    findengine::Options())),
                 "the span starts and ends at a match");
    }

    // Folded forms of other lengths: ẞ (3 bytes) and ß (2) fold alike, "SS" is no simple fold of them.
    void replaceAllByCharacters()
    {
        const QByteArray text = "Straße STRAẞE STRASSE жЖ";
        const findengine::Replaced r = findengine::replaceAll(text, "ß", "ss", opts("u"), text.size());
        QCOMPARE(QByteArray(text).replace(r.start, r.length, r.bytes),
                 QByteArray("Strasse STRAssE STRASSE жЖ"));
        // Eleven bytes from the ß to the end of the ẞ.
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(r.count).arg(r.caret).arg(r.length),
                 QStringLiteral("2 %1 11").arg(text.size() - 1));
        // A caret inside the second letter goes to the start of its replacement.
        const findengine::Replaced z = findengine::replaceAll("жЖ", "Ж", "z", opts("u"), 3);
        QCOMPARE(z.bytes + "|" + QByteArray::number(z.caret), "zz|1");
    }

    // Source colouring, find and replace.
    void menuKeysWordWrapAndLineNumbers()
    {
        FrmDoc *d = documentWith("one\r\ntwo");
        TextControl *t = d->textControl();
        QCOMPARE(sci(d, Sci::SCI_GETMARGINTYPEN), long(Sci::SC_MARGIN_NUMBER));
        const long small = sci(d, Sci::SCI_GETMARGINWIDTHN);
        QVERIFY2(small > 0, "line numbers are shown");
        t->setText(QByteArrayView(QByteArray("x\r\n").repeated(123456)));
        QVERIFY2(sci(d, Sci::SCI_GETMARGINWIDTHN) > small, "room for six digits");
        t->setText(QByteArrayView("y"));
        QCOMPARE(sci(d, Sci::SCI_GETMARGINWIDTHN), small);
        // No key is taken twice in the document window's menus.
        QStringList keys;
        for (const menutree::Entry &e : menutree::documentMenu())
            if (e.shortcut)
                keys << QLatin1String(e.shortcut);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        // Word Wrap is a check item that turns wrapping on and off.
        QAction *wrap = d->action(QStringLiteral("mnuViewWordWrap"));
        for (bool on : {false, true, false}) {
            QCOMPARE(wrap->isChecked(), on);
            QCOMPARE(sci(d, Sci::SCI_GETWRAPMODE), long(on ? Sci::SC_WRAP_WORD : Sci::SC_WRAP_NONE));
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
        QLineEdit *f = field(d, "txtFind");
        QVERIFY2(bar->isVisible() && !bar->replaceShown() && f->hasFocus(), "Ctrl+F opens the find row");
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

        // The fields take Latin-1 only: what a document cannot hold is refused with a beep.
        d = documentWith("one two one");
        t = d->textControl();
        auto state = [&] {
            return QStringLiteral("%1 at %2,%3").arg(t->textString()).arg(t->selStart()).arg(t->selLength());
        };
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        QTest::keyClicks(field(d, "txtFind"), "one");
        QLineEdit *r = field(d, "txtReplace");
        QTest::keyClicks(r, "1");
        for (const char *c : {"\u20ac", "\u00e9"}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(c));
            QApplication::sendEvent(r, &press);
        }
        QCOMPARE(r->text() + QString::number(m_prompts->beeps()), QStringLiteral("1\u00e91"));
        click(d, "cmdReplace"); // selects the first
        QCOMPARE(state(), "one two one at 0,3");
        click(d, "cmdReplace"); // replaces it, selects the next
        QCOMPARE(state(), "1\u00e9 two one at 7,3");
        QCOMPARE(m_app->record(d->slot()).Changed, true);
        QTest::keyClick(r, Qt::Key_Return); // Enter in the field replaces too
        QCOMPARE(t->text(), QByteArray("1\xe9 two 1\xe9"));
        m_prompts->clear();
        click(d, "cmdReplace");
        expectMessage(*m_prompts, QStringLiteral("Cannot find \"one\"."));
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
        FrmDoc *d = open(bytes, name);
        TextControl *t = d->textControl();
        QCOMPARE(lexerOf(t), lexer);
        QCOMPARE(t->hasStyleBytes(), lexer != QLatin1String("null"));
        paint(d);
        QVERIFY(t->bytes() == QByteArrayView(bytes) && !m_app->record(d->slot()).Changed);
        bool coloured = false;
        for (int i = 0; i < bytes.size(); ++i)
            coloured = coloured || styleAt(t, i) != 0;
        QVERIFY2(coloured == (lexer != QLatin1String("null")), "the shown text has styles of its own");
    }

    // Windows not opened from a file: untitled ones and reused ones are plain, restored work is coloured.
    void untitledReusedRestoredAndSavedAsWindows()
    {
        FrmDoc *closed = open("<b>x</b>", "a.html");
        AppFixture::trigger(closed, QStringLiteral("mnuFileClose"));
        FrmDoc *again = m_app->newDocument();
        QCOMPARE(again, closed); // the closed window is handed out again
        QCOMPARE(lexerOf(again->textControl()) + QString::number(again->textControl()->hasStyleBytes()),
                 "null0");

        recovery::Journal journal;
        journal.title = journal.path = m_app->path(QStringLiteral("site.css"));
        journal.text = "body { color: red; }\r\n\xe9";
        QVERIFY(recovery::Keeper::instance().restore(journal, QString()));
        QCOMPARE(lexerOf(m_app->current()->textControl()) + "|" + m_app->current()->textControl()->text(),
                 "css|" + journal.text);

        // Save As recolours and keeps the text, the caret and the undo history.
        FrmDoc *d = m_app->newDocument();
        TextControl *t = d->textControl();
        typeThenTick(d, "<b>bold</b>");
        typeThenTick(d, "x");
        select(d, 3, 4);
        auto saveAs = [&](const QString &name) {
            m_prompts->answerFile(name.isEmpty() ? QString() : m_app->path(name));
            AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        };

        saveAs(QStringLiteral("page.html"));
        QCOMPARE(lexerOf(t) + "|" + t->text() + "|" + QString::number(m_app->record(d->slot()).Changed),
                 "hypertext|<b>bold</b>x|0");
        QCOMPARE(selection(d), Sel(3, 4));
        QCOMPARE(AppFixture::readFile(m_app->path("page.html")), QByteArray("<b>bold</b>x\r\n"));
        saveAs(QString()); // cancelled: the colours stay
        // The undo history goes on as before: Undo takes the "x" away.
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(t->text(), QByteArray("<b>bold</b>"));

        saveAs(QStringLiteral("page.txt"));
        // Back to plain text, without style bytes.
        QCOMPARE(lexerOf(t) + "|" + t->text() + QString::number(t->hasStyleBytes()), "null|<b>bold</b>0");

        // Style sheets inside a page are coloured as CSS.
        const QByteArray page = "<!-- <style> in a comment -->\r\nbody x\r\n<STYLE type=\"text/css\">\r\n"
                                "body { color: red; }\r\n</style>\r\n<p>body</p>";
        d = open(page, "page.htm");
        t = d->textControl();
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

        // The options reach the search (what they mean is the find engine test's);
        // without wrap around the end is told.
        d = documentWith("Cat cat\r\ncats CAT");
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
        QCOMPARE(d->panelText(FrmDoc::Panel::Length) + QString::number(m_app->record(d->slot()).Changed),
                 QStringLiteral("Length: %1").arg(t->length()) + "1");
        // All of it is one step back.
        d->undoTick();
        run(d, "mnuEditUndo");
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
        FrmDoc *d = open(page, "big.html");
        TextControl *t = d->textControl();
        paint(d);
        StyleCatchUp *catchUp = d->sourceView()->catchUp();
        QVERIFY(!catchUp->hasGap());

        m_prompts->answerInput(QString::number(sci(d, Sci::SCI_GETLINECOUNT)));
        AppFixture::trigger(d, QStringLiteral("mnuEditGoToLine"));
        paint(d);
        QVERIFY2(catchUp->hasGap(), "the lexer restarted near the end");
        QVERIFY2(sci(d, Sci::SCI_GETENDSTYLED) == t->length(), "the end is styled");
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
        const long styled = sci(d, Sci::SCI_GETENDSTYLED);
        const long lastScriptLine = page.lastIndexOf("var s");
        QVERIFY2(styled > lastScriptLine, "the script block at the end is styled");
        for (long i = 0; i < styled; i += (i > lastScriptLine - 100000 ? 1 : 97)) {
            const int want = styleAt(&reference, i), got = styleAt(t, i);
            if (want != got)
                QFAIL(qPrintable(QStringLiteral("style %1 instead of %2 at %3").arg(got).arg(want).arg(i)));
        }

        // Edits before the gap close it.
        d = open(page, "edited.html");
        t = d->textControl();
        paint(d);
        t->setSelStart(t->length());
        paint(d);
        catchUp = d->sourceView()->catchUp();
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
        // Windows closed before their colours came leave nothing to wait for.
        for (int i = 0; i < 3; ++i) {
            const int slot = open(m_big, "closed.html")->slot();
            m_app->doc(slot)->subWindow()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!DocumentRegistry::instance().window(slot), "the window is still there");
        }
        QApplication::processEvents();
        FrmDoc *d = open(m_big, "big.html");
        TextControl *t = d->textControl();
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the text is there at once");
        QVERIFY2(!t->hasStyleBytes(), "the style bytes come later, from the worker");
        // Where the user went before the colours came stays.
        t->SendScintilla(Sci::SCI_SETSEL, 5000L, 5010L);
        const long firstLine = sci(d, Sci::SCI_GETFIRSTVISIBLELINE);
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the bytes changed on the way");
        QCOMPARE((QList<long>{sci(d, Sci::SCI_GETANCHOR), sci(d, Sci::SCI_GETCURRENTPOS),
                              sci(d, Sci::SCI_GETFIRSTVISIBLELINE)}),
                 (QList<long>{5000, 5010, firstLine}));
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY2(colouredOnScreen(t), "the shown part is not coloured");
        QVERIFY2(!m_app->record(d->slot()).Changed, "colours are no change");
        t->SendScintilla(Sci::SCI_DOCUMENTEND);
        QTest::keyClicks(t, "z");
        QVERIFY2(t->bytes() == QByteArrayView(m_big + "z"), "typing at the end");

        // Typed before the colours came: kept, and coloured with the rest.
        d = open(m_big, "typed.html");
        t = d->textControl();
        t->setFocus();
        QTest::keyClicks(t, "xy");
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView("xy" + m_big), "the typed text is lost");
        QCOMPARE(t->selStart(), qsizetype(2));
        QVERIFY2(colouredOnScreen(t), "the edited page is not coloured");

        // Plain files take no style bytes, nor does a page saved as plain text
        // before its colours came; new text put in before them is coloured.
        d = open(m_big, "big.txt");
        FrmDoc *renamed = open(m_big, "renamed.html");
        renamed->sourceView()->setPath(QStringLiteral("renamed.txt"));
        FrmDoc *replaced = open(m_big, "replaced.html");
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

    // Files as they are. Each file: the format found, the text shown and what
    // Save writes back unedited (null: the file's own bytes). New documents
    // are classic unless the row says otherwise.
    void filesKeepTheirFormat_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("newDocs");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("saved");
        auto row = [&](const char *name, const QByteArray &file, const char *label,
                       const QByteArray &text = {}, const QByteArray &saved = {},
                       const char *newDocs = "crlf latin1") {
            QTest::newRow(name) << file << QString::fromLatin1(newDocs) << QString::fromUtf8(label)
                                << (text.isNull() ? file : text) << (saved.isNull() ? file : saved);
        };
        row("LF script", "#!/bin/sh\necho hello\n", "LF  UTF-8");
        row("LF, no final line end", "a\nb", "LF  UTF-8", {}, "a\nb\n");
        row("CR LF ASCII", "a\r\nb\r\n", "CR LF  Latin-1", "a\r\nb");
        row("CR LF ASCII, UTF-8 for new", "a\r\nb\r\n", "CR LF  UTF-8", "a\r\nb", {}, "lf utf-8");
        row("CR alone", "a\rb\r", "CR LF  Latin-1", "a\r\nb", "a\r\nb\r\n");
        row("mixed", "a\r\nb\nc", "CR LF  Latin-1", {}, "a\r\nb\nc\r\n");
        row("Latin-1 CR LF", "caf\xe9\r\n", "CR LF  Latin-1", "caf\xe9");
        row("Latin-1 LF", "caf\xe9\n", "LF  Latin-1");
        row("UTF-8, every plane", "\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e\n", "LF  UTF-8");
        row("UTF-8 CR LF", "\xc3\xa9\r\n", "CR LF  UTF-8", "\xc3\xa9");
        row("NUL in UTF-8", QByteArray("a\0\xc3\xa9\n", 5), "LF  UTF-8");
        row("BOM", "\xef\xbb\xbf\xc3\xa9\r\n", "CR LF  UTF-8 with BOM", "\xc3\xa9");
        row("BOM, LF", "\xef\xbb\xbfx\n", "LF  UTF-8 with BOM", "x\n");
        row("only a BOM", "\xef\xbb\xbf", "CR LF  UTF-8 with BOM", "", "\xef\xbb\xbf\r\n");
        row("BOM, then invalid", "\xef\xbb\xbf\xff\n", "LF  Latin-1");
        row("overlong", "\xc0\xaf\n", "LF  Latin-1");
        row("empty", "", "CR LF  Latin-1", "", "\r\n");
        row("empty, LF UTF-8 for new", "", "LF  UTF-8", "", "", "lf utf-8");
        QByteArray every;
        for (int i = 0; i < 256; ++i)
            every += char(i);
        const QByteArray lonesPaired = QByteArray(every).replace("\r", "\r\n");
        row("every byte", every, "CR LF  Latin-1", lonesPaired, lonesPaired + "\r\n");
        QByteArray big(1 << 20, 'a');
        for (qsizetype i = 80; i < big.size(); i += 81)
            big[i] = '\n';
        big.replace(100, 2, "\xc3\xa9");
        row("1 MB UTF-8, one bad byte at the end", big + "\xff", "LF  Latin-1", {}, big + "\xff\n");
    }
    void filesKeepTheirFormat()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, newDocs);
        QFETCH(QByteArray, text);
        documents::setNewDocumentFormat(format(newDocs.toLatin1().constData()));
        FrmDoc *d = open(file);
        QTEST(d->panelText(FrmDoc::Panel::Format), "label");
        QCOMPARE(d->textControl()->text(), text);
        const qsizetype characters = d->textControl()->decode(text).toUcs4().size();
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: %1").arg(characters));
        QTEST(saveAndRead(d), "saved");
        QCOMPARE(m_prompts->asked.size(), 0);
    }

    void editingGivesTheDocumentsBytes()
    {
        // A shell script: typed lines end in LF, and it still runs.
        FrmDoc *d = open("#!/bin/sh\necho hello\n", "script.sh");
        toEnd(d);
        type(d, "echo e\nexit 0");
        QCOMPARE(saveAndRead(d), QByteArray("#!/bin/sh\necho hello\necho e\nexit 0\n"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: 34"));

        // A UTF-8 page: typing, inserts, paste, character mode and the insert box.
        d = open("<p>Caf\xc3\xa9</p>\n", "page.html");
        toEnd(d);
        type(d, QStringLiteral("\u00e9\u20ac\n"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: 15"));
        select(d, 6, 1); // a selection ending inside the é takes the whole character
        AppFixture::trigger(d, QStringLiteral("mnuInsetBoldText"));
        toEnd(d);
        m_prompts->answerInput(QStringLiteral("\u00fclk"));
        AppFixture::trigger(d, QStringLiteral("mnuInsertCSSClass"));
        platform::clipboard().setText(QStringLiteral("\r\nx\ry\u0416\r\n"));
        run(d, "mnuEditPaste");
        AppFixture::trigger(d, QStringLiteral("mnuCharacterMode"));
        type(d, "c{");
        AppFixture::trigger(d, QStringLiteral("mnuCharacterMode"));
        QCOMPARE(saveAndRead(d),
                 QByteArray("<p>Caf<B>\xc3\xa9</B></p>\n\xc3\xa9\xe2\x82\xac\n.\xc3\xbclk {\n\n}\nx\ny"
                            "\xd0\x96\n\xc2\xa9\xc3\xa9\n"));
        QCOMPARE(m_prompts->messages().size(), 0);

        // A CR LF UTF-8 document wraps a selection without touching its own
        // lone LF, while what the fragment adds takes CR LF.
        d = open("a\nb\r\n\xc3\xa9\r\n");
        select(d, 0, 3);
        AppFixture::trigger(d, QStringLiteral("mnuInsertHTMLP"));
        QCOMPARE(d->textControl()->text().left(14), QByteArray("<P>a\nb</P>\r\n\xc3\xa9"));

        // Text from other files: read by their own encoding, written in the document's.
        FrmDoc *classic = m_app->newDocument();
        QVERIFY(filedrop::insertFileContents(*classic->textControl(),
                                             m_app->writeFile("u.txt", "\xc3\xa9\xe2\x82\xac\n")));
        QCOMPARE(classic->textControl()->text(), QByteArray("\xe9?\n"));
        QCOMPARE(m_prompts->messageTexts(), QStringList{textcodec::replacedNotice(1)});

        FrmDoc *lf = open("x\n", "lf.txt");
        toEnd(lf);
        QVERIFY(filedrop::insertFileContents(*lf->textControl(), m_app->writeFile("l.txt", "\xe9\r\n")));
        QCOMPARE(lf->textControl()->text(), QByteArray("x\n\xc3\xa9\n"));

        // Crash recovery brings a document back in its format.
        recovery::Journal j;
        j.title = j.path = m_app->path(QStringLiteral("restored.txt"));
        j.format = format("lf utf-8-bom");
        j.text = "\xc3\xa9\n";
        QVERIFY(recovery::Keeper::instance().restore(j, QString()));
        FrmDoc *r = m_app->current();
        QCOMPARE(r->panelText(FrmDoc::Panel::Format), QStringLiteral("LF  UTF-8 with BOM"));
        toEnd(r);
        type(r, QStringLiteral("\u20ac"));
        QCOMPARE(saveAndRead(r), QByteArray("\xef\xbb\xbf\xc3\xa9\n\xe2\x82\xac\n"));
    }

    void reopenAndConvertEncodings()
    {
        // Latin-1 bytes that happen to be valid UTF-8 are taken as UTF-8.
        FrmDoc *d = open("Gr\xc3\xbc\xc3\x9f\r\n");
        QCOMPARE(d->textControl()->textString(), QStringLiteral("Gr\u00fc\u00df"));
        type(d, "x");
        m_prompts->answer(Answer::No);
        AppFixture::trigger(d, QStringLiteral("mnuReopenLatin1"));
        QCOMPARE(m_prompts->messages().last().text,
                 QStringLiteral("This document has unsaved changes. Reopening the file loses them.\r\n"
                                "Reopen it anyway?"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("CR LF  UTF-8"));
        m_prompts->answer(Answer::Yes);
        AppFixture::trigger(d, QStringLiteral("mnuReopenLatin1"));
        QCOMPARE(d->textControl()->textString() + "|" + d->panelText(FrmDoc::Panel::Format),
                 QStringLiteral("Gr\u00c3\u00bc\u00c3\u009f|CR LF  Latin-1"));
        QVERIFY2(!m_app->record(1).Changed, "reopened as read");
        run(d, "mnuEditUndo");
        QCOMPARE(d->textControl()->text(), QByteArray("Gr\xc3\xbc\xc3\x9f"));

        // A document without a file has nothing to reopen.
        FrmDoc *n = m_app->newDocument();
        formatcommands::formatMenu(*n)->popup(QPoint(10, 10));
        QVERIFY(!n->action(QStringLiteral("mnuReopenUTF8"))->isEnabled());
        formatcommands::formatMenu(*n)->hide();

        d = open("caf\xe9\r\nb\rc", "conv.txt");
        TextControl *t = d->textControl();
        toEnd(d);
        type(d, "d");
        AppFixture::trigger(d, QStringLiteral("mnuLineEndsLF"));
        QCOMPARE(t->text() + "|" + d->panelText(FrmDoc::Panel::Format).toLatin1(),
                 "caf\xe9\nb\ncd|LF  Latin-1");
        QStringList on;
        for (const char *name : {"mnuLineEndsCRLF", "mnuLineEndsLF", "mnuEncodingLatin1", "mnuEncodingUTF8"})
            if (d->action(QString::fromLatin1(name))->isChecked())
                on << name;
        QCOMPARE(on, QStringList({"mnuLineEndsLF", "mnuEncodingLatin1"}));
        QCOMPARE(t->selStart(), t->length()); // the caret keeps its line and column

        AppFixture::trigger(d, QStringLiteral("mnuEncodingUTF8"));
        QCOMPARE(t->text(), QByteArray("caf\xc3\xa9\nb\ncd"));
        type(d, QStringLiteral("\u20ac"));
        d->undoTick();
        // Latin-1 cannot hold the euro: asked, and No changes nothing.
        m_prompts->answer(Answer::No);
        AppFixture::trigger(d, QStringLiteral("mnuEncodingLatin1"));
        QCOMPARE(m_prompts->messages().last().text,
                 QStringLiteral("1 character(s) of this document cannot be held in Latin-1.\r\n"
                                "Convert it anyway and turn them into \"?\"?"));
        QCOMPARE(t->text(), QByteArray("caf\xc3\xa9\nb\ncd\xe2\x82\xac"));
        m_prompts->answer(Answer::Yes);
        AppFixture::trigger(d, QStringLiteral("mnuEncodingLatin1"));
        QCOMPARE(t->text(), QByteArray("caf\xe9\nb\ncd?"));

        // Each conversion is a step of its own, format included.
        for (const char *step : {"caf\xc3\xa9\nb\ncd\xe2\x82\xac|LF  UTF-8", "caf\xc3\xa9\nb\ncd|LF  UTF-8",
                                 "caf\xe9\nb\ncd|LF  Latin-1", "caf\xe9\r\nb\r\ncd|CR LF  Latin-1"}) {
            run(d, "mnuEditUndo");
            QCOMPARE(t->text() + "|" + d->panelText(FrmDoc::Panel::Format).toLatin1(), QByteArray(step));
        }

        // UTF-8 with its mark: the file gets the mark.
        AppFixture::trigger(d, QStringLiteral("mnuEncodingUTF8BOM"));
        QCOMPARE(saveAndRead(d), "\xef\xbb\xbf" + QByteArray("caf\xc3\xa9\r\nb\r\ncd\r\n"));
    }

    void newDocumentsTakeTheChosenFormat()
    {
        // The frame's entry opens the Preferences at the format, applied at once.
        m_app->triggerFrame(QStringLiteral("mnuNewDocumentFormat"));
        QCOMPARE(FrmPreferences::instance()->focusWidget(), child<QRadioButton>("optCRLF"));
        child<QRadioButton>("optLF")->click();
        child<QRadioButton>("optUTF8")->click();
        child<QPushButton>("cmdClose")->click();
        QTRY_VERIFY(!FrmPreferences::instance());

        FrmDoc *d = m_app->newDocument();
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("LF  UTF-8"));
        type(d, QStringLiteral("\u0416\n"));
        m_prompts->answerFile(m_app->path(QStringLiteral("new.txt")));
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("new.txt"))), QByteArray("\xd0\x96\n"));

        // A document from the clipboard takes it too.
        platform::clipboard().setText(QStringLiteral("a\r\nb"));
        m_app->triggerFrame(QStringLiteral("mnuDFClip"));
        QCOMPARE(m_app->current()->textControl()->text(), QByteArray("a\nb"));

        // The panel opens the same choices as the Options menu.
        QTest::mouseClick(d->findChild<QWidget *>(QStringLiteral("panel8")), Qt::LeftButton);
        QTRY_VERIFY(formatcommands::formatMenu(*d)->isVisible());
        QCOMPARE(formatcommands::formatMenu(*d)->actions().size(), 3);
        formatcommands::formatMenu(*d)->hide();
        documents::setNewDocumentFormat(TextFormat::classic());

        // Marks of encodings of two or four bytes a character: shown byte by
        // byte, told once, and saved back exactly.
        for (const char *row : {"fffe61000d000a00|UTF-16 LE", "feff0061000a|UTF-16 BE",
                                "fffe000061000000|UTF-32 LE", "0000feff00000061|UTF-32 BE"}) {
            const QList<QByteArray> cells = QByteArray(row).split('|');
            const QByteArray bytes = QByteArray::fromHex(cells[0]);
            m_prompts->clear();
            FrmDoc *d = open(bytes, "wide.txt");
            QCOMPARE(
                m_prompts->messageTexts(),
                QStringList{QStringLiteral("The file \"%1\" uses %2, an encoding that Quillpad shows byte "
                                           "by byte.\r\nIts bytes are kept exactly as they are.")
                                .arg(m_app->path("wide.txt"), cells[1])});
            QCOMPARE((QList<QByteArray>{d->textControl()->text(), saveAndRead(d)}), (QList{bytes, bytes}));
            // Reopened as UTF-8, it is still held byte by byte.
            AppFixture::trigger(d, QStringLiteral("mnuReopenUTF8"));
            QCOMPARE((QList<QByteArray>{d->textControl()->text(), saveAndRead(d)}), (QList{bytes, bytes}));
            QCOMPARE(m_prompts->messages().size(), 1);
        }
    }

    void droppedFile_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: there is no such file
        QTest::addColumn<int>("readFault");       // errno of one failing read
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QList<int>>("errors"); // errno named by each question after the first
        QTest::addColumn<QByteArray>("result");
        const QByteArray all("first\r\nsecond\nthird\rNUL:\0:\xe9\xff end", 30), kept("Hello world");
        const Answer yes = Answer::Yes, ignore = Answer::Ignore;
        auto row = [](const char *name, const QByteArray &contents, int fault, QList<Answer> answers,
                      QList<int> errors, const QByteArray &result) {
            QTest::newRow(name) << contents << fault << answers << errors << result;
        };
        row("yes inserts every byte", all, 0, {yes}, {}, "Hello " + all);
        row("yes, empty file", "", 0, {yes}, {}, "Hello ");
        row("no opens it in a window of its own", "x", 0, {Answer::No}, {}, kept);
        row("no such file, abort", QByteArray(), 0, {yes, Answer::Abort}, {ENOENT}, kept);
        row("no such file, ignore asks again for the read", {}, 0, {yes, ignore, ignore}, {ENOENT, EBADF},
            kept);
        row("read fails, retry", "new", EIO, {yes, Answer::Retry}, {EIO}, "Hello new");
        row("read fails, ignore", "new", EIO, {yes, ignore}, {EIO}, kept);
    }
    void droppedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, readFault);
        QFETCH(QList<Answer>, answers);
        QFETCH(QList<int>, errors);
        QFETCH(QByteArray, result);
        FrmDoc *doc = documentWith("Hello world");
        TextControl *text = doc->textControl();
        select(doc, 6, 5);
        const QString file =
            contents.isNull() ? m_app->path("gone.txt") : m_app->writeFile("part of it.txt", contents);
        if (readFault)
            platform::injectFileFault(platform::FileStep::Read, readFault, 1);
        for (Answer a : answers)
            m_prompts->answer(a);
        QVERIFY(drop(doc, *m_prompts, {file}));

        QStringList questions{"Insert As Contents?|Would you like to paste the contents of this file \r\n" +
                              file + "\r\nTo your document?"};
        for (int e : errors)
            questions << "|There was an error in reading your file\r\n" +
                             platform::errorFromErrno(e).description + "\r\nWhat would you like to do";
        QStringList asked;
        for (const auto &q : m_prompts->asked)
            asked << (&q == &m_prompts->asked[0] ? q.caption : QString()) + "|" + q.text;
        QCOMPARE(asked, questions);
        QCOMPARE(m_prompts->asked[0].buttons, platform::Buttons::YesNo);
        const bool changed = result != "Hello world";
        QCOMPARE(
            (QStringList{QString::fromLatin1(text->text()),
                         QString::number(m_app->record(doc->slot()).Changed), text->selectedText(),
                         QString::number(text->selStart()), m_app->record(m_app->current()->slot()).Path}),
            (QStringList{QString::fromLatin1(result), QString::number(changed), changed ? "" : "world",
                         QString::number(changed ? result.size() : 6),
                         answers[0] == Answer::No ? file : QString()}));
    }

    void severalDroppedFilesOpenInOrderWithoutTheQuestion()
    {
        FrmDoc *doc = m_app->newDocument();
        QStringList files{"Untitled"};
        for (int i = 40; i > 0; --i)
            files << m_app->writeFile(QStringLiteral("file %1.txt").arg(i), QByteArray::number(i));
        const QString folder = m_app->path("a folder");
        QVERIFY(QDir().mkpath(folder));
        m_prompts->answer(Answer::Abort);
        QVERIFY(drop(doc, *m_prompts, files.mid(1, 20) + QStringList{folder} + files.mid(21)));
        // No question about inserting; only the folder could not be opened, and the rest still were.
        QCOMPARE(m_prompts->asked.size(), 1);
        QVERIFY2(m_prompts->asked[0].text.contains(platform::errorFromErrno(EISDIR).description),
                 qPrintable(m_prompts->asked[0].text));
        QStringList windows;
        for (int slot = 1; m_app->doc(slot); ++slot)
            if (m_app->record(slot).InUse)
                windows << m_app->record(slot).Title;
        QCOMPARE(windows, files);
    }

    // Preferences: every choice reaches the open windows at once and survives a restart.
    void everyChoiceAppliesAtOnceAndIsKept()
    {
        startFromDefaults();
        // Outlives the fixture, for the restart below.
        const QString page = testsupport::root() + QStringLiteral("/page.html");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<p>hi</p>\r\n") > 0);
        file.close();
        fileops::OpenFile(page);
        FrmDoc *d = m_app->current();
        AppFixture::trigger(d, QStringLiteral("mnuPreferences"));
        const QString defaultFamily = Preferences::defaults().fontFamily;
        QString other;
        for (const QString &f : QFontDatabase::families())
            if (f != defaultFamily && !QFontDatabase::isPrivateFamily(f))
                other = f;
        QVERIFY2(!other.isEmpty(), "a second font to choose");

        child<QFontComboBox>("cboFont")->setCurrentFont(QFont(other));
        const QString family = child<QFontComboBox>("cboFont")->currentFont().family();
        child<QSpinBox>("txtFontSize")->setValue(15);
        child<QSpinBox>("txtTabWidth")->setValue(4);
        for (const char *box : {"chkTabSpaces", "chkLineNumbers", "chkCurrentLine", "chkReopenSession"})
            child<QCheckBox>(box)->click();
        child<QComboBox>("cboScheme")->setCurrentIndex(2); // Dark
        child<QRadioButton>("optViewTabs")->click();
        const QString expected =
            QStringLiteral("%1 15 tab 4 spaces 1 numbers 0 line 1 paper #1e1e1e tabs").arg(family);
        QCOMPARE(shown(d, m_app->frame()), expected);
        QVERIFY2(d->subWindow()->isMaximized(), "a tab shows its document over the whole area");
        // Tab now types spaces up to the next stop of four.
        d->textControl()->setSelStart(0);
        type(d, "a\t");
        QCOMPARE(d->textControl()->text(), QByteArray("a   <p>hi</p>"));

        // A new start reads them back, into new windows and the dialog.
        m_app.reset();
        m_app.emplace();
        fileops::OpenFile(page);
        d = m_app->current();
        QCOMPARE(shown(d, m_app->frame()), expected);
        QVERIFY(preferences::current().reopenSession);
        m_app->triggerFrame(QStringLiteral("mnuPreferences"));
        QCOMPARE(child<QSpinBox>("txtFontSize")->value(), 15);

        // Restore Defaults brings every choice back, in the windows too.
        child<QPushButton>("cmdRestoreDefaults")->click();
        QCOMPARE(preferences::current(), Preferences::defaults());
        QCOMPARE(preferences::load(), Preferences::defaults());
        QCOMPARE(shown(d, m_app->frame()),
                 QStringLiteral("%1 %2 tab 8 spaces 0 numbers 1 line 0 paper #ffffff windows")
                     .arg(defaultFamily)
                     .arg(Preferences::defaults().fontSize));
        QVERIFY(!child<QCheckBox>("chkReopenSession")->isChecked());
        QVERIFY2(!d->subWindow()->isMaximized(), "back from tabs, a window of its own size");
    }

    // Stored values that cannot be used fall back to the defaults.
    void unusableStoredValuesFallBack_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        for (const QString &row : QStringLiteral("missing font|FontFamily|No Such Font Qp7;size 0|FontSize|0;"
                                                 "size 10000|FontSize|10000;size not a number|FontSize|large;"
                                                 "unknown scheme|Scheme|Purple;tab width|TabWidth|-3;"
                                                 "view|DocumentView|Sideways;flag|LineNumbers|maybe")
                                      .split(';')) {
            const QStringList cells = row.split('|');
            QTest::newRow(qPrintable(cells[0])) << cells[1] << cells[2];
        }
    }
    void unusableStoredValuesFallBack()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        startFromDefaults();
        platform::settings().write(platform::appTitle(), QStringLiteral("Preferences"), key, value);
        m_app.reset();
        m_app.emplace(); // a new start
        QCOMPARE(preferences::current(), Preferences::defaults());
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(sci(d, Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT), long(Preferences::defaults().fontSize));
        // Nothing is written over what the user had.
        QCOMPARE(platform::settings().read(platform::appTitle(), QStringLiteral("Preferences"), key), value);
        startFromDefaults();
    }

    // Every style of every coloured language, on the paper and on the
    // current line, with the selection and line numbers: 4.5:1 at least.
    void darkSchemePassesContrast()
    {
        using languages::Language;
        TextControl control;
        const colourscheme::Frame &f = colourscheme::frame(true);
        auto colour = [&control](unsigned msg, int style) {
            return colourOf(control.SendScintilla(msg, static_cast<unsigned long>(style)));
        };
        auto fore = [&](int style) { return colour(Sci::SCI_STYLEGETFORE, style); };
        auto back = [&](int style) { return colour(Sci::SCI_STYLEGETBACK, style); };
        auto require = [](const QColor &a, const QColor &b, const QString &what) {
            const double ratio = colourscheme::contrastRatio(a, b);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2 on %3 is %4:1")
                                                  .arg(what, a.name(), b.name())
                                                  .arg(ratio, 0, 'f', 2)));
        };
        for (Language lang :
             {Language::Html, Language::Xml, Language::Css, Language::Cpp, Language::Java,
              Language::JavaScript, Language::Php, Language::Perl, Language::Ini, Language::Plain}) {
            syntaxcolours::apply(control, lang, syntaxcolours::Look{QStringLiteral("Monospace"), 10, true});
            QSet<QRgb> kinds;
            for (int style = 0; style <= Sci::STYLE_MAX; ++style) {
                if (style > Sci::STYLE_DEFAULT && style <= Sci::STYLE_LASTPREDEFINED)
                    continue;
                const QString what = languages::languageName(lang) + " style " + QString::number(style);
                require(fore(style), back(style), what);
                require(fore(style), f.currentLine, what + " on the current line");
                kinds.insert(fore(style).rgb());
            }
            QVERIFY2(lang == Language::Plain || kinds.size() >= 4, "the dark scheme still tells kinds apart");
        }
        require(fore(Sci::STYLE_LINENUMBER), back(Sci::STYLE_LINENUMBER), "line numbers");
        require(fore(Sci::STYLE_BRACELIGHT), back(Sci::STYLE_BRACELIGHT), "matched brace");
        require(fore(Sci::STYLE_BRACEBAD), f.paper, "brace without partner");
        require(f.selectionText, f.selectionBack, "selection");
        require(f.caret, f.paper, "caret");
        // The palette for dark desktops is readable too, and is seen as dark.
        const QPalette dark = colourscheme::darkPalette();
        require(dark.color(QPalette::Text), dark.color(QPalette::Base), "palette text");
        require(dark.color(QPalette::WindowText), dark.color(QPalette::Window), "palette window");
        QVERIFY(colourscheme::paletteIsDark(dark) && !colourscheme::paletteIsDark(QPalette(Qt::white)));
    }

    void followDesktopAndZoomKeys()
    {
        startFromDefaults();
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)), QColor(Qt::white));
        const QPalette before = QApplication::palette();
        QApplication::setPalette(colourscheme::darkPalette());
        QApplication::processEvents();
        QCOMPARE(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)),
                 colourscheme::frame(true).paper);
        QApplication::setPalette(before);
        // A Dark scheme on a light desktop darkens the find bar as well.
        Preferences p = preferences::current();
        p.scheme = colourscheme::Scheme::Dark;
        preferences::setCurrent(p);
        QVERIFY(colourscheme::paletteIsDark(d->findChild<QWidget *>(QStringLiteral("fraFind"))->palette()));

        // No menu entry of either window has one of the zoom keys.
        for (const QKeySequence &k : SourceView::zoomKeys())
            QVERIFY2(!menutree::allShortcuts().contains(k), qPrintable(k.toString()));

        FrmDoc *other = m_app->newDocument();
        TextControl *t = d->textControl();
        QTest::keyClick(t, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(t, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(d->sourceView()->zoom(), 2);
        QTest::keyClick(t, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(d->sourceView()->zoom(), 1);
        QWheelEvent wheel(QPointF(20, 20), t->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t->viewport(), &wheel);
        QCOMPARE((QList<int>{d->sourceView()->zoom(), other->sourceView()->zoom()}),
                 (QList<int>{2, 0})); // each its own
        // A change of preferences keeps the window's zoom; Ctrl+0 goes back to the preferred size.
        p = preferences::current();
        p.fontSize = 12;
        preferences::setCurrent(p);
        QCOMPARE(d->sourceView()->zoom(), 2);
        QTest::keyClick(t, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(QString::number(d->sourceView()->zoom()) + t->text(), "0"); // nothing typed
        startFromDefaults();
    }
};

QP_TEST_MAIN(TstFrmDoc)
#include "tst_frmdoc.moc"
