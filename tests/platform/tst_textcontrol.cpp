#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

class TstTextControl : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        TextControl t;
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        t.setText(QByteArrayView(all));
        QCOMPARE(t.length(), 256);
        QCOMPARE(t.bytes().toByteArray(), all);
    }

    void typingStoresLatin1AndCrLf()
    {
        ScriptedPrompts prompts;
        TextControl t;
        t.show();
        QTest::keyClicks(&t, "ab");
        QTest::keyClick(&t, Qt::Key_Return);
        QTest::keyClicks(&t, "c");
        QKeyEvent ev(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
        QApplication::sendEvent(&t, &ev);
        QCOMPARE(t.text(), QByteArray("ab\r\nc\xe9"));
    }
};

QP_TEST_MAIN(TstTextControl)
#include "tst_textcontrol.moc"
