#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "inserts/frminserts.h"
#include "inserts/insertboxtext.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QLabel>
#include <QSignalSpy>

using inserts::InsertBoxText;

namespace {

FrmInserts *openBox(FrmDoc *doc)
{
    AppFixture::trigger(doc, QStringLiteral("mnuToolsInsertBox"));
    return FrmInserts::instance();
}

// F4 into a document "ab|cd" (or "ab[xy]cd" with xy selected); returns its text.
QByteArray insertInto(FrmDoc *doc, bool selection = false)
{
    TextControl *t = doc->textControl();
    t->setText(QByteArrayView(selection ? "abxycd" : "abcd"));
    t->setSelStart(2);
    t->setSelLength(selection ? 2 : 0);
    AppFixture::trigger(doc, QStringLiteral("mnuToolsInsertText"));
    return t->text();
}

} // namespace

class TstInsertBox : public QObject
{
    Q_OBJECT
private slots:
    void init() { inserts::setInsertBoxText(QByteArrayView()); }

    void neverOpenedInsertsNothing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QSignalSpy changes(doc->textControl(), &TextControl::changed);
        QCOMPARE(insertInto(doc), QByteArray("abcd"));
        QCOMPARE(changes.size(), 1); // the setText of the helper only
    }

    void boxLooksAndOpensOnce()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        FrmInserts *box = openBox(doc);
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->windowTitle(), QStringLiteral("Insert Text"));
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QCOMPARE(box->text()->objectName(), QStringLiteral("txtInserts"));
        QCOMPARE(box->findChild<QLabel *>("Label1")->text(),
                 QStringLiteral("PRESS \"F4\" TO INSERT THE TEXT INTO YOUR DOCUMENT."));
        QTest::keyClicks(box->text(), "kept");
        QCOMPARE(openBox(app.newDocument()), box); // the open box comes forward with its text
        QCOMPARE(box->text()->text(), QByteArray("kept"));
    }

    void typedThenClosedIsInsertedEverywhere()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *first = app.newDocument();
        FrmDoc *second = app.newDocument();
        FrmInserts *box = openBox(first);
        QTest::keyClicks(box->text(), "Hi");
        QTest::keyClick(box->text(), Qt::Key_Return);
        QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
        QApplication::sendEvent(box->text(), &eacute);
        QCOMPARE(InsertBoxText(), QByteArray("Hi\r\n\xE9"));
        box->close();
        QTRY_VERIFY(!FrmInserts::instance());
        QCOMPARE(insertInto(first), QByteArray("abHi\r\n\xE9" "cd"));
        QCOMPARE(insertInto(second, true), QByteArray("abHi\r\n\xE9" "cd"));
        QVERIFY2(second->textControl()->selStart() == 7 && second->textControl()->selLength() == 0,
                 "caret after the inserted text");
    }

    void reopenedBoxIsEmptyUntilItChanges()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QTest::keyClicks(openBox(doc)->text(), "old");
        FrmInserts::instance()->close();
        QTRY_VERIFY(!FrmInserts::instance());
        FrmInserts *box = openBox(doc);
        QCOMPARE(box->text()->text(), QByteArray());
        QCOMPARE(insertInto(doc), QByteArray("aboldcd"));
        QTest::keyClicks(box->text(), "n");
        QCOMPARE(insertInto(doc), QByteArray("abncd"));
    }

    void emptiedBoxInsertsNothing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        FrmInserts *box = openBox(doc);
        QTest::keyClicks(box->text(), "xy");
        box->text()->selectAllText();
        QTest::keyClick(box->text(), Qt::Key_Delete);
        QCOMPARE(InsertBoxText(), QByteArray());
        QCOMPARE(insertInto(doc, true), QByteArray("abxycd"));
    }

    // Every byte the box holds goes in as it is: CR LF, lone LF, NUL, Latin-1.
    void bytesKeptExactly()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        const QByteArray odd("1\r\n2\n3\0\xFF", 8);
        openBox(doc)->text()->setText(QByteArrayView(odd));
        QCOMPARE(InsertBoxText(), odd);
        QCOMPARE(insertInto(doc), "ab" + odd + "cd");
    }

    void f4KeyInTheDocument()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        inserts::setInsertBoxText("F4");
        QApplication::setActiveWindow(app.frame());
        QVERIFY(QTest::qWaitForWindowActive(app.frame()));
        doc->textControl()->setFocus();
        QTest::keyClick(doc->textControl(), Qt::Key_F4);
        QCOMPARE(doc->textControl()->text(), QByteArray("F4"));
    }
};

QP_TEST_MAIN(TstInsertBox)
#include "tst_insertbox.moc"
