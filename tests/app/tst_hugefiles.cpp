// Huge files: read piece by piece on a worker into the engine, with progress shown and Cancel
// offered; the window stays responsive. Small pieces make a few kilobytes behave as gigabytes.

#include "app/mdimain.h"
#include "apptest.h"
#include "documents/documentregistry.h"
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
#include <QPushButton>
#include <QStatusBar>

using platform::Answer;

class TstHugeFiles : public WindowTest
{
    Q_OBJECT

    // The progress window while it shows, and what it says it is doing.
    static QDialog *progressWindow()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmProgress" && w->isVisible())
                return qobject_cast<QDialog *>(w);
        return nullptr;
    }
    static QString shownTask(QDialog *w) { return w->findChild<QLabel *>("lblWhat")->text(); }
    static QString statusText(FrmDoc *d) { return d->findChild<QStatusBar *>("stBar")->currentMessage(); }

    // Each test starts from the real figures.
    static void realFigures()
    {
        fileops::setStreaming(0);
        fileops::setLongLine(0);
        platform::setLongTaskDelayMs(-1);
        platform::setLongTaskWatcher(nullptr);
        platform::setReadDelayUs(0);
        platform::setWriteDelayUs(0);
        platform::setAvailableMemoryForTests(-1);
        replaceinbulk::setPieceHits(0);
    }

