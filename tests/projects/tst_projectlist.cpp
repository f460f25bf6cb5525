#include "platform/fileio.h"
#include "projects/createddate.h"
#include "projects/projectlist.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>

using namespace projects;

class TstProjectList : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString make(const QString &name, const QByteArray &bytes = "x") const
    {
        QDir(m_dir.path()).mkpath(QFileInfo(at(name)).path());
        QFile f(at(name));
        if (!f.open(QIODevice::WriteOnly))
            QTest::qFail(qPrintable("cannot make " + name), __FILE__, __LINE__);
        f.write(bytes);
        return at(name);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static QByteArray line(const QString &path) { return "File: " + path.toUtf8() + "\r\n"; }

private slots:
    void cleanup() { platform::clearFileFaults(); }

    void entryTakesOnlyExistingFiles()
    {
        const QString a = make("keep.txt");
        cFiles entry;
        entry.FileName(a);
        entry.FileName(at("missing.txt"));
        entry.FileName(m_dir.path()); // a folder is no file
        QVERIFY2(entry.FileName() == a, "only an existing file replaces the stored path");
        QVERIFY(!entry.IsActive());
    }

    void titleAndFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folder");
        QTest::newRow("slash") << "split/index.htm" << "index.htm" << "split";
        QTest::newRow("backslash") << "web\\index.htm" << "index.htm" << "web";
        QTest::newRow("backslash before slash") << "w\\x/page.htm" << "page.htm" << "w\\x";
    }
    void titleAndFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, folder);
        cFiles entry;
        entry.FileName(make(name));
        QCOMPARE(entry.FileTitle(), title);
        QCOMPARE(entry.FileDirectory(), at(folder));
        // A bare name has no folder.
        make("bare.txt");
        const QString old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        entry.FileName(QStringLiteral("bare.txt"));
        QDir::setCurrent(old);
        QCOMPARE(entry.FileTitle(), QStringLiteral("bare.txt"));
        QCOMPARE(entry.FileDirectory(), QString());
    }

    void addAndRemove()
    {
        const QString a = make("a.txt"), b = make("b.txt"), c = make("c.txt");
        ProjectList list;
        QCOMPARE(list.add(at("nothing.txt")), ProjectList::AddResult::NoSuchFile);
        QCOMPARE(list.add(m_dir.path()), ProjectList::AddResult::NoSuchFile);
        for (const QString &p : {a, b, c, a})
            QCOMPARE(list.add(p), ProjectList::AddResult::Added);
        QVERIFY(list.file(4).IsActive());
        QVERIFY(list.remove(1));
        QCOMPARE(list.paths(), (QStringList{b, c, a}));
        QVERIFY(!list.remove(0) && !list.remove(4));
        QCOMPARE(list.count(), 3);
    }

    void roundTrip()
    {
        const QString a = make("one.txt"), b = make("two words.htm"), latin = make(QString::fromUtf8("café.txt")),
                      wide = make(QString::fromUtf8("日本.txt"));
        ProjectList list;
        for (const QString &p : {a, b, a, latin, wide})
            QCOMPARE(list.add(p), ProjectList::AddResult::Added);
        platform::FileError err;
        QVERIFY2(list.save(at("round.QPP"), &err), qPrintable(err.description));
        const QByteArray expected = "Quillpad Basic:1.0\r\n" + line(a) + line(b) + line(a) + "File: "
                                    + QFile::encodeName(m_dir.path()) + "/caf\xE9.txt\r\n" + line(wide);
        QCOMPARE(read(at("round.QPP")), expected);
        ProjectList again;
        const ProjectList::LoadResult r = again.load(at("round.QPP"));
        QVERIFY(r.read && r.missingReport.isEmpty());
        QCOMPARE(again.paths(), list.paths());
        QVERIFY(again.save(at("again.QPP"), &err));
        QCOMPARE(read(at("again.QPP")), expected);
    }

    void loadReportsMissingFiles()
    {
        const QString a = make("first.txt"), c = make("third.txt"), gone = at("second.txt");
        ProjectList list;
        ProjectList::LoadResult r = list.load(make("three.QPP", "Quillpad Basic:1.0\r\n" + line(a) + line(gone) + line(c)));
        QVERIFY(r.read);
        QCOMPARE(list.paths(), (QStringList{a, c}));
        QCOMPARE(r.missingReport, gone + QStringLiteral(" Couldn't be found. \r\n"));
        platform::FileError err;
        QVERIFY(list.save(at("three.QPP"), &err));
        QCOMPARE(read(at("three.QPP")), "Quillpad Basic:1.0\r\n" + line(a) + line(c));

        r = list.load(make("empty.QPP", "Quillpad Basic:1.0\r\n"));
        QVERIFY(r.read && r.missingReport.isEmpty());
        QCOMPARE(list.count(), 0);
    }

    void unreadableProjectChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fault"); // an injected read error, or 0
        QTest::newRow("no such file") << "absent.QPP" << 0;
        QTest::newRow("a folder") << "folder.QPP/" << 0;
        QTest::newRow("read error") << "good.QPP" << EIO;
    }
    void unreadableProjectChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, fault);
        make("folder.QPP/inside.txt");
        const QString a = make("kept.txt");
        make("good.QPP", "Quillpad Basic:1.0\r\n");
        ProjectList list;
        list.add(a);
        if (fault)
            platform::injectFileFault(platform::FileStep::Read, fault);
        const ProjectList::LoadResult r = list.load(at(name));
        QVERIFY(!r.read);
        QVERIFY2(!r.error.description.isEmpty(), "the failure needs a description to show");
        QCOMPARE(list.paths(), QStringList{a});
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("open") << int(platform::FileStep::Open);
        QTest::newRow("write") << int(platform::FileStep::Write);
        QTest::newRow("commit") << int(platform::FileStep::Commit);
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(int, step);
        const QString target = make("old.QPP", "old bytes");
        ProjectList list;
        list.add(make("y.txt"));
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        platform::FileError err;
        QVERIFY(!list.save(target, &err));
        QCOMPARE(err.description, QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(read(target), QByteArray("old bytes"));
    }

    void largeProjects()
    {
        QStringList files;
        for (int i = 0; i < 100; ++i)
            files << make(QStringLiteral("many/f%1.txt").arg(i));
        QByteArray bytes = "Quillpad Basic:1.0\r\n";
        QStringList expected;
        for (int i = 0; i < 10000; ++i) {
            expected << files[(i * 37) % 100];
            bytes += line(expected.last());
        }
        ProjectList list;
        QVERIFY(list.load(make("many.QPP", bytes)).read);
        QCOMPARE(list.paths(), expected);
        QCOMPARE(list.rows().size(), 10000);
        platform::FileError err;
        QVERIFY(list.save(at("many2.QPP"), &err));
        QVERIFY2(read(at("many2.QPP")) == bytes, "10,000 entries are written back byte for byte");

        // Past the 16-bit count the rest is left out, and counted.
        for (int i = 0; i < 3; ++i)
            bytes += bytes;
        const ProjectList::LoadResult r = list.load(make("full.QPP", bytes));
        QCOMPARE(list.count(), ProjectList::MaxEntries);
        QCOMPARE(r.leftOut, 80000 - ProjectList::MaxEntries);
        QCOMPARE(list.add(files[0]), ProjectList::AddResult::Full);
    }

    void programGivenAsProject()
    {
        ProjectList list;
        const ProjectList::LoadResult r = list.load(QCoreApplication::applicationFilePath());
        QVERIFY(r.read);
        for (const QString &l : r.missingReport.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            QVERIFY2(l.endsWith(QStringLiteral(" Couldn't be found. ")), qPrintable(l));
    }

    void rows()
    {
        const QString a = make("rows/page.htm"), b = make("rows/vanishing.txt");
        ProjectList list;
        list.add(a);
        list.add(b);
        QFile::remove(b);
        const QList<ProjectRow> rows = list.rows(QLocale(QLocale::English));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].title, QStringLiteral("page.htm"));
        QCOMPARE(rows[0].folder, at("rows"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d [A-Z][a-z][a-z] \\d{4}$")).match(rows[0].created).hasMatch(),
                 qPrintable(rows[0].created));
        QCOMPARE(rows[1].created, QString());
    }

    void createdDateFormat_data()
    {
        QTest::addColumn<QDateTime>("birth");
        QTest::addColumn<QDateTime>("changed");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        const QDateTime dec5(QDate(2026, 12, 5), QTime(23, 59)), jan9(QDate(2024, 1, 9), QTime(8, 0));
        const QLocale en(QLocale::English);
        QTest::newRow("birth time") << dec5 << jan9 << en << "05 Dec 2026";
        QTest::newRow("no birth time") << QDateTime() << jan9 << en << "09 Jan 2024";
        QTest::newRow("nothing known") << QDateTime() << QDateTime() << en << "";
        QTest::newRow("german") << jan9 << QDateTime() << QLocale(QLocale::German) << "09 Jan. 2024";
        QTest::newRow("french") << dec5 << QDateTime() << QLocale(QLocale::French) << QString::fromUtf8("05 déc. 2026");
    }
    void createdDateFormat()
    {
        QFETCH(QDateTime, birth);
        QFETCH(QDateTime, changed);
        QFETCH(QLocale, locale);
        QFETCH(QString, shown);
        QCOMPARE(formatCreatedDate(birth, changed, locale), shown);
    }
};

QP_TEST_MAIN(TstProjectList)
#include "tst_projectlist.moc"
