#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/charactermode.h"
#include "editor/charactertable.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QSet>

namespace {

// The key chart as the user knows it, key and the Latin-1 code it types.
const struct
{
    char key;
    int code;
} kChart[] = {
    {'c', 169}, {'C', 171}, {'r', 174}, {'R', 199}, {'A', 164}, {'a', 178}, {'B', 188}, {'D', 190},
    {'d', 189}, {'b', 191}, {'E', 198}, {'e', 165}, {'P', 182}, {'p', 186}, {'F', 187}, {'f', 181},
    {'G', 162}, {'g', 161}, {'H', 163}, {'h', 164}, {'I', 166}, {'i', 167}, {'J', 168}, {'j', 170},
    {'L', 172}, {'l', 173}, {'M', 175}, {'m', 176}, {'N', 177}, {'n', 178}, {'O', 179}, {'o', 180},
    {'Q', 181}, {'q', 183}, {'S', 184}, {'s', 185}, {'T', 186}, {'t', 192}, {'U', 193}, {'u', 194},
    {'V', 195}, {'v', 196}, {'W', 197}, {'w', 199}, {'X', 200}, {'x', 201}, {'Y', 202}, {'y', 203},
    {'Z', 204}, {'z', 205}, {'1', 206}, {'2', 207}, {'3', 208}, {'4', 209}, {'5', 210}, {'6', 211},
    {'7', 212}, {'8', 213}, {'9', 214}, {'0', 215}, {'=', 216}, {'+', 217}, {'_', 218}, {'-', 219},
    {'"', 220}, {'\'', 221}, {'/', 222}, {'!', 223}, {'@', 224}, {'#', 225}, {'$', 226}, {'%', 227},
    {'^', 228}, {'&', 229}, {'*', 230}, {'(', 231}, {')', 232}, {'{', 233}, {'[', 234}, {'}', 235},
    {']', 236}, {'|', 237}, {'\\', 238}, {';', 239}, {':', 240}, {'<', 241}, {'.', 242}, {',', 243},
    {'>', 244}, {'~', 245}, {'`', 246}, {'K', 247}, {'k', 248},
};

QByteArray typedByChart()
{
    QByteArray out;
    for (const auto &row : kChart)
        out += char(row.code);
    return out;
}

QString chartKeys()
{
    QString keys;
    for (const auto &row : kChart)
        keys += QLatin1Char(row.key);
    return keys;
}

// Types text the way a keyboard layout would, characters outside ASCII included.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &release);
    }
}

} // namespace

