// Document windows: slots, opening and saving through the dialogs, read and save failures, the
// questions on closing, the command line, and the last session kept at a clean exit and reopened
// by the next start without file arguments (one message names what is gone; junk never blocks it).

#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/lastsession.h"
#include "documents/recentfiles.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "editor/preferences.h"
#include "platform/clipboard.h"
#include "platform/fileio.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "testmain.h"
#include "windowtest.h"
#include "workingfolder.h"

#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QStatusBar>

#include <cerrno>
#include <sys/stat.h>

using lastsession::Entry;
using platform::Answer;
using Sci = QsciScintillaBase;

namespace {

const QString kClose = "Would you like to save the changes you may have made to your work?";
const QString kAsk = "\r\nWould would you like to do";
const auto readError = [](const QString &why) {
    return "There was an error in reading your file\r\n" + why + kAsk;
};
const auto saveError = [](const QString &why) {
    return "There was an error in saving to the file. \r\n" + why + kAsk;
};

// Where a document is kept, as one string: its path, its title, its caption, and "*" if changed.
QString names(FrmDoc *d, const DocumentRecord &rec)
{
    d->refreshTick();
    return rec.Path + '|' + rec.Title + '|' + d->caption() + (rec.Changed ? "*" : "");
}

void setReopen(bool on)
{
    preferences::Preferences p = preferences::Preferences::defaults();
    p.reopenSession = on;
    preferences::setCurrent(p);
}

// Ends a frame made by Startup, as the fixture ends its own.
void endStart(MdiMain *frame)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot : reg.slotsWithWindows())
        reg.record(slot).InUse = false;
    delete frame;
    QApplication::processEvents();
    reg.reset();
}

// The names of the open documents, in slot order.
QStringList titles()
{
    QStringList out;
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot = 1; slot <= reg.docCount(); ++slot)
        if (reg.record(slot).InUse)
            out << QFileInfo(reg.record(slot).Title).fileName();
    return out;
}

// Files that outlive the fixture, as a user's files outlive a session.
QString keep(const QString &name, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(testsupport::root() + "/files");
    QFile f(testsupport::root() + "/files/" + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return f.fileName();
}

} // namespace

class TstDocumentWindows : public WindowTest
{
    Q_OBJECT

    static void type(FrmDoc *d, const char *text) { QTest::keyClicks(d->textControl(), text); }
    static long sci(int slot, unsigned msg)
    {
        return DocumentRegistry::instance().window(slot)->textControl()->SendScintilla(msg);
    }
    FrmDoc *open(const QString &name, const QByteArray &bytes)
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        return m_app->current();
    }