private slots:
    // (That a file read in pieces gives the text and format of the whole file is tst_documentscore's
    // piecesReadAsTheWholeFile.) Progress is shown with the file's name while something happens
    // part way: Cancel (button or Escape) at the start, half way or at the very end, or closing the
    // frame, leaves no window, no half document and the recent list as it was. A read that fails
    // asks: Retry reads it again from the start, Ignore keeps what was read, never to be saved over
    // the file. A file that grows is read as it was when it opened, and a later Save asks first.
    void somethingHappensDuringARead_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<double>("at");  // share of the file read when it happens
        QTest::addColumn<int>("answer"); // to the question it brings
        QTest::newRow("Cancel at 0%") << "cmdCancel" << 0.0 << -1;
        QTest::newRow("Cancel at 50%") << "cmdCancel" << 0.5 << -1;
        QTest::newRow("Escape at 50%") << "escape" << 0.5 << -1;
        QTest::newRow("Cancel at the last moment") << "cmdCancel" << 1.0 << -1;
        QTest::newRow("the frame closes") << "close" << 0.2 << -1;
        QTest::newRow("a read fails, Retry") << "fail" << 0.5 << int(Answer::Retry);
        QTest::newRow("a read fails, Ignore") << "fail" << 0.5 << int(Answer::Ignore);
        QTest::newRow("the file grows") << "grow" << 0.2 << int(Answer::No);
    }

    void somethingHappensDuringARead()
    {
        QFETCH(QString, event);
        QFETCH(double, at);
        QFETCH(int, answer);
        realFigures();
        const QByteArray file = lines(1000);
        const QString path = m_app->writeFile("big.txt", file);
        recentfiles::AddRecentFile("/earlier");
        const QStringList recent = recentfiles::entries();
        // Each piece slower than the window's steps, so anything can come at any of them.
        fileops::setStreaming(1, 1024);
        platform::setReadDelayUs(80000);
        platform::setLongTaskDelayMs(0);
        const qint64 when = at >= 1.0 ? file.size() - 1024 : qint64(at * file.size()); // 1.0: the last piece
        QList<qint64> seen;
        QString shownName;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (seen.isEmpty() || seen.last() != task.done.load())
                seen << task.done.load();
            QDialog *w = progressWindow();
            if (!w || !shownName.isNull() || seen.last() < when)
                return;
            shownName = shownTask(w);
            QFile f(path);
            if (event == "cmdCancel")
                w->findChild<QPushButton *>("cmdCancel")->click();
            else if (event == "escape")
                QTest::keyClick(w, Qt::Key_Escape);
            else if (event == "close")
                m_app->frame()->close();
            else if (event == "fail")
                platform::injectFileFault(platform::FileStep::Read, EIO, 1);
            else if (f.open(QIODevice::Append))
                f.write("more lines\r\n");
        });
        m_prompts->onAsk = [&](const ScriptedPrompts::Asked &) { // Retry starts again
            if (answer == int(Answer::Retry))
                seen.clear();
        };
        if (answer >= 0)
            m_prompts->answer(Answer(answer));
        fileops::OpenFile(path);
        QCOMPARE(shownName, "Opening " + path); // the progress window was there
        QVERIFY2(seen.size() >= (at > 0 ? 3 : 1) && std::is_sorted(seen.begin(), seen.end()),
                 "progress was reported as the file was read, only going forward");
        QTRY_VERIFY(!progressWindow());
        QCOMPARE(m_prompts->messageTexts(),
                 event == "fail" ? QStringList{readError("Input/output error")} : QStringList());
        if (answer < 0) {
            QCOMPARE(DocumentRegistry::instance().docCount(), 0);
            QCOMPARE(recentfiles::entries(), recent);
            return;
        }
        const QByteArray text = m_app->doc(1)->textControl()->text();
        if (answer == int(Answer::Ignore)) {
            QVERIFY2(text.size() >= when && text.size() < file.size() - 2 && file.startsWith(text),
                     qPrintable(QString::number(text.size())));
            QVERIFY(m_app->record(1).Path.isEmpty() && m_app->record(1).Changed);
            return;
        }
        QCOMPARE(text + "|" + m_app->record(1).Path.toUtf8(), file.chopped(2) + "|" + path.toUtf8());
        if (event == "grow") {
            AppFixture::trigger(m_app->doc(1), "mnuFileSave");
            QCOMPARE(m_prompts->messageTexts(), QStringList{kChanged.arg(path)});
        }
    }

    // A big coloured file is read without style bytes and shows plain; a file with a very long line
    // opens without colours and brace matching; each says why, and the window taken again for
    // another file has them back. A line that would keep the window from answering for long is
    // asked about first; No opens nothing. One that could not be laid out in the memory there is,
    // is refused, as is a file bigger than that memory.
    void bigAndLongLinedFilesShowPlainOrAreAskedAbout()
    {
        realFigures();
        fileops::setStreaming(1, 1024);
        FrmDoc *d = openIn(*m_app, m_app->writeFile("page.html", "<p>\r\n" + lines(200)));
        QCOMPARE(d->textControl()->text() + (d->textControl()->hasStyleBytes() ? "+styles" : ""),
                 "<p>\r\n" + lines(200).chopped(2));
        QCOMPARE(statusText(d), "Colours are off for a file this big");
        AppFixture::trigger(d, "mnuFileClose");

        fileops::setLongLine(100);
        const QString longPath = m_app->writeFile("min.js", "f(" + QByteArray(150, 'a') + ");\n");
        const QString shortPath = m_app->writeFile("ok.js", "f(" + QByteArray(50, 'a') + ");\n");
        for (bool streamed : {false, true}) {
            fileops::setStreaming(streamed ? 1 : 0, 16);
            QVERIFY2(openIn(*m_app, longPath) == d && !d->textControl()->hasStyleBytes(), "no colours");
            QCOMPARE(statusText(d), "Very long lines: colours and matching braces are off for this file");
            d->textControl()->setSelStart(1); // after "f", before "("
            QTest::keyClick(d->textControl(), Qt::Key_Right);
            QCOMPARE(d->textControl()->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 0L, 0L), 0L);
            m_app->record(d->slot()).Changed = false;
            AppFixture::trigger(d, "mnuFileClose");

            QVERIFY2(openIn(*m_app, shortPath) == d && !d->sourceView()->longLines(),
                     "same window, mode off");
            // (A file read piece by piece has no style bytes at all.)
            QVERIFY2(streamed || d->textControl()->hasStyleBytes(), "colours are back");
            AppFixture::trigger(d, "mnuFileClose");
        }

        fileops::setLongLine(100, 250);
        const QString path =
            m_app->writeFile("one.txt", "short\r\n" + QByteArray(300, 'a') + "\r\n" + QByteArray(260, 'b'));
        const QString question =
            QString("The file \"%1\" has a line of 300 bytes. Quillpad lays out a line that "
                    "long for about 1 seconds before it can show it, and cannot respond "
                    "meanwhile.\r\nOpen it anyway?")
                .arg(path);
        for (bool streamed : {false, true}) {
            fileops::setStreaming(streamed ? 1 : 0, 16);
            m_prompts->clear();
            const QStringList recent = recentfiles::entries();
            m_prompts->answer(Answer::No);
            QVERIFY2(!openIn(*m_app, path), "nothing opened");
            QCOMPARE(m_prompts->messageTexts(), QStringList{question});
            QCOMPARE(recentfiles::entries(), recent);
            m_prompts->answer(Answer::Yes);
            FrmDoc *yes = openIn(*m_app, path);
            QVERIFY2(yes && yes->textControl()->length() == 300 + 260 + 9, "Yes opens it");
            AppFixture::trigger(yes, "mnuFileClose");
        }
        // Said before anything is taken.
        const QString free = QLocale().formattedDataSize(1000, 1, QLocale::DataSizeTraditionalFormat);
        platform::setAvailableMemoryForTests(1000);
        fileops::setStreaming(0);
        m_prompts->clear();
        fileops::OpenFile(path);
        fileops::setStreaming(1);
        const QString huge = m_app->writeFile("huge.txt", lines(100));
        QVERIFY2(!openIn(*m_app, huge), "nothing opened");
        const QStringList said = m_prompts->messageTexts();
        QCOMPARE(said.value(0),
                 QString("The file \"%1\" has a line of 300 bytes: showing it needs more memory than "
                         "this computer has free (%2). Nothing was opened.")
                     .arg(path, free));
        QVERIFY2(said.value(1).startsWith(QString("The file \"%1\" is ").arg(huge)) &&
                     said.value(1).endsWith(QString(": opening it needs more memory than this computer has "
                                                    "free (%1). Nothing was opened.")
                                                .arg(free)),
                 qPrintable(said.join('\n')));
    }

    // A huge save or Replace All shows its progress; Cancel, at once or part way, leaves the file
    // and the text as they were and says nothing. Run to its end, the save writes it all, and
    // Replace All is one change that Undo takes back.
    void hugeTasksShowProgressAndCancel_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("stopAtStep"); // 0: never
        QTest::newRow("save") << true << 1;
        QTest::newRow("replace, cancel at once") << false << 1;
        QTest::newRow("replace, cancel while replacing") << false << 3;
        QTest::newRow("replace to the end") << false << 0;
    }

    void hugeTasksShowProgressAndCancel()
    {
        QFETCH(bool, save);
        QFETCH(int, stopAtStep);
        realFigures();
        const QString path = m_app->writeFile("huge.txt", lines(save ? 3000 : 500));
        FrmDoc *d = openIn(*m_app, path);
        const QByteArray file = d->textControl()->text();
        d->undoTick(); // the opened text is where Undo goes back to
        QTest::keyClicks(d->textControl(), save ? "new " : "");
        fileops::setStreaming(1);
        platform::setLongTaskDelayMs(0);
        platform::setWriteDelayUs(200000);
        replaceinbulk::setPieceHits(40);
        QList<qint64> seen;
        QStringList shown;
        platform::setLongTaskWatcher([&](platform::LongTask &task) {
            if (QDialog *w = progressWindow())
                shown << shownTask(w);
            seen << task.done.load();
            if (stopAtStep > 0 && seen.size() >= stopAtStep && !shown.isEmpty())
                task.stop.store(true);
        });
        if (save) {
            AppFixture::trigger(d, "mnuFileSave");
        } else {
            AppFixture::trigger(d, "mnuEditReplace");
            d->findBar()->findChild<QLineEdit *>("txtFind")->setText("line");
            d->findBar()->findChild<QLineEdit *>("txtReplace")->setText("row");
            QTest::mouseClick(d->findBar()->findChild<QPushButton *>("cmdReplaceAll"), Qt::LeftButton);
        }
        realFigures();
        QVERIFY2(seen.size() >= (stopAtStep > 0 ? stopAtStep : 3) && std::is_sorted(seen.begin(), seen.end()),
                 "progress was reported while it ran, never going back");
        QCOMPARE(shown, QStringList(shown.size(), save ? "Saving " + path : "Replacing \"line\""));
        QCOMPARE(m_prompts->messageTexts(),
                 stopAtStep ? QStringList() : QStringList{"Replaced 500 occurrences."});
        QCOMPARE(m_app->record(1).Changed, save || !stopAtStep);
        QCOMPARE(d->textControl()->text(),
                 save ? "new " + file : (stopAtStep ? file : QByteArray(file).replace("line", "row")));
        if (save) {
            QCOMPARE(AppFixture::readFile(path), lines(3000));
            fileops::setStreaming(1);
            AppFixture::trigger(d, "mnuFileSave");
            QCOMPARE(AppFixture::readFile(path), "new " + lines(3000));
            QVERIFY(!m_app->record(1).Changed);
            return;
        }
        d->undoTick();
        d->refreshTick();
        AppFixture::trigger(d, "mnuEditUndo");
        QCOMPARE(d->textControl()->text(), file);
    }
};

QP_TEST_MAIN(TstHugeFiles)
#include "tst_hugefiles.moc"
