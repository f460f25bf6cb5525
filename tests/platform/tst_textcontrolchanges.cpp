#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAccessible>
#include <QSignalSpy>

// The change notification and the edit observer: one notification for each
// write, given by the time the write returns, and the observer sees every
// edit with its position before the edit and the bytes it removes.
class TstTextControlChanges : public QObject
{
    Q_OBJECT

    struct Edit
    {
        qsizetype pos;
        QByteArray removed;
        qsizetype inserted;
        bool operator==(const Edit &o) const
        {
            return pos == o.pos && removed == o.removed && inserted == o.inserted;
        }
    };

    static void watch(TextControl &t, QList<Edit> *edits)
    {
        t.setEditObserver([edits](qsizetype pos, QByteArrayView removed, qsizetype inserted) {
            edits->append(Edit{pos, removed.toByteArray(), inserted});
        });
    }

private slots:
    void eachWriteRaisesOneChange_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("whole text") << "setText" << QByteArray("new\r\ntext");
        QTest::newRow("selection replaced") << "replaceSelection" << QByteArray("abXYef");
        QTest::newRow("range replaced") << "replaceRange" << QByteArray("a-def");
        QTest::newRow("selection deleted") << "deleteSelection" << QByteArray("abef");
        QTest::newRow("typed letter") << "typeLetter" << QByteArray("abzef");
        QTest::newRow("Enter") << "typeEnter" << QByteArray("ab\r\nef");
        QTest::newRow("Backspace") << "typeBackspace" << QByteArray("acdef");
        QTest::newRow("Delete key") << "typeDelete" << QByteArray("abdef");
        QTest::newRow("Backspace over a selection") << "typeBackspaceSelected" << QByteArray("abef");
    }

    void eachWriteRaisesOneChange()
    {
        QFETCH(QString, write);
        QFETCH(QByteArray, expected);
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        t.setText(QByteArrayView("abcdef"));
        t.setSelStart(2);
        if (write == QLatin1String("replaceSelection") || write == QLatin1String("deleteSelection") ||
            write == QLatin1String("typeLetter") || write == QLatin1String("typeEnter") ||
            write == QLatin1String("typeBackspaceSelected"))
            t.setSelLength(2);
        QSignalSpy spy(&t, &TextControl::changed);
        const quint64 before = t.changeCount();
        int lengthSeen = -1;
        connect(&t, &TextControl::changed, &t, [&] { lengthSeen = int(t.length()); });

        if (write == QLatin1String("setText"))
            t.setText(QByteArrayView("new\r\ntext"));
        else if (write == QLatin1String("replaceSelection"))
            t.replaceSelection(QByteArrayView("XY"));
        else if (write == QLatin1String("replaceRange"))
            t.replaceRange(1, 2, QByteArrayView("-"));
        else if (write == QLatin1String("deleteSelection"))
            t.deleteSelection();
        else if (write == QLatin1String("typeLetter"))
            QTest::keyClick(&t, 'z');
        else if (write == QLatin1String("typeEnter"))
            QTest::keyClick(&t, Qt::Key_Return);
        else if (write == QLatin1String("typeBackspace") || write == QLatin1String("typeBackspaceSelected"))
            QTest::keyClick(&t, Qt::Key_Backspace);
        else if (write == QLatin1String("typeDelete"))
            QTest::keyClick(&t, Qt::Key_Delete);

        QCOMPARE(t.text(), expected);
        QVERIFY2(spy.count() == 1, qPrintable(QStringLiteral("%1 change notifications").arg(spy.count())));
        QVERIFY2(lengthSeen == expected.size(), "the notification came before the text was complete");
        QVERIFY2(t.changeCount() > before, "the change count did not move");
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    void nothingButInsertsAndDeletesCounts()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("abc\r\ndef"));
        QCoreApplication::processEvents();
        QSignalSpy spy(&t, &TextControl::changed);
        const quint64 before = t.changeCount();
        t.setSelStart(3);
        t.setSelLength(3);
        t.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0L);
        t.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, 4L, 1L);
        t.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, 0L, 3L);
        t.setReadOnly(true);
        QTest::keyClick(&t, 'x');
        QTest::keyClick(&t, Qt::Key_Backspace);
        t.setReadOnly(false);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(t.changeCount(), before);
        QCOMPARE(t.text(), QByteArray("abc\r\ndef"));
    }

    void observerSeesEveryEdit()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("hello world"));
        QList<Edit> edits;
        watch(t, &edits);

        t.replaceRange(6, 5, QByteArrayView("there"));
        t.setSelStart(5);
        QTest::keyClick(&t, Qt::Key_Backspace);
        t.setText(QByteArrayView("x\0y", 3));

        const QList<Edit> expected = {
            {6, QByteArray("world"), 0},      {6, QByteArray(), 5}, // the range replaced
            {4, QByteArray("o"), 0},                                // Backspace
            {0, QByteArray("hell there"), 0}, {0, QByteArray(), 3}, // the whole text
        };
        QCOMPARE(edits.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(edits[i] == expected[i],
                     qPrintable(QStringLiteral("edit %1: at %2, removed \"%3\", inserted %4")
                                    .arg(i)
                                    .arg(edits[i].pos)
                                    .arg(QString::fromLatin1(edits[i].removed))
                                    .arg(edits[i].inserted)));
        QCOMPARE(t.text(), QByteArray("x\0y", 3));
    }

    void assistiveToolStartedLaterReadsTheText()
    {
        TextControl t;
        t.show();
        t.setText(QByteArrayView("caf\xe9 au lait"));
        QList<Edit> edits;
        watch(t, &edits);
        QSignalSpy spy(&t, &TextControl::changed);

        QAccessible::setActive(true);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&t);
        QVERIFY2(iface && iface->textInterface(), "no text for the assistive tool");
        QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
                 QString::fromLatin1("caf\xe9 au lait"));
        t.setSelStart(4);
        QTest::keyClick(&t, 'X');
        QTest::keyClick(&t, Qt::Key_Backspace);
        QAccessible::setActive(false);

        QCOMPARE(t.text(), QByteArray("caf\xe9 au lait"));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(edits.size(), 2);
        QVERIFY(edits[0] == (Edit{4, QByteArray(), 1}));
        QVERIFY(edits[1] == (Edit{4, QByteArray("X"), 0}));
    }

    void partsOfTheTextAreReadInPlace_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("middle") << 2 << 3 << QByteArray("c\0\r", 3);
        QTest::newRow("across the last edit") << 4 << 4 << QByteArray("\rXYf", 4);
        QTest::newRow("to the end") << 6 << 99 << QByteArray("Yfgh");
        QTest::newRow("nothing") << 3 << 0 << QByteArray();
        QTest::newRow("past the end") << 50 << 2 << QByteArray();
        QTest::newRow("before the start") << -3 << 2 << QByteArray("ab");
    }

    void partsOfTheTextAreReadInPlace()
    {
        QFETCH(int, pos);
        QFETCH(int, length);
        QFETCH(QByteArray, expected);
        TextControl t;
        t.setText(QByteArrayView("abc\0\r\nfgh", 9));
        t.replaceRange(5, 1, QByteArrayView("XY")); // the engine's gap now sits mid-text
        QCOMPARE(t.bytes(pos, length).toByteArray(), expected);
        QCOMPARE(t.text(), QByteArray("abc\0\rXYfgh", 10));
    }

    void rawEngineEditIsAnnouncedBeforeTheNextEvent()
    {
        // An edit made straight through the engine, outside this class's own
        // writes, still counts as a change by the time events are handled.
        TextControl t;
        t.show();
        t.setText(QByteArrayView("ab"));
        QSignalSpy spy(&t, &TextControl::changed);
        t.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 2UL, "cd");
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t.text(), QByteArray("abcd"));
    }
};

QP_TEST_MAIN(TstTextControlChanges)
#include "tst_textcontrolchanges.moc"
