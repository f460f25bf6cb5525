// The headless parts of crash recovery and safe saving: the checksum, the
// journal format, the save ledger's sweep and the instance folders with
// their locks.

#include "documents/checksum.h"
#include "documents/recoveryfolder.h"
#include "documents/recoveryjournal.h"
#include "documents/saveledger.h"
#include "testmain.h"

#include <QRandomGenerator>


namespace {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

recovery::Journal sample()
{
    recovery::Journal j;
    j.title = QStringLiteral("C:\\odd: title\nwith a line break & \u00e9");
    j.path = QStringLiteral("/tmp/a b/%41.txt");
    j.disk = DiskState::fromStamp(platform::FileStamp{3, 99, 12, 1700000000123456789LL}, 0xfeedbeefcafe1234ULL);
    j.written = QDateTime::fromMSecsSinceEpoch(1765000000000LL, Qt::UTC);
    j.text = QByteArray("line\r\n\0 NUL and \xff\n\n", 20);
    j.format = TextFormat{LineEnd::Lf, Encoding::Utf8Bom, true};
    return j;
}

QByteArray encoded(const recovery::Journal &j) { return recovery::journalHeader(j, j.text.size()) + j.text; }

} // namespace

class TstRecoveryCore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void checksumDoesNotDependOnHowBytesArrive()
    {
        QByteArray bytes(1000, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        const quint64 whole = Checksum::of(bytes);
        for (int cut : {0, 1, 7, 31, 32, 33, 64, 500, 999}) {
            Checksum c;
            c.add(QByteArrayView(bytes).first(cut));
            c.add(QByteArrayView(bytes).sliced(cut));
            QCOMPARE(c.value(), whole);
        }
        // Every byte counts, wherever it is, and so does the length.
        for (int at : {0, 31, 32, 998, 999}) {
            QByteArray other = bytes;
            other[at] = char(other[at] ^ 1);
            QVERIFY2(Checksum::of(other) != whole, qPrintable(QString::number(at)));
        }
        QVERIFY(Checksum::of(QByteArray(64, '\0')) != Checksum::of(QByteArray(65, '\0')));
        QVERIFY(Checksum::of(QByteArray()) != Checksum::of(QByteArray(1, '\0')));
    }

    void journalsReadBackExactlyOrNotAtAll_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = encoded(sample());
        QTest::newRow("whole") << good;
        QTest::newRow("cut short") << good.chopped(1);
        QTest::newRow("longer than said") << good + 'x';
        QTest::newRow("header only") << good.left(good.indexOf("\n\n"));
        QTest::newRow("not a journal") << QByteArray("hello\n\nworld");
        QTest::newRow("empty") << QByteArray();
        QByteArray noTitle = good;
        noTitle.replace("title: ", "name: ");
        QTest::newRow("no title") << noTitle;
        QByteArray badDisk = good;
        badDisk.replace("disk: 3 ", "disk: x ");
        QTest::newRow("bad disk line") << badDisk;
        QByteArray badFormat = good;
        badFormat.replace("format: lf utf-8-bom verbatim", "format: lf utf-16");
        QTest::newRow("unknown format") << badFormat;
    }

    void journalsReadBackExactlyOrNotAtAll()
    {
        QFETCH(QByteArray, bytes);
        recovery::Journal j;
        const recovery::Journal want = sample();
        QCOMPARE(recovery::parseJournal(bytes, &j), bytes == encoded(want));
        if (bytes == encoded(want))
            QCOMPARE(
                QStringList({j.title, j.path, j.disk.toText(), QString::number(j.written.toMSecsSinceEpoch()),
                             QString::fromLatin1(j.text.toHex()), j.format.label()}),
                QStringList({want.title, want.path, want.disk.toText(),
                             QString::number(want.written.toMSecsSinceEpoch()),
                             QString::fromLatin1(want.text.toHex()),
                             QStringLiteral("LF  UTF-8 with BOM  (bytes)")}));
    }

    void journalsOfEarlierVersionsHoldClassicText()
    {
        QByteArray old = encoded(sample());
        old.replace("format: lf utf-8-bom verbatim\n", "");
        recovery::Journal j;
        QVERIFY2(recovery::parseJournal(old, &j), old.constData());
        QVERIFY2(j.format.isClassic(), qPrintable(j.format.label()));
    }

    // A temporary left by a killed save, named as the save file's own are
    // when they get a name, is removed; look-alikes that are not it stay.
    void theLedgerSweepsOnlyWhatItNoted()
    {
        const QString dead = path(QStringLiteral("dead-instance"));
        QDir().mkpath(dead);
        const QString folder = path(QStringLiteral("docs"));
        QDir().mkpath(folder);
        const QString target = writeFile(folder + QStringLiteral("/doc.txt"), "old");
        const QString leftover = writeFile(folder + QStringLiteral("/doc.txt.Ab12Cd"), "half written");
        const QString lookAlike = writeFile(folder + QStringLiteral("/doc.txt.Zz99Yy"), "the user's own");
        const QString other = writeFile(folder + QStringLiteral("/other.txt.Ab12Cd"), "another file's");
        platform::FileStamp st, targetStamp;
        QVERIFY(platform::statFile(leftover, &st) && platform::statFile(target, &targetStamp));

        saveledger::setFolder(dead);
        const QString note = saveledger::record(target, st);
        saveledger::record(target, targetStamp); // a save that did finish: its temporary is the file now
        saveledger::setFolder(QString());
        QVERIFY(QFileInfo::exists(note));

        QCOMPARE(saveledger::sweep(dead), 1);
        QVERIFY(!QFileInfo::exists(leftover));
        QCOMPARE(readFile(target), QByteArray("old"));
        QCOMPARE(readFile(lookAlike), QByteArray("the user's own"));
        QCOMPARE(readFile(other), QByteArray("another file's"));
        QCOMPARE(QDir(dead).entryList(QDir::Files), QStringList()); // the notes are gone too
    }

    void instancesNeverTakeEachOthersFolders()
    {
        const QString root = path(QStringLiteral("recovery/"));
        recovery::InstanceFolder a, b;
        QVERIFY(a.open(root) && b.open(root));
        QVERIFY(a.id() != b.id());
        QCOMPARE(QFileInfo(a.path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        recovery::Journal j = sample();
        writeFile(a.path() + QStringLiteral("/1-1.qpj"), encoded(j));
        QCOMPARE(recovery::claimOrphans(root, b.id()).size(), size_t(0)); // a runs: hands off
        QVERIFY(QFileInfo::exists(a.path() + QStringLiteral("/1-1.qpj")));

        // An instance that is gone: its lock names a process that no longer exists.
        const QString dead = root + QStringLiteral("999999-dead");
        QDir().mkpath(dead);
        writeFile(dead + QStringLiteral("/2-1.qpj"), encoded(j));
        j.written = j.written.addSecs(-60);
        j.text = "older";
        writeFile(dead + QStringLiteral("/1-1.qpj"), encoded(j));
        writeFile(dead + QStringLiteral("/3-1.qpj"), "damaged");
        writeFile(root + QStringLiteral("999999-dead.lock"), "999999\nquillpad\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        writeFile(root + QStringLiteral("999998-gone.lock"), "999998\nquillpad\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, b.id());
        QCOMPARE(orphans.size(), size_t(1));
        QCOMPARE(orphans[0].folder, dead);
        QCOMPARE(orphans[0].items.size(), size_t(2)); // the damaged one is not offered as a document
        QCOMPARE(orphans[0].items[0].journal.text, QByteArray("older"));
        QCOMPARE(readFile(recovery::unreadableFolder(root) + QStringLiteral("/999999-dead/3-1.qpj")),
                 QByteArray("damaged")); // but kept
        QVERIFY2(!QFileInfo::exists(root + QStringLiteral("999998-gone.lock")), "a stale lock alone is cleared");
        // Claimed, it is this instance's to decide on; another start leaves it alone.
        QCOMPARE(recovery::claimOrphans(root, a.id()).size(), size_t(0));
        recovery::discardOrphan(orphans[0]);
        QVERIFY(!QFileInfo::exists(dead) && !QFileInfo::exists(dead + QStringLiteral(".lock")));

        QCOMPARE(recovery::unreadableJournals(root).size(), size_t(1));

        // A clean exit removes the folder; the other instance's stays.
        b.removeAll();
        QVERIFY(!QFileInfo::exists(b.path()));
        QVERIFY(QFileInfo::exists(a.path() + QStringLiteral("/1-1.qpj")));
    }

    // Whatever a journal holds, it is offered or kept, never lost: cut at every
    // byte, random bytes, a length past its end or past 2^63, two for one path.
    void journalsThatCannotBeReadAreKept()
    {
        const QString root = path(QStringLiteral("kept/"));
        const QString dead = root + QStringLiteral("999997-dead");
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
            writeFile(dead + QStringLiteral("/b%1.qpj").arg(i), bad[i]);
        writeFile(dead + QStringLiteral("/good1.qpj"), whole);
        writeFile(dead + QStringLiteral("/good2.qpj"), whole); // the same path twice: both offered

        std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, QStringLiteral("own"));
        QCOMPARE(orphans.size(), size_t(1));
        QCOMPARE(orphans[0].items.size(), size_t(2));
        QCOMPARE(orphans[0].unreadable.size(), size_t(0));
        const std::vector<recovery::Unreadable> kept = recovery::unreadableJournals(root);
        QCOMPARE(kept.size(), size_t(bad.size()));
        QSet<QByteArray> keptBytes;
        for (const recovery::Unreadable &u : kept) {
            keptBytes << readFile(u.file);
            QCOMPARE(u.size, QFileInfo(u.file).size());
        }
        QCOMPARE(keptBytes, QSet<QByteArray>(bad.begin(), bad.end()));
        // Done with the folder: it goes only once no journal is left in it.
        recovery::releaseOrphan(orphans[0]);
        QVERIFY(QFileInfo::exists(dead + QStringLiteral("/good1.qpj")));
        QFile::remove(dead + QStringLiteral("/good1.qpj"));
        QFile::remove(dead + QStringLiteral("/good2.qpj"));
        orphans = recovery::claimOrphans(root, QStringLiteral("own"));
        QCOMPARE(orphans.size(), size_t(0));
        QVERIFY2(!QFileInfo::exists(dead), "an empty folder goes");
        QCOMPARE(recovery::unreadableJournals(root).size(), size_t(bad.size())); // still kept

        // Where no folder for them can be made, they stay where they are, and
        // so does their instance's folder.
        const QString root2 = path(QStringLiteral("blocked/"));
        QDir().mkpath(root2 + QStringLiteral("999996-dead"));
        writeFile(root2 + QStringLiteral("unreadable"), "a file in the way");
        writeFile(root2 + QStringLiteral("999996-dead/1-1.qpj"), "cut sho");
        orphans = recovery::claimOrphans(root2, QStringLiteral("own"));
        QCOMPARE(orphans.size(), size_t(1));
        QCOMPARE(orphans[0].unreadable.size(), size_t(1));
        QCOMPARE(orphans[0].unreadable[0].file, root2 + QStringLiteral("999996-dead/1-1.qpj"));
        QCOMPARE(orphans[0].unreadable[0].size, qint64(7));
        recovery::releaseOrphan(orphans[0]);
        QCOMPARE(readFile(root2 + QStringLiteral("999996-dead/1-1.qpj")), QByteArray("cut sho"));

        // A recovery folder that is a file: no instance folder, and the reason.
        const QString asFile = writeFile(path(QStringLiteral("recovery-file")), "x");
        recovery::InstanceFolder f;
        QVERIFY(!f.open(asFile));
        QCOMPARE(f.error(), QStringLiteral("Not a directory"));
    }
};

QP_TEST_MAIN(TstRecoveryCore)
#include "tst_recoverycore.moc"
