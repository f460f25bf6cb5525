#include "platform/clipboard.h"
#include "platform/textcontrol.h"
#include "platform/textformat.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAccessible>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

namespace {

// Each write, from text "abcdef" with the caret at 2 and selLength selected.
struct Write
{
    const char *name;
    int selLength;
    void (*run)(TextControl &);
    QByteArray expected;
};
const Write kWrites[] = {
    {"whole text", 0, [](TextControl &t) { t.setText(QByteArrayView("new\r\ntext")); }, "new\r\ntext"},
    {"selection replaced", 2, [](TextControl &t) { t.replaceSelection(QByteArrayView("XY")); }, "abXYef"},
    {"range replaced", 0, [](TextControl &t) { t.replaceRange(1, 2, QByteArrayView("-")); }, "a-def"},
    {"selection deleted", 2, [](TextControl &t) { t.deleteSelection(); }, "abef"},
    {"typed over a selection", 2, [](TextControl &t) { QTest::keyClick(&t, 'z'); }, "abzef"},
    {"Enter", 2, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Return); }, "ab\r\nef"},
    {"Backspace", 0, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Backspace); }, "acdef"},
    {"Delete key", 0, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Delete); }, "abdef"},
    {"spans replaced", 0,
     [](TextControl &t) {
         t.replaceSpans(
             {{0, 1, QByteArrayView("AA")}, {3, 2, QByteArrayView("")}, {4, 0, QByteArrayView("-")}});
     },
     "AAbe-f"},
};

} // namespace

