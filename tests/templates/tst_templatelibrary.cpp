// The template folder without windows: previews, installed names, a
// failed copy, and the starter templates that ship with the program.
#include "fakehost.h"
#include "platform/fileio.h"
#include "templates/templatelibrary.h"
#include "testfiles.h"
#include "testmain.h"

#include <cerrno>

using namespace templates;

class TstTemplateLibrary : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.path() + '/' + name; }

private slots:
    void cleanup() { platform::clearFileFaults(); }

    void preview_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("preview");
        QTest::addColumn<int>("fault"); // errno of a failed read, or 0
        QTest::newRow("70 whole") << QByteArray(70, 'a') << QByteArray(70, 'a') << 0;
        QTest::newRow("71 cut to 70") << QByteArray(70, 'a') + "b" << QByteArray(70, 'a') << 0;
        QTest::newRow("empty") << QByteArray() << QByteArray() << 0;
        QTest::newRow("every byte value") << everyByte() << everyByte().left(70) << 0;
        QTest::newRow("unreadable") << QByteArray("text") << QByteArray() << EIO;
    }

    void preview()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, preview);
        QFETCH(int, fault);
        writeBytes(path(QStringLiteral("p.qpt")), content);
        if (fault)
            platform::injectFileFault(platform::FileStep::Read, fault);
        QCOMPARE(PreviewBytes(path(QStringLiteral("p.qpt"))), preview);
        QCOMPARE(PreviewBytes(m_dir.path()), QByteArray());
    }

    void installedName_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "/home/ann/My Page.qpt"
                               << "My_Page.qpt";
        QTest::newRow("backslash") << "C:\\Templates\\a b c.QPT"
                                   << "a_b_c.QPT";
        QTest::newRow("no separator") << "plain name.qpt"
                                      << "plain_name.qpt";
        QTest::newRow("ends in separator") << "/home/ann/"
                                           << "";
    }

    void installedName()
    {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        QCOMPARE(InstalledName(entry), name);
    }

    void failedInstallLeavesTheFolder_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("step"); // the failing step, or -1
        QTest::newRow("missing source") << "gone.qpt" << -1;
        QTest::newRow("source is a folder") << "sub" << -1;
        QTest::newRow("no name") << "sub/" << -1;
        QTest::newRow("commit fails") << "t.qpt" << int(platform::FileStep::Commit);
    }

    void failedInstallLeavesTheFolder()
    {
        QFETCH(QString, source);
        QFETCH(int, step);
        QTemporaryDir target;
        writeBytes(target.path() + "/t.qpt", "old");
        QDir(target.path()).mkdir(QStringLiteral("way.qpt"));
        writeBytes(path(QStringLiteral("t.qpt")), "new content");
        writeBytes(path(QStringLiteral("way.qpt")), "x");
        QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
        const QMap<QString, QByteArray> before = snapshot(target.path());
        if (step >= 0)
            platform::injectFileFault(platform::FileStep(step), ENOSPC);
        platform::FileError err;
        QVERIFY2(!InstallTemplate(path(source), target.path(), &err), "the copy must fail");
        QVERIFY2(!err.description.isEmpty(), "the failure is described");
        QCOMPARE(snapshot(target.path()), before);
    }

    void starterTemplates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("fields");
        QTest::newRow("web page") << "HTML_Page.QPT"
                                  << "New Web Page" << 4;
        QTest::newRow("style sheet") << "CSS_Style_Sheet.QPT"
                                     << "New Style Sheet" << 3;
        QTest::newRow("console program") << "CPP_Console_Program.QPT"
                                         << "New C++ Program" << 3;
    }

    void starterTemplates()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(int, fields);
        const QByteArray shipped = readBytes(QStringLiteral(QP_STARTER_SOURCE "/") + name);
        QCOMPARE(readBytes(QStringLiteral(QP_STARTER_BUILD "/") + name), shipped);
        QVERIFY2(!shipped.endsWith("\r\n"), "saving adds the last line break");
        QCOMPARE(shipped.count("\r\n"), shipped.count('\n'));
        QCOMPARE(shipped.count("\r\n"), shipped.count('\r'));

        FakeHost host(shipped);
        for (int i = 0; i < fields; ++i)
            host.answers << QStringLiteral("value%1").arg(i);
        RunTagPass(host);
        QCOMPARE(host.docTitle, title);
        QVERIFY2(host.answers.isEmpty(), "each field is asked once");
        QVERIFY2(!host.doc.contains("QPLPROMPT"), host.doc.constData());
        QVERIFY2(host.transcript.constLast().startsWith("message|" + title + ": \r\n"),
                 qPrintable(host.transcript.constLast()));
    }
};

QP_TEST_MAIN(TstTemplateLibrary)
#include "tst_templatelibrary.moc"
