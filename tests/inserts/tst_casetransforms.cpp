#include "appfixture.h"
#include "editor/frmdoc.h"
#include "inserts/casetransforms.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QSignalSpy>

using namespace inserts;

namespace {

// Latin-1's own case pairs: a-z, and 0xE0-0xFE but the division sign; sharp s,
// y with diaeresis and the micro sign have no upper case inside the set.
bool isLowerWithPair(int c) { return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7); }
bool isUpperWithPair(int c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }

QByteArray allBytes()
{
    QByteArray all;
    for (int c = 0; c < 256; ++c)
        all += char(c);
    return all;
}

} // namespace

class TstCaseTransforms : public QObject
{
    Q_OBJECT
private slots:
    void upperAndLowerOverEveryLatin1Byte()
    {
        QByteArray upper, lower;
        for (int c = 0; c < 256; ++c) {
            upper += char(isLowerWithPair(c) ? c - 0x20 : c);
            lower += char(isUpperWithPair(c) ? c + 0x20 : c);
        }
        QCOMPARE(toUpperCase(allBytes()), upper);
        QCOMPARE(toLowerCase(allBytes()), lower);
        QCOMPARE(toUpperCase("stra\xDF" "e \xFF \xB5m"), QByteArray("STRA\xDF" "E \xFF \xB5M"));
    }

    // Every letter pair: first letter up, the rest down, whatever case it came in.
    void properCaseOverEveryLetterPair()
    {
        for (int c = 0; c < 256; ++c) {
            if (!isUpperWithPair(c))
                continue;
            const char up = char(c), low = char(c + 0x20);
            const QByteArray word = QByteArray(1, low) + up + low + " " + up + up;
            QCOMPARE(toProperCase(word), QByteArray(1, up) + low + low + " " + up + low);
        }
        QCOMPARE(toProperCase(allBytes()).size(), 256);
    }

    void properCaseWords_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain") << QByteArray("hELLO wORLD") << QByteArray("Hello World");
        QTest::newRow("latin-1") << QByteArray("\xE9lan \xC9" "COLE") << QByteArray("\xC9lan \xC9" "cole");
        QTest::newRow("apostrophe inside") << QByteArray("don't o'NEIL") << QByteArray("Don't O'neil");
        QTest::newRow("quotes around") << QByteArray("'quoted' words'") << QByteArray("'Quoted' Words'");
        QTest::newRow("digit first") << QByteArray("4TH of july") << QByteArray("4th Of July");
        QTest::newRow("punctuation") << QByteArray("foo-bar_baz.qux") << QByteArray("Foo-Bar_Baz.Qux");
        QTest::newRow("line breaks, tab, NUL") << QByteArray("one\r\ntwo\tthree\0four", 19)
                                               << QByteArray("One\r\nTwo\tThree\0Four", 19);
        QTest::newRow("no upper case") << QByteArray("\xDFtra\xDF" "e \xFF" "ES \xB5M") << QByteArray("\xDFtra\xDF" "e \xFF" "es \xB5m");
        QTest::newRow("superscript in word") << QByteArray("x\xB2Y") << QByteArray("X\xB2y");
    }
    void properCaseWords()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(toProperCase(text), expected);
    }

    void blank_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("spaces") << QByteArray("   ") << true;
        QTest::newRow("tab") << QByteArray(" \t") << false;
        QTest::newRow("line break") << QByteArray("\r\n") << false;
        QTest::newRow("NUL") << QByteArray(1, '\0') << false;
        QTest::newRow("no-break space") << QByteArray("\xA0") << false;
    }
    void blank()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, blank);
        QCOMPARE(isBlank(text), blank);
    }

    // Through the Selection menu of a window: the text, the selection after, and whether it was written.
    void selectionMenu_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("selected");
        QTest::addColumn<QByteArray>("written"); // empty: nothing happens
        QTest::newRow("spaces stay selected") << "mnuCapitalAllLetters" << QByteArray("   ") << QByteArray();
        QTest::newRow("caret only") << "MnuLowerCase" << QByteArray() << QByteArray();
        QTest::newRow("line break written back") << "mnuCapitalAllLetters" << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("letters and digits") << "mnuCapitalAllLetters" << QByteArray("ab1\xE7") << QByteArray("AB1\xC7");
        QTest::newRow("already lower") << "MnuLowerCase" << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("lower") << "MnuLowerCase" << QByteArray("A\xC0Z") << QByteArray("a\xE0z");
        QTest::newRow("first letters") << "mnuCapitalizeFirstLetters" << QByteArray("hi THERE") << QByteArray("Hi There");
    }
    void selectionMenu()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, selected);
        QFETCH(QByteArray, written);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *t = doc->textControl();
        t->setText(QByteArrayView("<" + selected + ">"));
        t->setSelStart(1);
        t->setSelLength(selected.size());
        QSignalSpy changes(t, &TextControl::changed);
        AppFixture::trigger(doc, entry);
        if (written.isEmpty()) {
            QCOMPARE(t->text(), "<" + selected + ">");
            QCOMPARE(changes.size(), 0);
            QVERIFY2(t->selStart() == 1 && t->selLength() == selected.size(), "the selection stays");
        } else {
            QCOMPARE(t->text(), "<" + written + ">");
            QCOMPARE(changes.size(), 1);
            QVERIFY(app.record(doc->slot()).Changed);
            QVERIFY2(t->selStart() == 1 + written.size() && t->selLength() == 0, "caret after, nothing selected");
        }
    }
};

QP_TEST_MAIN(TstCaseTransforms)
#include "tst_casetransforms.moc"
