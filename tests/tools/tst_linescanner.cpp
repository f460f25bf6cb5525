#include "platform/blanks.h"
#include "platform/fileio.h"
#include "testmain.h"
#include "tools/filescan.h"
#include "tools/linescanner.h"

#include <QRandomGenerator>

#include <memory>

#include <sys/resource.h>

using tools::LineScanner;
using Lines = QList<QByteArray>;

namespace {

// The plain reading of the rules: CR LF or a lone CR ends a line; a lone LF
// does not, but in an LF stream it does too.
Lines splitLines(QByteArray data, LineEnd lineEnd)
{
    data.replace("\r\n", "\r");
    if (lineEnd == LineEnd::Lf)
        data.replace('\n', '\r');
    return data.split('\r');
}

// In UTF-8 only ASCII and Latin-1 letters are ever given in both cases here.
Lines reference(const QByteArray &data, QStringView search, LineEnd lineEnd = LineEnd::CrLf,
                bool utf8 = false)
{
    const QString needle = platform::trimBlanks(search).toLower();
    Lines out;
    for (const QByteArray &line : splitLines(data, lineEnd))
        if (!line.isEmpty() &&
            (utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line)).toLower().contains(needle))
            out << platform::trimBlanks(line);
    return out;
}

Lines scanInPieces(const QByteArray &data, QStringView search, qsizetype piece, bool utf8 = false,
                   LineEnd lineEnd = LineEnd::CrLf)
{
    LineScanner s(search.toString());
    s.setUtf8(utf8);
    s.setLineEnd(lineEnd);
    for (qsizetype i = 0; i < data.size(); i += piece)
        s.feed(QByteArrayView(data).sliced(i, qMin(piece, data.size() - i)));
    s.finish();
    return s.takeLines();
}

// Lines of up to 3000 characters, past the windows the scanner looks for line
// ends in, some very short; mostly ended by LF, some by CR LF or a lone CR.
QString longLfText(quint32 seed, const QStringList &alphabet)
{
    QRandomGenerator rng(seed);
    QString text;
    for (int line = 0; line < 40; ++line) {
        const int n = rng.bounded(3) == 0 ? rng.bounded(4) : rng.bounded(3000);
        for (int i = 0; i < n; ++i)
            text += alphabet[rng.bounded(int(alphabet.size()))];
        const int end = rng.bounded(8);
        text += end == 0 ? u"\r\n" : end == 1 ? u"\r" : u"\n";
    }
    return text;
}

