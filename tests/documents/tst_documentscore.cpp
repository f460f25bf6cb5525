// The headless parts of documents: file bytes to text, the recent list, and
// those of crash recovery and safe saving (the checksum, the journal
// format, the save ledger's sweep, the instance folders with their locks).
#include "appfixture.h"
#include "documents/checksum.h"
#include "documents/recentfiles.h"
#include "documents/recoveryfolder.h"
#include "documents/recoveryjournal.h"
#include "documents/saveledger.h"
#include "documents/textfile.h"
#include "documents/textstream.h"
#include "platform/settingsstore.h"
#include "testmain.h"

#include <QRandomGenerator>

using testsupport::writeBytes;

namespace {

recovery::Journal sample()
{
    recovery::Journal j;
    j.title = QStringLiteral("C:\\odd: title\nwith a line break & \u00e9");
    j.path = QStringLiteral("/tmp/a b/%41.txt");
    j.disk =
        DiskState::fromStamp(platform::FileStamp{3, 99, 12, 1700000000123456789LL}, 0xfeedbeefcafe1234ULL);
    j.written = QDateTime::fromMSecsSinceEpoch(1765000000000LL, Qt::UTC);
    j.text = QByteArray("line\r\n\0 NUL and \xff\n\n", 20);
    j.format = TextFormat{LineEnd::Lf, Encoding::Utf8Bom, true};
    return j;
}

} // namespace

