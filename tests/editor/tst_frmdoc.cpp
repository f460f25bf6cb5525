#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/frmdoc.h"
#include "platform/clipboard.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>

using platform::Answer;

namespace {

void clearRecent()
{
    for (int i = 1; i <= recentfiles::Count; ++i)
        platform::settings().write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"),
                                   recentfiles::key(i), QString());
}

QStringList recentCaptions(FrmDoc *d)
{
    QStringList out;
    for (int i = 1; i <= recentfiles::Count; ++i)
        if (QAction *a = d->action(QStringLiteral("mnuOpenRecent"), i); a && a->isVisible())
            out << a->data().toString();
    return out;
}

void type(FrmDoc *d, const char *text) { QTest::keyClicks(d->textControl(), text); }

} // namespace

class TstFrmDoc : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clearRecent();
        QGuiApplication::clipboard()->clear();
    }

    void menuEntriesHaveTheirCaptionsShortcutsAndVisibility_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("visible");
        QTest::newRow("add to project") << "mnuFileAddtoProject" << "&Add File To Project" << "" << false;
        QTest::newRow("span") << "mnuInsertHTMLSpan" << "SPAN" << "Shift+F3" << true;
        QTest::newRow("line break") << "mnuInsertHTMLLineBreak" << "Line Break" << "Ctrl+Ins" << true;
        QTest::newRow("anchor") << "mnuInsertLinkAnchor" << "Anchor Link" << "Ctrl+L" << true;
        QTest::newRow("bold") << "mnuInsetBoldText" << "&Bold Text" << "Ctrl+B" << true;
        QTest::newRow("snip") << "mnuToolsSnip" << "&Snip" << "Ctrl+F12" << true;
        QTest::newRow("insert text") << "mnuToolsInsertText" << "Inse&rt Text" << "F4" << true;
        QTest::newRow("project list") << "mnuToolsProjectList" << "&Project List" << "" << false;
        QTest::newRow("recent pattern") << "mnuOpenRecent" << "Recent Items" << "" << false;
    }

    void menuEntriesHaveTheirCaptionsShortcutsAndVisibility()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(bool, visible);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QAction *a = d->action(name, name == QLatin1String("mnuOpenRecent") ? 0 : -1);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), shortcut);
        QCOMPARE(a->isVisible(), visible);
        for (int i = 0; i < 3; ++i) {
            QAction *p = d->action(QStringLiteral("mnuViewProgram"), i);
            QVERIFY(p);
            QCOMPARE(p->shortcut(), QKeySequence(QStringLiteral("Ctrl+F%1").arg(i + 1)));
        }
    }

    void menuShortcutsWinOverTheTextControl()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QApplication::setActiveWindow(app.frame());
        d->textControl()->setFocus();
        d->textControl()->setText(QByteArrayView("first line\r\nsecond line"));
        int fired = 0;
        for (const char *name : {"mnuInsertLinkAnchor", "mnuInsertHtmlUnderline", "mnuEditSelectAll", "mnuInsertHTMLLineBreak"})
            QObject::connect(d->action(QString::fromLatin1(name)), &QAction::triggered, [&] { ++fired; });
        prompts.answerInput(QString());
        QTest::keyClick(d->textControl(), Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(d->textControl(), Qt::Key_U, Qt::ControlModifier);
        QTest::keyClick(d->textControl(), Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY2(d->textControl()->text().contains("first line\r\nsecond line"),
                 "Scintilla's own line cut and lower-casing never ran");
        QTest::keyClick(d->textControl(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 4);
    }

    void toolbarHasItsKeyedButtons()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QStringList keys;
        for (QAction *a : d->toolBar()->actions()) {
            if (a->isSeparator()) {
                keys << QStringLiteral("|");
                continue;
            }
            keys << a->data().toString();
            QCOMPARE(a->toolTip(), a->data().toString());
            QVERIFY2(!a->icon().pixmap(16, 16).isNull(), qPrintable(a->data().toString()));
        }
        QCOMPARE(keys, (QStringList{"New", "Open", "Save", "|", "Undo", "|", "Cut", "Copy", "Paste", "Delete", "|",
                                    "Print"}));
        QCOMPARE(d->toolBar()->iconSize(), QSize(16, 16));
    }

    void statusPanels()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QStringList texts;
        for (int i = 3; i <= 7; ++i)
            texts << d->panelText(i);
        QCOMPARE(texts, (QStringList{"Length: 0", "Status", "", "CAPS", "INS"}));
        QCOMPARE(d->panelPosition(QStringLiteral("lngth")), 3);
        QCOMPARE(d->panelPosition(QStringLiteral("Status")), 4);
        QVERIFY(d->panelText(2).contains(QLatin1Char(':')));
        d->statusTick();
        QCOMPARE(d->panelText(4), QStringLiteral("Document is clean"));
        type(d, "ab");
        QTest::keyClick(d->textControl(), Qt::Key_Return);
        type(d, "c");
        QCOMPARE(d->panelText(3), QStringLiteral("Length: 5"));
        QCOMPARE(d->panelText(4), QStringLiteral("Unsaved Changes Made"));
        d->statusTick();
        QCOMPARE(d->panelText(4), QStringLiteral("Unsaved Changes Made"));
        // A freshly opened file says changed until the next status tick.
        const QString path = app.writeFile(QStringLiteral("f.txt"), "xyz\r\n");
        fileops::OpenFile(path);
        FrmDoc *f = app.current();
        QCOMPARE(f->panelText(4), QStringLiteral("Unsaved Changes Made"));
        QCOMPARE(f->panelText(3), QStringLiteral("Length: 3"));
        f->statusTick();
        QCOMPARE(f->panelText(4), QStringLiteral("Document is clean"));
        // Every panel is at least an inch wide.
        for (int i = 1; i <= 7; ++i)
            QVERIFY(d->findChild<QLabel *>(QStringLiteral("panel%1").arg(i))->minimumWidth() >= d->logicalDpiX());
    }

    void insertKeyLightsInsPanel()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        d->refreshTick();
        QVERIFY(!d->panelActive(7));
        QVERIFY2(!d->panelActive(6), "Caps Lock cannot be known offscreen and shows off");
        QTest::keyClick(d->textControl(), Qt::Key_Insert);
        QTRY_VERIFY(d->panelActive(7));
    }

    void commandStatesFollowSelectionClipboardAndUndo()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QAction *selection = d->action(QStringLiteral("mnuSelection"));
        QAction *paste = d->action(QStringLiteral("mnuEditPaste"));
        d->refreshTick();
        QVERIFY(!selection->isEnabled());
        QVERIFY(!d->toolButton(QStringLiteral("Undo"))->isVisible());
        QVERIFY(!d->action(QStringLiteral("mnuEditUndo"))->isEnabled());

        type(d, "hello");
        d->textControl()->setSelStart(1);
        d->textControl()->setSelLength(1);
        QTRY_VERIFY(selection->isEnabled());
        AppFixture::trigger(d, QStringLiteral("mnuSelectClear"));
        QCOMPARE(d->textControl()->selStart(), 1);
        QTRY_VERIFY(!selection->isEnabled());

        // An image on the clipboard: Paste is off and its button hidden.
        auto *image = new QMimeData;
        image->setImageData(QImage(2, 2, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(image);
        QTRY_VERIFY(!paste->isEnabled());
        QVERIFY(!d->toolButton(QStringLiteral("Paste"))->isVisible());
        d->runToolButton(QStringLiteral("Paste"));
        emit paste->triggered();
        QCOMPARE(d->textControl()->text(), QByteArray("hello"));
        platform::clipboard().setText(QStringLiteral("XY"));
        QTRY_VERIFY(paste->isEnabled());
        QVERIFY(d->toolButton(QStringLiteral("Paste"))->isVisible());

        // Copy and Cut with nothing selected leave the clipboard alone; Cut and Copy are never disabled.
        AppFixture::trigger(d, QStringLiteral("mnuEditCopy"));
        AppFixture::trigger(d, QStringLiteral("mnuEditCut"));
        QCOMPARE(platform::clipboard().text(), QStringLiteral("XY"));
        QVERIFY(d->action(QStringLiteral("mnuEditCut"))->isEnabled());
        d->textControl()->setSelStart(0);
        d->textControl()->setSelLength(2);
        d->runToolButton(QStringLiteral("Cut"));
        QCOMPARE(platform::clipboard().text(), QStringLiteral("he"));
        d->runToolButton(QStringLiteral("Paste"));
        d->runToolButton(QStringLiteral("Paste"));
        QCOMPARE(d->textControl()->text(), QByteArray("hehello"));
        d->textControl()->setSelStart(0);
        d->textControl()->setSelLength(4);
        d->runToolButton(QStringLiteral("Delete"));
        QCOMPARE(d->textControl()->text(), QByteArray("llo"));
        d->runToolButton(QStringLiteral("Delete")); // nothing selected: nothing happens
        QCOMPARE(d->textControl()->text(), QByteArray("llo"));
    }

    void toolbarCommandsFailQuietly()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QObject::connect(d->action(QStringLiteral("mnuFilePrint")), &QAction::triggered,
                         [] { throw std::runtime_error("printer on fire"); });
        d->runToolButton(QStringLiteral("Print"));
        type(d, "still usable");
        QCOMPARE(d->textControl()->text(), QByteArray("still usable"));
    }

    void undoStepsBackThroughRecordedStates()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QAction *undo = d->action(QStringLiteral("mnuEditUndo"));

        // The empty start is never a state.
        type(d, "a");
        d->undoTick();
        d->refreshTick();
        QVERIFY(!undo->isEnabled());
        type(d, "b");
        d->undoTick();
        d->refreshTick();
        QVERIFY(undo->isEnabled());
        QVERIFY(d->toolButton(QStringLiteral("Undo"))->isVisible());
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("a"));
        d->refreshTick();
        QVERIFY(!undo->isEnabled());
        QVERIFY(!d->toolButton(QStringLiteral("Undo"))->isVisible());
        QVERIFY2(app.record(d->slot()).Changed, "an undo is a change");

        // Five changes a tick apart: four steps back, newest first.
        d->textControl()->setText(QByteArrayView("s0"));
        d->undoTick();
        for (int i = 1; i <= 5; ++i) {
            d->textControl()->setSelStart(d->textControl()->length());
            type(d, qPrintable(QStringLiteral(" s%1").arg(i)));
            d->undoTick();
        }
        const QList<QByteArray> expected = {"s0 s1 s2 s3 s4", "s0 s1 s2 s3", "s0 s1 s2", "s0 s1"};
        for (const QByteArray &state : expected) {
            d->refreshTick();
            QVERIFY2(undo->isEnabled(), state.constData());
            d->runToolButton(QStringLiteral("Undo"));
            QCOMPARE(d->textControl()->text(), state);
        }
        d->refreshTick();
        QVERIFY(!undo->isEnabled());

        // Several edits within one tick are one step; edits undone within the tick record nothing.
        d->textControl()->setText(QByteArrayView("base"));
        d->undoTick();
        const int depth = app.record(d->slot()).Undo.depth();
        type(d, "xyz");
        QTest::keyClick(d->textControl(), Qt::Key_Backspace);
        d->undoTick();
        QCOMPARE(app.record(d->slot()).Undo.depth(), depth + 1);
        type(d, "q");
        QTest::keyClick(d->textControl(), Qt::Key_Backspace);
        d->undoTick();
        QCOMPARE(app.record(d->slot()).Undo.depth(), depth + 1);
        d->refreshTick();
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("base"));

        // Edits made since the last tick are replaced along with the rest.
        type(d, "1");
        d->undoTick();
        type(d, "2");
        d->refreshTick();
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("base"));
    }

    void emptiedTextKeepsEarlierStates()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        d->textControl()->setText(QByteArrayView("precious work"));
        d->undoTick();
        type(d, "!");
        d->undoTick(); // records "precious work"
        AppFixture::trigger(d, QStringLiteral("mnuEditSelectAll"));
        d->runToolButton(QStringLiteral("Delete"));
        d->undoTick();
        type(d, "x");
        d->undoTick(); // the empty text is not a state
        d->refreshTick();
        QVERIFY(d->action(QStringLiteral("mnuEditUndo"))->isEnabled());
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("!precious work"));
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), QByteArray("precious work"));
    }

    void openedFilesStartWithoutUndo()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        fileops::OpenFile(app.writeFile(QStringLiteral("o.txt"), "opened\r\n"));
        FrmDoc *d = app.current();
        d->undoTick();
        d->refreshTick();
        QVERIFY(!d->action(QStringLiteral("mnuEditUndo"))->isEnabled());
        type(d, "+");
        d->undoTick();
        d->refreshTick();
        QVERIFY(d->action(QStringLiteral("mnuEditUndo"))->isEnabled());
        QVERIFY(d->undoBytesPending() == 0);
    }

    void recentItemsFollowOpensAndSaves()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString a = app.writeFile(QStringLiteral("A.txt"), "a");
        const QString b = app.writeFile(QStringLiteral("B.txt"), "b");
        const QString c = app.writeFile(QStringLiteral("C.txt"), "c");
        FrmDoc *early = app.newDocument();
        fileops::OpenFile(a);
        fileops::OpenFile(b);
        QVERIFY2(recentCaptions(app.current()).size() == 1, "a new window lists what was added before it");
        fileops::OpenFile(c);
        QCOMPARE(recentCaptions(early), QStringList());
        early->rebuildMenus();
        QCOMPARE(recentCaptions(early), (QStringList{c, b, a}));
        fileops::OpenFile(b);
        early->rebuildMenus();
        QCOMPARE(recentCaptions(early), (QStringList{b, c, a}));
        QCOMPARE(recentfiles::entries().size(), 3);

        // Save As in a window rebuilds that window's own menus.
        const QString saved = app.path(QStringLiteral("saved.txt"));
        prompts.answerFile(saved);
        AppFixture::trigger(early, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(recentCaptions(early).value(0), saved);

        // A listed file that has gone asks the read question and stays listed.
        QFile::remove(a);
        early->rebuildMenus();
        prompts.answer(Answer::Abort);
        early->action(QStringLiteral("mnuOpenRecent"), 4)->trigger();
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY(recentfiles::entries().contains(a));
    }

    void recentListSurvivesRestartsGarbageAndAReadOnlyStore()
    {
        ScriptedPrompts prompts;
        QString path;
        {
            AppFixture first;
            path = first.writeFile(QStringLiteral("kept.txt"), "k");
            fileops::OpenFile(path);
        }
        AppFixture second;
        QCOMPARE(recentCaptions(second.newDocument()).value(0), path);

        QFile f(platform::settingsFilePath(QStringLiteral("Quillpad Basic")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\nRecentItem3=/three\nRecentItem1=\x01\xff garbage\nno equals sign\n[[[broken\n=x\n");
        f.close();
        QVERIFY(recentCaptions(second.newDocument()).contains(QStringLiteral("/three")));
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/dev/null/nowhere");
        fileops::OpenFile(second.writeFile(QStringLiteral("x.txt"), "x"));
        QCOMPARE(second.current()->textControl()->text(), QByteArray("x"));
        qputenv("XDG_CONFIG_HOME", saved);
    }



    void windowListAndCaption()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *b = app.newDocument();
        auto *list = b->findChild<QMenu *>(QStringLiteral("mnuViewList"));
        QVERIFY(list);
        emit list->aboutToShow();
        QCOMPARE(list->actions().size(), 2);
        list->actions()[0]->trigger();
        QCOMPARE(app.frame()->mdiArea()->currentSubWindow(), a->subWindow());

        app.record(a->slot()).Title = QStringLiteral("Set by a tag");
        a->statusTick();
        QCOMPARE(a->caption(), QStringLiteral("Set by a tag"));
    }

    void aboutBoxFromEitherMenu()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame(QStringLiteral("mnuHelpAbout"));
        AppFixture::trigger(app.newDocument(), QStringLiteral("mnuHelpAbout"));
        const auto boxes = QApplication::topLevelWidgets();
        QWidget *about = nullptr;
        for (QWidget *w : boxes)
            if (w->objectName() == QLatin1String("frmAbout") && w->isVisible())
                about = about ? about : w;
        QVERIFY2(about, "one about box is shown");
        QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Quillpad Basic"));
        auto *ok = about->findChild<QLabel *>(QStringLiteral("lblOK"));
        QTest::mousePress(ok, Qt::LeftButton);
        QCOMPARE(ok->frameShape(), QFrame::Box);
        QTest::mouseRelease(ok, Qt::LeftButton);
        QCOMPARE(ok->frameShape(), QFrame::NoFrame);
        QTRY_VERIFY(!about->isVisible());
    }

    void minimizingKeepsTheTextControlWhereItWas()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QApplication::processEvents();
        const QRect before = d->textControl()->geometry();
        QVERIFY(before.top() >= d->toolBar()->height());
        d->subWindow()->showMinimized();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry(), before);
        d->subWindow()->showNormal();
        QApplication::processEvents();
        QCOMPARE(d->textControl()->geometry().top(), d->toolBar()->height());
    }
};

QP_TEST_MAIN(TstFrmDoc)
#include "tst_frmdoc.moc"
