#include "documents/fileops.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/latin1.h"
#include "platform/settingsstore.h"
#include "testmain.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

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
        struct Case
        {
            QString path;
            int number;
            QString description;
        };
        const QList<Case> cases = {
            {dir.filePath(QStringLiteral("missing.txt")), ENOENT, QStringLiteral("No such file or directory")},
            {dir.path(), EISDIR, QStringLiteral("Is a directory")},
            {fifo, EINVAL, QStringLiteral("Not a regular file")},
            {QStringLiteral("/dev/null"), EINVAL, QStringLiteral("Not a regular file")},
        };
        for (const Case &c : cases) {
            platform::FileReader r;
            platform::FileError err;
            QVERIFY2(!r.open(c.path, &err), qPrintable(c.path));
            QCOMPARE(err.number, c.number);
            QCOMPARE(err.description, c.description);
            // Reading what never opened fails too, without touching anything.
            QByteArray out("kept");
            QVERIFY(!r.readAll(&out, &err));
            QCOMPARE(out, QByteArray("kept"));
        }
    }

    void readerReadsEveryByteAndHeads()
    {
        QTemporaryDir dir;
        QByteArray bytes;
        for (int i = 0; i < 256 * 300; ++i)
            bytes += char(i % 256);
        const QString p = dir.filePath(QStringLiteral("n\u00e4me & more.bin"));
        spit(p, bytes);
        platform::FileReader r;
        platform::FileError err;
        QVERIFY(r.open(p, &err));
        QByteArray out;
        QVERIFY(r.readAll(&out, &err));
        QCOMPARE(out, bytes);
        QVERIFY(r.readHead(70, &out, &err));
        QCOMPARE(out, bytes.left(70));
        // A retried read starts again from the first byte.
        QVERIFY(r.readAll(&out, &err));
        QCOMPARE(out.size(), bytes.size());
    }

    void failedWritesNeverHarmTheOldFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("open") << int(platform::FileStep::Open);
        QTest::newRow("write") << int(platform::FileStep::Write);
        QTest::newRow("commit") << int(platform::FileStep::Commit);
    }

    void failedWritesNeverHarmTheOldFile()
    {
        QFETCH(int, step);
        QTemporaryDir dir;
        const QString p = dir.filePath(QStringLiteral("doc.txt"));
        spit(p, "old contents\r\n");
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        platform::FileWriter w;
        platform::FileError err;
        const bool ok = w.open(p, &err) && w.write("new", &err) && w.commit(&err);
        w.cancel();
        QVERIFY(!ok);
        QCOMPARE(err.description, QStringLiteral("No space left on device"));
        QCOMPARE(slurp(p), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.txt")});
    }

    void savesKeepLinksAndPermissions()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target.txt"));
        const QString link = dir.filePath(QStringLiteral("link.txt"));
        spit(target, "old");
        ::chmod(QFile::encodeName(target).constData(), 0640);
        QVERIFY(QFile::link(target, link));
        platform::FileWriter w;
        platform::FileError err;
        QVERIFY(w.open(link, &err) && w.write("new", &err) && w.commit(&err));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(slurp(target), QByteArray("new"));
        struct stat st;
        ::stat(QFile::encodeName(target).constData(), &st);
        QCOMPARE(int(st.st_mode & 0777), 0640);
    }

    void writeToAFolderOrUnderAFileFails()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plain"));
        spit(file, "x");
        for (const QString &p : {dir.path(), file + QStringLiteral("/inside.txt")}) {
            platform::FileWriter w;
            platform::FileError err;
            QVERIFY2(!(w.open(p, &err) && w.write("y", &err) && w.commit(&err)), qPrintable(p));
            QVERIFY2(!err.description.isEmpty(), qPrintable(p));
        }
        QCOMPARE(slurp(file), QByteArray("x"));
    }

    void filterStringBecomesItsChoices()
    {
        const QStringList f = platform::FileDialog::nameFilters(QString::fromLatin1(fileops::FileFilter));
        QCOMPARE(f.size(), 10);
        QCOMPARE(f[0], QStringLiteral("Text Files(.txt) (*.txt)"));
        QCOMPARE(f[3], QStringLiteral("Webpages (htm/html) (*.html *.htm)"));
        QCOMPARE(f[8], QStringLiteral("Programming Files (*.CPP *.frm *.PHP *.java *.pl)"));
        QCOMPARE(f[9], QStringLiteral("All Files (*)")); // "*.*" also means names without a dot
        QCOMPARE(platform::FileDialog::nameFilters(QStringLiteral("Quillpad Project | *QPP")),
                 QStringList{QStringLiteral("Quillpad Project (*QPP)")});
    }

    void settingsRoundTripAndSurviveAnUnwritableStore()
    {
        platform::SettingsStore &s = platform::settings();
        QCOMPARE(s.read(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"), QStringLiteral("Nothing")),
                 QString());
        const QString v = QStringLiteral("/tmp/a, b & c/\u00e9t\u00e9.txt");
        QVERIFY(s.write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"), QStringLiteral("K"), v));
        QCOMPARE(s.read(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"), QStringLiteral("K")), v);
        QVERIFY(QFile::exists(platform::settingsFilePath(QStringLiteral("Quillpad Basic"))));

        // A hand-edited value with commas still reads back whole.
        QFile f(platform::settingsFilePath(QStringLiteral("handmade")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[settings]\npath0=a,b\ntitle0=\n");
        f.close();
        QCOMPARE(s.read(QStringLiteral("handmade"), QStringLiteral("settings"), QStringLiteral("path0")),
                 QStringLiteral("a,b"));

        // A store that cannot be written: the write says so, reads give "".
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("file"));
        spit(blocker, "not a folder");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
        QVERIFY(!s.write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"), QStringLiteral("K"), v));
        QCOMPARE(s.read(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"), QStringLiteral("K")), QString());
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void latin1CountsWhatItCannotHold()
    {
        int n = -1;
        QCOMPARE(latin1::fromUnicode(QStringLiteral("caf\u00e9 \u00ff"), &n), QByteArray("caf\xe9 \xff"));
        QCOMPARE(n, 0);
        QCOMPARE(latin1::fromUnicode(QStringLiteral("\u20ac1") + QString::fromUcs4(U"\U0001F600"), &n),
                 QByteArray("?1?"));
        QCOMPARE(n, 2);
    }
};

QP_TEST_MAIN(TstPlatformParts)
#include "tst_platformparts.moc"
