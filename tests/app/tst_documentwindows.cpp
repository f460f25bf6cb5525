#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/clipboard.h"
#include "platform/fileio.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"
#include "workingfolder.h"

#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QStatusBar>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

using platform::Answer;

namespace {

const QString kClose = QStringLiteral("Would you like to save the changes you may have made to your work?");
const QString kRead = QStringLiteral("There was an error in reading your file\r\n");
const QString kSave = QStringLiteral("There was an error in saving to the file. \r\n");
const QString kAsk = QStringLiteral("\r\nWould would you like to do");

void type(FrmDoc *d, const char *text)
{
    QTest::keyClicks(d->textControl(), text);
}

// Drops files on a widget as the platform does, then lets the handlers run.
void dropFiles(QWidget *target, const QStringList &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
}

QString statusMessage(FrmDoc *d)
{
    return d->findChild<QStatusBar *>(QStringLiteral("stBar"))->currentMessage();
}

} // namespace

class TstDocumentWindows : public WindowTest
{
    Q_OBJECT
private slots:
    void slotsAreReusedLowestFirst()
    {
        m_app->newDocument();
        FrmDoc *b = m_app->newDocument();
        FrmDoc *c = m_app->newDocument();
        type(b, "typed");
        b->undoTick();
        type(b, "more");
        b->undoTick();
        m_app->record(2).Changed = false;
        AppFixture::trigger(c, QStringLiteral("mnuFileClose"));
        AppFixture::trigger(b, QStringLiteral("mnuFileClose"));
        QVERIFY2(!m_app->record(2).InUse && !b->isVisible(),
                 "File > Close frees the slot and hides the window");

        FrmDoc *again = m_app->newDocument();
        QCOMPARE(again, b); // the lowest hidden window is taken again, emptied
        QCOMPARE(again->textControl()->text(), QByteArray());
        again->refreshTick();
        QVERIFY2(!again->action(QStringLiteral("mnuEditUndo"))->isEnabled(), "a reused slot has no undo");
        QCOMPARE(m_app->newDocument(), c);
        QCOMPARE(m_app->newDocument()->slot(), 4);
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void closeQuestion_data()
    {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("answer");   // -1: nothing asked
        QTest::addColumn<QString>("file"); // the save dialog's answer; null: not shown
        QTest::addColumn<bool>("closes");
        QTest::newRow("unchanged") << QByteArray() << -1 << QString() << true;
        QTest::newRow("Cancel") << QByteArray("work") << int(Answer::Cancel) << QString() << false;
        QTest::newRow("Yes, name cancelled") << QByteArray("work") << int(Answer::Yes) << "" << false;
        QTest::newRow("Yes") << QByteArray("work") << int(Answer::Yes) << "saved.txt" << true;
        QTest::newRow("No") << QByteArray("work") << int(Answer::No) << QString() << true;
    }

    void closeQuestion()
    {
        QFETCH(QByteArray, typed);
        QFETCH(int, answer);
        QFETCH(QString, file);
        QFETCH(bool, closes);
        type(m_app->newDocument(), typed.constData());
        if (answer >= 0)
            m_prompts->answer(Answer(answer));
        if (!file.isNull())
            m_prompts->answerFile(file.isEmpty() ? file : m_app->path(file));
        AppFixture::trigger(m_app->doc(1), QStringLiteral("mnuFileExit"));
        QCOMPARE(m_prompts->messageTexts(), answer < 0 ? QStringList() : QStringList{kClose});
        QVERIFY(answer < 0 || (m_prompts->messages()[0].caption == QStringLiteral("Untitled") &&
                               m_prompts->messages()[0].buttons == platform::Buttons::YesNoCancel));
        QVERIFY(m_prompts->scriptUsedUp() && m_prompts->unexpected.isEmpty());
        QCOMPARE(m_app->record(1).InUse, !closes);
        QTRY_COMPARE(bool(m_app->doc(1)), !closes);
        QVERIFY(closes || m_app->record(1).Changed);
        if (!file.isEmpty()) {
            QCOMPARE(AppFixture::readFile(m_app->path(file)), QByteArray("work\r\n"));
            QCOMPARE(recentfiles::entries().value(0), m_app->path(file));
        }
    }

    void clipboardDocumentIsChangedFromTheStart()
    {
        platform::clipboard().setText(QStringLiteral("from clip\r\nline"));
        m_app->triggerFrame(QStringLiteral("mnuDFClip"));
        QCOMPARE(m_app->record(1).Title, QStringLiteral("Clipboard"));
        QCOMPARE(m_app->doc(1)->textControl()->text(), QByteArray("from clip\r\nline"));
        // A clipboard without text gives an empty document; both are changed.
        QMimeData *image = new QMimeData;
        image->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(image);
        m_app->triggerFrame(QStringLiteral("mnuDFClip"));
        QCOMPARE(m_app->doc(2)->textControl()->text(), QByteArray());
        QVERIFY(m_app->record(1).Changed && m_app->record(2).Changed);
    }

    // (What each kind of file reads as and saves back is tst_formats' table.)
    void openAndSaveKeepTheName()
    {
        const QString path = m_app->writeFile(QStringLiteral("case & \u00e9.txt"), "one\r\ntwo\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        QCOMPARE(d->textControl()->text(), QByteArray("one\r\ntwo"));
        QCOMPARE(m_app->record(1).Title + m_app->record(1).Path, path + path);
        QVERIFY2(!m_app->record(1).Changed, "a fresh open is unchanged");
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), QByteArray("one\r\ntwo\r\n"));
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void fileDialogsSaveAsAndSaveBinary()
    {
        const QString longer = m_app->writeFile(QStringLiteral("longer.txt"), "a much longer old file");
        const QString other = m_app->path(QStringLiteral("other name.txt"));
        for (const QString &f : {longer, longer, longer, other})
            m_prompts->answerFile(f);
        m_app->triggerFrame(QStringLiteral("mnuOpen"));
        FrmDoc *d = m_app->newDocument();
        AppFixture::trigger(d, QStringLiteral("mnuFileOpen")); // the same file opens twice
        QCOMPARE(m_app->record(1).Title + m_app->record(3).Title, longer + longer);
        QCOMPARE(m_prompts->asked[0].flags, 0); // 2048 takes effect from the next showing
        QCOMPARE(m_prompts->asked[1].flags, 2048);

        type(d, "abc");
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveBinary"));
        QCOMPARE(AppFixture::readFile(longer), QByteArray("abc"));
        QCOMPARE(m_prompts->asked[2].flags, 2050);
        QCOMPARE(m_prompts->asked[2].filters.size(), 10);
        QCOMPARE(d->caption(), longer);
        QVERIFY(!m_app->record(d->slot()).Changed);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(AppFixture::readFile(other), QByteArray("abc\r\n"));
        QCOMPARE(m_prompts->asked[3].initial, longer); // the dialog keeps its last name
        QCOMPARE(recentfiles::entries().mid(0, 2), (QStringList{other, longer}));

        // A cancelled Save As, and one into a place that cannot be written, change nothing.
        type(d, "d");
        m_prompts->answerFile(QString());
        m_prompts->answerFile(longer + QStringLiteral("/under.txt"));
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(m_prompts->messageTexts(), QStringList{kSave + "Not a directory" + kAsk});
        QVERIFY(m_app->record(d->slot()).Changed);
        QCOMPARE(m_app->record(d->slot()).Title + m_app->record(d->slot()).Path, other + other);
        QCOMPARE(AppFixture::readFile(other), QByteArray("abc\r\n"));
    }

    void readFailuresAskAndLoseNothing()
    {
        const QString missing = m_app->path(QStringLiteral("missing file.txt"));
        m_prompts->answer(Answer::Abort);
        fileops::OpenFile(missing);
        QCOMPARE(m_prompts->messageTexts(), QStringList{kRead + "No such file or directory" + kAsk});
        QVERIFY(m_prompts->messages()[0].buttons == platform::Buttons::AbortRetryIgnore &&
                m_prompts->messages()[0].caption == QStringLiteral("Quillpad Basic"));
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);

        // Retry after the file appeared: it opens.
        m_prompts->answer(Answer::Retry);
        m_prompts->onAsk = [&](const ScriptedPrompts::Asked &) {
            m_app->writeFile(QStringLiteral("missing file.txt"), "now");
        };
        fileops::OpenFile(missing);
        m_prompts->onAsk = nullptr;
        QCOMPARE(m_app->doc(1)->textControl()->text(), QByteArray("now"));
        QCOMPARE(m_app->record(1).Path, missing);

        // Ignore: a window that can never be saved over what it came from.
        m_prompts->clear();
        const QString folder = m_app->path(QString());
        m_prompts->answer(Answer::Ignore);
        m_prompts->answer(Answer::Ignore);
        fileops::OpenFile(folder);
        QCOMPARE(m_prompts->messageTexts().value(0), kRead + "Is a directory" + kAsk);
        QCOMPARE(m_app->record(2).Title + "|" + m_app->record(2).Path, QDir::cleanPath(folder) + "|");
        QVERIFY(m_app->record(2).Changed);
        QVERIFY2(!recentfiles::entries().contains(folder), "a failed open is not recent");

        // A FIFO is refused at once instead of hanging.
        m_prompts->clear();
        const QString fifo = m_app->path(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        m_prompts->answer(Answer::Abort);
        fileops::OpenFile(fifo);
        QCOMPARE(m_prompts->messageTexts(), QStringList{kRead + "Not a regular file" + kAsk});

        // The open dialog's wording leads with the error number.
        m_prompts->clear();
        m_prompts->answerFile(missing + QStringLiteral(".gone"));
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileOpen"));
        QCOMPARE(m_prompts->messageTexts(), QStringList{"2> " + kRead + "No such file or directory" + kAsk});
    }

    void saveFailuresKeepTheOldFileAndTheRecord_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("answer");
        for (auto step : {platform::FileStep::Open, platform::FileStep::Write, platform::FileStep::Commit}) {
            const QByteArray name = QByteArray::number(int(step));
            QTest::newRow(name + " abort") << int(step) << int(Answer::Abort);
            QTest::newRow(name + " ignore") << int(step) << int(Answer::Ignore);
        }
    }

