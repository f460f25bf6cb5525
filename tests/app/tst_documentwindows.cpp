#include "app/mdimain.h"
#include "app/startup.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/frmdoc.h"
#include "platform/clipboard.h"
#include "platform/fileio.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>

#include <cerrno>
#include <sys/stat.h>

using platform::Answer;

namespace {

const QString kClose = QStringLiteral("Would you like to save the changes you may have made to your work?");

QString readQuestion(const QString &description)
{
    return QStringLiteral("There was an error in reading your file\r\n") + description
           + QStringLiteral("\r\nWould would you like to do");
}

QString saveQuestion(const QString &description)
{
    return QStringLiteral("There was an error in saving to the file. \r\n") + description
           + QStringLiteral("\r\nWould would you like to do");
}

void clearRecent()
{
    for (int i = 1; i <= recentfiles::Count; ++i)
        platform::settings().write(QStringLiteral("Quillpad Basic"), QStringLiteral("Settings"),
                                   recentfiles::key(i), QString());
}

int visibleDocuments(MdiMain *frame)
{
    int n = 0;
    for (QMdiSubWindow *sw : frame->mdiArea()->subWindowList())
        n += sw->isVisible();
    return n;
}

} // namespace

class TstDocumentWindows : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearRecent(); }

    void slotsAreReusedLowestFirst()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *b = app.newDocument();
        FrmDoc *c = app.newDocument();
        QCOMPARE(a->slot(), 1);
        QCOMPARE(c->slot(), 3);
        QCOMPARE(app.record(1).Title, QStringLiteral("Untitled"));
        QCOMPARE(app.record(2).Title, QStringLiteral("Untitled"));
        QTest::keyClicks(b->textControl(), "typed");
        b->undoTick();
        QTest::keyClicks(b->textControl(), "more");
        b->undoTick();
        app.record(2).Changed = false;
        AppFixture::trigger(b, QStringLiteral("mnuFileClose"));
        QVERIFY(!app.record(2).InUse);
        QVERIFY2(!b->isVisible(), "File > Close hides the window");

        FrmDoc *again = app.newDocument();
        QCOMPARE(again->slot(), 2);
        QCOMPARE(again, b); // the hidden window is taken again
        QCOMPARE(again->textControl()->text(), QByteArray());
        again->refreshTick();
        QVERIFY2(!again->action(QStringLiteral("mnuEditUndo"))->isEnabled(), "a reused slot has no undo");
        QCOMPARE(app.newDocument()->slot(), 4);
        QCOMPARE(DocumentRegistry::instance().docCount(), 4);
        QVERIFY(prompts.asked.isEmpty());
    }

    void closeQuestionAnswers()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        // Unchanged: nothing is asked.
        FrmDoc *d = app.newDocument();
        d->subWindow()->close();
        QCOMPARE(prompts.asked.size(), 0);
        QVERIFY(!app.record(1).InUse);

        // Cancel keeps everything as it was.
        d = app.newDocument();
        QTest::keyClicks(d->textControl(), "work");
        prompts.answer(Answer::Cancel);
        d->subWindow()->close();
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, kClose);
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::YesNoCancel);
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Untitled"));
        QVERIFY(d->isVisible());
        QCOMPARE(d->textControl()->text(), QByteArray("work"));
        QVERIFY(app.record(d->slot()).Changed);
        QCOMPARE(app.record(d->slot()).Title, QStringLiteral("Untitled"));

        // Yes on a document without a file asks for a name; a cancelled
        // dialog keeps the document open and changed.
        prompts.clear();
        prompts.answer(Answer::Yes);
        prompts.answerFile(QString());
        d->subWindow()->close();
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[1].kind, ScriptedPrompts::Kind::SaveFile);
        QVERIFY2(d->isVisible(), "nothing was saved, so nothing is closed");
        QVERIFY(app.record(d->slot()).Changed);

        // Yes with a name saves and closes.
        prompts.clear();
        const QString target = app.path(QStringLiteral("saved.txt"));
        prompts.answer(Answer::Yes);
        prompts.answerFile(target);
        const int slot = d->slot();
        d->subWindow()->close();
        QCOMPARE(AppFixture::readFile(target), QByteArray("work\r\n"));
        QVERIFY(!app.record(slot).InUse);
        QTRY_VERIFY(!app.doc(slot));
        QCOMPARE(recentfiles::entries().value(0), target);

        // No closes without saving.
        d = app.newDocument();
        QTest::keyClicks(d->textControl(), "x");
        prompts.clear();
        prompts.answer(Answer::No);
        AppFixture::trigger(d, QStringLiteral("mnuFileExit"));
        QVERIFY(!d->isVisible() || !app.doc(1));
        QVERIFY(!app.record(1).InUse);
        QVERIFY(prompts.unexpected.isEmpty());
    }

    void clipboardDocumentIsChangedFromTheStart()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        platform::clipboard().setText(QStringLiteral("from clip\r\nline"));
        app.triggerFrame(QStringLiteral("mnuDFClip"));
        FrmDoc *d = app.current();
        QVERIFY(d);
        QCOMPARE(app.record(d->slot()).Title, QStringLiteral("Clipboard"));
        QCOMPARE(d->textControl()->text(), QByteArray("from clip\r\nline"));
        QVERIFY(app.record(d->slot()).Changed);
        prompts.answer(Answer::No);
        d->subWindow()->close();
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, kClose);

        // A clipboard without text gives an empty document, still changed.
        QMimeData *image = new QMimeData;
        image->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(image);
        app.triggerFrame(QStringLiteral("mnuDFClip"));
        d = app.current();
        QCOMPARE(d->textControl()->text(), QByteArray());
        QVERIFY(app.record(d->slot()).Changed);
    }

    void openAndSaveKeepTheBytes()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        struct Case
        {
            QByteArray file, text, saved;
        };
        const QList<Case> cases = {
            {"one\r\ntwo\r\n", "one\r\ntwo", "one\r\ntwo\r\n"},
            {"one\r\ntwo", "one\r\ntwo", "one\r\ntwo\r\n"},
            {"lf\nonly\n", "lf\nonly\n", "lf\nonly\n\r\n"},
            {"", "", "\r\n"},
            {"mixed\rends\r\nand\nmore", "mixed\r\nends\r\nand\nmore", "mixed\r\nends\r\nand\nmore\r\n"},
        };
        int n = 0;
        for (const Case &c : cases) {
            const QString path = app.writeFile(QStringLiteral("case %1 & \u00e9.txt").arg(++n), c.file);
            fileops::OpenFile(path);
            FrmDoc *d = app.current();
            QCOMPARE(d->textControl()->text(), c.text);
            QCOMPARE(app.record(d->slot()).Title, path);
            QCOMPARE(app.record(d->slot()).Path, path);
            QVERIFY2(!app.record(d->slot()).Changed, "a fresh open is unchanged");
            AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
            QCOMPARE(AppFixture::readFile(path), c.saved);
            QCOMPARE(d->caption(), path);
        }
        QVERIFY(prompts.asked.isEmpty());
    }

    void everyByteSurvivesOpenAndSave()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            if (i != '\r')
                bytes += char(i);
        bytes += "\r\n";
        const QString path = app.writeFile(QStringLiteral("bytes.bin"), bytes);
        fileops::OpenFile(path);
        FrmDoc *d = app.current();
        QCOMPARE(d->textControl()->length(), bytes.size() - 2);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), bytes);
    }

    void saveAsAndSaveBinary()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QTest::keyClicks(d->textControl(), "abc");
        const QString longer = app.writeFile(QStringLiteral("longer.txt"), "a much longer old file");
        prompts.answerFile(longer);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveBinary"));
        QCOMPARE(AppFixture::readFile(longer), QByteArray("abc"));
        QCOMPARE(prompts.asked[0].flags, 2050);
        QCOMPARE(prompts.asked[0].filters.size(), 10);
        QCOMPARE(d->caption(), longer);
        QVERIFY(!app.record(d->slot()).Changed);

        const QString other = app.path(QStringLiteral("other name.txt"));
        prompts.answerFile(other);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(AppFixture::readFile(other), QByteArray("abc\r\n"));
        QCOMPARE(d->caption(), other);
        QCOMPARE(prompts.asked[1].initial, longer); // the dialog keeps its last name
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(d->caption(), other);
        QCOMPARE(recentfiles::entries().mid(0, 2), (QStringList{other, longer}));

        // A cancelled Save As changes nothing.
        QTest::keyClicks(d->textControl(), "d");
        prompts.answerFile(QString());
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QVERIFY(app.record(d->slot()).Changed);
        QCOMPARE(app.record(d->slot()).Path, other);
        QCOMPARE(AppFixture::readFile(other), QByteArray("abc\r\n"));
    }

    void openDialogAndItsFlags()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("twice.txt"), "same\r\n");
        prompts.answerFile(path);
        prompts.answerFile(path);
        prompts.answerFile(QString());
        app.triggerFrame(QStringLiteral("mnuOpen"));
        AppFixture::trigger(app.current(), QStringLiteral("mnuFileOpen"));
        AppFixture::trigger(app.current(), QStringLiteral("mnuFileOpen"));
        QCOMPARE(prompts.asked.size(), 3);
        QCOMPARE(prompts.asked[0].kind, ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(prompts.asked[0].flags, 0); // 2048 takes effect from the next showing
        QCOMPARE(prompts.asked[1].flags, 2048);
        QCOMPARE(visibleDocuments(app.frame()), 2);
        QCOMPARE(app.record(1).Title, path);
        QCOMPARE(app.record(2).Title, path);
    }

    void readFailuresAskAndLoseNothing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString missing = app.path(QStringLiteral("missing file.txt"));

        // Abort: no window.
        prompts.answer(Answer::Abort);
        fileops::OpenFile(missing);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, readQuestion(QStringLiteral("No such file or directory")));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);

        // Retry after the file appeared: it opens.
        prompts.clear();
        prompts.answer(Answer::Retry);
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { app.writeFile(QStringLiteral("missing file.txt"), "now\r\n"); };
        fileops::OpenFile(missing);
        prompts.onAsk = nullptr;
        QCOMPARE(app.current()->textControl()->text(), QByteArray("now"));
        QCOMPARE(app.record(app.current()->slot()).Path, missing);

        // Ignore: a window that can never be saved over the file.
        prompts.clear();
        const QString folder = app.path(QString());
        prompts.answer(Answer::Ignore);
        prompts.answer(Answer::Ignore);
        fileops::OpenFile(folder);
        QCOMPARE(prompts.messages().size(), 2);
        QCOMPARE(prompts.messages()[0].text, readQuestion(QStringLiteral("Is a directory")));
        FrmDoc *d = app.current();
        QCOMPARE(app.record(d->slot()).Title, folder);
        QCOMPARE(app.record(d->slot()).Path, QString());
        QVERIFY(app.record(d->slot()).Changed);
        QVERIFY2(!recentfiles::entries().contains(folder), "a failed open is not recent");

        // A FIFO is refused at once instead of hanging.
        prompts.clear();
        const QString fifo = app.path(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        prompts.answer(Answer::Abort);
        fileops::OpenFile(fifo);
        QCOMPARE(prompts.messages()[0].text, readQuestion(QStringLiteral("Not a regular file")));

        // The open dialog's wording leads with the error number.
        prompts.clear();
        prompts.answerFile(missing + QStringLiteral(".gone"));
        prompts.answer(Answer::Abort);
        AppFixture::trigger(app.current(), QStringLiteral("mnuFileOpen"));
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("2> There was an error in reading your file\r\nNo such file or directory\r\n"
                                "Would would you like to do"));

        // A read failing mid-way: injected through the file seam.
        prompts.clear();
        const QString good = app.writeFile(QStringLiteral("good.txt"), "good");
        platform::injectFileFault(platform::FileStep::Read, EIO);
        prompts.answer(Answer::Retry);
        fileops::OpenFile(good);
        QCOMPARE(prompts.messages()[0].text, readQuestion(QStringLiteral("Input/output error")));
        QCOMPARE(app.current()->textControl()->text(), QByteArray("good"));
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
        ScriptedPrompts prompts;
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("keep.txt"), "old\r\n");
        fileops::OpenFile(path);
        FrmDoc *d = app.current();
        clearRecent();
        QTest::keyClicks(d->textControl(), "new ");
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        prompts.answer(Answer(answer));
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, saveQuestion(QStringLiteral("No space left on device")));
        QCOMPARE(AppFixture::readFile(path), QByteArray("old\r\n"));
        QVERIFY(app.record(d->slot()).Changed);
        QCOMPARE(app.record(d->slot()).Path, path);
        QCOMPARE(recentfiles::entries(), QStringList());
        QCOMPARE(QDir(app.path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});

        // Retry writes the whole text again.
        platform::injectFileFault(platform::FileStep(step), ENOSPC);
        prompts.answer(Answer::Retry);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), QByteArray("new old\r\n"));
        QVERIFY(!app.record(d->slot()).Changed);
    }

    void saveAsIntoAnUnwritablePlace()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *d = app.newDocument();
        QTest::keyClicks(d->textControl(), "text");
        const QString blocker = app.writeFile(QStringLiteral("plainfile"), "x");
        prompts.answerFile(blocker + QStringLiteral("/under.txt"));
        prompts.answer(Answer::Abort);
        AppFixture::trigger(d, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY(prompts.messages()[0].text.startsWith(QStringLiteral("There was an error in saving to the file. ")));
        QCOMPARE(app.record(d->slot()).Title, QStringLiteral("Untitled"));
        QCOMPARE(app.record(d->slot()).Path, QString());

        // Closing after a failed save keeps the document.
        prompts.clear();
        prompts.answer(Answer::Yes);
        prompts.answerFile(blocker + QStringLiteral("/under.txt"));
        prompts.answer(Answer::Abort);
        QVERIFY(!app.frame()->close());
        QVERIFY(d->isVisible());
        QCOMPARE(d->textControl()->text(), QByteArray("text"));
    }

    void closingTheFrameAsksEveryDocument()
    {
        ScriptedPrompts prompts;
        auto *app = new AppFixture;
        FrmDoc *a = app->newDocument();
        FrmDoc *b = app->newDocument();
        FrmDoc *c = app->newDocument();
        QTest::keyClicks(a->textControl(), "a");
        QTest::keyClicks(c->textControl(), "c");
        Q_UNUSED(b);
        // b is closed with No before; the frame asks nothing about it.
        prompts.answer(Answer::No);
        prompts.answer(Answer::Cancel);
        QVERIFY(!app->frame()->close());
        QCOMPARE(prompts.messages().size(), 2);
        QVERIFY(c->isVisible());
        prompts.clear();
        prompts.answer(Answer::No);
        QVERIFY(app->frame()->close());
        QCOMPARE(prompts.messages().size(), 1);
        delete app;
    }

    void commandLineAndDrops()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString spaced = app.writeFile(QStringLiteral("with space.txt"), "cmd\r\n");
        // Only blanks: nothing opens.
        delete Startup(QStringLiteral("   "));
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
        // A name in quotes is one path, quotes included.
        prompts.answer(Answer::Abort);
        MdiMain *quoted = Startup(QLatin1Char('"') + spaced + QLatin1Char('"'));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
        QVERIFY(quoted->isVisible());
        delete quoted;
        // A path with blanks, unquoted, opens whole.
        MdiMain *frame = Startup(spaced);
        QCOMPARE(DocumentRegistry::instance().record(1).Title, spaced);
        delete frame;
        QApplication::processEvents();
        DocumentRegistry::instance().reset();

        // Dropping three files onto the frame opens them in order; a folder
        // among them asks, and the rest still open after Abort.
        AppFixture drops;
        prompts.clear();
        const QString f1 = drops.writeFile(QStringLiteral("1.txt"), "one");
        const QString f2 = drops.writeFile(QStringLiteral("2.txt"), "two");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f1), QUrl::fromLocalFile(drops.path(QString())), QUrl::fromLocalFile(f2)});
        prompts.answer(Answer::Abort);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(drops.frame(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(drops.frame(), &drop);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(drops.record(1).Title, f1);
        QCOMPARE(drops.record(2).Title, f2);
    }

    void theMenuBarFollowsTheShownDocument()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QMenuBar *bar = app.frame()->menuBar();
        auto titles = [bar] {
            QStringList t;
            for (QAction *a : bar->actions())
                t << a->text();
            return t;
        };
        QCOMPARE(titles(), (QStringList{"&File", "&Edit", "&Tools", "&Options", "&Help"}));
        QCOMPARE(app.frame()->menuOwner(), nullptr);
        FrmDoc *d = app.newDocument();
        QCOMPARE(app.frame()->menuOwner(), d);
        QCOMPARE(titles(), (QStringList{"&File", "&Edit", "&Selection", "In&sert", "&Tools", "&View", "&Options", "&Help"}));
        AppFixture::trigger(d, QStringLiteral("mnuFileClose"));
        QCOMPARE(app.frame()->menuOwner(), nullptr);
        QCOMPARE(titles().size(), 5);
    }

    void ampersandsShowInMenusButOpenTheRealPath()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("R&D notes.txt"), "rd");
        fileops::OpenFile(path);
        FrmDoc *d = app.newDocument(); // built after the add, so it lists the file
        QAction *item = d->action(QStringLiteral("mnuOpenRecent"), 1);
        QVERIFY(item && item->isVisible());
        QVERIFY(item->text().contains(QStringLiteral("R&&D notes.txt")));
        item->trigger();
        QCOMPARE(app.current()->textControl()->text(), QByteArray("rd"));
        QTRY_COMPARE(app.current()->caption(), path);
    }
};

QP_TEST_MAIN(TstDocumentWindows)
#include "tst_documentwindows.moc"
