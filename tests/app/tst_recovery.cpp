// Crash recovery through the real windows, the journals' life with their
// documents, and the question before a save replaces a file that another
// program changed.

#include "app/frmrecover.h"
#include "app/mdimain.h"
#include "app/startup.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QDeadlineTimer>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <utime.h>

using platform::Answer;

namespace {

const QString kClose = QStringLiteral("Would you like to save the changes you may have made to your work?");

QString changedQuestion(const QString &path)
{
    return QStringLiteral(
               "The file \"%1\" has been changed by another program since you opened or last saved "
               "it.\r\nSave anyway and replace those changes with this document?")
        .arg(path);
}

QString deletedQuestion(const QString &path)
{
    return QStringLiteral("The file \"%1\" has been deleted or moved by another program since you opened or "
                          "last saved it.\r\nSave this document there anyway?")
        .arg(path);
}

recovery::Keeper &keeper()
{
    return recovery::Keeper::instance();
}

recovery::Journal journalOf(int slot)
{
    keeper().waitForWrites();
    recovery::Journal j;
    const QString file = keeper().journalFile(slot);
    if (file.isEmpty() || !recovery::readJournal(file, &j))
        j.title = QStringLiteral("<no journal>");
    return j;
}

// Moves a file's modification time on by a few seconds, as a later write would.
void ageForward(const QString &path)
{
    struct stat st;
    ::stat(QFile::encodeName(path).constData(), &st);
    struct utimbuf t
    {
        st.st_atime, st.st_mtime + 5
    };
    ::utime(QFile::encodeName(path).constData(), &t);
}

// A copy of the program typing into its windows, killed once it has journaled them.
class Driver
{
public:
    explicit Driver(const QStringList &args)
    {
        m_process.start(QStringLiteral(QP_DRIVER),
                        QStringList{QStringLiteral("--app"), testsupport::root() + QStringLiteral("/app/")} +
                            args);
        m_process.waitForStarted();
        const QDeadlineTimer deadline(60000);
        while (m_process.state() == QProcess::Running && !m_process.canReadLine() && !deadline.hasExpired())
            m_process.waitForReadyRead(1000);
        m_line = m_process.readLine().trimmed();
    }
    ~Driver() { kill(); }
    bool journaled() const { return m_line.startsWith("journaled "); }
    // The driver's next line of output ("" when none came in time).
    QByteArray nextLine()
    {
        const QDeadlineTimer deadline(30000);
        while (m_process.state() == QProcess::Running && !m_process.canReadLine() && !deadline.hasExpired())
            m_process.waitForReadyRead(1000);
        return m_process.readLine().trimmed();
    }
    void signal(int sig) { ::kill(pid_t(m_process.processId()), sig); }
    bool stillRunningAfter(int ms) { return !m_process.waitForFinished(ms); }
    QString folder() const { return QString::fromLocal8Bit(m_line.mid(m_line.indexOf(' ') + 1)); }
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill(); // SIGKILL: nothing of the program runs any more
            m_process.waitForFinished();
        }
    }
    QByteArray line() const { return m_line; }
    bool endedByItself()
    {
        return m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QByteArray m_line;
};

// Runs fn on the recovery dialog once it shows.
void whenDialogShows(std::function<void(FrmRecover *)> fn)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, fn] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dlg = qobject_cast<FrmRecover *>(w); dlg && dlg->isVisible()) {
                poll->stop();
                poll->deleteLater();
                fn(dlg);
                return;
            }
    });
    poll->start();
}

void click(FrmRecover *dlg, const char *button)
{
    dlg->findChild<QPushButton *>(QLatin1String(button))->click();
}

} // namespace

class TstRecovery : public QObject
{
    Q_OBJECT
    std::optional<ScriptedPrompts> m_prompts;
    std::optional<AppFixture> m_app;
    MdiMain *m_started = nullptr;

