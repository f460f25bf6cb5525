// Document windows: slots, opening and saving through the dialogs, read and save failures, the
// questions on closing, the command line, and the last session kept at a clean exit and reopened
// by the next start without file arguments (one message names what is gone; junk never blocks it).

#include "app/mdimain.h"
#include "app/startup.h"
#include "apptest.h"
#include "documents/documentregistry.h"
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

// Where a document is kept, as one string: its path, its title, its caption, and "*" if changed.
QString names(FrmDoc *d)
{
    const DocumentRecord &rec = DocumentRegistry::instance().record(d->slot());
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
    return writeBytes(testsupport::root() + "/files/" + name, bytes);
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

private slots:
    // The menu bar follows the shown document; slots and windows are reused lowest first.
    void slotsAreReusedLowestFirst()
    {
        auto bar = [this] {
            QStringList t;
            for (QAction *a : m_app->frame()->menuBar()->actions())
                t << a->text();
            return t.join(' ');
        };
        const QString frameMenus = "&File &Edit &Tools &Options &Help";
        QCOMPARE(bar(), frameMenus);
        AppFixture::trigger(m_app->newDocument(), "mnuFileClose");
        QCOMPARE(bar(), frameMenus);
        m_app->newDocument();
        QCOMPARE(bar(), "&File &Edit &Selection In&sert &Tools &View &Options &Help");
        FrmDoc *b = m_app->newDocument(), *c = m_app->newDocument();
        for (const char *text : {"typed", "more"})
            type(b, text), b->undoTick();
        m_app->record(2).Changed = false;
        AppFixture::trigger(c, "mnuFileClose");
        AppFixture::trigger(b, "mnuFileClose");
        QVERIFY2(!m_app->record(2).InUse && !b->isVisible(), "Close frees the slot, hides the window");
        QCOMPARE(m_app->newDocument(), b); // the lowest hidden window is taken again, emptied, without undo
        b->refreshTick();
        QVERIFY(b->textControl()->text().isEmpty() && !b->action("mnuEditUndo")->isEnabled());
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
                     m_app->doc(2)->textControl()->text() +
                     (m_app->record(1).Changed && m_app->record(2).Changed ? "*" : ""),
                 "Clipboard|from clip\r\nline|*");
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
        QCOMPARE((QStringList{names(m_app->doc(1)), names(m_app->doc(3))}),
                 QStringList(2, old + '|' + old + '|' + old)); // a fresh open is unchanged

        type(d, "abc");
        AppFixture::trigger(d, "mnuFileSaveBinary");
        QCOMPARE(AppFixture::readFile(old), "abc");
        // The dialog's flags: 2048 takes effect from the next showing; Save Binary offers 10 kinds.
        const QList<ScriptedPrompts::Asked> &asked = m_prompts->asked;
        QCOMPARE((QList<qsizetype>{asked[0].flags, asked[1].flags, asked[2].flags, asked[2].filters.size()}),
                 (QList<qsizetype>{0, 2048, 2050, 10}));
        QCOMPARE(names(d), old + '|' + old + '|' + old);
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
        QCOMPARE(names(d), other + '|' + other + '|' + other + '*');
        QCOMPARE(recentfiles::entries().value(0) + AppFixture::readFile(other), other + "abc\r\n");
        // Retry after a failing save writes the whole text again.
        platform::injectFileFault(platform::FileStep::Commit, ENOSPC);
        m_prompts->answer(Answer::Retry);
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(m_prompts->messageTexts().value(1), saveError("No space left on device"));
        QCOMPARE(names(d) + AppFixture::readFile(other), other + '|' + other + '|' + other + "abcd\r\n");
    }

    // (A FIFO or a device is refused by the reader: tst_platformparts.)
    void readFailuresAskAndLoseNothing()
    {
        const QString missing = m_app->path("missing file.txt");
        m_prompts->answer(Answer::Abort);
        fileops::OpenFile(missing);
        QCOMPARE(m_prompts->messageTexts(), QStringList{readError("No such file or directory")});
        QVERIFY(m_prompts->messages()[0].buttons == platform::Buttons::AbortRetryIgnore &&
                m_prompts->messages()[0].caption == "Quillpad Basic" &&
                DocumentRegistry::instance().docCount() == 0);

        // Retry after the file appeared: it opens.
        m_prompts->answer(Answer::Retry);
        m_prompts->onAsk = [&](const ScriptedPrompts::Asked &) { writeBytes(missing, "now"); };
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
        for (const QString &row :
             QString("mnuFileExit C,mnuFileExit F,mnuFileExit Y,mnuFileExit N,mnuExit YNC,"
                     "mnuExit NCY,mnuExit CYN,mnuExit YNY,mnuExit NF,close YF")
                 .split(','))
            QTest::newRow(qPrintable(row)) << row.section(' ', 0, 0) << row.section(' ', 1);
    }

    void closingAsks()
    {
        QFETCH(QString, how);
        QFETCH(QString, answers);
        type(m_app->newDocument(), "new ");
        for (int i = 2; i <= 3; ++i)
            type(openIn(*m_app, m_app->writeFile(QStringLiteral("f%1.txt").arg(i), "old\r\n")), "new ");
        m_app->newDocument(); // unchanged: nothing is asked about it
        // The first answer that keeps its document open, if any.
        const qsizetype cut = answers.indexOf(QRegularExpression("[CF]"));
        const bool kept = cut >= 0;
        const QString given = kept ? answers.left(cut + 1) : answers;
        const bool diskFull = given.size() > 1 && given.endsWith('F');
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
                m_prompts->messages()[0].buttons == platform::Buttons::YesNoCancel &&
                m_prompts->scriptUsedUp() && m_prompts->unexpected.isEmpty());
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
        QVERIFY(m_prompts->messageTexts().size() == 1 && reg.docCount() == 0 && quoted->isVisible());
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
        for (const char *way : {"command line", "open dialog", "a link", "an old recent entry",
                                "mnuFileSaveAs", "mnuFileSaveBinary"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    void relativeNamesBecomeAbsolute()
    {
        QFETCH(QString, way);
        QDir().mkpath(m_app->path("work/files"));
        m_app->writeFile("work/files/a.txt", "a\r\n");
        WorkingFolder work(m_app->path("work"));
        QVERIFY(work.ok() && QFile::link("a.txt", "files/link.txt"));
        QString absolute = WorkingFolder::here(way == "a link" ? "files/link.txt" : "files/a.txt");
        const QString relative = "./files/../files/a.txt";
        if (way == "command line" || way == "a link") {
            fileops::OpenFile(way == "a link" ? "files/link.txt" : relative);
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
        QCOMPARE(AppFixture::readFile(absolute), way == "mnuFileSaveBinary" ? "a" : "a\r\n");
        QCOMPARE(names(d), absolute + '|' + absolute + '|' + absolute);
        QCOMPARE(recentfiles::entries().value(0), absolute);

        WorkingFolder elsewhere(m_app->path("elsewhere"));
        d->textControl()->setSelStart(0);
        type(d, "b");
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(AppFixture::readFile(absolute), "ba\r\n");
        QVERIFY2(QFileInfo(absolute).isSymLink() == (way == "a link") && QDir().isEmpty(),
                 "a link stays a link; nothing saved where the program is now");
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
        FrmDoc *d = openIn(*m_app, m_app->writeFile("lines.txt", file));
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
        const QString path = m_app->writeFile("target.txt", "old\r\n");
        FrmDoc *d = openIn(*m_app, path);
        type(d, "new ");
        const QString journaled = journal(d);
        QVERIFY2(!journaled.endsWith(" is not there"), "the changed document is journaled");

        int commits = 0;
        platform::setBeforeCommitHook([&commits](const QString &target) {
            if (commits++ > 0)
                return;
            QFile::remove(target);
            QDir().mkdir(target);
            writeBytes(target + "/inside.txt", "inside");
        });
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(d, "mnuFileSave");
        QCOMPARE(m_prompts->messageTexts() << QString::number(commits),
                 (QStringList{saveError("Is a directory"), "1"}));
        QCOMPARE(names(d), path + '|' + path + '|' + path + '*'); // still changed
        QCOMPARE(AppFixture::readFile(path + "/inside.txt"), "inside");
        QCOMPARE(journal(d), journaled); // it stays while the document is unsaved
    }

    // The last session. Last of all: it leaves the preference off, as the other tests expect.
    void cleanExitKeepsTheSessionAndAStartReopensIt()
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

        setReopen(true);
        const QString a = keep("a.txt", lines(300)), b = keep("b.html", "<p>b</p>\r\n");
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

        // 10,000 entries: gone files, a folder, a FIFO, repeats, two real files.
        const QString real1 = keep("real1.txt", "one"), real2 = keep("real2.txt", "two");
        const QString folder = QFileInfo(real1).absolutePath(), fifo = folder + "/pipe";
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QList<Entry> entries = {{folder, 0, 0}, {fifo, 0, 0}};
        for (int i = 0; i < 9996; ++i)
            entries << Entry{i % 2 ? real1 : folder + QStringLiteral("/gone%1.txt").arg(i), 5, 7};
        entries << Entry{real2, 99, 99} << Entry{fifo, 0, 0};
        lastsession::write(entries);
        frame = Startup(QString());
        QCOMPARE(titles(), QStringList({"real1.txt", "real2.txt"}));
        QCOMPARE(sci(2, Sci::SCI_GETCURRENTPOS), 3); // past the end: at the end
        QCOMPARE(m_prompts->messageTexts().size(), 1);
        const QString text = m_prompts->messageTexts()[0];
        QVERIFY2(text.startsWith("These documents of the last session could not be reopened:\r\n\r\n" +
                                 folder + "\r\n" + fifo + "\r\n") &&
                     text.endsWith(QStringLiteral("\r\n... and %1 more").arg(4998 + 2 - 20)),
                 qPrintable(text));
        QCOMPARE(lastsession::read().size(), entries.size()); // nothing lost before a clean exit
        endStart(frame);
        lastsession::write({});

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
