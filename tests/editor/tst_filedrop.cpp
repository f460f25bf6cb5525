#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/filedrop.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <cerrno>

using platform::Answer;

namespace {

const QByteArray kContents("first\r\nsecond\nthird\rNUL:\0:\xe9\xff end", 30);

QString insertQuestion(const QString &path)
{
    return QStringLiteral("Would you like to paste the contents of this file \r\n") + path
           + QStringLiteral("\r\nTo your document?");
}

QString readQuestion(int errnum)
{
    return QStringLiteral("There was an error in reading your file\r\n") + platform::errorFromErrno(errnum).description
           + QStringLiteral("\r\nWhat would you like to do");
}

// Drops the files the way the platform does, then lets the queued handler run.
void drop(FrmDoc *doc, const QStringList &paths)
{
    emit doc->textControl()->filesDropped(paths);
    QCoreApplication::processEvents();
}

// Drags data onto the text control and drops it near its top left corner, as
// the platform does; returns whether the drop was accepted.
bool dragOnto(TextControl *text, QMimeData *data)
{
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(text->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(1, 1), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(text->viewport(), &dropped);
    return dropped.isAccepted();
}

// A document holding "Hello world" with "world" selected and nothing changed.
FrmDoc *preparedDocument(AppFixture &app)
{
    FrmDoc *doc = app.newDocument();
    doc->textControl()->setText(QByteArrayView("Hello world"));
    doc->textControl()->setSelStart(6);
    doc->textControl()->setSelLength(5);
    app.record(doc->slot()).Changed = false;
    return doc;
}

QStringList windowTitles(const AppFixture &app)
{
    QStringList titles;
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot = 1; slot <= reg.docCount(); ++slot)
        if (app.record(slot).InUse)
            titles << app.record(slot).Title;
    return titles;
}

} // namespace