class TstTextControl : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTripsAndReadsHoldToTheText()
    {
        TextControl t;
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        all += QByteArray("\r\r\n\n\0x", 6);
        t.setText(QByteArrayView(all));
        QCOMPARE(t.length(), all.size());
        QCOMPARE(t.bytes().toByteArray(), all);
        t.setSelStart(1);
        t.setSelLength(3);
        QCOMPARE(t.selectedText(), QByteArray("\x01\x02\x03"));

        t.setText(QByteArrayView("hello world"));
        t.setSelStart(6);
        t.setSelLength(5);
        t.replaceSelection(QByteArrayView("a\0b", 3)); // the caret goes after it
        QCOMPARE(t.text(), QByteArray("hello a\0b", 9));
        QCOMPARE(QList<qsizetype>({t.selStart(), t.selLength()}), QList<qsizetype>({9, 0}));
        t.setSelStart(500); // out of range: held to the text
        QCOMPARE(t.selStart(), 9);
        t.setSelStart(2);
        t.setSelLength(500);
        QCOMPARE(t.selLength(), 7);

        t.replaceRange(3, 1, QByteArrayView("XY")); // the engine's gap now sits mid-text
        QCOMPARE(t.bytes(4, 3).toByteArray(), QByteArray("Yo "));
        QCOMPARE(t.bytes(7, 99).toByteArray(), QByteArray("a\0b", 3));
        QCOMPARE(t.bytes(-3, 2).toByteArray(), QByteArray("he"));
    }

    void typing()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        QTest::keyClicks(&t, "ab");
        QTest::keyClick(&t, Qt::Key_Return);
        QTest::sendKeyEvent(QTest::Click, &t, Qt::Key_unknown, QStringLiteral("\u00e9"), {});
        QTest::keyClick(&t, Qt::Key_Tab);
        QCOMPARE(t.text(), QByteArray("ab\r\n\xe9\t"));
        t.setSelStart(1); // overtype keeps to its line
        QTest::keyClick(&t, Qt::Key_Insert);
        QTest::keyClicks(&t, "XY");
        QTest::keyClick(&t, Qt::Key_Insert);
        QCOMPARE(t.text(), QByteArray("aXY\r\n\xe9\t"));
        // One typed character that cannot be held: a beep.
        QTest::sendKeyEvent(QTest::Click, &t, Qt::Key_unknown, QStringLiteral("\u20ac"), {});
        QCOMPARE(t.text(), QByteArray("aXY\r\n\xe9\t"));
        QCOMPARE(prompts.beeps(), 1);

        // Pasted text keeps its place with "?" and the user is told once.
        t.setText(QByteArrayView(""));
        t.replaceSelection(QStringLiteral("a\u20acb") + QString::fromUcs4(U"\U0001D11E") +
                           QStringLiteral("\u00e9"));
        QCOMPARE(t.text(), QByteArray("a?b?\xe9"));
        QCOMPARE(prompts.messageTexts(), QStringList("2 character(s) outside the Latin-1 set could not be "
                                                     "kept and were replaced by \"?\"."));
    }

    void utf8AndLfDocuments()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        t.setFormat(TextFormat{LineEnd::Lf, Encoding::Utf8});
        t.setText(QByteArrayView("caf\xc3\xa9 \xe2\x82\xac\n\xf0\x9d\x84\x9e"));
        QCOMPARE(t.characterCount(), 8);
        QCOMPARE(t.textString(), QStringLiteral("caf\u00e9 \u20ac\n") + QString::fromUcs4(U"\U0001D11E"));

        // The caret never stands inside a character.
        t.setSelStart(4);
        QCOMPARE(t.selStart(), 3);
        t.setSelStart(5);
        t.setSelLength(2); // ends inside the euro sign: it is taken whole
        QCOMPARE(t.selectedString(), QStringLiteral(" \u20ac"));
        t.setSelStart(t.length());
        QTest::keyClick(&t, Qt::Key_Backspace); // a whole four-byte character
        QCOMPARE(t.text(), QByteArray("caf\xc3\xa9 \xe2\x82\xac\n"));

        // Overtype replaces a whole character with a whole character.
        t.setSelStart(3);
        QTest::keyClick(&t, Qt::Key_Insert);
        QTest::keyClicks(&t, "E");
        QTest::keyClick(&t, Qt::Key_Insert);
        QCOMPARE(t.text().left(6), QByteArray("cafE \xe2"));

        // Text coming in takes the document's line end; nothing is replaced.
        platform::clipboard().setText(QStringLiteral("1\r\n2\r3\n\u0416"));
        t.setText(QByteArrayView(""));
        t.pasteFromClipboard();
        QCOMPARE(t.text(), QByteArray("1\n2\n3\n\xd0\x96"));
        t.selectAllText();
        t.copyToClipboard();
        QCOMPARE(platform::clipboard().text(), QStringLiteral("1\n2\n3\n\u0416"));
        QCOMPARE(prompts.messages().size(), 0);

        // The count follows every edit and a change of encoding.
        t.setText(QByteArrayView("\xc3\xa9\xc3\xa9\r\n"));
        QCOMPARE(t.characterCount(), 4);
        t.replaceRange(0, 2, QByteArrayView("xyz"));
        QCOMPARE(t.characterCount(), 6);
        t.setFormat(TextFormat{LineEnd::CrLf, Encoding::Utf8Bom});
        QCOMPARE(t.characterCount(), 6);

        // A CR LF document other than the classic one gets CR LF for every break.
        t.setText(QStringLiteral("a\nb\rc"));
        QCOMPARE(t.text(), QByteArray("a\r\nb\r\nc"));
        // The classic document takes text as it comes.
        t.setFormat(TextFormat::classic());
        t.setText(QStringLiteral("a\nb\rc"));
        QCOMPARE(t.text(), QByteArray("a\nb\rc"));
    }

    void eachWriteRaisesOneChange_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kWrites)); ++i)
            QTest::newRow(kWrites[i].name) << i;
    }

    void eachWriteRaisesOneChange()
    {
        QFETCH(int, index);
        const Write &w = kWrites[index];
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        t.setText(QByteArrayView("abcdef"));
        t.setSelStart(2);
        t.setSelLength(w.selLength);
        QSignalSpy spy(&t, &TextControl::changed);
        const quint64 before = t.changeCount();
        int lengthSeen = -1;
        connect(&t, &TextControl::changed, &t, [&] { lengthSeen = int(t.length()); });
        w.run(t);
        QCOMPARE(t.text(), w.expected);
        QVERIFY2(spy.count() == 1, qPrintable(QStringLiteral("%1 change notifications").arg(spy.count())));
        QVERIFY2(lengthSeen == w.expected.size(), "the notification came before the text was complete");
        QVERIFY2(t.changeCount() > before, "the change count did not move");
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    void observerAndNotificationSeeContentEditsOnly()
    {
        for (const bool assistive : {false, true}) {
            TextControl t;
            t.show();
            t.setText(QByteArrayView("caf\xe9 world"));
            QStringList edits;
            t.setEditObserver([&](qsizetype pos, QByteArrayView removed, qsizetype inserted) {
                edits << QStringLiteral("%1:%2:%3").arg(pos).arg(QString::fromLatin1(removed)).arg(inserted);
            });
            QSignalSpy spy(&t, &TextControl::changed);
            QAccessible::setActive(assistive);
            if (assistive) { // an assistive tool started late reads the text as it is
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&t);
                QVERIFY2(iface && iface->textInterface(), "no text for the assistive tool");
                QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
                         QString::fromLatin1("caf\xe9 world"));
            }
            // Styling, selecting and typing into a read-only text are no edits.
            t.setSelStart(3);
            t.setSelLength(3);
            t.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0L);
            t.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, 4L, 1L);
            t.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, 0L, 3L);
            t.setReadOnly(true);
            QTest::keyClick(&t, 'x');
            t.setReadOnly(false);
            t.replaceRange(5, 5, QByteArrayView("there"));
            t.setSelStart(4);
            QTest::keyClick(&t, Qt::Key_Backspace);
            t.setText(QByteArrayView("x\0y", 3));
            t.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 1UL, "z"); // straight through the engine
            QCoreApplication::processEvents();
            QAccessible::setActive(false);
            QCOMPARE(edits,
                     (QStringList{"5:world:0", "5::5", "3:\u00e9:0", "0:caf there:0", "0::3", "3::1"}));
            QCOMPARE(t.text(), QByteArray("x\0yz", 4));
            QCOMPARE(spy.count(), 4);
        }
    }

    void clipboardKeysKeepBytesAsTheyAre()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        t.setText(QByteArrayView("a\r\nb\xe9"));
        t.selectAllText();
        QTest::keyClick(&t, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(platform::clipboard().text(), QStringLiteral("a\r\nb\u00e9"));

        platform::clipboard().setText(QStringLiteral("x\ny\rz"));
        t.setSelStart(t.length());
        QTest::keyClick(&t, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&t, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(t.text(), QByteArray("a\r\nb\xe9x\ny\rzx\ny\rz"));

        // Cut with nothing selected leaves the clipboard and the text alone.
        platform::clipboard().setText(QStringLiteral("keep"));
        QTest::keyClick(&t, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(platform::clipboard().text(), QStringLiteral("keep"));
        t.setSelStart(0);
        t.setSelLength(1);
        QTest::keyClick(&t, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(platform::clipboard().text(), QStringLiteral("a"));
        QCOMPARE(t.text().left(3), QByteArray("\r\nb"));
    }

    // Dropped text is refused (dropped files: tst_filedrop).
    void textDropsAreRefused()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("text"));
        QSignalSpy spy(&t, &TextControl::filesDropped);
        QMimeData dragged;
        dragged.setText(QStringLiteral("dragged"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &drop);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(t.text(), QByteArray("text"));
    }
};

QP_TEST_MAIN(TstTextControl)
#include "tst_textcontrol.moc"