private slots:
    void slotsAreReusedLowestFirst()
    {
        m_app->newDocument();
        FrmDoc *b = m_app->newDocument(), *c = m_app->newDocument();
        type(b, "typed");
        b->undoTick();
        type(b, "more");
        b->undoTick();
        m_app->record(2).Changed = false;
        AppFixture::trigger(c, "mnuFileClose");
        AppFixture::trigger(b, "mnuFileClose");
        QVERIFY2(!m_app->record(2).InUse && !b->isVisible(),
                 "File > Close frees the slot and hides the window");
        QCOMPARE(m_app->newDocument(), b); // the lowest hidden window is taken again, emptied
        QVERIFY(b->textControl()->text().isEmpty());
        b->refreshTick();
        QVERIFY2(!b->action("mnuEditUndo")->isEnabled(), "a reused slot has no undo");
        QCOMPARE((QList<int>{m_app->newDocument() == c, m_app->newDocument()->slot()}), (QList<int>{1, 4}));
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void clipboardDocumentIsChangedFromTheStart()
    {
        platform::clipboard().setText("from clip\r\nline");
        m_app->triggerFrame("mnuDFClip");
        QMimeData *image = new QMimeData; // a clipboard without text gives an empty document
        image->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(image);
        m_app->triggerFrame("mnuDFClip");
        QCOMPARE(m_app->record(1).Title.toUtf8() + "|" + m_app->doc(1)->textControl()->text() + "|" +
                     m_app->doc(2)->textControl()->text(),
                 "Clipboard|from clip\r\nline|");
        QVERIFY(m_app->record(1).Changed && m_app->record(2).Changed);
    }

    // (What each kind of file reads as and saves back is tst_formats' table.)
    void fileDialogsSaveAsAndSaveBinary()
    {
        const QString old = m_app->writeFile("case & \u00e9.txt", "a much longer old file");
        const QString other = m_app->path("other name.txt");
        for (const QString &f : {old, old, old, other})
            m_prompts->answerFile(f);
        m_app->triggerFrame("mnuOpen");
        FrmDoc *d = m_app->newDocument();
        AppFixture::trigger(d, "mnuFileOpen"); // the same file opens twice
        QCOMPARE(names(m_app->doc(3), m_app->record(3)), old + '|' + old + '|' + old);
        QVERIFY2(!m_app->record(1).Changed && m_app->record(1).Title == old, "a fresh open is unchanged");

        type(d, "abc");
        AppFixture::trigger(d, "mnuFileSaveBinary");
        QCOMPARE(AppFixture::readFile(old), "abc");
        // The dialog's flags: 2048 takes effect from the next showing; Save Binary offers 10 kinds.
        const QList<ScriptedPrompts::Asked> &asked = m_prompts->asked;
        QCOMPARE((QList<qsizetype>{asked[0].flags, asked[1].flags, asked[2].flags, asked[2].filters.size()}),
                 (QList<qsizetype>{0, 2048, 2050, 10}));
        QCOMPARE(names(d, m_app->record(d->slot())), old + '|' + old + '|' + old);
        AppFixture::trigger(d, "mnuFileSaveAs");
        QCOMPARE(AppFixture::readFile(other), "abc\r\n");
        QCOMPARE(m_prompts->asked[3].initial, old); // the dialog keeps its last name
        QCOMPARE(recentfiles::entries().mid(0, 2), (QStringList{other, old}));

        // A cancelled Save As, and one into a place that cannot be written, change nothing.
        type(d, "d");
        m_prompts->answerFile(QString());
        m_prompts->answerFile(old + "/under.txt");
        m_prompts->answer(Answer::Ignore);
        AppFixture::trigger(d, "mnuFileSaveAs");
        AppFixture::trigger(d, "mnuFileSaveAs");
        QCOMPARE(m_prompts->messageTexts(), QStringList{saveError("Not a directory")});
        QCOMPARE(names(d, m_app->record(d->slot())), other + '|' + other + '|' + other + '*');
        QCOMPARE(AppFixture::readFile(other), "abc\r\n");
        QCOMPARE(recentfiles::entries().value(0), other);
        // Retry after a failing save writes the whole text again.
        platform::injectFileFault(platform::FileStep::Commit, ENOSPC);
        m_prompts->answer(Answer::Retry);
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(m_prompts->messageTexts().value(1), saveError("No space left on device"));
        QCOMPARE(AppFixture::readFile(other), "abcd\r\n");
        QVERIFY(!m_app->record(d->slot()).Changed);
    }

    // (A FIFO or a device is refused by the reader: tst_platformparts.)
    void readFailuresAskAndLoseNothing()
    {
        const QString missing = m_app->path("missing file.txt");
        m_prompts->answer(Answer::Abort);
        fileops::OpenFile(missing);
        QCOMPARE(m_prompts->messageTexts(), QStringList{readError("No such file or directory")});
        QVERIFY(m_prompts->messages()[0].buttons == platform::Buttons::AbortRetryIgnore &&
                m_prompts->messages()[0].caption == "Quillpad Basic");
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);

        // Retry after the file appeared: it opens.
        m_prompts->answer(Answer::Retry);
        m_prompts->onAsk = [&](const ScriptedPrompts::Asked &) {
            m_app->writeFile("missing file.txt", "now");
        };
        fileops::OpenFile(missing);
        m_prompts->onAsk = nullptr;
        QCOMPARE(m_app->doc(1)->textControl()->text() + "|" + m_app->record(1).Path.toUtf8(),
                 "now|" + missing.toUtf8());

        // Ignore: a window that can never be saved over what it came from.
        m_prompts->clear();
        const QString folder = m_app->path(QString());
        m_prompts->answer(Answer::Ignore);
        m_prompts->answer(Answer::Ignore);
        fileops::OpenFile(folder);
        QCOMPARE(m_prompts->messageTexts().value(0), readError("Is a directory"));
        QCOMPARE(m_app->record(2).Title + "|" + m_app->record(2).Path + "|" +
                     (m_app->record(2).Changed ? "*" : ""),
                 QDir::cleanPath(folder) + "||*");
        QVERIFY2(!recentfiles::entries().contains(folder), "a failed open is not recent");

        // The open dialog's wording leads with the error number.
        m_prompts->clear();
        m_prompts->answerFile(missing + ".gone");
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(m_app->current(), "mnuFileOpen");
        QCOMPARE(m_prompts->messageTexts(), QStringList{"2> " + readError("No such file or directory")});
    }

    // Closing a document (File > Exit on it), the frame's close box and File > Exit on the frame
    // ask about every changed document in slot order, never about an unchanged one. Cancel, or a
    // Yes whose save does not happen, keeps that document and those after it open, and the
    // program running.
    void closingAsks_data()
    {
        QTest::addColumn<QString>("how");
        // One letter a question: Yes, No, Cancel, or Yes with a failing save (the untitled first
        // document's name cancelled, the others' disk full).
        QTest::addColumn<QString>("answers");
        for (const char *answers : {"C", "F", "Y", "N"})
            QTest::addRow("document, %s", answers) << "mnuFileExit" << QString::fromLatin1(answers);
        for (const char *answers : {"YNC", "NCY", "CYN", "YNY", "NF"})
            QTest::addRow("exit, %s", answers) << "mnuExit" << QString::fromLatin1(answers);
        QTest::newRow("close box, YF") << "close"
                                       << "YF";
    }

    void closingAsks()
    {
        QFETCH(QString, how);
        QFETCH(QString, answers);
        type(m_app->newDocument(), "new ");
        for (int i = 2; i <= 3; ++i)
            type(open(QStringLiteral("f%1.txt").arg(i), "old\r\n"), "new ");
        m_app->newDocument(); // unchanged: nothing is asked about it
        qsizetype cut = 0;    // the first answer that keeps its document open, if any
        while (cut < answers.size() && answers[cut] != 'C' && answers[cut] != 'F')
            ++cut;
        const QString given = answers.left(cut + 1);
        const bool kept = cut<answers.size(), diskFull = given.size()> 1 && given.endsWith('F');
        for (QChar a : given)
            m_prompts->answer(a == 'N' ? Answer::No : a == 'C' ? Answer::Cancel : Answer::Yes);
        if (given[0] == 'Y' || given == "F")
            m_prompts->answerFile(given[0] == 'Y' ? m_app->path("f1.txt") : "");
        int questions = 0;
        m_prompts->onAsk = [&](const ScriptedPrompts::Asked &q) {
            if (diskFull && q.text == kClose && ++questions == given.size())
                platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        };
        if (diskFull)
            m_prompts->answer(Answer::Abort);
        if (how == "close")
            QCOMPARE(m_app->frame()->close(), !kept);
        else if (how == "mnuExit")
            m_app->triggerFrame(how);
        else
            AppFixture::trigger(m_app->doc(1), how);
        m_prompts->onAsk = nullptr;
        QCOMPARE(m_prompts->messageTexts(),
                 QStringList(given.size(), kClose) +
                     (diskFull ? QStringList{saveError("No space left on device")} : QStringList()));
        QVERIFY(m_prompts->messages()[0].caption == "Untitled" &&
                m_prompts->messages()[0].buttons == platform::Buttons::YesNoCancel);
        QVERIFY(m_prompts->scriptUsedUp() && m_prompts->unexpected.isEmpty());
        const bool one = how == "mnuFileExit";
        for (int i = 1; i <= 3; ++i) {
            const bool open = (kept && i > cut) || (one && i > 1);
            const bool yes = given.mid(i - 1, 1) == "Y";
            QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("f%1.txt").arg(i))),
                     i == 1 ? (yes ? "new \r\n" : "<unreadable>") : (yes ? "new old\r\n" : "old\r\n"));
            QVERIFY2(m_app->record(i).InUse == open && m_app->record(i).Changed == open, qPrintable(answers));
        }
        if (one)
            QTRY_COMPARE(bool(m_app->doc(1)), kept);
        QCOMPARE(m_app->frame()->isVisible(), one || kept);
        QCOMPARE(recentfiles::entries().contains(m_app->path("f1.txt")), given[0] == 'Y');
    }

    void commandLine()
    {
        DocumentRegistry &reg = DocumentRegistry::instance();
        const QString spaced = m_app->writeFile("with space.txt", "cmd\r\n");
        delete Startup("   "); // only blanks: nothing opens
        QCOMPARE(reg.docCount(), 0);
        m_prompts->answer(Answer::Abort); // a name in quotes is one path, quotes included
        MdiMain *quoted = Startup("\"" + spaced + "\"");
        QCOMPARE(m_prompts->messageTexts().size(), 1);
        QVERIFY(reg.docCount() == 0 && quoted->isVisible());
        delete quoted;
        delete Startup(spaced); // blanks, unquoted: one path
        QCOMPARE(reg.record(1).Title, spaced);
    }

    // However a file is named when it is opened or saved, the document keeps it by its absolute
    // name (a link by its own name), so it still saves there from another working folder; an old
    // relative recent entry stays in the list as it was written.
    void relativeNamesBecomeAbsolute_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QByteArray>("written"); // the file once opened or saved
        for (const char *way :
             {"command line", "open dialog", "a link", "an old recent entry", "mnuFileSaveAs"})
            QTest::newRow(way) << QString::fromLatin1(way) << QByteArray("a\r\n");
        QTest::newRow("Save Binary") << "mnuFileSaveBinary" << QByteArray("a");
    }

    void relativeNamesBecomeAbsolute()
    {
        QFETCH(QString, way);
        QFETCH(QByteArray, written);
        QDir().mkpath(m_app->path("work/files"));
        m_app->writeFile("work/files/a.txt", "a\r\n");
        WorkingFolder work(m_app->path("work"));
        QVERIFY(work.ok() && QFile::link("a.txt", "files/link.txt"));
        QString absolute = WorkingFolder::here(way == "a link" ? "files/link.txt" : "files/a.txt");
        const QString relative = "./files/../files/a.txt";
        if (way == "command line") {
            fileops::OpenFile(relative);
        } else if (way == "a link") {
            fileops::OpenFile("files/link.txt");
        } else if (way == "open dialog") {
            m_prompts->answerFile(relative);
            m_app->triggerFrame("mnuOpen");
            QCOMPARE(fileops::sharedFileDialog().fileName(), absolute);
        } else if (way == "an old recent entry") {
            recentfiles::AddRecentFile("/newest");
            platform::settings().write(platform::appTitle(), "Settings", recentfiles::key(2), "/newest");
            platform::settings().write(platform::appTitle(), "Settings", recentfiles::key(1), relative);
            FrmDoc *d = m_app->newDocument();
            d->rebuildMenus();
            QAction *item = d->action("mnuOpenRecent", 1);
            QVERIFY(item && item->isVisible() && item->text() == relative);
            item->trigger();
            QCOMPARE(recentfiles::entries().mid(0, 3), (QStringList{absolute, relative, "/newest"}));
        } else { // "sub" does not exist: only a name cleaned by its letters can be written
            absolute = WorkingFolder::here("saved.txt");
            type(m_app->newDocument(), "a");
            m_prompts->answerFile("sub/../saved.txt");
            AppFixture::trigger(m_app->current(), way);
        }
        FrmDoc *d = m_app->current();
        QVERIFY2(d && d->textControl()->text() == "a", qPrintable(way + ": no document"));
        QCOMPARE(AppFixture::readFile(absolute), written);
        QCOMPARE(names(d, m_app->record(d->slot())), absolute + '|' + absolute + '|' + absolute);
        QCOMPARE(recentfiles::entries().value(0), absolute);

        WorkingFolder elsewhere(m_app->path("elsewhere"));
        d->textControl()->setSelStart(0);
        type(d, "b");
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(AppFixture::readFile(absolute), "ba\r\n");
        QCOMPARE(QFileInfo(absolute).isSymLink(), way == "a link");
        QVERIFY2(QDir().isEmpty(), "nothing saved where the program is now");
        QVERIFY2(m_prompts->scriptUsedUp() && m_prompts->unexpected.isEmpty(),
                 qPrintable(m_prompts->unexpected.join(',')));
        if (way.startsWith("mnu")) { // the dialog starts from the absolute name
            m_prompts->answerFile(QString());
            AppFixture::trigger(d, way);
            QCOMPARE(m_prompts->asked.constLast().initial, absolute);
        }
    }

    // Opening a file whose lone CRs the classic reading turned into CR LF says so in the status
    // bar; files that save back as they were say nothing.
    void loneCrNotice_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("notice");
        QTest::newRow("lone CRs") << QByteArray("one\rtwo\r\nthree\r\n") << true;
        QTest::newRow("lone CR at the very end") << QByteArray("one\r\ntwo\r") << true;
        QTest::newRow("UTF-8 with a lone CR") << QByteArray("caf\xc3\xa9\rb\r\n") << true;
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << false;
        QTest::newRow("LF") << QByteArray("one\ntwo\n") << false;
        QTest::newRow("LF then CR") << QByteArray("one\n\r") << true; // not an LF file: read the classic way
        QTest::newRow("empty") << QByteArray() << false;
    }

    void loneCrNotice()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, notice);
        FrmDoc *d = open("lines.txt", file);
        QCOMPARE(d->findChild<QStatusBar *>("stBar")->currentMessage(),
                 notice ? "Lone CR line ends will be saved as CR LF" : "");
        // The panels stand aside while it shows, so it is never painted under them.
        QCOMPARE(d->findChild<QWidget *>("panel3")->isVisibleTo(d), !notice);
        QVERIFY2(m_prompts->asked.isEmpty(), "a notice, not a question");
        // The notice tells the truth: exactly those files come back changed.
        AppFixture::trigger(d, "mnuFileSave");
        if (!file.isEmpty())
            QCOMPARE(AppFixture::readFile(m_app->path("lines.txt")) != file, notice);
    }

    // The real commit fails when the target became a folder meanwhile: the save asks, and the
    // document, its name, its journal and the folder stay.
    void aCommitThatFailsForReal()
    {
        recovery::Keeper &keeper = recovery::Keeper::instance();
        QVERIFY(keeper.start(recovery::defaultRoot()));
        keeper.setTimerRunning(false);
        const auto stop = qScopeGuard([&keeper] {
            platform::setBeforeCommitHook(nullptr);
            keeper.shutdown();
            QDir(recovery::defaultRoot()).removeRecursively();
        });
        const auto journal = [&](FrmDoc *d) {
            keeper.tick();
            keeper.waitForWrites();
            const QString file = keeper.journalFile(d->slot());
            return file + (QFileInfo::exists(file) ? "" : " is not there");
        };
        FrmDoc *d = open("target.txt", "old\r\n");
        const QString path = m_app->path("target.txt");
        type(d, "new ");
        const QString journaled = journal(d);
        QVERIFY2(!journaled.isEmpty() && !journaled.endsWith(" is not there"),
                 "the changed document is journaled");

        int commits = 0;
        platform::setBeforeCommitHook([&commits](const QString &target) {
            if (commits++ > 0)
                return;
            QFile::remove(target);
            QDir().mkdir(target);
            QFile inside(target + "/inside.txt");
            if (inside.open(QIODevice::WriteOnly))
                inside.write("inside");
        });
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(commits, 1);
        QCOMPARE(m_prompts->messageTexts(), QStringList{saveError("Is a directory")});
        QCOMPARE(names(d, m_app->record(d->slot())), path + '|' + path + '|' + path + '*'); // still changed
        QCOMPARE(AppFixture::readFile(path + "/inside.txt"), "inside");
        QCOMPARE(journal(d), journaled); // it stays while the document is unsaved
    }

    void theMenuBarFollowsTheShownDocument()
    {
        auto titles = [this] {
            QStringList t;
            for (QAction *a : m_app->frame()->menuBar()->actions())
                t << a->text();
            return t.join(' ');
        };
        QCOMPARE(titles(), "&File &Edit &Tools &Options &Help");
        AppFixture::trigger(m_app->newDocument(), "mnuFileClose");
        QCOMPARE(titles(), "&File &Edit &Tools &Options &Help");
        m_app->newDocument();
        QCOMPARE(titles(), "&File &Edit &Selection In&sert &Tools &View &Options &Help");
    }

    // The last session. 10,000 entries: gone files, a folder, a FIFO, repeats, two real files.
    void junkInTheLastSessionNeverBlocksTheStart()
    {
        setReopen(true);
        const QString real1 = keep("real1.txt", "one"), real2 = keep("real2.txt", "two");
        const QString folder = QFileInfo(real1).absolutePath(), fifo = folder + "/pipe";
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QList<Entry> entries = {{folder, 0, 0}, {fifo, 0, 0}};
        for (int i = 0; i < 9996; ++i)
            entries << Entry{i % 2 ? real1 : folder + QStringLiteral("/gone%1.txt").arg(i), 5, 7};
        entries << Entry{real2, 99, 99} << Entry{fifo, 0, 0};
        lastsession::write(entries);
        m_app.reset();

        MdiMain *frame = Startup(QString());
        QCOMPARE(titles(), QStringList({"real1.txt", "real2.txt"}));
        QCOMPARE(sci(2, Sci::SCI_GETCURRENTPOS), 3); // past the end: at the end
        QCOMPARE(m_prompts->messageTexts().size(), 1);
        const QString text = m_prompts->messageTexts()[0];
        QVERIFY2(text.startsWith("These documents of the last session could not be reopened:\r\n\r\n" +
                                 folder + "\r\n" + fifo + "\r\n"),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\n... and %1 more").arg(4998 + 2 - 20)),
                 qPrintable(text.right(40)));
        QCOMPARE(lastsession::read().size(), entries.size()); // nothing lost before a clean exit
        endStart(frame);
        lastsession::write({});
    }

    void lastSessionSortingOut()
    {
        const QString f = m_app->writeFile("f.txt", "f"), g = m_app->writeFile("g.txt", "g");
        const QString h = m_app->writeFile("h.txt", "h");
        // Recovery brought g back already; only one more fits.
        const lastsession::Sorted s =
            lastsession::sortOut({{f, 1, 1}, {g, 0, 0}, {f, 2, 2}, {h, 0, 0}}, QStringList{g}, 1);
        QCOMPARE(s.open, QList<Entry>({{f, 1, 1}}));
        QCOMPARE(s.skipped, QStringList{h});
        QVERIFY(lastsession::decode("not json").isEmpty());
        QCOMPARE(lastsession::decode(lastsession::encode({{f, 3, 4}})), QList<Entry>({{f, 3, 4}}));
    }

    // Last of all: it leaves the preference off, as the other tests expect.
    void cleanExitKeepsTheSessionAndAStartReopensIt()
    {
        setReopen(true);
        QByteArray lines;
        for (int i = 0; i < 300; ++i)
            lines += "line " + QByteArray::number(i) + "\r\n";
        const QString a = keep("a.txt", lines), b = keep("b.html", "<p>b</p>\r\n");
        fileops::OpenFile(b);
        m_app->newDocument(); // no file: not kept
        fileops::OpenFile(a);
        m_app->current()->textControl()->SendScintilla(Sci::SCI_GOTOPOS, 1300UL);
        m_app->current()->textControl()->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 120UL);
        QVERIFY(m_app->frame()->close());
        QCOMPARE(lastsession::read(), (QList<Entry>{{b, 0, 0}, {a, 1300, 120}}));

        m_app.reset();
        MdiMain *frame = Startup(QString());
        QCOMPARE(titles(), QStringList({"b.html", "a.txt"}));
        QCOMPARE((QList<long>{sci(2, Sci::SCI_GETCURRENTPOS), sci(2, Sci::SCI_GETFIRSTVISIBLELINE)}),
                 (QList<long>{1300, 120}));
        QVERIFY2(m_prompts->asked.isEmpty(), "nothing to say when everything came back");
        endStart(frame);

        // A file argument wins: the session waits for another start.
        frame = Startup(keep("c.txt"));
        QCOMPARE(titles(), QStringList({"c.txt"}));
        endStart(frame);

        // With the preference off, an exit keeps nothing and a start opens nothing.
        setReopen(false);
        frame = Startup(QString());
        QVERIFY(titles().isEmpty());
        QVERIFY(frame->close());
        endStart(frame);
        QVERIFY(lastsession::read().isEmpty());
    }
};

QP_TEST_MAIN(TstDocumentWindows)
#include "tst_documentwindows.moc"
