#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QInputMethodEvent>

namespace {

// The key chart as the user knows it: each key and the Latin-1 code it types.
const char kKeys[] =
    "cCrRAaBDdbEePpFfGgHhIiJjLlMmNnOoQqSsTtUuVvWwXxYyZz1234567890=+_-\"'/!@#$%^&*(){[}]|\\;:<.,>~`Kk";
const unsigned char kCodes[] = {
    169, 171, 174, 199, 164, 178, 188, 190, 189, 191, 198, 165, 182, 186, 187, 181, 162, 161, 163,
    164, 166, 167, 168, 170, 172, 173, 175, 176, 177, 178, 179, 180, 181, 183, 184, 185, 186, 192,
    193, 194, 195, 196, 197, 199, 200, 201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212,
    213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 223, 224, 225, 226, 227, 228, 229, 230, 231,
    232, 233, 234, 235, 236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247, 248};
static_assert(sizeof kKeys == 93 + 1 && sizeof kCodes == 93, "the chart has 93 keys");
const auto kPanel = FrmDoc::Panel::CharacterMode;

// Types text the way a keyboard layout would, characters outside ASCII included.
void typeText(QWidget *w, QStringView text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &release);
    }
}

void toggle(FrmDoc *doc)
{
    AppFixture::trigger(doc, "mnuCharacterMode");
}

void commitText(QWidget *w, const QString &text)
{
    QInputMethodEvent ev;
    ev.setCommitString(text);
    QCoreApplication::sendEvent(w, &ev);
}

} // namespace

class TstCharacterMode : public QObject
{
    Q_OBJECT

private slots:
    void typingInCharacterMode()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("one two"));
        text->setSelStart(4);
        text->setSelLength(3);
        app.record(doc->slot()).Changed = false;
        QAction *mode = doc->action("mnuCharacterMode");
        QVERIFY2(mode && mode->isCheckable() && !mode->isChecked(),
                 "no unchecked Character Mode in a new window");
        QCOMPARE(doc->panelText(kPanel), "");
        toggle(doc);
        QVERIFY(mode->isChecked());
        QCOMPARE(doc->panelText(kPanel), "CCM");

        // Every chart key types its character, the first one over the selection.
        QTest::keyClicks(text, QString::fromLatin1(kKeys));
        const QByteArray typed = "one " + QByteArray(reinterpret_cast<const char *>(kCodes), sizeof kCodes);
        QCOMPARE(text->text(), typed);
        QVERIFY2(app.record(doc->slot()).Changed, "typed replacements did not mark the document changed");
        // Space stays, other characters type nothing, nor do Backspace and Tab; Enter breaks the line.
        typeText(text, u" ?\u00e9\u00a9\u20ac");
        QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClick(text, Qt::Key_Tab);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(text->text(), typed + " \r\n");
        // Keys without a character code keep working.
        text->setSelStart(0);
        QTest::keyClick(text, Qt::Key_Right);
        QTest::keyClick(text, Qt::Key_Delete);

        // The mode is the window's own: a new window starts without it.
        FrmDoc *other = app.newDocument();
        QCOMPARE(other->panelText(kPanel), "");
        QTest::keyClicks(other->textControl(), "c");
        QCOMPARE(other->textControl()->text(), "c");
        QTest::keyClicks(text, "H");

        toggle(doc);
        QVERIFY(!mode->isChecked());
        QCOMPARE(doc->panelText(kPanel), "");
        QTest::keyClicks(text, "c?");
        QCOMPARE(text->text(), "o\xa3"
                               "c?e" +
                                   typed.mid(3) + " \r\n");
    }

    // Found by fuzzing: an input method's commit typed "?" for characters
    // outside Latin-1 even in character mode, which types nothing for them.
    void inputMethodCommitInCharacterMode()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        const QString commit = QStringLiteral("c \u00e9\u20ac\U0001F600\xd83dR");
        toggle(doc);
        commitText(text, commit);
        QCOMPARE(text->text(), "\xa9 \xc7");
        QVERIFY2(prompts.asked.isEmpty(), "character mode asked or beeped over dropped characters");

        // Without the mode the same commit keeps what it can and says so once.
        toggle(doc);
        text->setText(QByteArrayView());
        prompts.answer(platform::Answer::Ok);
        commitText(text, commit);
        QCOMPARE(text->text(), "c \xe9???R");
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages().first().text,
                 "3 character(s) outside the Latin-1 set could not be kept and were replaced by \"?\".");
    }
};

QP_TEST_MAIN(TstCharacterMode)
#include "tst_charactermode.moc"
