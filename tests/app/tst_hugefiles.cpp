// Huge files: read piece by piece on a worker into the engine, with progress
// shown and Cancel offered; the window stays responsive. The tests make the
// pieces small so that a few kilobytes behave as gigabytes would.

#include "app/mdimain.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "editor/replaceinbulk.h"
#include "editor/sourceview.h"
#include "platform/fileio.h"
#include "platform/longtask.h"
#include "platform/textcontrol.h"

#include "testmain.h"
#include "windowtest.h"
#include <Qsci/qsciscintillabase.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

using platform::Answer;

namespace {

const QString kRead = QStringLiteral("There was an error in reading your file\r\n");
const QString kAsk = QStringLiteral("\r\nWould would you like to do");

QByteArray lines(int n, const char *end = "\r\n")
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "line " + QByteArray::number(i) + end;
    return out;
}

QDialog *progressWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmProgress") && w->isVisible())
            return qobject_cast<QDialog *>(w);
    return nullptr;
}

} // namespace

class TstHugeFiles : public WindowTest
{
    Q_OBJECT

    // Each test starts from the real figures.
    static void realFigures()
    {
        fileops::setStreaming(0);
        platform::setLongTaskDelayMs(-1);
        platform::setLongTaskWatcher(nullptr);
        platform::setReadDelayUs(0);
        platform::setWriteDelayUs(0);
        platform::setAvailableMemoryForTests(-1);
    }

private slots:
    // (That a file read in pieces gives the text and format of the whole file is
    // tst_documentscore's piecesReadAsTheWholeFile; the tests below read in pieces.)
    // Progress is shown with the file's name; Cancel (button or Escape) at
    // the start, half way or at the very end leaves no window, no half
    // document and the recent list as it was.
    void cancelLeavesNothing_data()
    {
        QTest::addColumn<double>("at"); // share of the file read when Cancel comes
        QTest::addColumn<QString>("how");
        QTest::newRow("at 0%") << 0.0 << "button";
        QTest::newRow("at 50%") << 0.5 << "button";
        QTest::newRow("at 50%, Escape") << 0.5 << "escape";
        QTest::newRow("at the last moment") << 1.0 << "button";
    }

    void cancelLeavesNothing()
    {
        realFigures();
        QFETCH(double, at);
        QFETCH(QString, how);
        const QByteArray file = lines(1000);
        const QString path = m_app->writeFile(QStringLiteral("big.txt"), file);
        recentfiles::AddRecentFile(QStringLiteral("/earlier"));
        const QStringList recent = recentfiles::entries();
        // Each piece slower than the window's steps, so Cancel can come at any of them.
        fileops::setStreaming(1, 1024);
        platform::setReadDelayUs(80000);
        platform::setLongTaskDelayMs(0);
        QList<qint64> seen;
        QString shownName;
        bool cancelled = false;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            const qint64 done = task.done.load();
            if (seen.isEmpty() || seen.last() != done)
                seen << done;
            QDialog *w = progressWindow();
            // The last moment: the last piece is being read.
            const qint64 when = at >= 1.0 ? file.size() - 1024 : qint64(at * file.size());
            if (!w || cancelled || done < when)
                return;
            shownName = w->findChild<QLabel *>(QStringLiteral("lblWhat"))->text();
            cancelled = true;
            if (how == QLatin1String("escape"))
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        fileops::OpenFile(path);
        QVERIFY2(cancelled, "the progress window was there to cancel");
        QCOMPARE(shownName, QStringLiteral("Opening ") + path);
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
        QCOMPARE(recentfiles::entries(), recent);
        QCOMPARE(m_prompts->asked.size(), 0);
        QVERIFY2(seen.size() >= (at > 0 ? 3 : 1), "progress was reported as the file was read");
        QVERIFY2(std::is_sorted(seen.begin(), seen.end()), "progress only goes forward");
        QTRY_VERIFY(!progressWindow());
    }

