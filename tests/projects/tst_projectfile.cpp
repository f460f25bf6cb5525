#include "appfixture.h"
#include "projects/createddate.h"
#include "projects/projectfile.h"
#include "projects/projectlist.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace projects;

namespace {
QString u(const char *utf8) { return QString::fromUtf8(utf8); }
QByteArray line(const QString &path) { return "File: " + path.toUtf8() + "\r\n"; }
} // namespace

class TstProjectFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString make(const QString &name, const QByteArray &bytes = "x") const
    {
        QDir().mkpath(QFileInfo(at(name)).path());
        QFile f(at(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? at(name) : QString();
    }

private slots:
    void tolerantReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("no header") << QByteArray("File: /a\r\nFile: /b") << QStringList{"/a", "/b"};
        QTest::newRow("other version") << QByteArray("Quillpad Basic:2.7\r\nFile: /a\r\n") << QStringList{"/a"};
        QTest::newRow("blank lines") << QByteArray("\r\n\r\nFile: /a\r\n\r\n\r\nFile: /b\r\n")
                                     << QStringList{"/a", "/b"};
        QTest::newRow("prefix in any case, blanks trimmed")
            << QByteArray("file:   /my a.txt  \r\nFiLe:/B\r\nFile:\t/t\t\r\n")
            << QStringList{"/my a.txt", "/B", "\t/t\t"};
        QTest::newRow("no \"File: \"") << QByteArray("/x\r\nFiles: /y\r\n File: /z\r\nFile:   \r\nFile\r\nFile: /a\r\n")
                                       << QStringList{"/a"};
        QTest::newRow("lone CR ends a line, lone LF does not")
            << QByteArray("File: /a\rFile: /b\r\r\nFile: /c\nFile: /d") << QStringList{"/a", "/b", "/c\nFile: /d"};
        QTest::newRow("Latin-1, UTF-8 and NUL bytes")
            << QByteArray("File: /caf\xE9\r\nFile: /\xE6\x97\xA5\r\nFile: /caf\xC3\xA9\r\nFile: /\xE6\x97.t\r\n")
                   + QByteArray("File: /a\0b", 10)
            << QStringList{u("/café"), u("/日"), QString::fromLatin1("/caf\xC3\xA9"),
                           QString::fromLatin1("/\xE6\x97.t"), QString::fromLatin1("/a\0b", 4)};
        const QByteArray longPath = "/" + QByteArray(200000, 'x');
        QTest::newRow("long line") << QByteArray("File: " + longPath + "\r\nFile: /b\r\n")
                                   << QStringList{QString::fromLatin1(longPath), "/b"};
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator(20240611).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("binary") << noise << QStringList{};
    }
    void tolerantReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        QCOMPARE(readProjectPaths(bytes), paths);
    }

    void storablePaths()
    {
        QCOMPARE(projectFileBytes({}), QByteArray("Quillpad Basic:1.0\r\n"));
        for (const char *p : {"/u/café ÿ.txt", "/u/日本語.txt", "/u/😀.txt", "/u/a\nb\\c"})
            QVERIFY2(canStorePath(u(p)) && readProjectPaths(projectFileBytes({u(p)})) == QStringList{u(p)}, p);
        // The last one's Latin-1 bytes C4 B0 would read back as the UTF-8 of another letter.
        for (const char *p : {"/u/a\rb", " /u/a", "/u/a ", "", "/u/Ä°.txt"})
            QVERIFY2(!canStorePath(u(p)), p);
    }

    void roundTripAndMissingFiles()
    {
        const QString a = make("one.txt"), b = make("two words.htm"), latin = make(u("café.txt")),
                      wide = make(u("日本.txt"));
        ProjectList list;
        for (const QString &p : {a, b, a, latin, wide})
            QCOMPARE(list.add(p), ProjectList::AddResult::Added);
        platform::FileError err;
        QVERIFY2(list.save(at("round.QPP"), &err), qPrintable(err.description));
        const QByteArray latinLine = "File: " + QFile::encodeName(m_dir.path()) + "/caf\xE9.txt\r\n";
        QCOMPARE(AppFixture::readFile(at("round.QPP")),
                 "Quillpad Basic:1.0\r\n" + line(a) + line(b) + line(a) + latinLine + line(wide));
        // A load replaces the list with the files still there, and names the others.
        QFile::remove(b);
        const ProjectList::LoadResult r = list.load(at("round.QPP"));
        QVERIFY(r.read);
        QCOMPARE(list.paths(), (QStringList{a, a, latin, wide}));
        QCOMPARE(r.missingReport, b + QStringLiteral(" Couldn't be found. \r\n"));
    }

    void rowsAndDates()
    {
        // The title is the part after the last "/" or "\".
        const QString a = make("rows/w\\x/page.htm"), b = make("rows/odd\\gone.txt");
        ProjectList list;
        list.add(a);
        list.add(b);
        QFile::remove(b);
        const QList<ProjectRow> rows = list.rows(QLocale(QLocale::English));
        QCOMPARE(rows.size(), 2);
        QCOMPARE((QStringList{rows[0].title, rows[0].folder, rows[1].title, rows[1].folder, rows[1].created}),
                 (QStringList{"page.htm", at("rows/w\\x"), "gone.txt", at("rows/odd"), ""}));

        const QDateTime dec5(QDate(2026, 12, 5), QTime(23, 59)), jan9(QDate(2024, 1, 9), QTime(8, 0));
        const QLocale en(QLocale::English);
        QCOMPARE(formatCreatedDate(dec5, jan9, en), QStringLiteral("05 Dec 2026"));
        QCOMPARE(formatCreatedDate(QDateTime(), jan9, en), QStringLiteral("09 Jan 2024")); // no birth time
        QCOMPARE(formatCreatedDate(QDateTime(), QDateTime(), en), QString());
    }
};

QP_TEST_MAIN(TstProjectFile)
#include "tst_projectfile.moc"