    // The program starting again, as after a crash.
    MdiMain *startAgain()
    {
        m_started = Startup(QString());
        return m_started;
    }
    FrmDoc *startedDoc(int slot) { return dynamic_cast<FrmDoc *>(DocumentRegistry::instance().window(slot)); }

private slots:
    void init()
    {
        m_prompts.emplace();
        m_app.emplace();
        QVERIFY(keeper().start(recovery::defaultRoot()));
        keeper().setTimerRunning(false); // the tests tick by hand
    }

    void cleanup()
    {
        DocumentRegistry &reg = DocumentRegistry::instance();
        if (m_started) {
            for (int slot : reg.slotsWithWindows())
                reg.record(slot).Changed = reg.record(slot).InUse = false;
            delete m_started;
            m_started = nullptr;
        }
        m_app.reset();
        m_prompts.reset();
        keeper().shutdown();
        QDir(recovery::defaultRoot()).removeRecursively();
        QFile::remove(QDir::cleanPath(recovery::defaultRoot())); // where a test put a file in its place
    }

    void journalsFollowTheirDocument_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("saved") << "save";
        QTest::newRow("closed without saving") << "close";
    }

    void journalsFollowTheirDocument()
    {
        QFETCH(QString, end);
        FrmDoc *d = m_app->newDocument();
        keeper().tick();
        QCOMPARE(keeper().journalFile(1), QString()); // nothing unsaved, nothing journaled
        QTest::keyClicks(d->textControl(), "abc");
        keeper().tick();
        QCOMPARE(journalOf(1).text, QByteArray("abc"));
        QCOMPARE(journalOf(1).title, QStringLiteral("Untitled"));
        // While the user keeps typing, a journal is written every third tick.
        QTest::keyClicks(d->textControl(), "d");
        keeper().tick();
        keeper().tick();
        QCOMPARE(journalOf(1).text, QByteArray("abc"));
        keeper().tick();
        QCOMPARE(journalOf(1).text, QByteArray("abcd"));
        const QString file = keeper().journalFile(1);

        if (end == QLatin1String("save")) {
            m_prompts->answerFile(m_app->path(QStringLiteral("saved.txt")));
            AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        } else {
            m_prompts->answer(Answer::No);
            AppFixture::trigger(d, QStringLiteral("mnuFileClose"));
        }
        keeper().tick();
        keeper().waitForWrites();
        QVERIFY2(!QFileInfo::exists(file), qPrintable(end));
        QVERIFY(m_prompts->scriptUsedUp());
    }

    // A journal that cannot be written is tried again; the user is told once
    // that unsaved work is not protected, and once when it is again.
    void aJournalThatCouldNotBeWrittenIsTriedAgain()
    {
        FrmDoc *d = m_app->newDocument();
        QTest::keyClicks(d->textControl(), "keep me");
        const QString folder = keeper().folder().path();
        QVERIFY(QDir(folder).removeRecursively());
        m_app->writeFile(QStringLiteral("unused"),
                         QByteArray()); // nothing can be written where a file stands
        QVERIFY(QFile::copy(m_app->path(QStringLiteral("unused")), folder));
        keeper().tick();
        keeper().waitForWrites();
        QVERIFY(!QFileInfo(keeper().journalFile(1)).isFile());
        keeper().tick(); // sees the failure
        QCOMPARE(m_prompts->messages().size(), 1);
        const ScriptedPrompts::Asked told = m_prompts->messages()[0];
        QVERIFY2(
            told.text.startsWith(
                QStringLiteral("Quillpad cannot keep a copy of your unsaved work in \"%1\": ").arg(folder)) &&
                told.text.endsWith(
                    QStringLiteral(".\r\nIf the program ends unexpectedly, unsaved changes will "
                                   "be lost; save your documents to keep them.")),
            qPrintable(told.text));
        QCOMPARE(told.icon, platform::Icon::Exclamation);
        QCOMPARE(d->panelText(FrmDoc::Panel::Status), QStringLiteral("Unsaved Changes Made (not protected)"));
        for (int i = 0; i < 2 * recovery::Keeper::kTicksBetweenWrites; ++i)
            keeper().tick();
        QCOMPARE(m_prompts->messages().size(), 1); // said once, not at every try

        QFile::remove(folder);
        QDir().mkpath(folder);
        for (int i = 0; i < recovery::Keeper::kTicksBetweenWrites; ++i)
            keeper().tick();
        QCOMPARE(journalOf(1).text, QByteArray("keep me"));
        keeper().tick();
        QCOMPARE(m_prompts->messageTexts().value(1),
                 QStringLiteral("Quillpad keeps a copy of your unsaved work in \"%1\" again.").arg(folder));
        QCOMPARE(d->panelText(FrmDoc::Panel::Status), QStringLiteral("Unsaved Changes Made"));
        QCOMPARE(m_prompts->messages().size(), 2);
    }

    // A save whose ledger note cannot be written still saves, and says that
    // unsaved work is not protected, as a failed journal does.
    void aLedgerNoteThatCannotBeWrittenIsSaid()
    {
        const QString path = m_app->writeFile(QStringLiteral("doc.txt"), "a\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        const QString folder = keeper().folder().path();
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QFile::copy(path, folder));
        QTest::keyClicks(d->textControl(), "b");
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), QByteArray("ba\r\n"));
        QCOMPARE(m_prompts->messages().size(), 1);
        QVERIFY2(
            m_prompts->messages()[0].text.startsWith(
                QStringLiteral("Quillpad cannot keep a copy of your unsaved work in \"%1\": ").arg(folder)),
            qPrintable(m_prompts->messages()[0].text));
        QFile::remove(folder);
        QDir().mkpath(folder);
    }

    // No recovery folder can be made at all (a file stands in its place):
    // said at once, and tried again while there is unsaved work.
    void noRecoveryFolderIsSaidAndTriedAgain()
    {
        keeper().shutdown();
        const QString root = recovery::defaultRoot();
        QDir(root).removeRecursively();
        QFile blocker(QDir::cleanPath(root));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!keeper().start(root));
        QCOMPARE(m_prompts->messageTexts(),
                 QStringList(QStringLiteral("Quillpad cannot keep a copy of your unsaved work in "
                                            "\"%1\": Not a directory.\r\nIf the program ends "
                                            "unexpectedly, unsaved changes will be lost; save your "
                                            "documents to keep them.")
                                 .arg(root)));
        keeper().setTimerRunning(false);
        QTest::keyClicks(m_app->newDocument()->textControl(), "x");
        QFile::remove(QDir::cleanPath(root));
        for (int i = 0; i < recovery::Keeper::kTicksBetweenWrites; ++i)
            keeper().tick();
        QVERIFY(keeper().isRunning());
        QCOMPARE(m_prompts->messageTexts().value(1),
                 QStringLiteral("Quillpad keeps a copy of your unsaved work in \"%1\" again.")
                     .arg(keeper().folder().path()));
    }

    // Journals that cannot be read are listed with their size and place;
    // Restore opens their bytes, Discard deletes only what is ticked.
    void unreadableJournalsAreOfferedNeverDropped()
    {
        m_app.reset();
        const QString root = recovery::defaultRoot();
        const QString dead = root + QStringLiteral("999995-dead");
        QDir().mkpath(dead);
        const QByteArray cut(
            "Quillpad recovery journal 1\ntitle: x\npath: \ndisk: none\nwritten: 0\nlength: 9\n\nabc\r\n");
        const QByteArray noise("\x01\xff\0zz", 5);
        {
            QFile f(dead + QStringLiteral("/1-1.qpj"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cut);
        }
        {
            QFile f(dead + QStringLiteral("/2-1.qpj"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(noise);
        }
        const QString kept = recovery::unreadableFolder(root) + QStringLiteral("/999995-dead/");

        QStringList rows;
        whenDialogShows([&rows](FrmRecover *dlg) {
            auto *list = dlg->findChild<QListWidget *>(QStringLiteral("lstDocuments"));
            for (int i = 0; i < list->count(); ++i)
                rows << list->item(i)->text();
            list->item(1)->setCheckState(Qt::Unchecked);
            click(dlg, "cmdRestore");
        });
        startAgain();
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows.contains(QStringLiteral("Unreadable journal (%1 bytes, kept as %2)")
                                   .arg(cut.size())
                                   .arg(kept + QStringLiteral("1-1.qpj"))),
                 qPrintable(rows.join(QLatin1Char('\n'))));
        const int restoredRow = rows[0].contains(QStringLiteral("1-1.qpj")) ? 0 : 1;
        QCOMPARE(DocumentRegistry::instance().docCount(), 1);
        QCOMPARE(startedDoc(1)->textControl()->text(), restoredRow == 0 ? cut : noise);
        QVERIFY(DocumentRegistry::instance().record(1).Changed);
        QVERIFY2(!QFileInfo::exists(dead), "the instance's folder is empty and gone");
        const std::vector<recovery::Unreadable> left = recovery::unreadableJournals(root);
        QCOMPARE(left.size(), size_t(1)); // the unticked one
        QCOMPARE(AppFixture::readFile(left[0].file), restoredRow == 0 ? noise : cut);
        QVERIFY2(!journalOf(1).text.isEmpty(), "the restored bytes are journaled by this instance");
    }

    // File > Exit asks first; only an exit whose questions all went through
    // removes the journals.
    void exitRemovesJournalsOnlyOnceEveryDocumentIsClosed_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("No: the program ends") << "no";
        QTest::newRow("Cancel: it goes on") << "cancel";
    }

    void exitRemovesJournalsOnlyOnceEveryDocumentIsClosed()
    {
        QFETCH(QString, answer);
        Driver program({QStringLiteral("--new"), QStringLiteral("abc"), QStringLiteral("--exit"), answer});
        QVERIFY2(program.journaled(), program.line().constData());
        if (answer == QLatin1String("no")) {
            QVERIFY(program.endedByItself());
            QVERIFY2(!QFileInfo::exists(program.folder()), qPrintable(program.folder()));
            QVERIFY(!QFileInfo::exists(program.folder() + QStringLiteral(".lock")));
        } else {
            QVERIFY2(program.stillRunningAfter(1500), "Cancel keeps the program running");
            QCOMPARE(QDir(program.folder()).entryList({"*.qpj"}).size(), 1);
        }
    }

    // Ended by a signal (a shutdown, a closed session) with unsaved work:
    // what was typed up to the end comes back at the next start, byte for byte.
    void signalledProgramsKeepTheirWork_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalledProgramsKeepTheirWork()
    {
        QFETCH(int, sig);
        m_app.reset();
        {
            Driver running({QStringLiteral("--new"), QStringLiteral("first|second"), QStringLiteral("--more"),
                            QStringLiteral(" and \u00e9 more")});
            QVERIFY2(running.journaled(), running.line().constData());
            QCOMPARE(running.nextLine(), QByteArray("typed"));
            running.signal(sig);
            QVERIFY2(running.endedByItself(), "it ends by itself, cleanly");
            QCOMPARE(QDir(running.folder()).entryList({"*.qpj"}).size(), 1);
        }
        whenDialogShows([](FrmRecover *dlg) { click(dlg, "cmdRestore"); });
        startAgain();
        QCOMPARE(DocumentRegistry::instance().docCount(), 1);
        QCOMPARE(startedDoc(1)->textControl()->text(), QByteArray("first\r\nsecond and \xe9 more"));
    }

    void changedOnDiskIsAskedBeforeSaving_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what another program does
        QTest::addColumn<int>("answer");        // -1: nothing asked
        QTest::addColumn<QByteArray>("onDisk"); // the file afterwards; "-" none
        QTest::newRow("unchanged") << "" << -1 << QByteArray("mine\r\n");
        QTest::newRow("touched, same bytes") << "touch" << -1 << QByteArray("mine\r\n");
        QTest::newRow("modified, Yes") << "modify" << int(Answer::Yes) << QByteArray("mine\r\n");
        QTest::newRow("modified, No") << "modify" << int(Answer::No) << QByteArray("theirs\r\n");
        QTest::newRow("modified, same size, No") << "same size" << int(Answer::No) << QByteArray("THEIR\r\n");
        QTest::newRow("deleted, Yes") << "delete" << int(Answer::Yes) << QByteArray("mine\r\n");
        QTest::newRow("deleted, No") << "delete" << int(Answer::No) << QByteArray("-");
    }

    void changedOnDiskIsAskedBeforeSaving()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, answer);
        QFETCH(QByteArray, onDisk);
        const QString path = m_app->writeFile(QStringLiteral("shared.txt"), "their\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        d->textControl()->setText(QByteArrayView("mine"));
        if (meanwhile == QLatin1String("touch")) {
            m_app->writeFile(QStringLiteral("shared.txt"), "their\r\n");
            ageForward(path);
        } else if (meanwhile == QLatin1String("modify")) {
            m_app->writeFile(QStringLiteral("shared.txt"), "theirs\r\n");
        } else if (meanwhile == QLatin1String("same size")) {
            m_app->writeFile(QStringLiteral("shared.txt"), "THEIR\r\n");
            ageForward(path);
        } else if (meanwhile == QLatin1String("delete")) {
            QFile::remove(path);
        }
        if (answer >= 0)
            m_prompts->answer(Answer(answer));
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));

        const QString question =
            meanwhile == QLatin1String("delete") ? deletedQuestion(path) : changedQuestion(path);
        QCOMPARE(m_prompts->messageTexts(), answer < 0 ? QStringList() : QStringList{question});
        if (answer >= 0) {
            const ScriptedPrompts::Asked a = m_prompts->messages().value(0); // messages() is a fresh list
            QVERIFY(a.buttons == platform::Buttons::YesNo && a.icon == platform::Icon::Exclamation);
            QCOMPARE(a.caption, QStringLiteral("Quillpad Basic"));
        }
        QCOMPARE(QFileInfo::exists(path) ? AppFixture::readFile(path) : QByteArray("-"), onDisk);
        QCOMPARE(m_app->record(1).Changed, answer == int(Answer::No));

        // Once saved, the next save knows the file as it wrote it.
        if (answer != int(Answer::No)) {
            m_prompts->clear();
            d->textControl()->setText(QByteArrayView("mine again"));
            AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
            QCOMPARE(m_prompts->messageTexts(), QStringList());
            QCOMPARE(AppFixture::readFile(path), QByteArray("mine again\r\n"));
        }
    }

    void saveAsElsewhereDoesNotAskAndNoWhileClosingKeepsTheWindow()
    {
        const QString path = m_app->writeFile(QStringLiteral("shared.txt"), "their\r\n");
        const QString other = m_app->path(QStringLiteral("elsewhere.txt"));
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        QTest::keyClicks(d->textControl(), "x");
        m_app->writeFile(QStringLiteral("shared.txt"), "changed by another program\r\n");
        m_prompts->answer(Answer::Yes); // save before closing
        m_prompts->answer(Answer::No);  // but not over their changes
        AppFixture::trigger(d, QStringLiteral("mnuFileExit"));
        QCOMPARE(m_prompts->messageTexts(), (QStringList{kClose, changedQuestion(path)}));
        QTest::qWait(0);
        QVERIFY2(m_app->doc(1) && m_app->doc(1)->isVisible(), "the window stays open");
        QVERIFY(m_app->record(1).Changed && m_app->record(1).InUse);
        QCOMPARE(AppFixture::readFile(path), QByteArray("changed by another program\r\n"));

        m_prompts->clear();
        m_prompts->answerFile(other);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(m_prompts->messageTexts(), QStringList());
        QCOMPARE(AppFixture::readFile(other), QByteArray("xtheir\r\n"));
        QCOMPARE(m_app->record(1).Path, other);
    }

    // Typed into the real program, which is then killed; the next start
    // brings the work back through the recovery dialog.
    void killedProgramsWorkComesBack()
    {
        m_app.reset(); // the program starting again makes its own frame
        const QString file = testsupport::root() + QStringLiteral("/kept.txt");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept\r\n");
        }
        Driver running({QStringLiteral("--new"), QStringLiteral("first line|second"),
                        QStringLiteral("--open"), file, QStringLiteral(" typed")});
        QVERIFY2(running.journaled(), running.line().constData());

        // While it runs, another instance neither offers nor removes its journals.
        QCOMPARE(recovery::claimOrphans(recovery::defaultRoot(), keeper().folder().id()).size(), size_t(0));
        QCOMPARE(QDir(running.folder()).entryList({"*.qpj"}).size(), 2);
        running.kill();

        QStringList rows;
        whenDialogShows([&rows](FrmRecover *dlg) {
            auto *list = dlg->findChild<QListWidget *>(QStringLiteral("lstDocuments"));
            for (int i = 0; i < list->count(); ++i)
                rows << list->item(i)->text().section(QLatin1String(" ("), 0, 0) +
                            (list->item(i)->checkState() == Qt::Checked ? "+" : "-");
            click(dlg, "cmdRestore");
        });
        startAgain();
        QCOMPARE(rows, (QStringList{"Untitled+", file + "+"}));
        DocumentRegistry &reg = DocumentRegistry::instance();
        QCOMPARE(reg.docCount(), 2);
        QCOMPARE(startedDoc(1)->textControl()->text(), QByteArray("first line\r\nsecond"));
        QCOMPARE(startedDoc(2)->textControl()->text(), QByteArray("kept typed"));
        QCOMPARE(reg.record(1).Title + "|" + reg.record(1).Path, QStringLiteral("Untitled|"));
        QCOMPARE(reg.record(2).Title + "|" + reg.record(2).Path, file + "|" + file);
        QVERIFY2(reg.record(1).Changed && reg.record(2).Changed, "restored work is unsaved work");
        QVERIFY2(!QFileInfo::exists(running.folder()), "the dead instance's folder is gone");
        QCOMPARE(journalOf(2).text, QByteArray("kept typed")); // journaled by this instance now

        // Save writes to the original file, asking nothing: nobody else changed it.
        AppFixture::trigger(startedDoc(2), QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(file), QByteArray("kept typed\r\n"));
        QCOMPARE(m_prompts->messageTexts(), QStringList());
        QVERIFY(!reg.record(2).Changed);
    }

    void declinedJournals_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("untickSecond");
        QTest::addColumn<int>("restored");
        QTest::addColumn<int>("offeredAgain");
        QTest::newRow("Later keeps them all") << "cmdLater" << false << 0 << 2;
        QTest::newRow("Discard drops them all") << "cmdDiscard" << false << 0 << 0;
        QTest::newRow("Restore leaves the unticked for the next start") << "cmdRestore" << true << 1 << 1;
        QTest::newRow("Discard leaves the unticked too") << "cmdDiscard" << true << 0 << 1;
    }

    void declinedJournals()
    {
        QFETCH(QString, button);
        QFETCH(bool, untickSecond);
        QFETCH(int, restored);
        QFETCH(int, offeredAgain);
        m_app.reset();
        {
            Driver crashed({QStringLiteral("--new"), QStringLiteral("one"), QStringLiteral("--new"),
                            QStringLiteral("two")});
            QVERIFY2(crashed.journaled(), crashed.line().constData());
        }
        whenDialogShows([&](FrmRecover *dlg) {
            if (untickSecond)
                dlg->findChild<QListWidget *>(QStringLiteral("lstDocuments"))
                    ->item(1)
                    ->setCheckState(Qt::Unchecked);
            click(dlg, qPrintable(button));
        });
        startAgain();
        QCOMPARE(DocumentRegistry::instance().docCount(), restored);
        if (restored)
            QCOMPARE(startedDoc(1)->textControl()->text(), QByteArray("one"));
        size_t offered = 0;
        for (recovery::Orphan &o : recovery::claimOrphans(recovery::defaultRoot(), keeper().folder().id())) {
            offered += o.items.size();
            recovery::keepOrphan(o);
        }
        QCOMPARE(int(offered), offeredAgain);
    }
};

QP_TEST_MAIN(TstRecovery)
#include "tst_recovery.moc"
