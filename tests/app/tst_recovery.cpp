// Crash recovery through the real windows, journals living with their documents, the question
// before a save replaces a file another program changed, and saves that fail the hard way (a full
// disk, the saving process killed at random): the file holds its old bytes or the new ones.

#include "app/frmrecover.h"
#include "app/mdimain.h"
#include "app/startup.h"
#include "apptest.h"
#include "documents/documentregistry.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QDeadlineTimer>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <optional>

using platform::Answer;
using recovery::Keeper;

namespace {

const auto keeper = &Keeper::instance;
constexpr int kTicks = Keeper::kTicksBetweenWrites;

// n ticks of the keeper by hand, each one's writes finished.
void ticks(int n)
{
    for (int i = 0; i < n; ++i) {
        keeper().tick();
        keeper().waitForWrites();
    }
}

recovery::Journal journalOf(int slot)
{
    keeper().waitForWrites();
    recovery::Journal j;
    recovery::readJournal(keeper().journalFile(slot), &j);
    return j;
}

// A copy of the program typing into its windows (recoverydriver.cpp); its first line is in line.
struct Driver
{
    explicit Driver(const QStringList &args)
    {
        process.start(QP_DRIVER, QStringList{"--app", testsupport::root() + "/app/"} + args);
        line = nextLine();
    }
    ~Driver() { kill(); }
    QByteArray nextLine() // "" when none came in time
    {
        const QDeadlineTimer deadline(60000);
        while (process.state() != QProcess::NotRunning && !process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(1000);
        return process.readLine().trimmed();
    }
    QString folder() const { return QString::fromLocal8Bit(line.mid(line.indexOf(' ') + 1)); }
    void kill() { process.kill(), process.waitForFinished(); } // SIGKILL: nothing of it runs any more
    bool endedByItself()
    {
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    QProcess process;
    QByteArray line;
};

// A small tmpfs at dir where this machine lets us mount one (QP_NO_MOUNT=1 tries the fallback);
// no options, no mount. Unmounted however the test ends.
struct Tmpfs
{
    Tmpfs(const QString &dir, const QString &options) : dir(dir)
    {
        QDir().mkpath(dir);
        mounted = !options.isEmpty() && qEnvironmentVariableIsEmpty("QP_NO_MOUNT") &&
                  QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", dir}) == 0;
    }
    ~Tmpfs()
    {
        if (mounted)
            QProcess::execute("umount", {dir});
    }
    QString dir;
    bool mounted = false;
};

QStringList othersIn(const QString &dir, const QString &keep)
{
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.removeAll(keep);
    return names;
}

} // namespace

class TstRecovery : public QObject
{
    Q_OBJECT
    std::optional<ScriptedPrompts> m_prompts;
    std::optional<AppFixture> m_app;
    MdiMain *m_started = nullptr;

    FrmDoc *startedDoc(int slot) { return dynamic_cast<FrmDoc *>(DocumentRegistry::instance().window(slot)); }