class TstCharacterMode : public QObject
{
    Q_OBJECT

private:
    static void turnOn(FrmDoc *doc)
    {
        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QVERIFY2(charactermode::isOn(*doc), "character mode did not come on");
    }

private slots:
    void tableMapsEachKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("code");
        for (const auto &row : kChart)
            QTest::newRow(QByteArray(1, row.key).constData()) << int(static_cast<unsigned char>(row.key)) << row.code;
    }
    void tableMapsEachKey()
    {
        QFETCH(int, key);
        QFETCH(int, code);
        QCOMPARE(charactermode::replacement(key), code);
        QCOMPARE(charactermode::translate(key), code);
    }

    void tableHoldsExactlyTheChart()
    {
        QCOMPARE(int(std::size(kChart)), charactermode::TableSize);
        QSet<char> keys;
        for (int i = 0; i < charactermode::TableSize; ++i)
            keys.insert(charactermode::table()[i].key);
        QCOMPARE(int(keys.size()), charactermode::TableSize);
    }

    void codesOutsideTheTable_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("typed");
        QTest::newRow("space") << 32 << 32;
        QTest::newRow("Enter") << 13 << 13;
        QTest::newRow("question mark") << int('?') << 0;
        QTest::newRow("Backspace") << 8 << 0;
        QTest::newRow("Tab") << 9 << 0;
        QTest::newRow("NUL") << 0 << 0;
        QTest::newRow("line feed") << 10 << 0;
        QTest::newRow("escape") << 27 << 0;
        QTest::newRow("delete") << 127 << 0;
        QTest::newRow("e acute") << 233 << 0;
        QTest::newRow("copyright sign") << 169 << 0;
        QTest::newRow("y diaeresis") << 255 << 0;
        QTest::newRow("euro sign") << 0x20ac << 0;
    }
    void codesOutsideTheTable()
    {
        QFETCH(int, code);
        QFETCH(int, typed);
        QCOMPARE(charactermode::replacement(code), 0);
        QCOMPARE(charactermode::translate(code), typed);
    }

    void toggleSetsCheckMarkPanelAndTyping()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QAction *mode = doc->action(QStringLiteral("mnuCharacterMode"));
        QVERIFY(mode);
        QVERIFY2(mode->isCheckable(), "Character Mode has no check mark");
        QVERIFY2(!mode->isChecked(), "a new window starts in character mode");
        QCOMPARE(doc->panelText(charactermode::Panel), QString());

        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QVERIFY(mode->isChecked());
        QCOMPARE(doc->panelText(5), QStringLiteral("CCM"));
        QTest::keyClicks(doc->textControl(), QStringLiteral("c"));

        AppFixture::trigger(doc, QStringLiteral("mnuCharacterMode"));
        QVERIFY(!mode->isChecked());
        QCOMPARE(doc->panelText(5), QString());
        QTest::keyClicks(doc->textControl(), QStringLiteral("c?"));
        QTest::keyClick(doc->textControl(), Qt::Key_Backspace);
        QCOMPARE(doc->textControl()->text(), QByteArray("\xa9" "c"));
        QVERIFY2(prompts.asked.isEmpty(), "toggling asked something");
    }

    void typingEveryChartKeyTypesItsCharacter()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        turnOn(doc);
        TextControl *text = doc->textControl();
        QTest::keyClicks(text, chartKeys());
        QCOMPARE(text->text(), typedByChart());
        QVERIFY2(app.record(doc->slot()).Changed, "typed replacements did not mark the document changed");
        QCOMPARE(text->selStart(), qsizetype(charactermode::TableSize));
    }

    void typingExamples_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("c R 5") << QStringLiteral("cR5") << QByteArray("\xa9\xc7\xd2");
        QTest::newRow("a types the same as n") << QStringLiteral("an") << QByteArray("\xb2\xb2");
        QTest::newRow("l types the soft hyphen") << QStringLiteral("l") << QByteArray("\xad");
        QTest::newRow("question mark is dropped") << QStringLiteral("c?r") << QByteArray("\xa9\xae");
        QTest::newRow("space stays") << QStringLiteral("c c") << QByteArray("\xa9 \xa9");
        QTest::newRow("non-ASCII is dropped") << QStringLiteral("c\u00e9\u00fcr") << QByteArray("\xa9\xae");
    }
    void typingExamples()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, bytes);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        turnOn(doc);
        typeText(doc->textControl(), keys);
        QCOMPARE(doc->textControl()->text(), bytes);
    }

    void controlKeysInCharacterMode()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("ab"));
        text->setSelStart(2);
        turnOn(doc);

        QTest::keyClick(text, Qt::Key_Backspace);
        QCOMPARE(text->text(), QByteArray("ab"));
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(text->text(), QByteArray("ab"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(text->text(), QByteArray("ab\r\n"));
        QTest::keyClick(text, Qt::Key_Space);
        QCOMPARE(text->text(), QByteArray("ab\r\n "));

        // Keys without a character code keep working.
        text->setSelStart(1);
        QTest::keyClick(text, Qt::Key_Right);
        QCOMPARE(text->selStart(), qsizetype(2));
        QTest::keyClick(text, Qt::Key_Delete);
        QCOMPARE(text->text(), QByteArray("ab "));
        QTest::keyClick(text, Qt::Key_Home);
        QCOMPARE(text->selStart(), qsizetype(0));
    }

    void typedReplacementReplacesTheSelection()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("one two"));
        app.record(doc->slot()).Changed = false;
        text->setSelStart(4);
        text->setSelLength(3);
        turnOn(doc);
        QTest::keyClicks(text, QStringLiteral("c"));
        QCOMPARE(text->text(), QByteArray("one \xa9"));
        QCOMPARE(text->selLength(), qsizetype(0));
        QVERIFY(app.record(doc->slot()).Changed);
    }

    void eachWindowHasItsOwnMode()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *first = app.newDocument();
        turnOn(first);
        FrmDoc *second = app.newDocument();
        QVERIFY(second && second != first);
        QVERIFY2(!charactermode::isOn(*second), "a second window started in character mode");
        QCOMPARE(second->panelText(5), QString());
        QTest::keyClicks(second->textControl(), QStringLiteral("c"));
        QCOMPARE(second->textControl()->text(), QByteArray("c"));
        QTest::keyClicks(first->textControl(), QStringLiteral("c"));
        QCOMPARE(first->textControl()->text(), QByteArray("\xa9"));
        QCOMPARE(first->panelText(5), QStringLiteral("CCM"));
    }

    void closedWindowKeepsItsModeWhenReused()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        const int slot = doc->slot();
        turnOn(doc);
        AppFixture::trigger(doc, QStringLiteral("mnuFileClose"));
        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join(QLatin1Char('|'))));
        QVERIFY(!app.record(slot).InUse);

        FrmDoc *again = app.newDocument();
        QCOMPARE(again, doc);
        QCOMPARE(again->slot(), slot);
        QVERIFY2(charactermode::isOn(*again), "the reused window lost its character mode");
        QCOMPARE(again->panelText(5), QStringLiteral("CCM"));
        QCOMPARE(again->textControl()->text(), QByteArray());
        QTest::keyClicks(again->textControl(), QStringLiteral("H"));
        QCOMPARE(again->textControl()->text(), QByteArray("\xa3"));
    }
};

QP_TEST_MAIN(TstCharacterMode)
#include "tst_charactermode.moc"
