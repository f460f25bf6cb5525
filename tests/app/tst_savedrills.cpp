// Saves that fail the hard way: a full disk, a folder that cannot be
// written, and the saving process killed at random moments. The file on disk
// must always hold either its old bytes or the new ones, never anything
// else, and the next start leaves no temporary behind.

#include "documents/fileops.h"
#include "documents/recoveryfolder.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "testmain.h"
#include "windowtest.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QThread>

#include <cerrno>

namespace {

// A small tmpfs at dir, where this machine lets us mount one (CI may not;
// QP_NO_MOUNT=1 tries the fallback here); no options, no mount. Unmounted
// again however the test ends.
struct Tmpfs
{
    Tmpfs(const QString &dir, const QString &options) : dir(dir)
    {
        QDir().mkpath(dir);
        mounted =
            !options.isEmpty() && qEnvironmentVariableIsEmpty("QP_NO_MOUNT") &&
            QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", dir}) == 0;
    }
    ~Tmpfs()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {dir});
    }
    QString dir;
    bool mounted = false;
};

QStringList othersIn(const QString &dir, const QString &keep)
{
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.removeAll(keep);
    return names;
}

} // namespace

class TstSaveDrills : public WindowTest
{
    Q_OBJECT

private slots:
    void failedSavesKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("mountOptions");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("errnum");
        QTest::addColumn<QString>("description");
        QTest::newRow("disk full") << "size" << int(platform::FileStep::Write) << ENOSPC
                                   << "No space left on device";
        QTest::newRow("folder cannot be written")
            << "ro" << int(platform::FileStep::Open) << EACCES << "Permission denied";
    }

    void failedSavesKeepTheOldFile()
    {
        QFETCH(QString, mountOptions);
        QFETCH(int, step);
        QFETCH(int, errnum);
        QFETCH(QString, description);
        // A real full or read-only file system where one can be mounted; the
        // file layer's fault seam otherwise (root ignores permission bits).
        const Tmpfs tmpfs(m_app->path(QStringLiteral("drill")), QStringLiteral("size=64k"));
        const QString path = m_app->writeFile(QStringLiteral("drill/doc.txt"), "old text\r\n");
        if (tmpfs.mounted && mountOptions == QLatin1String("ro"))
            QCOMPARE(QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", tmpfs.dir}), 0);
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        d->textControl()->setText(QByteArrayView(QByteArray(256 * 1024, 'x'))); // more than the disk holds
        if (!tmpfs.mounted)
            platform::injectFileFault(platform::FileStep(step), errnum);
        qInfo("%s", tmpfs.mounted ? "on a tmpfs mounted for the test" : "through the fault seam");
        m_prompts->answer(platform::Answer::Abort);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        const QString kSave = QStringLiteral("There was an error in saving to the file. \r\n");
        const QString kAsk = QStringLiteral("\r\nWould would you like to do");
        const QStringList told = m_prompts->messageTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(kSave) && told[0].endsWith(kAsk), qPrintable(told[0]));
        if (!tmpfs.mounted || mountOptions != QLatin1String("ro")) // a real one says read-only
            QCOMPARE(told[0], kSave + description + kAsk);
        QCOMPARE(AppFixture::readFile(path), QByteArray("old text\r\n"));
        QVERIFY2(m_app->record(1).Changed, "the work is still unsaved");
        QCOMPARE(othersIn(tmpfs.dir, QStringLiteral("doc.txt")), QStringList());
    }

    // The saving process is killed at a random moment during a save of 50 MB,
    // again and again; the next start sweeps what the dead ones left.
    void killedSavesLeaveOldOrNewBytes()
    {
        constexpr int kRuns = 200;
        const QByteArray bytes[2] = {QByteArray(50LL * 1024 * 1024, 'A'),
                                     QByteArray(50LL * 1024 * 1024, 'B')};
        // Memory-backed, so 200 saves fit in a minute: /dev/shm when it has
        // room for the file and its temporary (a container's often has not),
        // else a tmpfs of our own, else the disk.
        QTemporaryDir shm(QStringLiteral("/dev/shm/quillpad-drill-XXXXXX"));
        const bool roomy = shm.isValid() && QStorageInfo(shm.path()).bytesAvailable() > 3 * bytes[0].size();
        const Tmpfs own(roomy ? shm.path() : m_app->path(QStringLiteral("drill")),
                        roomy ? QString() : QStringLiteral("size=%1").arg(3 * bytes[0].size()));
        const QString target = own.dir + QStringLiteral("/big.txt");
        const QString root = testsupport::root() + QStringLiteral("/drill-recovery/");
        qInfo("drill folder %s", qPrintable(own.dir));

        auto run = [&](char pattern, qint64 killAfterUs) {
            QProcess p;
            p.start(QStringLiteral(QP_DRIVER), {"--save", target, root, QString(QLatin1Char(pattern))});
            if (!p.waitForStarted() || !p.waitForReadyRead(30000))
                return QByteArray("no start");
            if (killAfterUs >= 0) {
                QThread::usleep(quint64(killAfterUs));
                p.kill();
            }
            p.waitForFinished(60000);
            return p.readAllStandardOutput();
        };

        // One save left alone, to learn how long a save takes here.
        const QByteArray first = run('A', -1);
        QVERIFY2(first.contains("saved "), first.constData());
        const qint64 saveUs = first.mid(first.indexOf("saved ") + 6).trimmed().toLongLong();
        int onDisk = 0, interrupted = 0, leftBehind = 0;
        QRandomGenerator rng(20261206);
        for (int i = 0; i < kRuns; ++i) {
            const int next = 1 - onDisk;
            const bool saved =
                run(char('A' + next), qint64(rng.bounded(quint32(saveUs * 3 / 2 + 1)))).contains("saved ");
            interrupted += !saved;
            const QByteArray now = AppFixture::readFile(target);
            if (now == bytes[next])
                onDisk = next;
            else
                QVERIFY2(!saved && now == bytes[onDisk], "neither the old bytes nor the new, or a save "
                                                         "that said it was done left the old bytes");
            // The next start: dead instances' folders are claimed and their ledgers swept.
            leftBehind += othersIn(own.dir, QStringLiteral("big.txt")).size();
            recovery::claimOrphans(root, QString());
            QCOMPARE(othersIn(own.dir, QStringLiteral("big.txt")), QStringList());
        }
        qInfo("kill drill: %d saves of 50 MB (one takes %lld us here), %d interrupted; temporaries seen "
              "before the next start %d, after 0",
              kRuns, static_cast<long long>(saveUs), interrupted, leftBehind);
        QVERIFY2(interrupted > 0, "some saves must have been cut short");
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

QP_TEST_MAIN(TstSaveDrills)
#include "tst_savedrills.moc"
