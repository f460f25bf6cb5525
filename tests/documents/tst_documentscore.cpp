#include "documents/recentfiles.h"
#include "documents/textdelta.h"
#include "documents/textfile.h"
#include "platform/settingsstore.h"
#include "testmain.h"

#include <QRandomGenerator>

namespace {

void clearRecent()
{
    for (int i = 1; i <= 20; ++i)
        platform::settings().write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"),
                                   recentfiles::key(i), QString());
}

QString stored(int i)
{
    return platform::settings().read(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"),
                                     recentfiles::key(i));
}

} // namespace

class TstDocumentsCore : public QObject
{
    Q_OBJECT
private slots:
    void fileBytesBecomeText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty file, no lines") << QByteArray() << QByteArray();
        QTest::newRow("one empty line") << QByteArray("\r\n") << QByteArray();
        QTest::newRow("two lines with ends") << QByteArray("ab\r\ncd\r\n") << QByteArray("ab\r\ncd");
        QTest::newRow("last line without end") << QByteArray("ab\r\ncd") << QByteArray("ab\r\ncd");
        QTest::newRow("LF alone is text") << QByteArray("ab\ncd\n") << QByteArray("ab\ncd\n");
        QTest::newRow("lone CR ends a line") << QByteArray("ab\rcd\r") << QByteArray("ab\r\ncd");
        QTest::newRow("CR then CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb");
        QTest::newRow("blank last line kept") << QByteArray("a\r\n\r\n") << QByteArray("a\r\n");
        QTest::newRow("lone CR at the very end") << QByteArray("\r") << QByteArray();
        QTest::newRow("two lone CRs") << QByteArray("\r\r") << QByteArray("\r\n");
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArray("a\n\r\nb");
        QTest::newRow("NUL survives") << QByteArray("a\0b\r\n\0", 6) << QByteArray("a\0b\r\n\0", 6);
    }

    void fileBytesBecomeText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        QCOMPARE(textFromFileBytes(file), text);
    }

    void recentListKeepsNewestFirstOnce()
    {
        clearRecent();
        recentfiles::AddRecentFile(QStringLiteral("/a"));
        recentfiles::AddRecentFile(QStringLiteral("/b"));
        recentfiles::AddRecentFile(QStringLiteral("/c"));
        QCOMPARE(recentfiles::entries(), (QStringList{"/c", "/b", "/a"}));
        recentfiles::AddRecentFile(QStringLiteral("/b"));
        QCOMPARE(recentfiles::entries(), (QStringList{"/b", "/c", "/a"}));
        QCOMPARE(stored(4), QString());
        // Letter case makes another entry.
        recentfiles::AddRecentFile(QStringLiteral("/B"));
        QCOMPARE(recentfiles::entries(), (QStringList{"/B", "/b", "/c", "/a"}));
    }

    void recentListHoldsFifteen()
    {
        clearRecent();
        for (int i = 1; i <= 16; ++i)
            recentfiles::AddRecentFile(QStringLiteral("/file%1").arg(i));
        const QStringList e = recentfiles::entries();
        QCOMPARE(e.size(), 15);
        QCOMPARE(e.first(), QStringLiteral("/file16"));
        QCOMPARE(e.last(), QStringLiteral("/file2"));
        QVERIFY(!e.contains(QStringLiteral("/file1")));
        QCOMPARE(stored(16), QString());
    }

    void recentListWithAnEmptyFirstPosition()
    {
        clearRecent();
        platform::settings().write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"),
                                   recentfiles::key(2), QStringLiteral("/second"));
        QCOMPARE(recentfiles::entries(), QStringList{QStringLiteral("/second")});
        recentfiles::AddRecentFile(QStringLiteral("/new"));
        QCOMPARE(stored(1), QStringLiteral("/new"));
        QCOMPARE(stored(2), QStringLiteral("/second"));
        QCOMPARE(stored(3), QString());
    }

    // Random edits, followed by a delta, always lead back to the older text.
    void deltaUndoesAnyEditSequence()
    {
        QRandomGenerator rng(12345);
        for (int round = 0; round < 400; ++round) {
            QByteArray older;
            const int len = int(rng.bounded(40));
            for (int i = 0; i < len; ++i)
                older += char('a' + rng.bounded(4));
            QByteArray text = older;
            TextDelta d;
            const int edits = 1 + int(rng.bounded(8));
            for (int e = 0; e < edits; ++e) {
                const qsizetype pos = rng.bounded(int(text.size()) + 1);
                if (rng.bounded(2) && pos < text.size()) {
                    const qsizetype n = 1 + rng.bounded(int(text.size() - pos));
                    d.recordDelete(pos, QByteArrayView(text).sliced(pos, n));
                    text.remove(pos, n);
                } else {
                    QByteArray ins;
                    const int n = 1 + int(rng.bounded(5));
                    for (int i = 0; i < n; ++i)
                        ins += char('a' + rng.bounded(4));
                    text.insert(pos, ins);
                    d.recordInsert(pos, ins.size());
                }
            }
            QCOMPARE(d.applyTo(text), older);
            QCOMPARE(d.olderLength(text.size()), older.size());
            d.normalize(text);
            QCOMPARE(d.applyTo(text), older);
            QCOMPARE(d.isEmpty(), text == older);
        }
    }
};

QP_TEST_MAIN(TstDocumentsCore)
#include "tst_documentscore.moc"
