#include "app/mdimain.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/frmdoc.h"
#include "platform/clipboard.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"

#include <QClipboard>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QToolBar>

#include <optional>

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

void type(FrmDoc *d, const char *text)
{
    QTest::keyClicks(d->textControl(), text);
}

void typeThenTick(FrmDoc *d, const char *text)
{
    type(d, text);
    d->undoTick();
}

void select(FrmDoc *d, int start, int length)
{
    d->textControl()->setSelStart(start);
    d->textControl()->setSelLength(length);
}

// Whether Edit > Undo is on after the next refresh.
bool canUndo(FrmDoc *d)
{
    d->refreshTick();
    return d->action(QStringLiteral("mnuEditUndo"))->isEnabled();
}

} // namespace

class TstFrmDoc : public WindowTest
{
    Q_OBJECT
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
        QCOMPARE(panels(), QStringLiteral("Length: 0|Status||CAPS|INS"));
        d->statusTick();
        QCOMPARE(d->panelText(FrmDoc::Panel::Status), QStringLiteral("Document is clean"));
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
        QVERIFY(!selection->isEnabled());
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
        QVERIFY(!d->toolButton(QStringLiteral("Undo"))->isVisible());
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
        item->trigger();
        QTRY_COMPARE(m_app->current()->caption(), b);

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
        QVERIFY(shown[0]->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(shown[0]->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Quillpad Basic"));
        auto *ok = shown[0]->findChild<QLabel *>(QStringLiteral("lblOK"));
        QTest::mouseClick(ok, Qt::LeftButton);
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
};

QP_TEST_MAIN(TstFrmDoc)
#include "tst_frmdoc.moc"
