#include "appfixture.h"
#include "documents/fileops.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/settingsguard.h"
#include "platform/settingsstore.h"
#include "testmain.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

void spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TstPlatformParts : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { platform::clearFileFaults(); }

    void readerRefusesWhatIsNotARegularFile()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QList<std::tuple<QString, int, QString>> cases = {
            {dir.filePath(QStringLiteral("missing.txt")), ENOENT,
             QStringLiteral("No such file or directory")},
            {dir.path(), EISDIR, QStringLiteral("Is a directory")},
            {fifo, EINVAL, QStringLiteral("Not a regular file")},
            {QStringLiteral("/dev/null"), EINVAL, QStringLiteral("Not a regular file")},
        };
        for (const auto &[path, number, description] : cases) {
            platform::FileReader r;
            platform::FileError err;
            QVERIFY2(!r.open(path, &err), qPrintable(path));
            QCOMPARE(QString::number(err.number) + " " + err.description,
                     QString::number(number) + " " + description);
        }
    }

    void failedWritesNeverHarmTheOldFile_data()
    {
        QTest::addColumn<int>("step"); // injected fault, or -1
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("description");
        QTest::newRow("open") << int(platform::FileStep::Open) << "doc.txt"
                              << "No space left on device";
        QTest::newRow("write") << int(platform::FileStep::Write) << "doc.txt"
                               << "No space left on device";
        QTest::newRow("commit") << int(platform::FileStep::Commit) << "doc.txt"
                                << "No space left on device";
        QTest::newRow("a folder") << -1 << ""
                                  << "Filename refers to a directory";
        QTest::newRow("under a file") << -1 << "doc.txt/in.txt"
                                      << "Not a directory";
    }

    void failedWritesNeverHarmTheOldFile()
    {
        QFETCH(int, step);
        QFETCH(QString, target);
        QFETCH(QString, description);
        QTemporaryDir dir;
        const QString p = dir.filePath(QStringLiteral("doc.txt"));
        spit(p, "old contents\r\n");
        if (step >= 0)
            platform::injectFileFault(platform::FileStep(step), ENOSPC);
        platform::FileWriter w;
        platform::FileError err;
        const bool ok = w.open(dir.filePath(target), &err) && w.write("new", &err) && w.commit(&err);
        w.cancel();
        QVERIFY(!ok);
        QCOMPARE(err.description, description);
        QCOMPARE(AppFixture::readFile(p), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.txt")});
    }

    void writesKeepLinksAndPermissionsAndReadsGetEveryByte()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("n\u00e4me & more.bin"));
        const QString link = dir.filePath(QStringLiteral("link.bin"));
        spit(target, "old");
        ::chmod(QFile::encodeName(target).constData(), 0640);
        QVERIFY(QFile::link(target, link));
        QByteArray bytes;
        for (int i = 0; i < 256 * 300; ++i)
            bytes += char(i % 256);
        platform::FileWriter w;
        platform::FileError err;
        QVERIFY(w.open(link, &err) && w.write(bytes, &err) && w.commit(&err));
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat st;
        ::stat(QFile::encodeName(target).constData(), &st);
        QCOMPARE(int(st.st_mode & 0777), 0640);

        platform::FileReader r;
        QByteArray out;
        QVERIFY(r.open(target, &err) && r.readAll(&out, &err));
        QCOMPARE(out, bytes);
        QVERIFY(r.readHead(70, &out, &err) && r.readAll(&out, &err)); // a retry starts from the first byte
        QCOMPARE(out, bytes);
    }

    void filterStringBecomesItsChoices()
    {
        const QStringList f = platform::FileDialog::nameFilters(QString::fromLatin1(fileops::FileFilter));
        QCOMPARE(f.size(), 10);
        QCOMPARE(f[0], QStringLiteral("Text Files(.txt) (*.txt)"));
        QCOMPARE(f[9], QStringLiteral("All Files (*)")); // "*.*" also means names without a dot
        QCOMPARE(platform::FileDialog::nameFilters(QStringLiteral("Quillpad Project | *QPP")),
                 QStringList{QStringLiteral("Quillpad Project (*QPP)")});
    }

    void settingsRoundTripAndSurviveAnUnwritableStore()
    {
        platform::SettingsStore &s = platform::settings();
        const QString app = QStringLiteral("Quillpad Basic"), sec = QStringLiteral("Settings");
        const QString v = QStringLiteral("/tmp/a, b & c/\u00e9t\u00e9.txt");
        QVERIFY(s.write(app, sec, QStringLiteral("K"), v));
        QCOMPARE(s.read(app, sec, QStringLiteral("K")), v);

        // A hand-edited file: commas stay in the value, garbage lines are passed over.
        spit(platform::settingsFilePath(QStringLiteral("handmade")),
             "[settings]\n\x01\xff garbage\nno equals sign\n=x\npath0=a,b\n[[[broken\n");
        QCOMPARE(s.read(QStringLiteral("handmade"), QStringLiteral("settings"), QStringLiteral("path0")),
                 QStringLiteral("a,b"));

        // A value holding a serialized object instead of text (a polygon that
        // claims two billion points) reads as "" and is simply written over.
        const QString objects = QStringLiteral("objects");
        spit(platform::settingsFilePath(objects),
             "[settings]\ntitle0=@Variant(\\0\\0\\0G\\0\\x7f\\xff\\xff\\xff)\n");
        QCOMPARE(s.read(objects, QStringLiteral("settings"), QStringLiteral("title0")), QString());
        QVERIFY(s.write(objects, QStringLiteral("settings"), QStringLiteral("title0"), v));
        QCOMPARE(s.read(objects, QStringLiteral("settings"), QStringLiteral("title0")), v);

        // A store that cannot be written: the write says so, reads give "".
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("file"));
        spit(blocker, "not a folder");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
        QVERIFY(!s.write(app, sec, QStringLiteral("K"), v));
        QCOMPARE(s.read(app, sec, QStringLiteral("K")), QString());
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void serializedObjectsAreFoundHoweverWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("region") << QByteArray("title0=@Variant(\\0\\0\\0H\\0\\0\\0\\x18)") << true;
        QTest::newRow("in a list") << QByteArray("k=a, @Variant(\\0\\0\\0G)") << true;
        QTest::newRow("quotes inside") << QByteArray("k=\"@Var\"\"iant(x)\"") << true;
        QTest::newRow("hex escape") << QByteArray("k=\\x40Variant(x)") << true;
        QTest::newRow("long hex escape") << QByteArray("k=\\x0000040Variant(x)") << true;
        QTest::newRow("octal escape") << QByteArray("k=\\100Variant(x)") << true;
        QTest::newRow("needless escape") << QByteArray("k=@\\Variant(x)") << true;
        QTest::newRow("continued line") << QByteArray("k=@Vari\\\nant(x)\n") << true;
        QTest::newRow("path") << QByteArray("RecentItem1=/home/user/caf\xc3\xa9 (1).txt") << false;
        QTest::newRow("quoted commas") << QByteArray("path0=\"lynx -dump, \\\"x\\\"\"") << false;
        QTest::newRow("control escapes") << QByteArray("k=a\\tb\\x1\\x1f\\0") << false;
        QTest::newRow("byte array") << QByteArray("k=@ByteArray(x)") << false;
        QTest::newRow("escaped at sign") << QByteArray("k=@@mail") << false;
    }

    void serializedObjectsAreFoundHoweverWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, dropped);
        QCOMPARE(settingsguard::holdsSerializedObject(line), dropped);
    }

    void onlyTheLinesOfSerializedObjectsLeaveTheFile()
    {
        const QString path = testsupport::root() + QStringLiteral("/guarded.ini");
        const QByteArray kept =
            "[Settings]\r\nRecentItem1=/a b\r\nRecentItem3=\"x, y\"\r\n[settings]\npath0=v";
        spit(path, "[Settings]\r\nRecentItem1=/a b\r\nRecentItem2=@Variant(\\0\\0\\0H\\n\\0\\0\\0)\r\n"
                   "RecentItem3=\"x, y\"\r\n[settings]\ntitle0=@Var\\\niant(\\0)\npath0=v");
        QVERIFY(settingsguard::dropSerializedObjects(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), kept);
        f.close();
        // A file with nothing to drop is left as it is; a missing one is fine.
        const QDateTime stamp = QFileInfo(path).lastModified();
        QVERIFY(settingsguard::dropSerializedObjects(path));
        QCOMPARE(QFileInfo(path).lastModified(), stamp);
        QVERIFY(settingsguard::dropSerializedObjects(path + QStringLiteral(".none")));
    }
};

QP_TEST_MAIN(TstPlatformParts)
#include "tst_platformparts.moc"