class TstFileDrop : public QObject
{
    Q_OBJECT

private slots:
    void yesInsertsTheWholeFileAtTheSelection()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString file = app.writeFile(QStringLiteral("part of it.txt"), kContents);
        prompts.answer(Answer::Yes);
        drop(doc, {file});

        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.asked[0].text, insertQuestion(file));
        QCOMPARE(prompts.asked[0].caption, QStringLiteral("Insert As Contents?"));
        QCOMPARE(prompts.asked[0].buttons, platform::Buttons::YesNo);
        QCOMPARE(prompts.asked[0].icon, platform::Icon::None);
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello ") + kContents);
        QCOMPARE(doc->textControl()->selStart(), qsizetype(6 + kContents.size()));
        QCOMPARE(doc->textControl()->selLength(), qsizetype(0));
        QVERIFY2(app.record(doc->slot()).Changed, "the insertion did not mark the document changed");
        QCOMPARE(windowTitles(app).size(), 1);
    }

    void insertAtCaretOrEmptyFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("at the caret") << QByteArray(",") << 5 << 0 << QByteArray("Hello, world");
        QTest::newRow("empty file removes the selection") << QByteArray() << 6 << 5 << QByteArray("Hello ");
    }
    void insertAtCaretOrEmptyFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, caret);
        QFETCH(int, selected);
        QFETCH(QByteArray, result);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        doc->textControl()->setSelStart(caret);
        doc->textControl()->setSelLength(selected);
        prompts.answer(Answer::Yes);
        drop(doc, {app.writeFile(QStringLiteral("piece.txt"), contents)});
        QCOMPARE(doc->textControl()->text(), result);
        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join(QLatin1Char('|'))));
    }

    void noOpensTheFileInItsOwnWindow()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString file = app.writeFile(QStringLiteral("other.txt"), QByteArray("other\r\n"));
        prompts.answer(Answer::No);
        drop(doc, {file});
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
        QVERIFY2(!app.record(doc->slot()).Changed, "answering No changed this document");
        FrmDoc *opened = app.current();
        QVERIFY(opened && opened != doc);
        QCOMPARE(app.record(opened->slot()).Path, file);
        QCOMPARE(opened->textControl()->text(), QByteArray("other"));
    }

    void severalFilesOpenInOrderWithoutAQuestion()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QStringList files{app.writeFile(QStringLiteral("c.txt"), "c"), app.writeFile(QStringLiteral("a.txt"), "a"),
                                app.writeFile(QStringLiteral("b b.txt"), "b")};
        drop(doc, files);
        QVERIFY2(prompts.asked.isEmpty(), qPrintable(prompts.asked.value(0).text));
        QCOMPARE(windowTitles(app), QStringList{QStringLiteral("Untitled")} + files);
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
    }

    void manyFilesAtOnce()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        QStringList files;
        for (int i = 0; i < 60; ++i)
            files << app.writeFile(QStringLiteral("many%1.txt").arg(i, 2, 10, QLatin1Char('0')), QByteArray::number(i));
        drop(doc, files);
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(windowTitles(app), QStringList{QStringLiteral("Untitled")} + files);
        QCOMPARE(app.doc(61)->textControl()->text(), QByteArray("59"));
    }

    void droppedFolderAlone_data()
    {
        QTest::addColumn<Answer>("choice");
        QTest::newRow("insert") << Answer::Yes;
        QTest::newRow("open") << Answer::No;
    }
    void droppedFolderAlone()
    {
        QFETCH(Answer, choice);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString folder = app.path(QStringLiteral("a folder"));
        QVERIFY(QDir().mkpath(folder));
        prompts.answer(choice);
        prompts.answer(Answer::Abort);
        drop(doc, {folder});
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[1].buttons, platform::Buttons::AbortRetryIgnore);
        QVERIFY2(prompts.asked[1].text.contains(platform::errorFromErrno(EISDIR).description),
                 qPrintable(prompts.asked[1].text));
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
        QVERIFY(!app.record(doc->slot()).Changed);
        QCOMPARE(windowTitles(app).size(), 1);
    }

    void folderAmongSeveralFiles()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString folder = app.path(QStringLiteral("sub"));
        QVERIFY(QDir().mkpath(folder));
        const QString a = app.writeFile(QStringLiteral("a.txt"), "a");
        const QString b = app.writeFile(QStringLiteral("b.txt"), "b");
        prompts.answer(Answer::Abort);
        drop(doc, {a, folder, b});
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(windowTitles(app), (QStringList{QStringLiteral("Untitled"), a, b}));
        QVERIFY(!app.record(doc->slot()).Changed);
    }

    void fileGoneBeforeYesAbortLeavesTheDocument()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString file = app.writeFile(QStringLiteral("gone.txt"), "gone");
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { QFile::remove(file); };
        prompts.answer(Answer::Yes);
        prompts.answer(Answer::Abort);
        drop(doc, {file});
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[1].text, readQuestion(ENOENT));
        QCOMPARE(prompts.asked[1].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
        QCOMPARE(doc->textControl()->selectedText(), QByteArray("world"));
        QVERIFY(!app.record(doc->slot()).Changed);
    }

    void ignoreAfterAFailedOpenAsksAgainForTheRead()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString file = app.path(QStringLiteral("missing.txt"));
        prompts.answer(Answer::Yes);
        prompts.answer(Answer::Ignore);
        prompts.answer(Answer::Ignore);
        drop(doc, {file});
        QCOMPARE(prompts.messages().size(), 3);
        QCOMPARE(prompts.messages()[1].text, readQuestion(ENOENT));
        QCOMPARE(prompts.messages()[2].text, readQuestion(EBADF));
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
        QVERIFY(!app.record(doc->slot()).Changed);
    }

    void readFailure_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("retry succeeds") << QList<Answer>{Answer::Retry} << QByteArray("Hello inserted");
        QTest::newRow("abort") << QList<Answer>{Answer::Abort} << QByteArray("Hello world");
        QTest::newRow("ignore") << QList<Answer>{Answer::Ignore} << QByteArray("Hello world");
    }
    void readFailure()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(QByteArray, result);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString file = app.writeFile(QStringLiteral("flaky.txt"), "inserted");
        platform::injectFileFault(platform::FileStep::Read, EIO, 1);
        prompts.answer(Answer::Yes);
        for (Answer a : answers)
            prompts.answer(a);
        drop(doc, {file});
        QCOMPARE(prompts.messages().size(), 1 + answers.size());
        QCOMPARE(prompts.messages()[1].text, readQuestion(EIO));
        QCOMPARE(doc->textControl()->text(), result);
        QCOMPARE(app.record(doc->slot()).Changed, result != "Hello world");
    }

    void unreadableFileAmongSeveral()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        const QString a = app.writeFile(QStringLiteral("a.txt"), "a");
        const QString missing = app.path(QStringLiteral("missing.txt"));
        platform::injectFileFault(platform::FileStep::Open, EACCES, 1);
        prompts.answer(Answer::Abort);
        prompts.answer(Answer::Abort);
        drop(doc, {missing, a});
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.contains(platform::errorFromErrno(EACCES).description),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(windowTitles(app), (QStringList{QStringLiteral("Untitled"), a}));
    }

    void nothingDroppedDoesNothing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        drop(doc, {});
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello world"));
    }

    void realDropEvents()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = preparedDocument(app);
        TextControl *text = doc->textControl();

        // Dragged text is not taken.
        QMimeData words;
        words.setText(QStringLiteral("dragged words"));
        QVERIFY2(!dragOnto(text, &words), "the text control took dragged text");
        QCoreApplication::processEvents();
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(text->text(), QByteArray("Hello world"));

        // A file: the question comes once the drop is over, and the content
        // goes to the selection, not to where the file was dropped.
        const QString file = app.writeFile(QStringLiteral("drop.txt"), "dropped");
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(file)});
        prompts.answer(Answer::Yes);
        QVERIFY2(dragOnto(text, &files), "the text control refused a dropped file");
        QVERIFY2(prompts.asked.isEmpty(), "the question came while the drop was still going on");
        QCoreApplication::processEvents();
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(text->text(), QByteArray("Hello dropped"));
    }
};

QP_TEST_MAIN(TstFileDrop)
#include "tst_filedrop.moc"
