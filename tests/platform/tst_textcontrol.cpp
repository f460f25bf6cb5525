#include "platform/clipboard.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

namespace {

void typeChar(QWidget *w, QChar c)
{
    QKeyEvent ev(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &ev);
}

QByteArray all256()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    return all;
}

} // namespace

class TstTextControl : public QObject
{
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void everyByteRoundTrips()
    {
        TextControl t;
        const QByteArray all = all256() + QByteArray("\r\r\n\n\0x", 6);
        t.setText(QByteArrayView(all));
        QCOMPARE(t.length(), all.size());
        QCOMPARE(t.bytes().toByteArray(), all);
        QCOMPARE(t.selStart(), 0);
        t.setSelStart(1);
        t.setSelLength(3);
        QCOMPARE(t.selectedText(), QByteArray("\x01\x02\x03"));
    }

    void typingStoresLatin1AndCrLf()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        QTest::keyClicks(&t, "ab");
        QTest::keyClick(&t, Qt::Key_Return);
        QTest::keyClicks(&t, "c");
        typeChar(&t, QChar(0xe9));
        QTest::keyClick(&t, Qt::Key_Tab);
        QCOMPARE(t.text(), QByteArray("ab\r\nc\xe9\t"));
        QTest::keyClick(&t, Qt::Key_Backspace);
        QTest::keyClick(&t, Qt::Key_Backspace);
        QCOMPARE(t.text(), QByteArray("ab\r\nc"));
        QVERIFY2(prompts.asked.isEmpty(), "plain typing asks nothing");
    }

    void keyHookSeesEveryTypedCode()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        QList<int> seen;
        t.setKeyHook([&](int code) {
            seen << code;
            if (code == 'x')
                return 0;    // dropped
            if (code == 'l')
                return 173;  // soft hyphen, not printable, still inserted
            if (code == 8 || code == 9)
                return 0;
            return code;
        });
        QTest::keyClicks(&t, "axl");
        QTest::keyClick(&t, Qt::Key_Return);
        QTest::keyClick(&t, Qt::Key_Tab);
        QTest::keyClick(&t, Qt::Key_Backspace);
        QCOMPARE(seen, (QList<int>{'a', 'x', 'l', 13, 9, 8}));
        QCOMPARE(t.text(), QByteArray("a\xad\r\n"));
        // Keys that type nothing never reach the hook.
        seen.clear();
        QTest::keyClick(&t, Qt::Key_Left);
        QTest::keyClick(&t, Qt::Key_Delete);
        QCOMPARE(seen, QList<int>());
        QCOMPARE(t.text(), QByteArray("a\xad")); // Delete takes the CR LF pair as one
    }

    void textOutsideLatin1IsReplacedAndReported()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        // A single typed character that cannot be held is refused with a beep.
        typeChar(&t, QChar(0x20ac));
        QCOMPARE(t.text(), QByteArray());
        QCOMPARE(prompts.beeps(), 1);
        QCOMPARE(prompts.messages().size(), 0);

        // A longer text keeps its place with "?" and the user is told once.
        t.replaceSelection(QStringLiteral("a\u20acb") + QString::fromUcs4(U"\U0001D11E") + QStringLiteral("\u00e9"));
        QCOMPARE(t.text(), QByteArray("a?b?\xe9"));
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("2 character(s)")),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
    }

    void selectionWritesReplaceAndLeaveCaretAfter()
    {
        TextControl t;
        t.setText(QByteArrayView("hello world"));
        t.setSelStart(6);
        t.setSelLength(5);
        QCOMPARE(t.selectedText(), QByteArray("world"));
        t.replaceSelection(QByteArrayView("a\0b", 3));
        QCOMPARE(t.text(), QByteArray("hello a\0b", 9));
        QCOMPARE(t.selStart(), 9);
        QCOMPARE(t.selLength(), 0);
        // Out-of-range writes are held to the text.
        t.setSelStart(500);
        QCOMPARE(t.selStart(), 9);
        t.setSelStart(2);
        t.setSelLength(500);
        QCOMPARE(t.selLength(), 7);
        t.selectAllText();
        QCOMPARE(t.selStart(), 0);
        QCOMPARE(t.selLength(), 9);
        TextControl empty;
        empty.selectAllText();
        QCOMPARE(empty.selStart(), 0);
        QCOMPARE(empty.selLength(), 0);
    }

    void changeNotificationOncePerWriteAndNeverForStyling()
    {
        TextControl t;
        t.show();
        QSignalSpy spy(&t, &TextControl::changed);
        t.setText(QByteArrayView("one\r\ntwo"));
        QCOMPARE(spy.count(), 1);
        t.setText(QByteArrayView("other"));
        QCOMPARE(spy.count(), 2);
        t.setSelStart(1);
        t.setSelLength(2);
        t.replaceSelection(QByteArrayView("XY"));
        QCOMPARE(spy.count(), 3);
        QTest::keyClicks(&t, "z");
        QCOMPARE(spy.count(), 4);
        t.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL);
        t.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, 3UL, 1L);
        t.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, 0UL, 2L);
        t.setSelStart(0);
        QCOMPARE(spy.count(), 4);
    }

    void editObserverSeesRemovedBytes()
    {
        TextControl t;
        t.setText(QByteArrayView("abcdef"));
        QList<QByteArray> removed;
        QList<qsizetype> inserted;
        t.setEditObserver([&](qsizetype pos, QByteArrayView r, qsizetype n) {
            removed << QByteArray::number(pos) + ":" + r.toByteArray();
            inserted << n;
        });
        t.setSelStart(1);
        t.setSelLength(3);
        t.replaceSelection(QByteArrayView("XY"));
        QCOMPARE(removed, (QList<QByteArray>{"1:bcd", "1:"}));
        QCOMPARE(inserted, (QList<qsizetype>{0, 2}));
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
        QCOMPARE(t.text(), QByteArray("a\r\nb\xe9x\ny\rz"));
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

    void unboundKeysNoLongerEdit()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("line one\r\nline two"));
        t.unbindKeys({QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_U)});
        t.setSelStart(0);
        t.setSelLength(4);
        QTest::keyClick(&t, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(&t, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(t.text(), QByteArray("line one\r\nline two"));
    }

    void overtypeReplacesWithinTheLineOnly()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("ab\r\ncd"));
        QSignalSpy spy(&t, &TextControl::overtypeChanged);
        QTest::keyClick(&t, Qt::Key_Insert);
        QCoreApplication::processEvents();
        QVERIFY(t.overtype());
        QTRY_COMPARE(spy.count(), 1);
        t.setSelStart(1);
        QTest::keyClicks(&t, "XY");
        QCOMPARE(t.text(), QByteArray("aXY\r\ncd"));
    }

    void onlyFileDropsAreTaken()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a b.txt"));
        QFile(file).open(QIODevice::WriteOnly);
        TextControl t;
        t.show();
        t.setText(QByteArrayView("text"));
        QSignalSpy spy(&t, &TextControl::filesDropped);

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.path())});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &drop);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toStringList(), (QStringList{file, dir.path()}));

        QMimeData text;
        text.setText(QStringLiteral("dragged"));
        QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &textDrop);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t.text(), QByteArray("text"));
    }
};

QP_TEST_MAIN(TstTextControl)
#include "tst_textcontrol.moc"
