#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "editor/viewertable.h"
#include "platform/processlauncher.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

namespace {

// Records what would have been started, without starting anything.
struct RecordingLauncher : platform::ProcessLauncher
{
    RecordingLauncher() { platform::setProcessLauncher(this); }
    ~RecordingLauncher() override { platform::setProcessLauncher(nullptr); }
    bool startDetached(const QString &program, const QStringList &arguments, QString *) override
    {
        calls << (QStringList{program} + arguments);
        return true;
    }
    QList<QStringList> calls;
};

void setViewer(int i, const QString &path, const QString &title)
{
    platform::settings().write(viewers::settingsAppName(), "settings", QStringLiteral("path%1").arg(i), path);
    platform::settings().write(viewers::settingsAppName(), "settings", QStringLiteral("title%1").arg(i), title);
    viewers::LoadViewerSettings();
}

// A saved document holding "hello\r\n", open in its own window.
FrmDoc *openSaved(AppFixture &app, const QString &name)
{
    fileops::OpenFile(app.writeFile(name, "hello\r\n"));
    return app.current();
}

void view(FrmDoc *w, int index) { AppFixture::trigger(w, "mnuViewProgram", index); }

} // namespace

class TstViewerLaunch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_script; // "<dir>/my viewers/view er.sh": writes its arguments, each NUL-ended, to m_out
    QString m_out;

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path()); // anything a shell ran from a path would land here
        QVERIFY(QDir().mkpath(m_dir.filePath("my viewers")));
        m_script = m_dir.filePath("my viewers/view er.sh");
        m_out = m_dir.filePath("args.out");
        const QByteArray out = QFile::encodeName(m_out);
        QFile s(m_script);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write("#!/bin/sh\nprintf '%s\\000' \"$@\" > '" + out + ".part' && mv '" + out + ".part' '" + out + "'\n");
        s.close();
        QVERIFY(s.setPermissions(s.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
    }

    void init() { QFile::remove(m_out); }

    void viewerGetsTheDocumentPathWhole_data()
    {
        QTest::addColumn<QString>("entry"); // %1 stands for the script
        QTest::addColumn<QString>("docName");
        QTest::addColumn<QStringList>("ownArguments");
        QTest::newRow("blanks, leading dash") << "  %1 " << "-rf my  page.html" << QStringList();
        QTest::newRow("quotes and shell syntax")
            << "%1" << "it's \"q\"; touch pwned1; $(touch pwned2) `touch pwned3`.txt" << QStringList();
        QTest::newRow("entry with its own arguments")
            << "\"%1\" --new \"a b\" 'c' \"$(touch pwned4)\" ;" << "x y.txt"
            << QStringList{"--new", "a b", "'c'", "$(touch pwned4)", ";"};
    }
    void viewerGetsTheDocumentPathWhole()
    {
        QFETCH(QString, entry);
        QFETCH(QString, docName);
        QFETCH(QStringList, ownArguments);
        setViewer(1, entry.arg(m_script), "Script");
        ScriptedPrompts prompts;
        AppFixture app;
        view(openSaved(app, docName), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_out), 20000);
        QStringList received;
        for (const QByteArray &a : AppFixture::readFile(m_out).chopped(1).split('\0'))
            received << QFile::decodeName(a);
        QCOMPARE(received, ownArguments + QStringList{app.path(docName)});
        const QStringList pwned = QDir(m_dir.path()).entryList({"pwned*"});
        QVERIFY2(pwned.isEmpty(), qPrintable(pwned.join(' ')));
    }

    void launchWithoutAPathOrAProgram()
    {
        setViewer(1, "   ", "Browser");
        setViewer(2, "/usr/bin/old", "Tom & Jerry");
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *w = app.newDocument();
        QTest::keyClicks(w->textControl(), "more");
        // Changed after the window built its menus: the launch takes the new program,
        // but names the viewer as the window shows it.
        setViewer(2, "/usr/bin/new", "Renamed");
        app.record(w->slot()).Path = "   ";
        view(w, 2);
        QCOMPARE(prompts.asked.value(0).text,
                 "You must save your document before you can preview it using Tom & Jerry");
        QCOMPARE(prompts.asked.value(0).caption, "Document Not Saved");
        QCOMPARE(prompts.asked.value(0).icon, platform::Icon::Exclamation);
        QCOMPARE(prompts.asked.value(1).kind, ScriptedPrompts::Kind::Beep);

        app.record(w->slot()).Path = "-n.txt";
        view(w, 1);
        QCOMPARE(prompts.asked.value(2).text, "No program is set for the viewer \"Browser\".\r\n"
                                              "Choose one with Options > Set Viewers.");
        view(w, 2); // a relative path goes out absolute, never as an option
        QCOMPARE(launcher.calls, (QList<QStringList>{{"/usr/bin/new", QDir::current().filePath("-n.txt")}}));
        QVERIFY2(app.record(w->slot()).Changed, "launching a viewer cleared the changed flag");
    }

    void programThatCannotStart()
    {
        setViewer(0, m_dir.filePath("no such viewer"), "Broken");
        ScriptedPrompts prompts;
        AppFixture app;
        view(openSaved(app, "intact.txt"), 0);
        QCOMPARE(prompts.messages().size(), 1);
        const QString text = prompts.messages().value(0).text;
        const QString lead = QStringLiteral("The program \"%1\" of the viewer \"Broken\" could not be started.\r\n")
                                 .arg(m_dir.filePath("no"));
        QVERIFY2(text.startsWith(lead) && text.size() > lead.size(), qPrintable(text));
        QCOMPARE(prompts.messages()[0].icon, platform::Icon::Exclamation);
    }
};

QP_TEST_MAIN(TstViewerLaunch)
#include "tst_viewerlaunch.moc"
