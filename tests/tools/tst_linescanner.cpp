#include "platform/fileio.h"
#include "testmain.h"
#include "tools/filescan.h"
#include "tools/linescanner.h"

#include <QRandomGenerator>

#include <sys/resource.h>

using tools::LineScanner;
using Lines = QList<QByteArray>;

namespace {

// The plain reading of the rules: CR LF or a lone CR ends a line, a lone LF does not.
Lines reference(QByteArray data, QStringView search)
{
    const QString needle = LineScanner::trimSpaces(search).toLower();
    Lines out;
    for (const QByteArray &line : data.replace("\r\n", "\r").split('\r'))
        if (!line.isEmpty() && QString::fromLatin1(line).toLower().contains(needle))
            out << LineScanner::trimSpaces(line);
    return out;
}

Lines scanInPieces(const QByteArray &data, QStringView search, qsizetype piece)
{
    LineScanner s(search.toString());
    for (qsizetype i = 0; i < data.size(); i += piece)
        s.feed(QByteArrayView(data).sliced(i, qMin(piece, data.size() - i)));
    s.finish();
    return s.takeLines();
}

qint64 peakResidentKiB()
{
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

} // namespace

class TstLineScanner : public QObject
{
    Q_OBJECT
private slots:
    void matches()
    {
        const QList<std::tuple<QByteArray, QString, Lines>> cases{
            {"<BODY>\r\n  body text\r\nnone\r\n", "  Body ", {"<BODY>", "body text"}}, // any case, trimmed
            {"a\r\n\r\n   \r\n\tb \r\n", "", {"a", "", "\tb"}}, // every line holding a byte
            {"one\ntwo\rthree\r\n\nfour", "\n", {"one\ntwo", "\nfour"}}, // a lone LF stays, a lone CR ends
            {"CAF\xc9\r\ncafe", QString::fromLatin1("f\xe9"), {"CAF\xc9"}}}; // Latin-1 capitals fold
        for (const auto &[data, search, expected] : cases)
            for (qsizetype piece : {qsizetype(1), data.size()})
                QVERIFY2(scanInPieces(data, search, piece) == expected, qPrintable(QString::fromLatin1(data)));
    }

    void piecesOfAnySizeMatchTheModel()
    {
        static const char alphabet[] = "aAbB \r\n\r\n\t\0\xc9\xe9\xd7\xf7xX?";
        QRandomGenerator rng(17);
        QByteArray data;
        for (int i = 0; i < 3000; ++i)
            data += alphabet[rng.bounded(int(sizeof alphabet - 1))];
        // The times sign is no capital; a CR, or a character beyond Latin-1, matches nothing.
        for (QStringView s : {u"", u"a", u"ab", u"b\nx", u"é x", u"AbBa", u"÷", u"×", u"a\r", u"a€"})
            for (qsizetype piece : {1, 2, 3, 64, 3001})
                QVERIFY2(scanInPieces(data, s, piece) == reference(data, s),
                         qPrintable(QStringLiteral("%1, %2").arg(s).arg(piece)));
    }

    void aGigabyteFileIsStreamed()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("big.txt")));
        // Sparse: a gigabyte to read, no disk used. The first line, half of it, matches and is kept cut.
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(1) << 30) && f.seek((qint64(1) << 29) - 8));
        QVERIFY(f.write("needle\r\r  The NEEDLE in the middle \r\n") > 0 && f.flush());
        const qint64 before = peakResidentKiB();
        tools::FileScan scan(QStringLiteral("needle"));
        platform::FileError err;
        QVERIFY(scan.open(f.fileName(), &err));
        while (!scan.atEnd())
            QVERIFY(scan.step(&err));
        const QByteArray cut(LineScanner::DefaultMaxLineBytes, '\0');
        QCOMPARE(scan.scanner().takeLines(), (Lines{cut, "The NEEDLE in the middle"}));
        QCOMPARE(scan.scanner().cutLines(), 1);
        if (before < 0)
            QSKIP("the peak resident size cannot be measured here");
        QVERIFY2(peakResidentKiB() - before < 20 * 1024, qPrintable(QString::number(peakResidentKiB() - before)));
    }
};

QP_TEST_MAIN(TstLineScanner)
#include "tst_linescanner.moc"
