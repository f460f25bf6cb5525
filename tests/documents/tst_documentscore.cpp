#include "documents/recentfiles.h"
#include "documents/textdelta.h"
#include "documents/textfile.h"
#include "documents/textstream.h"
#include "platform/settingsstore.h"
#include "testmain.h"

#include <QRandomGenerator>

class TstDocumentsCore : public QObject
{
    Q_OBJECT
private slots:
    void fileBytesBecomeText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("loneCrs"); // lines a save writes back with CR LF instead
        QTest::newRow("empty file, no lines") << QByteArray() << QByteArray() << 0;
        QTest::newRow("one empty line") << QByteArray("\r\n") << QByteArray() << 0;
        QTest::newRow("two lines with ends") << QByteArray("ab\r\ncd\r\n") << QByteArray("ab\r\ncd") << 0;
        QTest::newRow("last line without end") << QByteArray("ab\r\ncd") << QByteArray("ab\r\ncd") << 0;
        QTest::newRow("LF alone is text") << QByteArray("ab\ncd\n") << QByteArray("ab\ncd\n") << 0;
        QTest::newRow("lone CR ends a line") << QByteArray("ab\rcd\r") << QByteArray("ab\r\ncd") << 2;
        QTest::newRow("CR then CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb") << 1;
        QTest::newRow("blank last line kept") << QByteArray("a\r\n\r\n") << QByteArray("a\r\n") << 0;
        QTest::newRow("lone CR at the very end") << QByteArray("\r") << QByteArray() << 1;
        QTest::newRow("two lone CRs") << QByteArray("\r\r") << QByteArray("\r\n") << 2;
        QTest::newRow("lone CR before the last CR LF") << QByteArray("a\r\r\n") << QByteArray("a\r\n") << 1;
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArray("a\n\r\nb") << 1;
        QTest::newRow("NUL survives") << QByteArray("a\0b\r\n\0", 6) << QByteArray("a\0b\r\n\0", 6) << 0;
    }

    void fileBytesBecomeText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        QFETCH(int, loneCrs);
        QCOMPARE(textFromFileBytes(file), text);
        qsizetype counted = -1;
        QCOMPARE(textFromFileBytes(file, TextFormat::classic(), &counted), text);
        QCOMPARE(counted, qsizetype(loneCrs));
        // Read as LF or byte by byte, nothing is changed, so nothing is counted.
        TextFormat kept;
        kept.verbatim = true;
        counted = -1;
        QCOMPARE(textFromFileBytes(file, kept, &counted), file);
        QCOMPARE(counted, qsizetype(0));
    }

    // Read piece by piece, split anywhere, a file gives the text and the
    // format that reading it whole gives.
    void piecesReadAsTheWholeFile()
    {
        QRandomGenerator rng(2026);
        const QList<QByteArray> parts = {"a",
                                         "\r",
                                         "\n",
                                         "\r\n",
                                         "\xc3\xa9",
                                         "\xe2\x82\xac",
                                         "\xff",
                                         "\0",
                                         "\xf0\x9d\x84\x9e",
                                         "\xef\xbb\xbf",
                                         "\xc3",
                                         "  "};
        const QList<QByteArray> starts = {
            "", "\xef\xbb\xbf", "\xff\xfe", "\xff\xfe\0\0", "\0\0\xfe\xff", "\xfe\xff"};
        for (int round = 0; round < 3000; ++round) {
            QByteArray file = starts[rng.bounded(int(starts.size()))];
            for (int n = int(rng.bounded(12)); n > 0; --n)
                file += parts[rng.bounded(int(parts.size()))];
            for (const TextFormat &forNew :
                 {TextFormat::classic(), TextFormat{LineEnd::Lf, Encoding::Utf8Bom}}) {
                const DetectedFormat whole = detectFormat(file, forNew);
                qsizetype loneWhole = 0;
                const QByteArray wholeText = textFromFileBytes(file, whole.format, &loneWhole);

                QByteArray text;
                TextStream stream([&text](QByteArrayView t) {
                    text += t;
                    return true;
                });
                for (qsizetype at = 0; at < file.size();) {
                    const qsizetype n = 1 + rng.bounded(4);
                    QVERIFY(stream.feed(QByteArrayView(file).sliced(at, qMin(n, file.size() - at))));
                    at += n;
                }
                QVERIFY(stream.finish());
                const DetectedFormat pieces = decideFormat(stream.facts(), forNew);
                if (stream.markIsText(pieces.format))
                    text.prepend(utf8Mark().toByteArray());
                const QString where = QString::fromLatin1(file.toHex(' '));
                QVERIFY2(pieces.format == whole.format, qPrintable(where + " " + pieces.format.label()));
                QVERIFY2(pieces.foreignEncoding == whole.foreignEncoding, qPrintable(where));
                QVERIFY2(pieces.characters == whole.characters, qPrintable(where));
                QVERIFY2(text == wholeText,
                         qPrintable(where + " gave " + QString::fromLatin1(text.toHex(' '))));
                QVERIFY2(stream.loneCrs() == loneWhole, qPrintable(where));
            }
        }
    }

    // A line of the length or more is found wherever the pieces split it,
    // and so is the length of the longest such line.
    void longLinesAreFound()
    {
        QRandomGenerator rng(27);
        for (int round = 0; round < 2000; ++round) {
            QByteArray text;
            for (int n = int(rng.bounded(30)); n > 0; --n) {
                const int k = int(rng.bounded(10));
                text += k < 2   ? "\r"
                        : k < 4 ? "\n"
                        : k < 5 ? "\r\n"
                                : QByteArray(int(rng.bounded(1, 12)), 'x');
            }
            const qsizetype length = 1 + rng.bounded(15);
            qsizetype longest = 0, run = 0;
            for (char c : text) {
                run = c == '\r' || c == '\n' ? 0 : run + 1;
                longest = qMax(longest, run);
            }
            LongLineWatch watch(length);
            for (qsizetype at = 0; at < text.size();) {
                const qsizetype n = 1 + rng.bounded(6);
                watch.feed(QByteArrayView(text).sliced(at, qMin(n, text.size() - at)));
                at += n;
            }
            const QString where =
                QString::fromLatin1(text.toPercentEncoding()) + " " + QString::number(length);
            QVERIFY2(watch.found() == (longest >= length), qPrintable(where));
            QVERIFY2(!watch.found() || watch.longest() == longest, qPrintable(where + " longest"));
        }
    }

    void recentListKeepsNewestFirstOnceAndFifteen()
    {
        const QString app = QStringLiteral("Quillpad Basic"), sec = QStringLiteral("Settings");
        for (const char *p : {"/a", "/b", "/c", "/b", "/B"}) // letter case makes another entry
            recentfiles::AddRecentFile(QString::fromLatin1(p));
        QCOMPARE(recentfiles::entries(), (QStringList{"/B", "/b", "/c", "/a"}));

        for (int i = 1; i <= 16; ++i)
            recentfiles::AddRecentFile(QStringLiteral("/file%1").arg(i));
        const QStringList e = recentfiles::entries();
        QCOMPARE(e.size(), 15);
        QCOMPARE(e.first() + " " + e.last(), QStringLiteral("/file16 /file2"));
        QCOMPARE(platform::settings().read(app, sec, recentfiles::key(16)), QString());

        // A list whose first position was emptied by hand.
        for (int i = 1; i <= recentfiles::Count; ++i)
            platform::settings().write(app, sec, recentfiles::key(i),
                                       i == 2 ? QStringLiteral("/second") : QString());
        QCOMPARE(recentfiles::entries(), QStringList{QStringLiteral("/second")});
        recentfiles::AddRecentFile(QStringLiteral("/new"));
        QCOMPARE(recentfiles::positions().mid(0, 3), (QStringList{"/new", "/second", ""}));
    }

    // Random edits, followed by a delta, always lead back to the older text.
    void deltaUndoesAnyEditSequence()
    {
        QRandomGenerator rng(12345);
        auto letters = [&](int n) {
            QByteArray b;
            while (b.size() < n)
                b += char('a' + rng.bounded(4));
            return b;
        };
        for (int round = 0; round < 400; ++round) {
            const QByteArray older = letters(int(rng.bounded(40)));
            QByteArray text = older;
            TextDelta d;
            for (int e = 1 + int(rng.bounded(8)); e > 0; --e) {
                const qsizetype pos = rng.bounded(int(text.size()) + 1);
                if (rng.bounded(2) && pos < text.size()) {
                    const qsizetype n = 1 + rng.bounded(int(text.size() - pos));
                    d.recordDelete(pos, QByteArrayView(text).sliced(pos, n));
                    text.remove(pos, n);
                } else {
                    const QByteArray ins = letters(1 + int(rng.bounded(5)));
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
