// The viewer table: the View menu's entries, the Set Viewers dialog, and what a
// viewer is started with (or why it cannot be).
#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "editor/frmviewsettings.h"
#include "editor/viewertable.h"
#include "platform/processlauncher.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

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

} // namespace

class TstViewers : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_script; // "<dir>/my viewers/view er.sh": writes its arguments, each NUL-ended, to m_out
    QString m_out;

    static QString stored(const QString &key)
    {
        return platform::settings().read(viewers::settingsAppName(), "settings", key);
    }
    static void write(const QString &key, const QString &value)
    {
        platform::settings().write(viewers::settingsAppName(), "settings", key, value);
    }
    static void setViewer(int i, const QString &path, const QString &title)
    {
        write(QStringLiteral("path%1").arg(i), path);
        write(QStringLiteral("title%1").arg(i), title);
        viewers::LoadViewerSettings();
    }
    // Stores entries 0, 1, ... as path, title, path, title, ...
    static void storeEntries(const QStringList &values)
    {
        for (int i = 0; i < viewers::Count; ++i)
            setViewer(i, values.value(2 * i), values.value(2 * i + 1));
    }
    static QLineEdit *box(QWidget *dialog, const QString &name)
    {
        return dialog->findChild<QLineEdit *>(name);
    }
    static void click(QWidget *d, const QString &name)
    {
        QTest::mouseClick(d->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    static QAction *viewEntry(FrmDoc *doc, int i) { return doc->action("mnuViewProgram", i); }
    static void view(FrmDoc *w, int index) { AppFixture::trigger(w, "mnuViewProgram", index); }
    // A saved document holding "hello\r\n", open in its own window.
    static FrmDoc *openSaved(AppFixture &app, const QString &name)
    {
        fileops::OpenFile(app.writeFile(name, "hello\r\n"));
        return app.current();
    }

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
        s.write("#!/bin/sh\nprintf '%s\\000' \"$@\" > '" + out + ".part' && mv '" + out + ".part' '" + out +
                "'\n");
        s.close();
        QVERIFY(s.setPermissions(s.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
    }

    void init() // the table is one for the whole program
    {
        storeEntries({});
        QFile::remove(m_out);
    }
    void cleanup() { delete FrmViewSettings::instance(); }

    void entryCaptions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown"); // "" when the entry is off
        const char *rows[][4] = {{"nothing", "", "", ""},
                                 {"title without path", "", "Browser", "Browser"},
                                 {"blank title", "/usr/bin/lynx", "   ", ""},
                                 {"title kept as stored", "x", " Lynx  ", " Lynx  "},
                                 {"ampersand shows as itself", "x", "Tom & Jerry", "Tom && Jerry"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
    }
    void entryCaptions()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        storeEntries({"", "", path, title});
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QCOMPARE(viewEntry(doc, 1)->isEnabled(), !shown.isEmpty());
        QCOMPARE(viewEntry(doc, 0)->text() + "|" + viewEntry(doc, 1)->text() + "|" +
                     viewEntry(doc, 2)->text(),
                 "[UNSET]|" + (shown.isEmpty() ? "[UNSET]" : shown) + "|[UNSET]");
    }

    void dialogShowsTheTableEachTimeAndNeverMindKeepsIt()
    {
        storeEntries({"/usr/bin/firefox", "Firefox", "", "", "lynx", "Lynx"});
        ScriptedPrompts prompts;
        AppFixture app;
        AppFixture::trigger(app.newDocument(), "mnuSetViewer");
        FrmViewSettings *dlg = FrmViewSettings::instance();
        QCOMPARE(box(dlg, "txtProgram1")->text() + box(dlg, "txtTitle3")->text(), "/usr/bin/firefoxLynx");

        // Shown again while open: the same dialog, refilled from the table.
        box(dlg, "txtTitle1")->setText("Not applied");
        app.triggerFrame("mnuViewSettings");
        QCOMPARE(FrmViewSettings::instance(), dlg);
        QCOMPARE(box(dlg, "txtTitle1")->text(), "Firefox");

        // Browse fills its own row, trimmed, and a cancelled one leaves it as it was.
        prompts.answerFile("  /usr/bin/chosen viewer ");
        prompts.answerFile("");
        click(dlg, "cmdBrowse2");
        click(dlg, "cmdBrowse2");
        QCOMPARE(box(dlg, "txtProgram2")->text(), "/usr/bin/chosen viewer");
        QCOMPARE(prompts.asked.value(0).filters,
                 QStringList({"Applications (.exe) (*.exe *.com)", "All (*)"}));
        box(dlg, "txtProgram1")->setText("new");
        click(dlg, "cmdCancel");
        QVERIFY2(!dlg->isVisible(), "Never Mind left the dialog open");
        QCOMPARE(viewers::entry(0).path + "|" + viewers::entry(1).path + stored("path1"),
                 "/usr/bin/firefox|");
    }

    void saveAndApplyStoresTrimmedRowsAndCloses()
    {
        storeEntries({"", "", "/opt/old viewer", "Old", "lynx", "Lynx"});
        // Changed behind the program's back: Apply writes the table's values back.
        write("path1", "stale");
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame("mnuViewSettings");
        FrmViewSettings *dlg = FrmViewSettings::instance();
        QTest::keyClicks(box(dlg, "txtProgram1"), "  /usr/bin/my browser  ");
        QTest::keyClicks(box(dlg, "txtTitle1"), " My Browser ");
        // A row left blank keeps its entry; a row with one box filled replaces it.
        box(dlg, "txtProgram2")->setText("   ");
        box(dlg, "txtTitle2")->clear();
        box(dlg, "txtProgram3")->clear();
        box(dlg, "txtTitle3")->setText("Only a title");
        click(dlg, "cmdApply");

        QVERIFY2(!dlg->isVisible(), "Save and Apply left the dialog open");
        const QStringList expected{"/usr/bin/my browser", "My Browser", "/opt/old viewer", "Old", "",
                                   "Only a title"};
        QStringList inTable, inStore;
        for (int i = 0; i < viewers::Count; ++i) {
            inTable << viewers::entry(i).path << viewers::entry(i).title;
            inStore << stored(QStringLiteral("path%1").arg(i)) << stored(QStringLiteral("title%1").arg(i));
        }
        QCOMPARE(inTable, expected);
        QCOMPARE(inStore, expected);
        QCOMPARE(viewEntry(app.newDocument(), 0)->text(), "My Browser");

        // A program that cannot start is told, with the reason.
        setViewer(0, m_dir.filePath("no such viewer"), "Broken");
        view(openSaved(app, "intact.txt"), 0);
        QCOMPARE(prompts.messages().size(), 1);
        const QString text = prompts.messages()[0].text;
        const QString lead =
            QStringLiteral("The program \"%1\" of the viewer \"Broken\" could not be started.\r\n")
                .arg(m_dir.filePath("no"));
        QVERIFY2(text.startsWith(lead) && text.size() > lead.size(), qPrintable(text));
    }
    void viewerGetsTheDocumentPathWhole_data()
    {
        QTest::addColumn<QString>("entry"); // %1 stands for the script
        QTest::addColumn<QString>("docName");
        QTest::addColumn<QStringList>("ownArguments");
        QTest::newRow("blanks, leading dash") << "  %1 "
                                              << "-rf my  page.html" << QStringList();
        const QString shell = "it's \"q\"; touch pwned1; $(touch pwned2) `touch pwned3`.txt";
        QTest::newRow("quotes and shell syntax") << "%1" << shell << QStringList();
        const QString own = "\"%1\" --new \"a b\" 'c' \"$(touch pwned4)\" ;";
        QTest::newRow("own arguments")
            << own << "x y.txt" << QStringList{"--new", "a b", "'c'", "$(touch pwned4)", ";"};
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
        QCOMPARE(
            prompts.asked.value(0).caption + "|" + prompts.asked.value(0).text,
            "Document Not Saved|You must save your document before you can preview it using Tom & Jerry");
        QCOMPARE(prompts.asked.value(1).kind, ScriptedPrompts::Kind::Beep);

        app.record(w->slot()).Path = "-n.txt";
        view(w, 1);
        QCOMPARE(prompts.asked.value(2).text, "No program is set for the viewer \"Browser\".\r\n"
                                              "Choose one with Options > Set Viewers.");
        view(w, 2); // a relative path goes out absolute, never as an option
        QCOMPARE(launcher.calls, (QList<QStringList>{{"/usr/bin/new", QDir::current().filePath("-n.txt")}}));
        QVERIFY2(app.record(w->slot()).Changed, "launching a viewer cleared the changed flag");
    }
};

QP_TEST_MAIN(TstViewers)
#include "tst_viewers.moc"
