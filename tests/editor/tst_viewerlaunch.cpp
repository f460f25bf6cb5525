#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "editor/viewercommand.h"
#include "editor/viewertable.h"
#include "platform/processlauncher.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QDir>
#include <QFile>

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
    const QString app = viewers::settingsAppName();
    platform::settings().write(app, QStringLiteral("settings"), QStringLiteral("path") + QString::number(i), path);
    platform::settings().write(app, QStringLiteral("settings"), QStringLiteral("title") + QString::number(i), title);
    viewers::LoadViewerSettings();
}

} // namespace

class TstViewerLaunch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_script;  // "<dir>/my viewers/view er.sh": writes its arguments to m_out
    QString m_out;
    QString m_plain;   // an existing file that is not executable

    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }

    QString writeDocument(const QString &name)
    {
        const QString p = path(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            qWarning("cannot write %s", qPrintable(p));
        f.write("hello\r\n");
        return p;
    }

    // The arguments the script received, once it has written them.
    QStringList received()
    {
        QStringList args;
        if (!QFile::exists(m_out))
            return {QStringLiteral("<viewer never ran>")};
        QByteArray bytes = AppFixture::readFile(m_out);
        if (bytes.endsWith('\0'))
            bytes.chop(1);
        else if (bytes.isEmpty())
            return args;
        for (const QByteArray &a : bytes.split('\0'))
            args << QString::fromLocal8Bit(a);
        return args;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Anything a shell would run from a path would land here.
        QDir::setCurrent(m_dir.path());
        QDir().mkpath(path(QStringLiteral("my viewers")));
        m_script = path(QStringLiteral("my viewers/view er.sh"));
        m_out = path(QStringLiteral("args.out"));
        QFile s(m_script);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; done > '" + QFile::encodeName(m_out)
                + ".part' && mv '" + QFile::encodeName(m_out) + ".part' '" + QFile::encodeName(m_out) + "'\n");
        s.close();
        QVERIFY(QFile::setPermissions(m_script, QFile::permissions(m_script) | QFileDevice::ExeOwner
                                                    | QFileDevice::ExeGroup | QFileDevice::ExeOther));
        m_plain = writeDocument(QStringLiteral("not-a-program"));
    }

    void init()
    {
        QFile::remove(m_out);
        for (int i = 0; i < viewers::Count; ++i)
            setViewer(i, QString(), QString());
    }

    void commandFromEntry_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("command");
        const QString doc = QStringLiteral("/home/u/my page.html");
        QTest::newRow("no program") << QString() << doc << QStringList();
        QTest::newRow("blanks only") << QStringLiteral("   ") << doc << QStringList();
        QTest::newRow("whole path with blanks") << m_script << doc << QStringList{m_script, doc};
        QTest::newRow("blanks around the path") << QStringLiteral("  ") + m_script + QStringLiteral(" ") << doc
                                                << QStringList{m_script, doc};
        QTest::newRow("name on PATH") << QStringLiteral("sh") << doc << QStringList{QStringLiteral("sh"), doc};
        QTest::newRow("command line") << QStringLiteral("lynx -dump -width=80") << doc
                                      << QStringList{QStringLiteral("lynx"), QStringLiteral("-dump"),
                                                     QStringLiteral("-width=80"), doc};
        QTest::newRow("quoted program with arguments")
            << QStringLiteral("\"") + m_script + QStringLiteral("\" --new \"two words\" 'single'") << doc
            << QStringList{m_script, QStringLiteral("--new"), QStringLiteral("two words"), QStringLiteral("'single'"), doc};
        QTest::newRow("shell syntax stays literal")
            << QStringLiteral("viewer $(reboot) ; rm") << doc
            << QStringList{QStringLiteral("viewer"), QStringLiteral("$(reboot)"), QStringLiteral(";"),
                           QStringLiteral("rm"), doc};
        QTest::newRow("missing program split at blanks")
            << QStringLiteral("/opt/no such/viewer") << doc
            << QStringList{QStringLiteral("/opt/no"), QStringLiteral("such/viewer"), doc};
        QTest::newRow("document path kept whole")
            << QStringLiteral("lynx") << QStringLiteral("/tmp/a b/it's \"q\"; $(x) `y`.txt")
            << QStringList{QStringLiteral("lynx"), QStringLiteral("/tmp/a b/it's \"q\"; $(x) `y`.txt")};
        QTest::newRow("relative document made absolute")
            << QStringLiteral("lynx") << QStringLiteral("-rf.txt")
            << QStringList{QStringLiteral("lynx"), QDir::currentPath() + QStringLiteral("/-rf.txt")};
    }
    void commandFromEntry()
    {
        QFETCH(QString, entry);
        QFETCH(QString, document);
        QFETCH(QStringList, command);
        const viewers::ViewerCommand cmd = viewers::buildViewerCommand(entry, document);
        if (command.isEmpty()) {
            QCOMPARE(cmd.program, QString());
            return;
        }
        QCOMPARE(QStringList{cmd.program} + cmd.arguments, command);
    }

    void viewerReceivesTheDocumentPathWhole_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("docName");
        QTest::addColumn<QStringList>("ownArguments");
        QTest::newRow("plain") << QString() << QStringLiteral("page.html") << QStringList();
        QTest::newRow("blanks") << QString() << QStringLiteral("my page  two.html") << QStringList();
        QTest::newRow("quotes") << QString() << QStringLiteral("it's \"quoted\".txt") << QStringList();
        QTest::newRow("semicolon") << QString() << QStringLiteral("a; touch pwned1.txt") << QStringList();
        QTest::newRow("command substitution") << QString() << QStringLiteral("$(touch pwned2).txt") << QStringList();
        QTest::newRow("backticks") << QString() << QStringLiteral("`touch pwned3`.txt") << QStringList();
        QTest::newRow("leading dash") << QString() << QStringLiteral("-rf --help.txt") << QStringList();
        QTest::newRow("entry with its own arguments")
            << QStringLiteral("\"%1\" --new-window \"a b\"") << QStringLiteral("x y.txt")
            << QStringList{QStringLiteral("--new-window"), QStringLiteral("a b")};
        QTest::newRow("entry with shell syntax")
            << QStringLiteral("\"%1\" \"$(touch pwned4)\" ;") << QStringLiteral("z.txt")
            << QStringList{QStringLiteral("$(touch pwned4)"), QStringLiteral(";")};
    }
    void viewerReceivesTheDocumentPathWhole()
    {
        QFETCH(QString, entry);
        QFETCH(QString, docName);
        QFETCH(QStringList, ownArguments);
        setViewer(1, entry.isEmpty() ? m_script : entry.arg(m_script), QStringLiteral("Script"));
        const QString doc = writeDocument(docName);
        ScriptedPrompts prompts;
        AppFixture app;
        fileops::OpenFile(doc);
        FrmDoc *w = app.current();
        QVERIFY(w);
        QCOMPARE(app.record(w->slot()).Path, doc);
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 1);
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_out), 20000);
        QCOMPARE(received(), ownArguments + QStringList{doc});
        const QStringList pwned = QDir(m_dir.path()).entryList({QStringLiteral("pwned*")});
        QVERIFY2(pwned.isEmpty(), qPrintable(pwned.join(QLatin1Char(' '))));
    }

    void relativeDocumentPathReachesTheViewerAbsolute()
    {
        setViewer(0, m_script, QStringLiteral("Script"));
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *w = app.newDocument();
        app.record(w->slot()).Path = QStringLiteral("-n.txt");
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_out), 20000);
        QCOMPARE(received(), QStringList{QDir::currentPath() + QStringLiteral("/-n.txt")});
    }

    void unsavedDocumentIsNotPreviewed()
    {
        setViewer(2, QStringLiteral("/usr/bin/firefox"), QStringLiteral("Firefox"));
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *w = app.newDocument();
        app.record(w->slot()).Path = QStringLiteral("   ");
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 2);
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[0].kind, ScriptedPrompts::Kind::Message);
        QCOMPARE(prompts.asked[0].text,
                 QStringLiteral("You must save your document before you can preview it using Firefox"));
        QCOMPARE(prompts.asked[0].caption, QStringLiteral("Document Not Saved"));
        QCOMPARE(prompts.asked[0].icon, platform::Icon::Exclamation);
        QCOMPARE(prompts.asked[0].buttons, platform::Buttons::Ok);
        QCOMPARE(prompts.asked[1].kind, ScriptedPrompts::Kind::Beep);
        QVERIFY2(launcher.calls.isEmpty(), "a viewer was started for an unsaved document");
    }

    void messageUsesTheWindowsOwnCaption()
    {
        setViewer(0, QStringLiteral("/usr/bin/x"), QStringLiteral("Tom & Jerry"));
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *w = app.newDocument();
        // Renamed after the window built its menus: the window still shows the old name.
        setViewer(0, QStringLiteral("/usr/bin/y"), QStringLiteral("Renamed"));
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 0);
        QCOMPARE(prompts.messages().value(0).text,
                 QStringLiteral("You must save your document before you can preview it using Tom & Jerry"));
    }

    void launchUsesTheCurrentPathAndKeepsTheDocument()
    {
        setViewer(0, QStringLiteral("/usr/bin/old"), QStringLiteral("Viewer"));
        const QString doc = writeDocument(QStringLiteral("kept.txt"));
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        AppFixture app;
        fileops::OpenFile(doc);
        FrmDoc *w = app.current();
        QTest::keyClicks(w->textControl(), QStringLiteral("more"));
        setViewer(0, QStringLiteral("/usr/bin/new"), QStringLiteral("Viewer"));
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 0);
        const QList<QStringList> expected{QStringList{QStringLiteral("/usr/bin/new"), doc}};
        QCOMPARE(launcher.calls, expected);
        QVERIFY2(app.record(w->slot()).Changed, "launching a viewer cleared the changed flag");
        QCOMPARE(AppFixture::readFile(doc), QByteArray("hello\r\n"));
        QVERIFY(prompts.asked.isEmpty());
    }

    void titleWithoutPathTellsTheUser()
    {
        setViewer(1, QString(), QStringLiteral("Browser"));
        const QString doc = writeDocument(QStringLiteral("t.txt"));
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        AppFixture app;
        fileops::OpenFile(doc);
        FrmDoc *w = app.current();
        QAction *entry = w->action(QStringLiteral("mnuViewProgram"), 1);
        QVERIFY2(entry->isEnabled(), "an entry with a title is disabled");
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 1);
        QVERIFY(launcher.calls.isEmpty());
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("No program is set for the viewer \"Browser\".\r\n"
                                                            "Choose one with Options > Set Viewers."));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
    }

    void programThatCannotStart_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("program");
        QTest::newRow("not executable") << m_plain << m_plain;
        QTest::newRow("missing") << QStringLiteral("/nonexistent/viewer --flag") << QStringLiteral("/nonexistent/viewer");
        QTest::newRow("missing with blanks") << path(QStringLiteral("no such viewer")) << path(QStringLiteral("no"));
    }
    void programThatCannotStart()
    {
        QFETCH(QString, entry);
        QFETCH(QString, program);
        setViewer(0, entry, QStringLiteral("Broken"));
        const QString doc = writeDocument(QStringLiteral("intact.txt"));
        ScriptedPrompts prompts;
        AppFixture app;
        fileops::OpenFile(doc);
        FrmDoc *w = app.current();
        QTest::keyClicks(w->textControl(), QStringLiteral("x"));
        const QByteArray before = w->textControl()->text();
        AppFixture::trigger(w, QStringLiteral("mnuViewProgram"), 0);
        QCOMPARE(prompts.messages().size(), 1);
        const auto msg = prompts.messages()[0];
        const QString lead = QStringLiteral("The program \"%1\" of the viewer \"Broken\" could not be started.\r\n")
                                 .arg(program);
        QVERIFY2(msg.text.startsWith(lead) && msg.text.size() > lead.size(), qPrintable(msg.text));
        QCOMPARE(msg.icon, platform::Icon::Exclamation);
        QCOMPARE(w->textControl()->text(), before);
        QVERIFY(app.record(w->slot()).Changed);
        QCOMPARE(app.record(w->slot()).Path, doc);
        QVERIFY(w->isVisible());
        QCOMPARE(app.current(), w);
        QVERIFY(!QFile::exists(m_out));
    }
};

QP_TEST_MAIN(TstViewerLaunch)
#include "tst_viewerlaunch.moc"
