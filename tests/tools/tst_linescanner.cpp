#include "platform/fileio.h"
#include "testmain.h"
#include "tools/filescan.h"
#include "tools/linescanner.h"

#include <QRandomGenerator>

using tools::LineScanner;

namespace {

// The plain reading of the rules, line by line, to hold the scanner against.
QList<QByteArray> reference(const QByteArray &data, const QString &search)
{
    QList<QByteArray> lines{QByteArray()};
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != '\r') {
            lines.last() += data[i];
            continue;
        }
        lines << QByteArray();
        if (i + 1 < data.size() && data[i + 1] == '\n')
            ++i;
    }
    const QString needle = LineScanner::trimSpaces(search).toLower();
    QList<QByteArray> out;
    for (const QByteArray &line : lines)
        if (!line.isEmpty() && QString::fromLatin1(line).toLower().contains(needle))
            out << LineScanner::trimSpaces(line);
    return out;
}

QList<QByteArray> scanInPieces(const QByteArray &data, const QString &search, qsizetype piece)
{
    LineScanner s(search);
    for (qsizetype i = 0; i < data.size(); i += piece)
        s.feed(QByteArrayView(data).sliced(i, qMin(piece, data.size() - i)));
    s.finish();
    return s.takeLines();
}

qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

class TstLineScanner : public QObject
{
    Q_OBJECT
private slots:
    void matches_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<QByteArray>>("expected");
        using L = QList<QByteArray>;
        QTest::newRow("any case, item trimmed") << QByteArray("<BODY>\r\n  body text\r\nnone\r\n") << "  Body "
                                                << L{"<BODY>", "body text"};
        QTest::newRow("empty search") << QByteArray("a\r\n\r\n   \r\n\tb \r\n") << "" << L{"a", "", "\tb"};
        QTest::newRow("lone CR ends a line") << QByteArray("xa\rxb\rc") << "x" << L{"xa", "xb"};
        QTest::newRow("lone LF stays in the line") << QByteArray("one\ntwo\r\n\nthree") << "\nt"
                                                   << L{"one\ntwo", "\nthree"};
        QTest::newRow("the times sign is no capital") << QByteArray("\xd7\r\n\xf7") << QString::fromLatin1("\xf7")
                                                      << L{"\xf7"};
        QTest::newRow("a CR in the search matches nothing") << QByteArray("a\r\nb") << "a\r" << L{};
        QTest::newRow("Latin-1 capitals fold") << QByteArray("CAF\xc9\r\ncafe") << QString::fromLatin1("f\xe9")
                                               << L{"CAF\xc9"};
        QTest::newRow("outside Latin-1 matches nothing") << QByteArray("a?") << QString::fromUtf8("a\xe2\x82\xac") << L{};
        QTest::newRow("NUL is an ordinary byte") << QByteArray("a\0b\r\nc", 6) << QString(QChar(0))
                                                 << L{QByteArray("a\0b", 3)};
    }
    void matches()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, search);
        QFETCH(QList<QByteArray>, expected);
        QCOMPARE(scanInPieces(data, search, data.size()), expected);
        QCOMPARE(scanInPieces(data, search, 1), expected);
    }

    void piecesOfAnySizeGiveTheSameLines()
    {
        static const char alphabet[] = "aAbB \r\n\r\n\t\xc9\xe9xX";
        QRandomGenerator rng(17);
        QByteArray data;
        for (int i = 0; i < 3000; ++i)
            data += alphabet[rng.bounded(int(sizeof alphabet - 1))];
        for (const char *search : {"", "a", "ab", "b\nx", "\xe9 x", "AbBa"}) {
            const QString s = QString::fromLatin1(search);
            const QList<QByteArray> expected = reference(data, s);
            for (qsizetype piece : {1, 2, 3, 64})
                QVERIFY2(scanInPieces(data, s, piece) == expected, search);
            for (qsizetype cut = 0; cut <= 100; ++cut) {
                LineScanner sc(s);
                sc.feed(QByteArrayView(data).first(cut));
                sc.feed(QByteArrayView(data).sliced(cut));
                sc.finish();
                QVERIFY2(sc.takeLines() == expected, qPrintable(QStringLiteral("cut at %1").arg(cut)));
            }
        }
    }

    void endlessLineHoldsLittle()
    {
        LineScanner s(QStringLiteral("needle"), 100);
        qsizetype most = 0;
        s.feed("   ");
        for (int i = 0; i < 256; ++i) {
            s.feed(QByteArray(4096, 'z'));
            most = qMax(most, s.heldBytes());
        }
        s.feed("NEED");
        s.feed("LE");
        s.finish();
        QVERIFY2(most <= 100 + 5, qPrintable(QString::number(most)));
        QCOMPARE(s.takeLines(), QList<QByteArray>{QByteArray(100, 'z')});
        QCOMPARE(s.cutLines(), 1);
    }

    void aGigabyteFileIsStreamed()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("big.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(1) << 30)); // sparse: a gigabyte to read, no disk used
        QVERIFY(f.seek(qint64(1) << 29));
        f.write("\r  The NEEDLE in the middle \r\n");
        f.close();
        QFile clear(QStringLiteral("/proc/self/clear_refs")); // resets the peak
        const bool canMeasure = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const qint64 before = peakResidentKiB();
        tools::FileScan scan(QStringLiteral("needle"));
        platform::FileError err;
        QVERIFY(scan.open(f.fileName(), &err));
        while (!scan.atEnd())
            QVERIFY(scan.step(&err));
        QCOMPARE(scan.scanner().takeLines(), QList<QByteArray>{"The NEEDLE in the middle"});
        if (!canMeasure || before < 0)
            QSKIP("the peak resident size cannot be measured here");
        QVERIFY2(peakResidentKiB() - before < 20 * 1024, qPrintable(QString::number(peakResidentKiB() - before)));
    }
};

QP_TEST_MAIN(TstLineScanner)
#include "tst_linescanner.moc"
