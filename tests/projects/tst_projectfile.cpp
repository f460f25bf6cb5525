#include "projects/projectfile.h"
#include "testmain.h"

#include <QRandomGenerator>

using namespace projects;

namespace {
QString u(const char *utf8) { return QString::fromUtf8(utf8); }
} // namespace

class TstProjectFile : public QObject
{
    Q_OBJECT
private slots:
    void entryLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("path");
        QTest::newRow("as written") << QByteArray("File: /home/u/a.txt") << u("/home/u/a.txt");
        QTest::newRow("lower case, blanks around") << QByteArray("file:   /home/u/my a.txt  ") << u("/home/u/my a.txt");
        QTest::newRow("no blank after colon") << QByteArray("FiLe:/Home/A.TXT") << u("/Home/A.TXT");
        QTest::newRow("only blanks are trimmed") << QByteArray("File:\t/a\t") << u("\t/a\t");
        QTest::newRow("blank before prefix") << QByteArray(" File: /a") << QString();
        QTest::newRow("prefix and blanks") << QByteArray("File:     ") << QString();
        QTest::newRow("too short") << QByteArray("File") << QString();
        QTest::newRow("header") << QByteArray("Quillpad Basic:1.0") << QString();
        QTest::newRow("other word") << QByteArray("Files: /a") << QString();
        QTest::newRow("latin-1 byte") << QByteArray("File: /tmp/caf\xE9") << u("/tmp/café");
        QTest::newRow("utf-8 beyond latin-1") << QByteArray("File: /tmp/\xE6\x97\xA5") << u("/tmp/日");
        QTest::newRow("utf-8 within latin-1") << QByteArray("File: /caf\xC3\xA9") << QString::fromLatin1("/caf\xC3\xA9");
        QTest::newRow("broken utf-8") << QByteArray("File: /\xE6\x97.txt") << QString::fromLatin1("/\xE6\x97.txt");
    }
    void entryLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, path);
        QCOMPARE(GetFileFromLine(line), path);
    }

    void tolerantReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("header only") << QByteArray("Quillpad Basic:1.0\r\n") << QStringList{};
        QTest::newRow("no header") << QByteArray("File: /a\r\nFile: /b") << QStringList{"/a", "/b"};
        QTest::newRow("other version") << QByteArray("Quillpad Basic:2.7\r\nFile: /a\r\n") << QStringList{"/a"};
        QTest::newRow("blank lines") << QByteArray("\r\n\r\nFile: /a\r\n\r\n\r\nFile: /b\r\n") << QStringList{"/a", "/b"};
        QTest::newRow("lines without prefix") << QByteArray("/x\r\nPath: /y\r\nFile: /a\r\n  File: /z\r\nFile:\r\n")
                                              << QStringList{"/a"};
        QTest::newRow("lone cr ends lines") << QByteArray("File: /a\rFile: /b\r\r\nFile: /c") << QStringList{"/a", "/b", "/c"};
        QTest::newRow("lone lf does not") << QByteArray("File: /a\nFile: /b\r\n") << QStringList{"/a\nFile: /b"};
        QTest::newRow("duplicates kept") << QByteArray("File: /a\r\nFile: /a\r\n") << QStringList{"/a", "/a"};
        const QByteArray longPath = "/" + QByteArray(200000, 'x');
        QTest::newRow("very long line") << QByteArray("File: " + longPath + "\r\nFile: /b\r\n")
                                        << QStringList{QString::fromLatin1(longPath), "/b"};
        QTest::newRow("nul inside a path") << QByteArray("File: /a\0b\r\n", 12) << QStringList{QString::fromLatin1("/a\0b", 4)};
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator gen(20240611);
        for (char &c : noise)
            c = char(gen.bounded(256));
        QTest::newRow("binary") << noise << QStringList{};
    }
    void tolerantReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        QCOMPARE(readProjectPaths(bytes), paths);
    }

    void writerBytes_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty project") << QStringList{} << QByteArray("Quillpad Basic:1.0\r\n");
        QTest::newRow("two entries") << QStringList{"/a", "/b c.txt"}
                                     << QByteArray("Quillpad Basic:1.0\r\nFile: /a\r\nFile: /b c.txt\r\n");
        QTest::newRow("latin-1 path") << QStringList{u("/tmp/café")} << QByteArray("Quillpad Basic:1.0\r\nFile: /tmp/caf\xE9\r\n");
        QTest::newRow("beyond latin-1") << QStringList{u("/é日")} << QByteArray("Quillpad Basic:1.0\r\nFile: /\xC3\xA9\xE6\x97\xA5\r\n");
    }
    void writerBytes()
    {
        QFETCH(QStringList, paths);
        QFETCH(QByteArray, bytes);
        QCOMPARE(projectFileBytes(paths), bytes);
        QCOMPARE(readProjectPaths(bytes), paths);
    }

    void storablePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("storable");
        QTest::newRow("latin-1") << u("/home/u/café ÿ.txt") << true;
        QTest::newRow("cjk") << u("/home/u/日本語.txt") << true;
        QTest::newRow("emoji") << u("/home/u/😀.txt") << true;
        QTest::newRow("lf and backslash inside") << u("/home/u/a\nb\\c") << true;
        QTest::newRow("cr inside") << u("/home/u/a\rb") << false;
        QTest::newRow("leading blank") << u(" /home/u/a") << false;
        QTest::newRow("trailing blank") << u("/home/u/a ") << false;
        QTest::newRow("empty") << QString() << false;
        // Its Latin-1 bytes C4 B0 would read back as the UTF-8 of another letter.
        QTest::newRow("reads back as utf-8") << u("/home/u/Ä°.txt") << false;
    }
    void storablePaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, storable);
        QCOMPARE(canStorePath(path), storable);
        if (storable)
            QCOMPARE(readProjectPaths(projectFileBytes({path})), QStringList{path});
    }
};

QP_TEST_MAIN(TstProjectFile)
#include "tst_projectfile.moc"