// Scans a whole file of these bytes in pieces; *shown gets the matching
// lines as the window shows them. Null when a step failed.
std::unique_ptr<tools::FileScan> scanFile(const QByteArray &bytes, const QString &search, int piece,
                                          QStringList *shown)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("f.txt")));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return nullptr;
    f.close();
    auto scan = std::make_unique<tools::FileScan>(search, piece);
    platform::FileError err;
    if (!scan->open(f.fileName(), &err))
        return nullptr;
    while (!scan->atEnd())
        if (!scan->step(&err))
            return nullptr;
    for (const QByteArray &line : scan->scanner().takeLines())
        shown->append(scan->scanner().lineText(line));
    return scan;
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

    void utf8PiecesOfAnySizeMatchTheModel()
    {
        const QStringList alphabet =
            QString::fromUtf8("a|A|b|B| |\r|\n|\t|é|É|×|÷|ж|€|x|X").split(QLatin1Char('|'));
        QRandomGenerator rng(23);
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += alphabet[rng.bounded(int(alphabet.size()))];
        const QByteArray data = text.toUtf8();
        // × and ÷ differ by the bit that makes É é: they must not be taken for a pair.
        for (QStringView s : {u"", u"é", u"É x", u"AbBa", u"÷", u"×", u"ж€", u"a\r"})
            for (qsizetype piece : {1, 2, 3, 64, 5000})
                QVERIFY2(scanInPieces(data, s, piece, true) == reference(data, s, LineEnd::CrLf, true),
                         qPrintable(QStringLiteral("%1, %2").arg(s).arg(piece)));
    }

    // In an LF stream LF, CR LF and a lone CR each end one line, however the
    // pieces fall (and no line holds an LF or a CR, so no search for one matches).
    void lfPiecesOfAnySizeMatchTheModel()
    {
        const QByteArray data =
            longLfText(29,
                       QString::fromLatin1("a|A|b|B| |\t|\xc9|\xe9|\xd7|\xf7|x|X|?").split(QLatin1Char('|')))
                .toLatin1();
        for (QStringView s : {u"", u"a", u"ab", u"é x", u"AbBaB", u"×", u"a\n", u"\r"})
            for (qsizetype piece : {1, 2, 3, 64, 511, 512, 513, 4096, 100000})
                for (LineEnd lineEnd : {LineEnd::Lf, LineEnd::CrLf})
                    QVERIFY2(scanInPieces(data, s, piece, false, lineEnd) == reference(data, s, lineEnd),
                             qPrintable(QStringLiteral("%1, %2, %3").arg(s).arg(piece).arg(int(lineEnd))));
    }

    // An LF stream without line ends is held and kept cut, like any other.
    void lfLongLineIsCutAndHeldBounded()
    {
        LineScanner s(QStringLiteral("needle"), 8);
        s.setLineEnd(LineEnd::Lf);
        const QByteArray piece(1000, 'a');
        for (int i = 0; i < 1000; ++i) {
            s.feed(piece);
            QVERIFY2(s.heldBytes() <= 8 + 5, qPrintable(QString::number(s.heldBytes())));
        }
        s.feed("NEEDLE\r");
        s.feed("\n needle\n");
        s.finish();
        QCOMPARE(s.takeLines(), (Lines{"aaaaaaaa", "needle"}));
        QCOMPARE(s.cutLines(), 1);
    }

    // A cut line keeps whole characters only, however the line came in.
    void utf8CutKeepsWholeCharacters()
    {
        for (qsizetype piece : {1, 8}) {
            LineScanner s(QStringLiteral("é"), 5);
            s.setUtf8(true);
            const QByteArray data = "ééé\r\n";
            for (qsizetype i = 0; i < data.size(); i += piece)
                s.feed(QByteArrayView(data).sliced(i, qMin(piece, data.size() - i)));
            s.finish();
            QCOMPARE(s.takeLines(), Lines{"éé"});
            QCOMPARE(s.cutLines(), 1);
        }
    }

    // The file's start decides its encoding, before any matching.
    void fileEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QStringList>("lines"); // for the search "é", as shown
        QTest::newRow("latin-1") << QByteArray("caf\xe9\r\nCAF\xc9") << 1024 << false
                                 << QStringList{"café", "CAFÉ"};
        QTest::newRow("utf-8, cut by the piece")
            << QByteArray("aé\r\nÉ") << 2 << true << QStringList{"aé", "É"};
        QTest::newRow("cut by the file's end") << QByteArray("aé\xc3") << 1024 << false << QStringList{};
        QTest::newRow("mark left out")
            << QByteArray("\xef\xbb\xbf é x") << 1024 << true << QStringList{"é x"};
        QTest::newRow("invalid later: shown as latin-1")
            << QByteArray("abcd\r\n\xc3\xa9\xe9") << 4 << true << QStringList{"Ã©é"};
    }
    void fileEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        QStringList shown;
        const std::unique_ptr<tools::FileScan> scan = scanFile(bytes, QStringLiteral("é"), piece, &shown);
        QVERIFY(scan);
        QTEST(scan->scanner().isUtf8(), "utf8");
        QTEST(shown, "lines");
    }

    // The file's start decides its line end too, whatever comes later.
    void fileLineEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QStringList>("lines"); // for the search "x", as shown
        QTest::newRow("LF") << QByteArray("a x\nb x\nc x") << 1024 << true
                            << QStringList{"a x", "b x", "c x"};
        QTest::newRow("CR LF only after the first piece")
            << QByteArray("a x\nbb x\r\nc x") << 4 << true << QStringList{"a x", "bb x", "c x"};
        QTest::newRow("a piece ends between CR and LF")
            << QByteArray("a x\nb x\r\nc x") << 4 << true << QStringList{"a x", "b x", "c x"};
        QTest::newRow("no line end in the first piece")
            << QByteArray("a x b x\nc x\r\nd x") << 4 << false << QStringList{"a x b x\nc x", "d x"};
        QTest::newRow("a CR in the first piece")
            << QByteArray("a x\r\nb x\nc x") << 1024 << false << QStringList{"a x", "b x\nc x"};
        QTest::newRow("UTF-8 with its mark")
            << QByteArray("\xef\xbb\xbf\xc3\xa9 x\nb x\n") << 1024 << true << QStringList{"é x", "b x"};
    }
    void fileLineEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        QStringList shown;
        const std::unique_ptr<tools::FileScan> scan = scanFile(bytes, QStringLiteral("x"), piece, &shown);
        QVERIFY(scan);
        QTEST(scan->scanner().lineEnd() == LineEnd::Lf, "lf");
        QTEST(shown, "lines");
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
        QVERIFY2(peakResidentKiB() - before < 20 * 1024,
                 qPrintable(QString::number(peakResidentKiB() - before)));
    }
};

QP_TEST_MAIN(TstLineScanner)
#include "tst_linescanner.moc"