    void saveFailuresKeepTheOldFileAndTheRecord()
    {
        QFETCH(int, step);
        QFETCH(int, answer);
        const QString path = m_app->writeFile(QStringLiteral("keep.txt"), "old\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        recentfiles::AddRecentFile(QStringLiteral("/newest"));
        type(d, "new ");
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        m_prompts->answer(Answer(answer));
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(m_prompts->messageTexts(), QStringList{kSave + "No space left on device" + kAsk});
        QCOMPARE(AppFixture::readFile(path), QByteArray("old\r\n"));
        QVERIFY(m_app->record(1).Changed && m_app->record(1).Path == path);
        QCOMPARE(recentfiles::entries().value(0), QStringLiteral("/newest"));

        // Retry writes the whole text again.
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        m_prompts->answer(Answer::Retry);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), QByteArray("new old\r\n"));
        QVERIFY(!m_app->record(1).Changed);
    }

    void closingTheFrameAsksEveryDocument()
    {
        type(m_app->newDocument(), "a");
        m_app->newDocument(); // unchanged: nothing is asked about it
        type(m_app->newDocument(), "c");
        // A save that fails while closing keeps the document and the frame.
        const QString blocker = m_app->writeFile(QStringLiteral("plainfile"), "x");
        m_prompts->answer(Answer::No);
        m_prompts->answer(Answer::Yes);
        m_prompts->answerFile(blocker + QStringLiteral("/under.txt"));
        m_prompts->answer(Answer::Abort);
        QVERIFY(!m_app->frame()->close());
        QCOMPARE(m_prompts->messageTexts(), (QStringList{kClose, kClose, kSave + "Not a directory" + kAsk}));
        QVERIFY(m_app->doc(3)->isVisible() && m_app->record(3).Changed);
        m_prompts->clear();
        m_prompts->answer(Answer::No);
        QVERIFY(m_app->frame()->close());
        QCOMPARE(m_prompts->messageTexts(), QStringList{kClose});
    }

    // File > Exit on the frame closes as the frame's close box does: each
    // changed document asks, in slot order, and Cancel keeps everything from
    // there on open, the program running.
    void exitAsksEveryChangedDocument_data()
    {
        QTest::addColumn<QString>("answers");                  // one letter a document: Yes, No, Cancel
        for (const char *order : {"YNC", "NCY", "CYN", "YNY"}) // Cancel third, second, first, never
            QTest::newRow(order) << QString::fromLatin1(order);
    }

    void exitAsksEveryChangedDocument()
    {
        QFETCH(QString, answers);
        for (int i = 1; i <= 3; ++i) {
            fileops::OpenFile(m_app->writeFile(QStringLiteral("f%1.txt").arg(i), "old\r\n"));
            type(m_app->current(), "new ");
        }
        const qsizetype asked =
            answers.contains(QLatin1Char('C')) ? answers.indexOf(QLatin1Char('C')) + 1 : 3;
        for (QChar a : answers.left(asked))
            m_prompts->answer(a == QLatin1Char('Y')   ? Answer::Yes
                              : a == QLatin1Char('N') ? Answer::No
                                                      : Answer::Cancel);
        m_app->triggerFrame(QStringLiteral("mnuExit"));
        QCOMPARE(m_prompts->messageTexts(), QStringList(int(asked), kClose));
        for (int i = 1; i <= 3; ++i) {
            const QChar a = i <= asked ? answers[i - 1] : QLatin1Char('-');
            const bool open = i >= asked && answers.left(asked).contains(QLatin1Char('C'));
            QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("f%1.txt").arg(i))),
                     QByteArray(a == QLatin1Char('Y') ? "new old\r\n" : "old\r\n"));
            QVERIFY2(m_app->record(i).InUse == open && m_app->record(i).Changed == open,
                     qPrintable(QString::number(i)));
        }
        QCOMPARE(m_app->frame()->isVisible(), answers.left(asked).contains(QLatin1Char('C')));
    }

    void commandLine()
    {
        DocumentRegistry &reg = DocumentRegistry::instance();
        const QString spaced = m_app->writeFile(QStringLiteral("with space.txt"), "cmd\r\n");
        delete Startup(QStringLiteral("   ")); // only blanks: nothing opens
        QCOMPARE(reg.docCount(), 0);
        m_prompts->answer(Answer::Abort); // a name in quotes is one path, quotes included
        MdiMain *quoted = Startup(QLatin1Char('"') + spaced + QLatin1Char('"'));
        QCOMPARE(m_prompts->messageTexts().size(), 1);
        QVERIFY(reg.docCount() == 0 && quoted->isVisible());
        delete quoted;
        delete Startup(spaced); // blanks, unquoted: one path
        QCOMPARE(reg.record(1).Title, spaced);
    }

    // However a file is named when it opens, the document keeps it by its
    // absolute name, so it still saves there from another working folder.
    void relativeNamesOpenAbsolute_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way :
             {"command line", "open dialog", "dropped on the frame", "dropped on a document"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    void relativeNamesOpenAbsolute()
    {
        QFETCH(QString, way);
        QDir().mkpath(m_app->path(QStringLiteral("work/files")));
        m_app->writeFile(QStringLiteral("work/files/a.txt"), "a\r\n");
        WorkingFolder work(m_app->path(QStringLiteral("work")));
        QVERIFY(work.ok());
        const QString absolute = WorkingFolder::here(QStringLiteral("files/a.txt"));
        const QString relative = QStringLiteral("./files/../files/a.txt");
        if (way == QLatin1String("command line")) {
            fileops::OpenFile(relative);
        } else if (way == QLatin1String("open dialog")) {
            m_prompts->answerFile(relative);
            m_app->triggerFrame(QStringLiteral("mnuOpen"));
            QCOMPARE(fileops::sharedFileDialog().fileName(), absolute);
        } else if (way == QLatin1String("dropped on the frame")) {
            dropFiles(m_app->frame(), {relative});
        } else {
            FrmDoc *target = m_app->newDocument();
            m_prompts->answer(Answer::No); // not as contents: in a window of its own
            dropFiles(target->textControl()->viewport(), {relative});
        }
        FrmDoc *d = m_app->current();
        QVERIFY2(d && d->textControl()->text() == "a", qPrintable(way + ": the file did not open"));
        const DocumentRecord &rec = m_app->record(d->slot());
        QCOMPARE(rec.Path, absolute);
        QCOMPARE(rec.Title, absolute);
        d->refreshTick();
        QCOMPARE(d->caption(), absolute);
        QCOMPARE(recentfiles::entries().value(0), absolute);

        WorkingFolder elsewhere(m_app->path(QStringLiteral("elsewhere")));
        type(d, "b");
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(absolute), QByteArray("ba\r\n"));
        QVERIFY2(!QFileInfo::exists(WorkingFolder::here(QStringLiteral("files"))),
                 "nothing saved where the program is now");
        QVERIFY2(m_prompts->scriptUsedUp() && m_prompts->unexpected.isEmpty(),
                 qPrintable(m_prompts->unexpected.join(',')));
    }

    void saveUnderARelativeName_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("Save As") << "mnuFileSaveAs" << QByteArray("abc\r\n");
        QTest::newRow("Save Binary") << "mnuFileSaveBinary" << QByteArray("abc");
    }

    void saveUnderARelativeName()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, written);
        WorkingFolder work(m_app->path(QStringLiteral("work")));
        QVERIFY(work.ok());
        // "sub" does not exist: only a name cleaned by its letters can be written.
        const QString absolute = WorkingFolder::here(QStringLiteral("saved.txt"));
        FrmDoc *d = m_app->newDocument();
        type(d, "abc");
        m_prompts->answerFile(QStringLiteral("sub/../saved.txt"));
        AppFixture::trigger(d, entry);
        QVERIFY2(m_prompts->messages().isEmpty(), qPrintable(m_prompts->messageTexts().join(',')));
        QCOMPARE(AppFixture::readFile(absolute), written);
        const DocumentRecord &rec = m_app->record(d->slot());
        QCOMPARE(rec.Path + '|' + rec.Title + '|' + d->caption(), absolute + '|' + absolute + '|' + absolute);
        QVERIFY(!rec.Changed);
        QCOMPARE(recentfiles::entries().value(0), absolute);

        // From another working folder: the next Save goes to the same file,
        // and the dialog starts from its absolute name.
        WorkingFolder elsewhere(m_app->path(QStringLiteral("elsewhere")));
        type(d, "d");
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(absolute), QByteArray("abcd\r\n"));
        QVERIFY(!QFileInfo::exists(WorkingFolder::here(QStringLiteral("saved.txt"))));
        m_prompts->answerFile(QString());
        AppFixture::trigger(d, entry);
        QCOMPARE(m_prompts->asked.constLast().initial, absolute);
    }

    // A link is kept by its own name, never by what it points at, and a save
    // through it leaves it a link.
    void aLinkStaysTheLink()
    {
        WorkingFolder work(m_app->path(QStringLiteral("work")));
        QVERIFY(work.ok());
        m_app->writeFile(QStringLiteral("work/real.txt"), "real\r\n");
        QVERIFY(QFile::link(QStringLiteral("real.txt"), QStringLiteral("link.txt")));
        fileops::OpenFile(QStringLiteral("link.txt"));
        const QString link = WorkingFolder::here(QStringLiteral("link.txt"));
        QCOMPARE(m_app->record(1).Path + '|' + m_app->record(1).Title, link + '|' + link);
        QCOMPARE(recentfiles::entries().value(0), link);
        type(m_app->doc(1), "the ");
        AppFixture::trigger(m_app->doc(1), QStringLiteral("mnuFileSave"));
        QVERIFY2(QFileInfo(link).isSymLink(), "the link is still a link");
        QCOMPARE(AppFixture::readFile(WorkingFolder::here(QStringLiteral("real.txt"))),
                 QByteArray("the real\r\n"));
    }

    // A relative entry kept from before stays in the list as it was written,
    // and opens from the working folder as it stands.
    void anOldRelativeRecentEntry()
    {
        QDir().mkpath(m_app->path(QStringLiteral("work/old")));
        m_app->writeFile(QStringLiteral("work/old/rel.txt"), "old\r\n");
        WorkingFolder work(m_app->path(QStringLiteral("work")));
        QVERIFY(work.ok());
        const QString old = QStringLiteral("old/rel.txt");
        // As an older version left the list.
        recentfiles::AddRecentFile(QStringLiteral("/newest"));
        platform::settings().write(platform::appTitle(), QStringLiteral("Settings"), recentfiles::key(2),
                                   QStringLiteral("/newest"));
        platform::settings().write(platform::appTitle(), QStringLiteral("Settings"), recentfiles::key(1),
                                   old);
        FrmDoc *d = m_app->newDocument();
        d->rebuildMenus();
        QAction *item = d->action(QStringLiteral("mnuOpenRecent"), 1);
        QVERIFY(item && item->isVisible());
        QCOMPARE(item->text(), old);
        item->trigger();
        const QString absolute = WorkingFolder::here(old);
        QCOMPARE(m_app->current()->textControl()->text(), QByteArray("old"));
        QCOMPARE(m_app->record(m_app->current()->slot()).Path, absolute);
        QCOMPARE(recentfiles::entries().mid(0, 3), (QStringList{absolute, old, QStringLiteral("/newest")}));
    }

    // Opening a file whose lone CRs the classic reading turned into CR LF says
    // so in the status bar; files that save back as they were say nothing.
    void loneCrNotice_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("notice");
        QTest::newRow("lone CRs") << QByteArray("one\rtwo\r\nthree\r\n") << true;
        QTest::newRow("lone CR at the very end") << QByteArray("one\r\ntwo\r") << true;
        QTest::newRow("UTF-8 with a lone CR") << QByteArray("caf\xc3\xa9\rb\r\n") << true;
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << false;
        QTest::newRow("LF") << QByteArray("one\ntwo\rthree\n").replace('\r', 'x') << false;
        QTest::newRow("LF then CR") << QByteArray("one\n\r") << true; // not an LF file: read the classic way
        QTest::newRow("empty") << QByteArray() << false;
    }

    void loneCrNotice()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, notice);
        const QString path = m_app->writeFile(QStringLiteral("lines.txt"), file);
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        QCOMPARE(statusMessage(d),
                 notice ? QStringLiteral("Lone CR line ends will be saved as CR LF") : QString());
        // The panels stand aside while it shows, so it is never painted under them.
        QCOMPARE(d->findChild<QWidget *>(QStringLiteral("panel3"))->isVisibleTo(d), !notice);
        QVERIFY2(m_prompts->asked.isEmpty(), "a notice, not a question");
        // The notice tells the truth: exactly those files come back changed.
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        if (!file.isEmpty())
            QCOMPARE(AppFixture::readFile(path) != file, notice);
    }

    // The real commit fails when the target became a folder meanwhile: the
    // save asks, and the document, its name, its journal and the folder stay.
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
        const QString path = m_app->writeFile(QStringLiteral("target.txt"), "old\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        type(d, "new ");
        keeper.tick();
        keeper.waitForWrites();
        const QString journal = keeper.journalFile(d->slot());
        QVERIFY2(!journal.isEmpty() && QFileInfo::exists(journal), "the changed document is journaled");

        int commits = 0;
        platform::setBeforeCommitHook([&commits](const QString &target) {
            if (commits++ > 0)
                return;
            QFile::remove(target);
            QDir().mkdir(target);
            QFile inside(target + QStringLiteral("/inside.txt"));
            if (inside.open(QIODevice::WriteOnly))
                inside.write("inside");
        });
        m_prompts->answer(Answer::Abort);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(commits, 1);
        QCOMPARE(m_prompts->messageTexts(), QStringList{kSave + "Is a directory" + kAsk});
        const DocumentRecord &rec = m_app->record(d->slot());
        QVERIFY2(rec.Changed, "a failed save leaves the document changed");
        QCOMPARE(rec.Path + '|' + d->caption(), path + '|' + path);
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("inside.txt")});
        QCOMPARE(AppFixture::readFile(path + QStringLiteral("/inside.txt")), QByteArray("inside"));
        keeper.tick();
        keeper.waitForWrites();
        QCOMPARE(keeper.journalFile(d->slot()), journal);
        QVERIFY2(QFileInfo::exists(journal), "the journal stays while the document is unsaved");
    }

    void theMenuBarFollowsTheShownDocument()
    {
        auto titles = [this] {
            QStringList t;
            for (QAction *a : m_app->frame()->menuBar()->actions())
                t << a->text();
            return t.join(QLatin1Char(' '));
        };
        QCOMPARE(titles(), QStringLiteral("&File &Edit &Tools &Options &Help"));
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(titles(), QStringLiteral("&File &Edit &Selection In&sert &Tools &View &Options &Help"));
        AppFixture::trigger(d, QStringLiteral("mnuFileClose"));
        QCOMPARE(titles(), QStringLiteral("&File &Edit &Tools &Options &Help"));
    }
};

QP_TEST_MAIN(TstDocumentWindows)
#include "tst_documentwindows.moc"