class TstDocumentsCore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    static QByteArray encoded(const recovery::Journal &j)
    {
        return recovery::journalHeader(j, j.text.size()) + j.text;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

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
        // Read byte by byte, nothing is changed, so nothing is counted.
        qsizetype lone = -1, verbatimLone = -1;
        const TextFormat kept{LineEnd::CrLf, Encoding::Latin1, true};
        const QByteArrayList read = {textFromFileBytes(file),
                                     textFromFileBytes(file, TextFormat::classic(), &lone),
                                     textFromFileBytes(file, kept, &verbatimLone)};
        QCOMPARE(read, (QByteArrayList{text, text, file}));
        QCOMPARE((QList<qsizetype>{lone, verbatimLone}), (QList<qsizetype>{loneCrs, 0}));
    }

    // Read piece by piece, split anywhere, a file gives the text and the
    // format that reading it whole gives.
    void piecesReadAsTheWholeFile()
    {
        QRandomGenerator rng(2026);
        // Pieces of text, line ends, UTF-8 whole and cut, a NUL, a mark, blanks.
        const QList<QByteArray> parts =
            QByteArray("a|\r|\n|\r\n|\xc3\xa9|\xe2\x82\xac|\xff|\0|\xf0\x9d\x84\x9e|\xef\xbb\xbf|\xc3|  ", 33)
                .split('|');
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
                TextStream stream([&text](QByteArrayView t) { return text += t, true; });
                for (qsizetype at = 0; at < file.size();) {
                    const qsizetype n = 1 + rng.bounded(4);
                    QVERIFY(stream.feed(QByteArrayView(file).sliced(at, qMin(n, file.size() - at))));
                    at += n;
                }
                QVERIFY(stream.finish());
                const DetectedFormat pieces = decideFormat(stream.facts(), forNew);
                if (stream.markIsText(pieces.format))
                    text.prepend(utf8Mark().toByteArray());
                QVERIFY2(
                    pieces.format == whole.format && pieces.foreignEncoding == whole.foreignEncoding &&
                        pieces.characters == whole.characters && text == wholeText &&
                        stream.loneCrs() == loneWhole,
                    qPrintable(file.toHex(' ') + " gave " + text.toHex(' ') + " " + pieces.format.label()));
            }
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
        QCOMPARE((QStringList{QString::number(e.size()), e.first(), e.last(),
                              platform::settings().read(app, sec, recentfiles::key(16))}),
                 (QStringList{"15", "/file16", "/file2", ""}));

        // A list whose first position was emptied by hand.
        for (int i = 1; i <= recentfiles::Count; ++i)
            platform::settings().write(app, sec, recentfiles::key(i),
                                       i == 2 ? QStringLiteral("/second") : QString());
        QCOMPARE(recentfiles::entries(), QStringList{QStringLiteral("/second")});
        recentfiles::AddRecentFile(QStringLiteral("/new"));
        QCOMPARE(recentfiles::positions().mid(0, 3), (QStringList{"/new", "/second", ""}));
    }

    // The same sum however the bytes arrive; every byte and the length count.
    void checksumDoesNotDependOnHowBytesArrive()
    {
        QByteArray bytes(1000, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        const quint64 whole = Checksum::of(bytes);
        for (int cut : {0, 1, 31, 32, 33, 999}) {
            Checksum c;
            c.add(QByteArrayView(bytes).first(cut));
            c.add(QByteArrayView(bytes).sliced(cut));
            QCOMPARE(c.value(), whole);
            QByteArray other = bytes;
            other[cut] = char(other[cut] ^ 1);
            QVERIFY2(Checksum::of(other) != whole, qPrintable(QString::number(cut)));
        }
        QVERIFY(Checksum::of(QByteArray(64, '\0')) != Checksum::of(QByteArray(65, '\0')));
    }

    void journalsReadBackExactlyOrNotAtAll_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format"); // "" when it is not read
        const QByteArray good = encoded(sample());
        const auto with = [&](const char *from, const char *to) {
            return QByteArray(good).replace(from, to);
        };
        QTest::newRow("whole") << good << "LF  UTF-8 with BOM  (bytes)";
        QTest::newRow("earlier version, classic text")
            << with("format: lf utf-8-bom verbatim\n", "") << "CR LF  Latin-1";
        QTest::newRow("longer than said") << good + 'x' << "";
        QTest::newRow("not a journal") << QByteArray("hello\n\nworld") << "";
        QTest::newRow("no title") << with("title: ", "name: ") << "";
        QTest::newRow("bad disk line") << with("disk: 3 ", "disk: x ") << "";
        QTest::newRow("unknown format") << with("format: lf utf-8-bom verbatim", "format: lf utf-16") << "";
    }

    void journalsReadBackExactlyOrNotAtAll()
    {
        QFETCH(QByteArray, bytes);
        recovery::Journal j;
        const recovery::Journal want = sample();
        const bool read = recovery::parseJournal(bytes, &j);
        QTEST(read ? j.format.label() : QString(), "format");
        if (read)
            QCOMPARE(
                (QStringList{j.title, j.path, j.disk.toText(), QString::number(j.written.toMSecsSinceEpoch()),
                             QString::fromLatin1(j.text.toHex())}),
                (QStringList{want.title, want.path, want.disk.toText(),
                             QString::number(want.written.toMSecsSinceEpoch()),
                             QString::fromLatin1(want.text.toHex())}));
    }

    // A temporary left by a killed save, named as the save file's own are
    // when they get a name, is removed; look-alikes that are not it stay.
    void theLedgerSweepsOnlyWhatItNoted()
    {
        const QString dead = path("dead-instance"), folder = path("docs");
        QDir().mkpath(dead), QDir().mkpath(folder);
        const QString target = writeBytes(folder + "/doc.txt", "old"),
                      leftover = writeBytes(folder + "/doc.txt.Ab12Cd", "half written");
        writeBytes(folder + "/doc.txt.Zz99Yy", "the user's own");
        writeBytes(folder + "/other.txt.Ab12Cd", "another file's");
        platform::FileStamp st, targetStamp;
        QVERIFY(platform::statFile(leftover, &st) && platform::statFile(target, &targetStamp));

        saveledger::setFolder(dead);
        saveledger::record(target, st);
        saveledger::record(target, targetStamp); // a save that did finish: its temporary is the file now
        saveledger::setFolder(QString());

        QCOMPARE(saveledger::sweep(dead), 1);
        QStringList left; // the leftover is gone, the rest unchanged
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            left << name + '=' + AppFixture::readFile(folder + '/' + name);
        QCOMPARE(left, (QStringList{"doc.txt=old", "doc.txt.Zz99Yy=the user's own",
                                    "other.txt.Ab12Cd=another file's"}));
        QCOMPARE(QDir(dead).entryList(QDir::Files), QStringList()); // the notes are gone too
    }

    void instancesNeverTakeEachOthersFolders()
    {
        const QString root = path("recovery/");
        recovery::InstanceFolder a, b;
        QVERIFY(a.open(root) && b.open(root) && a.id() != b.id());
        QCOMPARE(QFileInfo(a.path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        recovery::Journal j = sample();
        const QString aJournal = writeBytes(a.path() + "/1-1.qpj", encoded(j));
        QCOMPARE(recovery::claimOrphans(root, b.id()).size(), size_t(0)); // a runs: hands off

        // An instance that is gone: its lock names a process that no longer exists.
        const QString dead = root + "999999-dead";
        QDir().mkpath(dead);
        writeBytes(dead + "/2-1.qpj", encoded(j));
        j.written = j.written.addSecs(-60), j.text = "older";
        writeBytes(dead + "/1-1.qpj", encoded(j));
        writeBytes(dead + "/3-1.qpj", "damaged");
        for (const char *lock : {"999999-dead", "999998-gone"})
            writeBytes(root + lock + ".lock",
                       QByteArray(lock, 6) + "\nquillpad\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, b.id());
        QCOMPARE(orphans.size(), size_t(1));
        // The damaged one is not offered as a document, but kept; a stale lock alone is cleared.
        QCOMPARE((QStringList{orphans[0].folder, QString::number(orphans[0].items.size()),
                              orphans[0].items[0].journal.text,
                              AppFixture::readFile(recovery::unreadableFolder(root) + "/999999-dead/3-1.qpj"),
                              QString::number(QFileInfo::exists(root + "999998-gone.lock"))}),
                 (QStringList{dead, "2", "older", "damaged", "0"}));
        // Claimed, it is this instance's to decide on; another start leaves it alone.
        QCOMPARE(recovery::claimOrphans(root, a.id()).size(), size_t(0));
        recovery::discardOrphan(orphans[0]);
        QVERIFY(!QFileInfo::exists(dead) && !QFileInfo::exists(dead + ".lock"));

        QCOMPARE(recovery::unreadableJournals(root).size(), size_t(1));

        // A clean exit removes the folder; the other instance's stays.
        b.removeAll();
        QVERIFY(!QFileInfo::exists(b.path()) && QFileInfo::exists(aJournal));
    }

    // Whatever a journal holds, it is offered or kept, never lost: cut at every
    // byte, random bytes, a length past its end or past 2^63, two for one path.
    void journalsThatCannotBeReadAreKept()
    {
        const QString root = path("kept/"), dead = root + "999997-dead";
        QDir().mkpath(dead);
        const QByteArray whole = encoded(sample());
        QList<QByteArray> bad;
        for (qsizetype n = 0; n < whole.size(); ++n)
            bad << whole.left(n);
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char &c : noise)
            c = char(rng.bounded(256));
        bad << noise;
        const qsizetype at = whole.indexOf("length: ");
        const QByteArray head = whole.left(at), text = whole.mid(whole.indexOf("\n\n") + 2);
        bad << head + "length: 99999999999999\n\n" + text << head + "length: 9223372036854775808\n\n" + text
            << head + "length: -1\n\n" + text;
        for (int i = 0; i < bad.size(); ++i)
            writeBytes(dead + QStringLiteral("/b%1.qpj").arg(i), bad[i]);
        for (const char *name : {"/good1.qpj", "/good2.qpj"}) // the same path twice: both offered
            writeBytes(dead + name, whole);

        std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, "own");
        QCOMPARE(orphans.size(), size_t(1));
        QCOMPARE(std::pair(orphans[0].items.size(), orphans[0].unreadable.size()),
                 std::pair(size_t(2), size_t(0)));
        const std::vector<recovery::Unreadable> kept = recovery::unreadableJournals(root);
        QCOMPARE(kept.size(), size_t(bad.size()));
        QSet<QByteArray> keptBytes;
        for (const recovery::Unreadable &u : kept) {
            keptBytes << AppFixture::readFile(u.file);
            QCOMPARE(u.size, QFileInfo(u.file).size());
        }
        QCOMPARE(keptBytes, QSet<QByteArray>(bad.begin(), bad.end()));
    }
};

QP_TEST_MAIN(TstDocumentsCore)
#include "tst_documentscore.moc"