    // The program starting again, as after a crash: the recovery dialog's rows ("+" ticked), then
    // the second unticked if asked and button clicked.
    QStringList startAgain(const QString &button, bool untickSecond)
    {
        QStringList rows;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dlg = qobject_cast<FrmRecover *>(w); dlg && dlg->isVisible() && poll.isActive()) {
                    poll.stop();
                    auto *list = dlg->findChild<QListWidget *>("lstDocuments");
                    for (int i = 0; i < list->count(); ++i)
                        rows << list->item(i)->text() +
                                    (list->item(i)->checkState() == Qt::Checked ? "+" : "-");
                    if (untickSecond)
                        list->item(1)->setCheckState(Qt::Unchecked);
                    dlg->findChild<QPushButton *>(button)->click();
                }
        });
        poll.start(10);
        m_started = Startup(QString());
        return rows;
    }

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

    // A journal lives while its document holds unsaved work.
    void journalsFollowTheirDocument()
    {
        FrmDoc *d = m_app->newDocument();
        ticks(1);
        QCOMPARE(keeper().journalFile(1), QString()); // nothing unsaved, nothing journaled
        // What is journaled after typing keys and n ticks.
        const auto after = [d](const char *keys, int n) {
            QTest::keyClicks(d->textControl(), keys);
            ticks(n);
            return journalOf(1).text;
        };
        // While the user keeps typing, a journal is written every third tick.
        QCOMPARE((QByteArrayList{after("abc", 1), journalOf(1).title.toUtf8(), after("d", 2), after("", 1)}),
                 (QByteArrayList{"abc", "Untitled", "abc", "abcd"}));
        auto journals = [] {
            ticks(1);
            return QDir(keeper().folder().path()).entryList({"*.qpj"}).size();
        };
        m_prompts->answerFile(m_app->path("saved.txt"));
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(journals(), 0); // saved
        QTest::keyClicks(d->textControl(), "e");
        QCOMPARE(journals(), 1);
        m_prompts->answer(Answer::No);
        AppFixture::trigger(d, "mnuFileClose");
        QCOMPARE(journals(), 0); // closed without saving
        QVERIFY(m_prompts->scriptUsedUp());
    }

    // No recovery folder can be made (a file stands in its place), a journal or a save's ledger
    // note cannot be written: the user is told once that unsaved work is not protected, it is
    // tried again while there is unsaved work, and the user is told once it is protected again.
    void unprotectedWorkIsSaidOnceAndTriedAgain()
    {
        keeper().shutdown();
        const QString root = recovery::defaultRoot();
        QDir(root).removeRecursively();
        writeBytes(QDir::cleanPath(root), QByteArray());
        QVERIFY(!keeper().start(root));
        keeper().setTimerRunning(false);
        const QString cannot = "Quillpad cannot keep a copy of your unsaved work in \"%1\": ";
        const QString again = "Quillpad keeps a copy of your unsaved work in \"%1\" again.";
        QCOMPARE(m_prompts->messageTexts(),
                 QStringList(cannot.arg(root) +
                             "Not a directory.\r\nIf the program ends unexpectedly, unsaved "
                             "changes will be lost; save your documents to keep them."));
        QCOMPARE(m_prompts->messages()[0].icon, platform::Icon::Exclamation);
        // The messages after the first, each cut after the folder's name.
        const auto said = [this] {
            return m_prompts->messageTexts().mid(1).replaceInStrings(QRegularExpression("(?s)\": .*"),
                                                                     "\": ");
        };
        const QString path = m_app->writeFile("doc.txt", "a\r\n");
        FrmDoc *d = openIn(*m_app, path);
        QTest::keyClicks(d->textControl(), "keep me ");
        const auto status = [d] { return d->panelText(FrmDoc::Panel::Status); };
        QCOMPARE(status(), "Unsaved Changes Made (not protected)");
        QFile::remove(QDir::cleanPath(root));
        ticks(kTicks);
        const QString folder = keeper().folder().path();
        QCOMPARE(said() << status(), (QStringList{again.arg(folder), "Unsaved Changes Made"}));

        auto block = [&] {
            QVERIFY(QDir(folder).removeRecursively());
            QVERIFY(QFile::copy(path, folder));
        };
        block();
        QTest::keyClicks(d->textControl(), "more ");
        ticks(kTicks + 1); // the write fails, the next tick sees it
        QCOMPARE(said(), (QStringList{again.arg(folder), cannot.arg(folder)}));
        ticks(2 * kTicks); // said once, not at every try
        QFile::remove(folder);
        QDir().mkpath(folder);
        ticks(kTicks + 1);
        QCOMPARE(journalOf(1).text, d->textControl()->text());
        QCOMPARE(said(), (QStringList{again.arg(folder), cannot.arg(folder), again.arg(folder)}));

        // A save whose ledger note cannot be written still saves, and says so.
        block();
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(AppFixture::readFile(path), QByteArray("keep me more a\r\n"));
        QCOMPARE(said().mid(2), (QStringList{again.arg(folder), cannot.arg(folder)}));
    }

    // Journals that cannot be read are listed with their size and place; Restore opens their
    // bytes, and what is unticked is kept.
    void unreadableJournalsAreOfferedNeverDropped()
    {
        m_app.reset();
        const QString root = recovery::defaultRoot(), dead = root + "999995-dead";
        QDir().mkpath(dead);
        const QByteArray cut(
            "Quillpad recovery journal 1\ntitle: x\npath: \ndisk: none\nwritten: 0\nlength: 9\n\nabc\r\n");
        const QByteArray noise("\x01\xff\0zz", 5);
        writeBytes(dead + "/1-1.qpj", cut);
        writeBytes(dead + "/2-1.qpj", noise);
        const QString kept = recovery::unreadableFolder(root) + "/999995-dead/1-1.qpj";
        const QStringList rows = startAgain("cmdRestore", true);
        const bool cutFirst = rows.value(0).contains("1-1.qpj");
        const std::vector<recovery::Unreadable> left = recovery::unreadableJournals(root);
        QCOMPARE(
            (QList<qsizetype>{rows.size(), DocumentRegistry::instance().docCount(), qsizetype(left.size())}),
            (QList<qsizetype>{2, 1, 1})); // one left: the unticked
        QCOMPARE(rows[cutFirst ? 0 : 1],
                 QString("Unreadable journal (%1 bytes, kept as %2)+").arg(cut.size()).arg(kept));
        QCOMPARE(startedDoc(1)->textControl()->text() +
                     (DocumentRegistry::instance().record(1).Changed ? "*" : ""),
                 (cutFirst ? cut : noise) + "*");
        QVERIFY2(!QFileInfo::exists(dead), "the instance's folder is empty and gone");
        QCOMPARE(AppFixture::readFile(left[0].file), cutFirst ? noise : cut);
    }

    // File > Exit asks first; only an exit whose questions all went through removes the journals.
    // (No: the program ends; Cancel: it goes on.)
    void exitRemovesJournalsOnlyOnceEveryDocumentIsClosed()
    {
        for (const QString answer : {"no", "cancel"}) {
            Driver program({"--new", "abc", "--exit", answer});
            QVERIFY2(program.line.startsWith("journaled "), program.line.constData());
            if (answer == "cancel") {
                QVERIFY2(!program.process.waitForFinished(1500), "Cancel keeps the program running");
                QCOMPARE(QDir(program.folder()).entryList({"*.qpj"}).size(), 1);
                continue;
            }
            QVERIFY(program.endedByItself());
            QVERIFY2(!QFileInfo::exists(program.folder()) && !QFileInfo::exists(program.folder() + ".lock"),
                     qPrintable(program.folder()));
        }
    }

    // Typed into the real program, which is then killed, or ended by a signal (a shutdown, a
    // closed session) after typing more: the next start offers the work. Restore brings it back
    // byte for byte, Later keeps it for the next start, Discard drops it; what is unticked stays.
    // Each row: the signal that ends it, the button clicked, the rows ticked ("all", or all but
    // the second: "first") and how many journals are offered again afterwards.
    void endedProgramsWorkComesBack_data()
    {
        QTest::addColumn<QString>("row");
        for (const char *row :
             {"KILL cmdRestore all 0", "TERM cmdRestore all 0", "HUP cmdRestore all 0", "KILL cmdLater all 2",
              "KILL cmdDiscard all 0", "KILL cmdRestore first 1", "KILL cmdDiscard first 1"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }

    void endedProgramsWorkComesBack()
    {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        const bool killed = f[0] == "KILL", untickSecond = f[2] == "first";
        m_app.reset(); // the program starting again makes its own frame
        const QString file = writeBytes(testsupport::root() + "/kept.txt", "kept\r\n");
        const QByteArray second = killed ? "kept typed" : "kept typed and \xe9 more";
        Driver running({"--new", "first line|second", "--open", file, " typed", "--more",
                        killed ? "" : " and \u00e9 more"});
        QVERIFY2(running.line.startsWith("journaled "), running.line.constData());
        // While it runs, another instance neither offers nor removes its journals.
        QCOMPARE(recovery::claimOrphans(recovery::defaultRoot(), keeper().folder().id()).size(), size_t(0));
        if (killed) {
            running.kill();
        } else {
            QCOMPARE(running.nextLine(), QByteArray("typed"));
            ::kill(pid_t(running.process.processId()), f[0] == "TERM" ? SIGTERM : SIGHUP);
            QVERIFY2(running.endedByItself(), "it ends by itself, cleanly");
        }
        QCOMPARE(QDir(running.folder()).entryList({"*.qpj"}).size(), 2);

        const QStringList rows = startAgain(f[1], untickSecond);
        QCOMPARE(QStringList(rows).replaceInStrings(QRegularExpression(" \\(.*\\)"), ""),
                 (QStringList{"Untitled+", file + "+"}));
        DocumentRegistry &reg = DocumentRegistry::instance();
        const int restored = f[1] == "cmdRestore" ? 2 - untickSecond : 0;
        QCOMPARE(reg.docCount(), restored);
        if (restored)
            QCOMPARE(startedDoc(1)->textControl()->text(), QByteArray("first line\r\nsecond"));
        size_t offered = 0;
        for (recovery::Orphan &o : recovery::claimOrphans(recovery::defaultRoot(), keeper().folder().id())) {
            offered += o.items.size();
            recovery::keepOrphan(o);
        }
        QCOMPARE(int(offered), f[3].toInt());
        if (restored < 2)
            return;
        QCOMPARE((QByteArrayList{startedDoc(2)->textControl()->text(), journalOf(2).text}),
                 (QByteArrayList{second, second})); // journaled by this instance now
        QCOMPARE(
            (QStringList{reg.record(1).Title, reg.record(1).Path, reg.record(2).Title, reg.record(2).Path,
                         reg.record(1).Changed && reg.record(2).Changed ? "unsaved" : "saved"}),
            (QStringList{"Untitled", "", file, file, "unsaved"})); // restored work is unsaved work

        // Save writes to the original file, asking nothing: nobody else changed it.
        AppFixture::trigger(startedDoc(2), "mnuFileSave");
        QCOMPARE(AppFixture::readFile(file) + (reg.record(2).Changed ? "*" : ""), second + "\r\n");
        QCOMPARE(m_prompts->messageTexts(), QStringList());
    }

    // What another program does to the file meanwhile ("-": deletes it; "": nothing), the answer
    // to the question (-1: nothing asked) and the file afterwards ("-": none).
    void changedOnDiskIsAskedBeforeSaving_data()
    {
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("onDisk");
        const auto row = [](const char *name, const char *theirs, int answer, const char *onDisk) {
            QTest::newRow(name) << QByteArray(theirs) << answer << QByteArray(onDisk);
        };
        const int yes = int(Answer::Yes), no = int(Answer::No);
        row("unchanged", "", -1, "mine\r\n");
        row("touched, same bytes", "their\r\n", -1, "mine\r\n");
        row("modified, Yes", "theirs\r\n", yes, "mine\r\n");
        row("modified, No", "theirs\r\n", no, "theirs\r\n");
        row("modified, same size, No", "THEIR\r\n", no, "THEIR\r\n");
        row("deleted, Yes", "-", yes, "mine\r\n");
        row("deleted, No", "-", no, "-");
    }

    void changedOnDiskIsAskedBeforeSaving()
    {
        QFETCH(QByteArray, theirs);
        QFETCH(int, answer);
        QFETCH(QByteArray, onDisk);
        const QString path = m_app->writeFile("shared.txt", "their\r\n");
        FrmDoc *d = openIn(*m_app, path);
        d->textControl()->setText(QByteArrayView("mine"));
        if (theirs == "-") {
            QFile::remove(path);
        } else if (!theirs.isEmpty()) {
            QFile f(path);
            // Dated a few seconds on, as a later write would be.
            QVERIFY(
                f.open(QIODevice::WriteOnly) && f.write(theirs) && f.flush() &&
                f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        }
        if (answer >= 0)
            m_prompts->answer(Answer(answer));
        AppFixture::trigger(d, "mnuFileSave");

        const QString deleted = "The file \"%1\" has been deleted or moved by another program since you "
                                "opened or last saved it.\r\nSave this document there anyway?";
        QCOMPARE(m_prompts->messageTexts(),
                 answer < 0 ? QStringList() : QStringList{(theirs == "-" ? deleted : kChanged).arg(path)});
        QVERIFY(answer < 0 || (m_prompts->messages()[0].buttons == platform::Buttons::YesNo &&
                               m_prompts->messages()[0].icon == platform::Icon::Exclamation));
        QCOMPARE(QFileInfo::exists(path) ? AppFixture::readFile(path) : QByteArray("-"), onDisk);
        QCOMPARE(m_app->record(1).Changed, answer == int(Answer::No));

        // Once saved, the next save knows the file as it wrote it.
        if (answer != int(Answer::No)) {
            m_prompts->clear();
            d->textControl()->setText(QByteArrayView("mine again"));
            AppFixture::trigger(d, "mnuFileSave");
            QCOMPARE(m_prompts->messageTexts(), QStringList());
            QCOMPARE(AppFixture::readFile(path), QByteArray("mine again\r\n"));
        }
    }

    // No to replacing their changes while closing keeps the window; Save As to another file asks
    // nothing. A real full disk (where a tmpfs can be mounted; the file layer's fault seam
    // otherwise) keeps the old file.
    void noWhileClosingKeepsTheWindowAndSaveAsElsewhereDoesNotAsk()
    {
        const QString path = m_app->writeFile("shared.txt", "their\r\n");
        FrmDoc *d = openIn(*m_app, path);
        QTest::keyClicks(d->textControl(), "x");
        m_app->writeFile("shared.txt", "changed by another program\r\n");
        m_prompts->answer(Answer::Yes); // save before closing
        m_prompts->answer(Answer::No);  // but not over their changes
        AppFixture::trigger(d, "mnuFileExit");
        QCOMPARE(m_prompts->messageTexts(), (QStringList{kClose, kChanged.arg(path)}));
        QTest::qWait(0);
        QVERIFY2(m_app->doc(1) && m_app->doc(1)->isVisible() && m_app->record(1).Changed &&
                     m_app->record(1).InUse,
                 "the window stays open, changed");
        QCOMPARE(AppFixture::readFile(path), QByteArray("changed by another program\r\n"));

        m_prompts->clear();
        const QString other = m_app->path("elsewhere.txt");
        m_prompts->answerFile(other);
        AppFixture::trigger(d, "mnuFileSaveAs");
        QCOMPARE(m_prompts->messageTexts(), QStringList());
        QCOMPARE(AppFixture::readFile(other) + m_app->record(1).Path.toUtf8(), "xtheir\r\n" + other.toUtf8());

        m_prompts->clear();
        const Tmpfs tmpfs(m_app->path("drill"), "size=64k");
        const QString drilled = m_app->writeFile("drill/doc.txt", "old text\r\n");
        FrmDoc *full = openIn(*m_app, drilled);
        full->textControl()->setText(QByteArrayView(QByteArray(256 * 1024, 'x'))); // more than the disk holds
        if (!tmpfs.mounted)
            platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        qInfo("%s", tmpfs.mounted ? "on a tmpfs mounted for the test" : "through the fault seam");
        m_prompts->answer(platform::Answer::Abort);
        AppFixture::trigger(full, "mnuFileSave");
        QCOMPARE(m_prompts->messageTexts(), QStringList(saveError("No space left on device")));
        QCOMPARE(AppFixture::readFile(drilled), QByteArray("old text\r\n"));
        QVERIFY2(m_app->record(full->slot()).Changed, "the work is still unsaved");
        QCOMPARE(othersIn(tmpfs.dir, "doc.txt"), QStringList());
    }

    // The saving process is killed at a random moment during a save of 50 MB, again and again;
    // the next start sweeps what the dead ones left.
    void killedSavesLeaveOldOrNewBytes()
    {
        constexpr int kRuns = 200;
        const QByteArray bytes[2] = {QByteArray(50LL * 1024 * 1024, 'A'),
                                     QByteArray(50LL * 1024 * 1024, 'B')};
        // Memory-backed, so 200 saves fit in a minute: /dev/shm when it has room for the file and
        // its temporary (a container's often has not), else a tmpfs of our own, else the disk.
        QTemporaryDir shm("/dev/shm/quillpad-drill-XXXXXX");
        const bool roomy = shm.isValid() && QStorageInfo(shm.path()).bytesAvailable() > 3 * bytes[0].size();
        const Tmpfs own(roomy ? shm.path() : m_app->path("drill"),
                        roomy ? QString() : QString("size=%1").arg(3 * bytes[0].size()));
        const QString target = own.dir + "/big.txt", root = testsupport::root() + "/drill-recovery/";
        qInfo("drill folder %s", qPrintable(own.dir));

        auto run = [&](char pattern, qint64 killAfterUs) {
            QProcess p;
            p.start(QP_DRIVER, {"--save", target, root, QString(QLatin1Char(pattern))});
            if (!p.waitForStarted() || !p.waitForReadyRead(30000))
                return QByteArray("no start");
            if (killAfterUs >= 0) {
                QThread::usleep(quint64(killAfterUs));
                p.kill();
            }
            p.waitForFinished(60000);
            return p.readAllStandardOutput();
        };

        // One save left alone, to learn how long a save takes here.
        const QByteArray first = run('A', -1);
        QVERIFY2(first.contains("saved "), first.constData());
        const qint64 saveUs = first.mid(first.indexOf("saved ") + 6).trimmed().toLongLong();
        int onDisk = 0, interrupted = 0, leftBehind = 0;
        QRandomGenerator rng(20261206);
        for (int i = 0; i < kRuns; ++i) {
            const int next = 1 - onDisk;
            const bool saved =
                run(char('A' + next), qint64(rng.bounded(quint32(saveUs * 3 / 2 + 1)))).contains("saved ");
            interrupted += !saved;
            const QByteArray now = AppFixture::readFile(target);
            if (now == bytes[next])
                onDisk = next;
            else
                QVERIFY2(!saved && now == bytes[onDisk], "neither the old bytes nor the new, or a save "
                                                         "that said it was done left the old bytes");
            // The next start: dead instances' folders are claimed and their ledgers swept.
            leftBehind += othersIn(own.dir, "big.txt").size();
            recovery::claimOrphans(root, QString());
            QCOMPARE(othersIn(own.dir, "big.txt"), QStringList());
        }
        qInfo("kill drill: %d saves of 50 MB (one takes %lld us here), %d interrupted; temporaries seen "
              "before the next start %d, after 0",
              kRuns, static_cast<long long>(saveUs), interrupted, leftBehind);
        QVERIFY2(interrupted > 0, "some saves must have been cut short");
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

QP_TEST_MAIN(TstRecovery)
#include "tst_recovery.moc"