    // A read that fails part way asks; Retry reads it again from the start,
    // Ignore keeps what was read, never to be saved over the file.
    void aReadThatFailsAsks()
    {
        realFigures();
        const QByteArray file = lines(300);
        const QString path = m_app->writeFile(QStringLiteral("failing.txt"), file);
        fileops::setStreaming(1, 512);
        platform::injectFileFault(platform::FileStep::Read, EIO, 1);
        m_prompts->answer(Answer::Retry);
        fileops::OpenFile(path);
        QCOMPARE(m_app->current()->textControl()->text(), file.chopped(2));
        QCOMPARE(m_prompts->messages().value(0).text, kRead + "Input/output error" + kAsk);
        QCOMPARE(m_app->record(1).Path, path);

        m_prompts->clear();
        int reads = 0;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (task.done.load() >= 1024 && reads++ == 0)
                platform::injectFileFault(platform::FileStep::Read, EIO, 1);
        });
        platform::setReadDelayUs(10000);
        m_prompts->answer(Answer::Ignore);
        fileops::OpenFile(path);
        const QByteArray partial = m_app->current()->textControl()->text();
        QVERIFY2(partial.size() >= 1024 && partial.size() < file.size() - 2,
                 qPrintable(QString::number(partial.size())));
        QVERIFY(file.startsWith(partial));
        QCOMPARE(m_app->record(2).Path, QString());
        QVERIFY(m_app->record(2).Changed);
    }

    // A big coloured file is read without style bytes: its text shows plain,
    // and the status bar says why.
    void aHugeColouredFileShowsPlain()
    {
        realFigures();
        const QString path = m_app->writeFile(QStringLiteral("page.html"), "<p>\r\n" + lines(200));
        fileops::setStreaming(1, 1024);
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        QCOMPARE(d->textControl()->text(), "<p>\r\n" + lines(200).chopped(2));
        QVERIFY(!d->textControl()->hasStyleBytes());
        QCOMPARE(d->findChild<QStatusBar *>(QStringLiteral("stBar"))->currentMessage(),
                 QStringLiteral("Colours are off for a file this big"));
    }

    // A file with a very long line opens without colours and brace matching,
    // says so once, and the window taken again for another file has them back.
    void veryLongLinesSwitchColoursOff()
    {
        realFigures();
        fileops::setLongLine(100);
        const QString longPath =
            m_app->writeFile(QStringLiteral("min.js"), "f(" + QByteArray(150, 'a') + ");\n");
        const QString shortPath =
            m_app->writeFile(QStringLiteral("ok.js"), "f(" + QByteArray(50, 'a') + ");\n");
        for (bool streamed : {false, true}) {
            fileops::setStreaming(streamed ? 1 : 0, 16);
            fileops::OpenFile(longPath);
            FrmDoc *d = m_app->current();
            QVERIFY2(!d->textControl()->hasStyleBytes(), "no colours");
            QCOMPARE(d->findChild<QStatusBar *>(QStringLiteral("stBar"))->currentMessage(),
                     QStringLiteral("Very long lines: colours and matching braces are off for this file"));
            d->textControl()->setSelStart(1); // after "f", before "("
            QTest::keyClick(d->textControl(), Qt::Key_Right);
            QCOMPARE(d->textControl()->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 0L, 0L), 0L);
            m_app->record(d->slot()).Changed = false;
            AppFixture::trigger(d, QStringLiteral("mnuFileClose"));

            fileops::OpenFile(shortPath); // the same window, taken again
            QCOMPARE(m_app->current(), d);
            QVERIFY2(!d->sourceView()->longLines(), "the mode is off again");
            // (A file read piece by piece has no style bytes at all.)
            QVERIFY2(streamed || d->textControl()->hasStyleBytes(), "colours are back");
            AppFixture::trigger(d, QStringLiteral("mnuFileClose"));
        }
        fileops::setLongLine(0);
    }

    // A line that would keep the window from answering for long is asked
    // about first; No opens nothing. One that could not be laid out in the
    // memory there is, is refused.
    void aLineTooLongToShowQuicklyIsAskedAbout()
    {
        realFigures();
        fileops::setLongLine(100, 250);
        const QString path = m_app->writeFile(QStringLiteral("one.txt"), "short\r\n" + QByteArray(300, 'a') +
                                                                             "\r\n" + QByteArray(260, 'b'));
        const QString question =
            QStringLiteral("The file \"%1\" has a line of 300 bytes. Quillpad lays out a line "
                           "that long for about 1 seconds before it can show it, and cannot "
                           "respond meanwhile.\r\nOpen it anyway?")
                .arg(path);
        for (bool streamed : {false, true}) {
            fileops::setStreaming(streamed ? 1 : 0, 16);
            m_prompts->asked.clear();
            const QStringList recent = recentfiles::entries();
            const int before = DocumentRegistry::instance().docCount();
            m_prompts->answer(Answer::No);
            fileops::OpenFile(path);
            QCOMPARE(m_prompts->messages().size(), 1);
            QCOMPARE(m_prompts->messages()[0].text, question);
            QCOMPARE(DocumentRegistry::instance().docCount(), before);
            QCOMPARE(recentfiles::entries(), recent);
            m_prompts->answer(Answer::Yes);
            fileops::OpenFile(path);
            QVERIFY2(m_app->current() && m_app->current()->textControl()->length() == 300 + 260 + 9,
                     "Yes opens it");
            AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileClose"));
        }
        fileops::setStreaming(0);
        m_prompts->asked.clear();
        platform::setAvailableMemoryForTests(1000);
        const int before = DocumentRegistry::instance().docCount();
        fileops::OpenFile(path);
        QCOMPARE(m_prompts->messages().size(), 1);
        QCOMPARE(
            m_prompts->messages()[0].text,
            QStringLiteral("The file \"%1\" has a line of 300 bytes: showing it needs more memory than this "
                           "computer has free (%2). Nothing was opened.")
                .arg(path, QLocale().formattedDataSize(1000, 1, QLocale::DataSizeTraditionalFormat)));
        QCOMPARE(DocumentRegistry::instance().docCount(), before);
        platform::setAvailableMemoryForTests(-1);
        fileops::setLongLine(0);
    }

    // A huge save shows its progress; Cancel leaves the old file as it was
    // and the document changed, asking nothing.
    void hugeSavesShowProgressAndCancel()
    {
        realFigures();
        const QByteArray file = lines(3000);
        const QString path = m_app->writeFile(QStringLiteral("save.txt"), file);
        fileops::OpenFile(path);
        FrmDoc *d = m_app->current();
        QTest::keyClicks(d->textControl(), "new ");
        fileops::setStreaming(1);
        platform::setLongTaskDelayMs(0);
        platform::setWriteDelayUs(200000);
        bool cancelled = false;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (QDialog *w = progressWindow(); w && !cancelled) {
                QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblWhat"))->text(),
                         QStringLiteral("Saving ") + path);
                cancelled = true;
                task.stop.store(true);
            }
        });
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QVERIFY(cancelled);
        QCOMPARE(AppFixture::readFile(path), file);
        QVERIFY2(m_app->record(1).Changed, "still unsaved");
        QCOMPARE(m_prompts->asked.size(), 0);

        platform::setLongTaskWatcher(nullptr);
        platform::setWriteDelayUs(0);
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(path), "new " + file);
        QVERIFY(!m_app->record(1).Changed);
    }

    // Replace All over a huge text shows its progress; Cancel, while finding
    // or halfway through replacing, leaves the text as it was and says
    // nothing. Run to its end, it is one change that Undo takes back.
    void hugeReplaceAllShowsProgressAndCancel_data()
    {
        QTest::addColumn<int>("stopAtStep");
        QTest::newRow("cancel at once") << 1;
        QTest::newRow("cancel while replacing") << 3;
        QTest::newRow("to the end") << 0;
    }
    void hugeReplaceAllShowsProgressAndCancel()
    {
        QFETCH(int, stopAtStep);
        realFigures();
        fileops::OpenFile(m_app->writeFile(QStringLiteral("replace.txt"), lines(500)));
        FrmDoc *d = m_app->current();
        const QByteArray file = d->textControl()->text();
        d->undoTick(); // the opened text is where Undo goes back to
        fileops::setStreaming(1);
        platform::setLongTaskDelayMs(0);
        replaceinbulk::setPieceHits(40);
        int steps = 0;
        qint64 lastDone = -1;
        bool monotone = true;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (QDialog *w = progressWindow())
                QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblWhat"))->text(),
                         QStringLiteral("Replacing \"line\""));
            monotone = monotone && task.done.load() >= lastDone;
            lastDone = task.done.load();
            if (++steps == stopAtStep)
                task.stop.store(true);
        });
        AppFixture::trigger(d, QStringLiteral("mnuEditReplace"));
        d->findBar()->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("line"));
        d->findBar()->findChild<QLineEdit *>(QStringLiteral("txtReplace"))->setText(QStringLiteral("row"));
        QTest::mouseClick(d->findBar()->findChild<QPushButton *>(QStringLiteral("cmdReplaceAll")),
                          Qt::LeftButton);
        replaceinbulk::setPieceHits(0);
        platform::setLongTaskWatcher(nullptr);
        QVERIFY2(steps >= (stopAtStep > 0 ? stopAtStep : 3), "progress was reported while it ran");
        QVERIFY2(monotone, "progress never went back");
        if (stopAtStep > 0) {
            QCOMPARE(d->textControl()->text(), file);
            QCOMPARE(m_prompts->asked.size(), 0);
            QVERIFY2(!m_app->record(1).Changed, "a cancelled Replace All changes nothing");
            return;
        }
        QByteArray replaced = file;
        replaced.replace("line", "row");
        QCOMPARE(d->textControl()->text(), replaced);
        QCOMPARE(m_prompts->messages().size(), 1);
        QCOMPARE(m_prompts->messages()[0].text, QStringLiteral("Replaced 500 occurrences."));
        d->undoTick();
        d->refreshTick();
        AppFixture::trigger(d, QStringLiteral("mnuEditUndo"));
        QCOMPARE(d->textControl()->text(), file);
    }

    // A file bigger than the memory there is: said before anything is taken.
    void noRoomIsSaidFirst()
    {
        realFigures();
        const QString path = m_app->writeFile(QStringLiteral("huge.txt"), lines(100));
        fileops::setStreaming(1);
        platform::setAvailableMemoryForTests(1000);
        fileops::OpenFile(path);
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
        QCOMPARE(m_prompts->messages().size(), 1);
        QVERIFY2(m_prompts->messages()[0].text.startsWith(QStringLiteral("The file \"%1\" is ").arg(path)) &&
                     m_prompts->messages()[0].text.endsWith(
                         QStringLiteral(": opening it needs more memory than this computer has free (%1). "
                                        "Nothing was opened.")
                             .arg(QLocale().formattedDataSize(1000, 1, QLocale::DataSizeTraditionalFormat))),
                 qPrintable(m_prompts->messages()[0].text));
    }

    // A file that grows while it is read is read as it was when it opened;
    // a later Save asks first, for another program changed it.
    void aFileThatGrowsWhileRead()
    {
        realFigures();
        const QByteArray file = lines(400);
        const QString path = m_app->writeFile(QStringLiteral("log.txt"), file);
        fileops::setStreaming(1, 1024);
        platform::setReadDelayUs(30000);
        bool grown = false;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (!grown && task.done.load() > 0) {
                grown = true;
                QFile f(path);
                if (f.open(QIODevice::Append))
                    f.write("more lines\r\n");
            }
        });
        fileops::OpenFile(path);
        QVERIFY(grown);
        QCOMPARE(m_app->current()->textControl()->text(), file.chopped(2));
        m_prompts->answer(Answer::No);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileSave"));
        QCOMPARE(m_prompts->messages().size(), 1);
        QVERIFY(
            m_prompts->messages()[0].text.contains(QStringLiteral("has been changed by another program")));
    }

    // Closing the frame while a file is read: the open stops, nothing is left.
    void closingTheFrameStopsAnOpen()
    {
        realFigures();
        const QString path = m_app->writeFile(QStringLiteral("slow.txt"), lines(1000));
        fileops::setStreaming(1, 1024);
        platform::setReadDelayUs(10000);
        bool closed = false;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (!closed && task.done.load() > 0) {
                closed = true;
                m_app->frame()->close();
            }
        });
        fileops::OpenFile(path);
        QVERIFY(closed);
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
    }
};

QP_TEST_MAIN(TstHugeFiles)
#include "tst_hugefiles.moc"
