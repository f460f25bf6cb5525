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
    QList<QByteArray> lines;
    QByteArray cur;
    bool open = false;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == '\r') {
            lines << cur;
            cur.clear();
            open = false;
            if (i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
        } else {
            cur += data[i];
            open = true;
        }
    }
    if (open)
        lines << cur;
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

QByteArray corpus()
{
    // Short lines over an alphabet rich in line ends, blanks and Latin-1 capitals.
    static const char alphabet[] = "aAbB \r\n\r\n\t\xc9\xe9\xd7\xf7xX";
    QRandomGenerator rng(17);
    QByteArray out;
    for (int i = 0; i < 3000; ++i)
        out += alphabet[rng.bounded(int(sizeof alphabet - 1))];
    return out;
}

qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
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
        QTest::newRow("word in any case, trimmed item")
            << QByteArray("<BODY>\r\n  body text\r\nnone\r\n") << "Body" << L{"<BODY>", "body text"};
        QTest::newRow("blanks around the search are dropped")
            << QByteArray("<BODY>\r\n  body text\r\nnone") << "  Body " << L{"<BODY>", "body text"};
        QTest::newRow("blanks inside the search count")
            << QByteArray("body text\r\nbodytext\r\n") << "y t" << L{"body text"};
        QTest::newRow("empty search: every non-empty line")
            << QByteArray("a\r\n\r\n   \r\n b \r\n") << "" << L{"a", "", "b"};
        QTest::newRow("lone CR ends a line") << QByteArray("xa\rxb\rc") << "x" << L{"xa", "xb"};
        QTest::newRow("lone LF stays in the line") << QByteArray("one\ntwo\r\nthree") << "two" << L{"one\ntwo"};
        QTest::newRow("LF after CR LF starts the next line")
            << QByteArray("a\r\n\nb") << "\n" << L{"\nb"};
        QTest::newRow("LF of a CR LF is no part of a line") << QByteArray("a\r\nb") << "\nb" << L{};
        QTest::newRow("Latin-1 capitals fold") << QByteArray("CAF\xc9\r\ncafe") << QString::fromLatin1("caf\xe9")
                                               << L{"CAF\xc9"};
        QTest::newRow("times sign is no capital") << QByteArray("\xd7\r\n\xf7") << QString::fromLatin1("\xf7")
                                                  << L{"\xf7"};
        QTest::newRow("tabs are not trimmed") << QByteArray("\tkey \t") << "key" << L{"\tkey \t"};
        QTest::newRow("text outside Latin-1 matches nothing") << QByteArray("a?b") << QString::fromUtf8("a\xe2\x82\xac")
                                                               << L{};
        QTest::newRow("NUL bytes are ordinary") << QByteArray("a\0b\r\nc", 6) << QString(QChar(0))
                                                << L{QByteArray("a\0b", 3)};
        QTest::newRow("empty stream") << QByteArray() << "" << L{};
    }
    void matches()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, search);
        QFETCH(QList<QByteArray>, expected);
        QCOMPARE(scanInPieces(data, search, qMax<qsizetype>(1, data.size())), expected);
        QCOMPARE(scanInPieces(data, search, 1), expected);
        QCOMPARE(reference(data, search), expected);
    }

    void piecesOfAnySizeGiveTheSameLines_data()
    {
        QTest::addColumn<QString>("search");
        int row = 0;
        for (const char *s : {"", "a", "ab", "b\nx", "\xe9 x", " x\t", "AbBa"})
            QTest::addRow("search %d", row++) << QString::fromLatin1(s);
    }
    void piecesOfAnySizeGiveTheSameLines()
    {
        QFETCH(QString, search);
        const QByteArray data = corpus();
        const QList<QByteArray> expected = reference(data, search);
        for (qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(7), qsizetype(64), data.size()})
            QVERIFY2(scanInPieces(data, search, piece) == expected, qPrintable(QStringLiteral("piece %1").arg(piece)));
        // Every place the stream can be split in two.
        for (qsizetype cut = 0; cut <= 200; ++cut) {
            LineScanner s(search);
            s.feed(QByteArrayView(data).first(cut));
            s.feed(QByteArrayView(data).sliced(cut));
            s.finish();
            QVERIFY2(s.takeLines() == expected, qPrintable(QStringLiteral("split at %1").arg(cut)));
        }
    }

    void endlessLineHoldsLittle()
    {
        // A stream with no CR is one line; however long, only its head is kept.
        LineScanner s(QStringLiteral("needle"), 100);
        const QByteArray piece(4096, 'z');
        qsizetype most = 0;
        s.feed("   ");
        for (int i = 0; i < 256; ++i) {
            s.feed(piece);
            most = qMax(most, s.heldBytes());
        }
        s.feed("NEED");
        s.feed("LE tail");
        s.finish();
        QVERIFY2(most <= 100 + 5, qPrintable(QStringLiteral("held %1 bytes").arg(most)));
        const QList<QByteArray> lines = s.takeLines();
        QCOMPARE(lines, QList<QByteArray>{QByteArray(100, 'z')});
        QCOMPARE(s.cutLines(), 1);
    }

    void blanksPastTheCutDoNotCut()
    {
        LineScanner s(QString(), 4);
        s.feed("  abcd   ");
        s.feed("  \r  abcdef");
        s.finish();
        QCOMPARE(s.takeLines(), (QList<QByteArray>{"abcd", "abcd"}));
        QCOMPARE(s.cutLines(), 1);
    }

    void fileScanRetriesAFailedPiece()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QByteArray data;
        for (int i = 0; i < 500; ++i)
            data += (i % 7 == 0 ? "Match " : "other ") + QByteArray::number(i) + "\r\n";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();

        tools::FileScan scan(QStringLiteral("match"), 100);
        platform::FileError err;
        QVERIFY(scan.open(path, &err));
        for (int i = 0; i < 5; ++i)
            QVERIFY(scan.step(&err));
        platform::injectFileFault(platform::FileStep::Read, EIO, 1);
        QVERIFY2(!scan.step(&err), "the injected fault must surface");
        QCOMPARE(err.number, EIO);
        while (!scan.atEnd())
            QVERIFY(scan.step(&err));
        QCOMPARE(scan.position(), data.size());
        QCOMPARE(scan.scanner().takeLines(), reference(data, QStringLiteral("match")));
    }

    void aGigabyteFileIsStreamed()
    {
        // A sparse file: a gigabyte to read, almost no disk used.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(1) << 30));
        QVERIFY(f.seek(qint64(1) << 29));
        f.write("\r  The NEEDLE in the middle \r\n");
        f.close();

        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        const bool peakReset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const qint64 before = peakResidentKiB();
        tools::FileScan scan(QStringLiteral("needle"));
        platform::FileError err;
        QVERIFY(scan.open(path, &err));
        while (!scan.atEnd())
            QVERIFY(scan.step(&err));
        QCOMPARE(scan.scanner().takeLines(), QList<QByteArray>{"The NEEDLE in the middle"});
        if (!peakReset || before < 0)
            QSKIP("the peak resident size cannot be measured here");
        const qint64 growth = peakResidentKiB() - before;
        QVERIFY2(growth < 20 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
    }

    void fileScanRefusesAFolder()
    {
        QTemporaryDir dir;
        tools::FileScan scan(QStringLiteral("x"));
        platform::FileError err;
        QVERIFY(!scan.open(dir.path(), &err));
        QCOMPARE(err.number, EISDIR);
    }
};

QP_TEST_MAIN(TstLineScanner)
#include "tst_linescanner.moc"
