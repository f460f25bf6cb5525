// The template folder without windows: listing, previews, installed names,
// copying templates in, and the starter templates that ship with the program.
#include "fakehost.h"
#include "platform/apphelpers.h"
#include "platform/fileio.h"
#include "scriptedprompts.h"
#include "templates/tagpass.h"
#include "templates/templatelibrary.h"
#include "testmain.h"

#include <QDirIterator>

#include <cerrno>

using namespace templates;

namespace {

QByteArray everyByte()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    return all;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Every name in the folder with its bytes, hidden files included.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> all;
    for (const QFileInfo &fi : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        all.insert(fi.fileName(), fi.isDir() ? QByteArray("<dir>") : readBytes(fi.filePath()));
    return all;
}

} // namespace

class TstTemplateLibrary : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }

private slots:
    void init() { platform::clearFileFaults(); }
    void cleanup() { platform::clearFileFaults(); }

    void folderIsBesideTheProgram()
    {
        QCOMPARE(TemplateFolder(), platform::AppFolder() + QStringLiteral("templates"));
    }

    void listsTemplatesInAnyCase()
    {
        QTemporaryDir dir;
        for (const char *name : {"b.QPT", "a.qpt", "C.Qpt", "notes.txt", "x.qpt.bak", "qpt"})
            writeBytes(dir.path() + QLatin1Char('/') + QLatin1String(name), "t");
        QDir(dir.path()).mkdir(QStringLiteral("folder.QPT"));
        QCOMPARE(ListTemplates(dir.path()), (QStringList{"a.qpt", "b.QPT", "C.Qpt"}));
        QCOMPARE(ListFiles(dir.path(), QStringLiteral("*.qpt")), (QStringList{"a.qpt", "b.QPT", "C.Qpt"}));
        QCOMPARE(ListTemplates(path(QStringLiteral("missing"))), QStringList());
    }

    void preview_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("preview");
        const QByteArray seventy(70, 'a');
        QTest::newRow("70 shown whole") << seventy << seventy;
        QTest::newRow("71 cut to 70") << seventy + "b" << seventy;
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("line breaks count") << QByteArray("ab\r\ncd\r\n") << QByteArray("ab\r\ncd\r\n");
        QTest::newRow("every byte value") << everyByte() << everyByte().left(70);
    }

    void preview()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, preview);
        const QString file = path(QStringLiteral("preview.qpt"));
        writeBytes(file, content);
        QCOMPARE(PreviewBytes(file), preview);
    }

    void previewOfWhatCannotBeRead()
    {
        QCOMPARE(PreviewBytes(path(QStringLiteral("missing.qpt"))), QByteArray());
        QCOMPARE(PreviewBytes(m_dir.path()), QByteArray());
        writeBytes(path(QStringLiteral("faulty.qpt")), "text");
        platform::injectFileFault(platform::FileStep::Read, EIO);
        QCOMPARE(PreviewBytes(path(QStringLiteral("faulty.qpt"))), QByteArray());
    }

    void installedName_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "/home/ann/My Page.qpt" << "My_Page.qpt";
        QTest::newRow("backslash") << "C:\\Templates\\a b c.QPT" << "a_b_c.QPT";
        QTest::newRow("last of both") << "a\\b/c d\\e f.txt" << "e_f.txt";
        QTest::newRow("no separator") << "plain name.qpt" << "plain_name.qpt";
        QTest::newRow("ends in separator") << "/home/ann/" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("spaces only") << "/x/  " << "__";
    }

    void installedName()
    {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        QCOMPARE(InstalledName(entry), name);
    }

    void installCopiesBytesUnderTheNewName()
    {
        QTemporaryDir target;
        const QString source = path(QStringLiteral("my page.qpt"));
        writeBytes(source, everyByte() + "\r\n");
        platform::FileError err;
        QVERIFY2(InstallTemplate(source, target.path(), &err), qPrintable(err.description));
        QCOMPARE(snapshot(target.path()), (QMap<QString, QByteArray>{{"my_page.qpt", everyByte() + "\r\n"}}));
        QCOMPARE(readBytes(source), everyByte() + "\r\n");
    }

    void installOverwrites()
    {
        QTemporaryDir target;
        writeBytes(target.path() + QStringLiteral("/t.qpt"), QByteArray(5000, 'o'));
        const QString source = path(QStringLiteral("t.qpt"));
        writeBytes(source, "new");
        QVERIFY(InstallTemplate(source, target.path(), nullptr));
        QCOMPARE(snapshot(target.path()), (QMap<QString, QByteArray>{{"t.qpt", "new"}}));
    }

    void installZeroBytes()
    {
        QTemporaryDir target;
        const QString source = path(QStringLiteral("empty.qpt"));
        writeBytes(source, QByteArray());
        QVERIFY(InstallTemplate(source, target.path(), nullptr));
        QCOMPARE(snapshot(target.path()), (QMap<QString, QByteArray>{{"empty.qpt", QByteArray()}}));
    }

    void failedInstallLeavesTheFolder_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("missing source") << "missing";
        QTest::newRow("source is a folder") << "folder";
        QTest::newRow("read fails") << "read";
        QTest::newRow("write fails") << "write";
        QTest::newRow("commit fails") << "commit";
        QTest::newRow("folder in the way") << "in the way";
        QTest::newRow("no name") << "no name";
    }

    void failedInstallLeavesTheFolder()
    {
        QFETCH(QString, fault);
        QTemporaryDir target;
        writeBytes(target.path() + QStringLiteral("/t.qpt"), "old");
        writeBytes(target.path() + QStringLiteral("/other.qpt"), "other");
        QString source = path(QStringLiteral("t.qpt"));
        writeBytes(source, "new content");
        if (fault == QLatin1String("missing"))
            source = path(QStringLiteral("nothing here.qpt"));
        else if (fault == QLatin1String("folder"))
            source = m_dir.path();
        else if (fault == QLatin1String("read"))
            platform::injectFileFault(platform::FileStep::Read, EIO);
        else if (fault == QLatin1String("write"))
            platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        else if (fault == QLatin1String("commit"))
            platform::injectFileFault(platform::FileStep::Commit, ENOSPC);
        else if (fault == QLatin1String("no name"))
            source = m_dir.path() + QLatin1Char('/');
        else if (fault == QLatin1String("in the way")) {
            QDir(target.path()).mkdir(QStringLiteral("way.qpt"));
            source = path(QStringLiteral("way.qpt"));
            writeBytes(source, "x");
        }
        const QMap<QString, QByteArray> before = snapshot(target.path());

        platform::FileError err;
        QVERIFY2(!InstallTemplate(source, target.path(), &err), "the copy must fail");
        QVERIFY2(!err.description.isEmpty(), "the failure has a description");
        QCOMPARE(snapshot(target.path()), before);
    }

    void installTemplatesReportsEachFailure()
    {
        ScriptedPrompts prompts;
        QTemporaryDir target;
        writeBytes(path(QStringLiteral("one.qpt")), "first");
        QDir().mkpath(path(QStringLiteral("sub")));
        writeBytes(path(QStringLiteral("sub/one.qpt")), "second");
        writeBytes(path(QStringLiteral("two three.txt")), "plain");
        const QString missing = path(QStringLiteral("gone.qpt"));
        const QStringList entries = {path(QStringLiteral("one.qpt")), QString(), missing,
                                     path(QStringLiteral("sub/one.qpt")), path(QStringLiteral("two three.txt"))};

        QCOMPARE(InstallTemplates(entries, target.path()), 3);

        QCOMPARE(snapshot(target.path()),
                 (QMap<QString, QByteArray>{{"one.qpt", "second"}, {"two_three.txt", "plain"}}));
        const QList<ScriptedPrompts::Asked> shown = prompts.messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("The template could not be installed:\r\n") + missing
                                    + QStringLiteral("\r\nNo such file or directory"));
        QCOMPARE(shown[0].icon, platform::Icon::Exclamation);
        QCOMPARE(shown[0].caption, QStringLiteral("Quillpad Basic"));
    }

    void installMakesAMissingFolder()
    {
        ScriptedPrompts prompts;
        QTemporaryDir target;
        writeBytes(path(QStringLiteral("a.qpt")), "a");
        const QString folder = target.path() + QStringLiteral("/templates");
        QCOMPARE(InstallTemplates({path(QStringLiteral("a.qpt"))}, folder), 1);
        QCOMPARE(readBytes(folder + QStringLiteral("/a.qpt")), QByteArray("a"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void starterTemplates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("fields");
        QTest::newRow("web page") << "HTML_Page.QPT" << "New Web Page" << 4;
        QTest::newRow("style sheet") << "CSS_Style_Sheet.QPT" << "New Style Sheet" << 3;
        QTest::newRow("console program") << "CPP_Console_Program.QPT" << "New C++ Program" << 3;
    }

    void starterTemplates()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(int, fields);
        const QByteArray shipped = readBytes(QStringLiteral(QP_STARTER_SOURCE "/") + name);
        QCOMPARE(readBytes(QStringLiteral(QP_STARTER_BUILD "/") + name), shipped);
        QVERIFY2(!shipped.endsWith("\r\n"), "the last line has no break: saving adds one");
        QCOMPARE(shipped.count("\r\n"), shipped.count('\n'));
        QCOMPARE(shipped.count("\r\n"), shipped.count('\r'));

        FakeHost host(shipped);
        for (int i = 0; i < fields; ++i)
            host.answers.enqueue(QStringLiteral("value%1").arg(i));
        RunTagPass(host);
        QCOMPARE(host.docTitle, title);
        QVERIFY2(host.answers.isEmpty(), "each field asked once");
        QVERIFY2(!host.doc.contains("QPLPROMPT"), host.doc.constData());
        QCOMPARE(host.transcript.constLast().section(QLatin1Char('|'), 0, 0), QStringLiteral("message"));
        QVERIFY2(host.transcript.constLast().startsWith(QStringLiteral("message|") + title + QStringLiteral(": \r\n")),
                 qPrintable(host.transcript.constLast()));
    }
};

QP_TEST_MAIN(TstTemplateLibrary)
#include "tst_templatelibrary.moc"
