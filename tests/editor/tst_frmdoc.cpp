#include "app/mdimain.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/frmdoc.h"
#include "platform/clipboard.h"
#include "platform/printer.h"
#include "platform/printlayout.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinterInfo>
#include <QToolBar>

using platform::Answer;

namespace {

QStringList recentCaptions(FrmDoc *d)
{
    QStringList out;
    for (int i = 1; i <= recentfiles::Count; ++i)
        if (QAction *a = d->action(QStringLiteral("mnuOpenRecent"), i); a && a->isVisible())
            out << a->data().toString();
    return out;
}

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

class TstFrmDoc : public WindowTest
{
    Q_OBJECT
    static void type(FrmDoc *d, const char *text) { QTest::keyClicks(d->textControl(), text); }
    static void typeThenTick(FrmDoc *d, const char *text)
    {
        type(d, text);
        d->undoTick();
    }
    static void select(FrmDoc *d, int start, int length)
    {
        d->textControl()->setSelStart(start);
        d->textControl()->setSelLength(length);
    }
    // Whether Edit > Undo is on after the next refresh.
    static bool canUndo(FrmDoc *d)
    {
        d->refreshTick();
        return d->action(QStringLiteral("mnuEditUndo"))->isEnabled();
    }
    static void commitText(QWidget *w, const QString &text)
    {
        QInputMethodEvent ev;
        ev.setCommitString(text);
        QCoreApplication::sendEvent(w, &ev);
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
        type(d, "ab");
        QTest::keyClick(d->textControl(), Qt::Key_Return);
        type(d, "c");
        d->statusTick();
        QCOMPARE(panels(), QStringLiteral("Length: 5|Unsaved Changes Made||CAPS|INS"));
        QVERIFY(!d->panelActive(FrmDoc::Panel::Insert));
        QTest::keyClick(d->textControl(), Qt::Key_Insert);
        QTRY_VERIFY(d->panelActive(FrmDoc::Panel::Insert));
    }

    void commandStatesFollowSelectionAndClipboard()
    {
        FrmDoc *d = m_app->newDocument();
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
        QCOMPARE(platform::clipboard().text(), QStringLiteral("he"));
        QCOMPARE(d->textControl()->text(), QByteArray("hehello"));
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
        fileops::OpenFile(m_app->writeFile(QStringLiteral("o.txt"), "opened\r\n"));
        FrmDoc *f = m_app->current();
        f->undoTick();
        QVERIFY(!canUndo(f));
        typeThenTick(f, "+");
        QVERIFY(canUndo(f));
    }

    void recentItemsFollowOpensAndSaves()
    {
        const QString a = m_app->writeFile(QStringLiteral("A.txt"), "a");
        const QString b = m_app->writeFile(QStringLiteral("R&D notes.txt"), "rd");
        const QString c = m_app->writeFile(QStringLiteral("C.txt"), "c");
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

    void aboutBoxFromEitherMenu()
    {
        m_app->triggerFrame(QStringLiteral("mnuHelpAbout"));
        AppFixture::trigger(m_app->newDocument(), QStringLiteral("mnuHelpAbout"));
        QList<QWidget *> shown;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmAbout") && w->isVisible())
                shown << w;
        QCOMPARE(shown.size(), 1);
        QTest::mouseClick(shown[0]->findChild<QLabel *>(QStringLiteral("lblOK")), Qt::LeftButton);
        QTRY_VERIFY(!shown[0]->isVisible());
    }

    void minimizingKeepsTheTextControlWhereItWas()
    {
        FrmDoc *d = m_app->newDocument();
        QApplication::processEvents();
        const QRect before = d->textControl()->geometry();
        d->subWindow()->showMinimized();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry(), before);
        d->subWindow()->showNormal();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry().top(), d->toolBar()->height());
    }

    void typingInCharacterMode()
    {
        FrmDoc *doc = m_app->newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("one two"));
        select(doc, 4, 3);
        m_app->record(doc->slot()).Changed = false;
        QAction *mode = doc->action(QStringLiteral("mnuCharacterMode"));
        QVERIFY(mode->isCheckable() && !mode->isChecked());
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QVERIFY(mode->isChecked());
        QCOMPARE(doc->panelText(FrmDoc::Panel::CharacterMode), QStringLiteral("CCM"));

        // Keys from all over the chart type their Latin-1 codes, the first over the selection.
        QTest::keyClicks(text, "cCrRAaj1=\"'\\~`Kk");
        const QByteArray typed = "one \xa9\xab\xae\xc7\xa4\xb2\xaa\xce\xd8\xdc\xdd\xee\xf5\xf6\xf7\xf8";
        QCOMPARE(text->text(), typed);
        QVERIFY2(m_app->record(doc->slot()).Changed, "typed replacements mark the document changed");
        // Space stays, other characters type nothing, nor do Backspace and Tab; Enter breaks the line.
        for (const QChar c : QStringView(u" ?\u00e9\u00a9\u20ac")) {
            QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(text, &press);
        }
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Return})
            QTest::keyClick(text, key);
        QCOMPARE(text->text(), typed + " \r\n");
        // Keys without a character code keep working.
        text->setSelStart(0);
        QTest::keyClick(text, Qt::Key_Right);
        QTest::keyClick(text, Qt::Key_Delete);

        // The mode is the window's own: a new window starts without it.
        FrmDoc *other = m_app->newDocument();
        QCOMPARE(other->panelText(FrmDoc::Panel::CharacterMode), QString());
        QTest::keyClicks(other->textControl(), "c");
        QCOMPARE(other->textControl()->text(), "c");
        QTest::keyClicks(text, "H");
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QVERIFY(!mode->isChecked());
        QCOMPARE(doc->panelText(FrmDoc::Panel::CharacterMode), QString());
        QTest::keyClicks(text, "c?");
        QCOMPARE(text->text(), "o\xa3"
                               "c?e" +
                                   typed.mid(3) + " \r\n");
    }

    // Found by fuzzing: an input method's commit typed "?" for characters
    // outside Latin-1 even in character mode, which types nothing for them.
    void inputMethodCommitInCharacterMode()
    {
        FrmDoc *doc = m_app->newDocument();
        TextControl *text = doc->textControl();
        const QString commit = QStringLiteral("c \u00e9\u20ac\U0001F600\xd83dR");
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        commitText(text, commit);
        QCOMPARE(text->text(), "\xa9 \xc7");
        QVERIFY2(m_prompts->asked.isEmpty(), "character mode asked or beeped over dropped characters");

        // Without the mode the same commit keeps what it can and says so once.
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        text->setText(QByteArrayView());
        commitText(text, commit);
        QCOMPARE(m_prompts->messageTexts(),
                 QStringList{
                     "3 character(s) outside the Latin-1 set could not be kept and were replaced by \"?\"."});
        QCOMPARE(text->text(), "c \xe9???R");
    }

    void printLayout_data()
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
    void printLayout()
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
        QCOMPARE(pages, QList<QStringList>{printed});
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
    }

    void printFailureIsTold()
    {
        const QString folder = m_app->path("out.pdf"); // stands where the file would go
        QVERIFY(QDir().mkpath(folder));
        FrmDoc *doc = m_app->newDocument();
        print(doc, folder);
        const QString lead = "there was an error in printing your document: ";
        QCOMPARE(m_prompts->messages().value(0).text,
                 lead + "The file \"" + folder + "\" could not start the print job.");
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer; the job would really be printed");
        print(doc, QString());
        QCOMPARE(m_prompts->messages().value(1).text, lead + "No printer is installed.");
    }
};

QP_TEST_MAIN(TstFrmDoc)
#include "tst_frmdoc.moc"
