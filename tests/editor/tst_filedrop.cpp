#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QDropEvent>
#include <QMimeData>

#include <cerrno>

using platform::Answer;

namespace {

// Drops the files on the text control as the platform does; the handler runs
// once the drop is over. False when the drop was refused or a question came
// while it was going on.
bool drop(FrmDoc *doc, const ScriptedPrompts &prompts, const QStringList &files)
{
    QMimeData data;
    for (const QString &f : files)
        data.setUrls(data.urls() << QUrl::fromLocalFile(f));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &enter);
    QDropEvent dropped(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &dropped);
    const bool taken = enter.isAccepted() && dropped.isAccepted() && prompts.asked.isEmpty();
    QCoreApplication::processEvents();
    return taken;
}

} // namespace

class TstFileDrop : public QObject
{
    Q_OBJECT

private slots:
    void oneFile_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: there is no such file
        QTest::addColumn<int>("readFault");       // errno of one failing read
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QList<int>>("errors"); // errno named by each question after the first
        QTest::addColumn<QByteArray>("result");
        const QByteArray all("first\r\nsecond\nthird\rNUL:\0:\xe9\xff end", 30), kept("Hello world");
        const Answer yes = Answer::Yes, ignore = Answer::Ignore;
        QTest::newRow("yes inserts every byte") << all << 0 << QList{yes} << QList<int>() << "Hello " + all;
        QTest::newRow("yes, empty file")
            << QByteArray("") << 0 << QList{yes} << QList<int>() << QByteArray("Hello ");
        QTest::newRow("no opens it in a window of its own")
            << QByteArray("x") << 0 << QList{Answer::No} << QList<int>() << kept;
        QTest::newRow("no such file, abort")
            << QByteArray() << 0 << QList{yes, Answer::Abort} << QList{ENOENT} << kept;
        QTest::newRow("no such file, ignore asks again for the read")
            << QByteArray() << 0 << QList{yes, ignore, ignore} << QList{ENOENT, EBADF} << kept;
        QTest::newRow("read fails, retry")
            << QByteArray("new") << EIO << QList{yes, Answer::Retry} << QList{EIO} << QByteArray("Hello new");
        QTest::newRow("read fails, ignore")
            << QByteArray("new") << EIO << QList{yes, ignore} << QList{EIO} << kept;
    }
    void oneFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, readFault);
        QFETCH(QList<Answer>, answers);
        QFETCH(QList<int>, errors);
        QFETCH(QByteArray, result);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("Hello world"));
        text->setSelStart(6);
        text->setSelLength(5);
        app.record(doc->slot()).Changed = false;
        const QString file =
            contents.isNull() ? app.path("gone.txt") : app.writeFile("part of it.txt", contents);
        if (readFault)
            platform::injectFileFault(platform::FileStep::Read, readFault, 1);
        for (Answer a : answers)
            prompts.answer(a);
        QVERIFY(drop(doc, prompts, {file}));

        QStringList questions{"Would you like to paste the contents of this file \r\n" + file +
                              "\r\nTo your document?"};
        for (int e : errors)
            questions << "There was an error in reading your file\r\n" +
                             platform::errorFromErrno(e).description + "\r\nWhat would you like to do";
        QStringList asked;
        for (const auto &q : prompts.asked)
            asked << q.text;
        QCOMPARE(asked, questions);
        QCOMPARE(prompts.asked[0].caption, "Insert As Contents?");
        QCOMPARE(prompts.asked[0].buttons, platform::Buttons::YesNo);

        const bool changed = result != "Hello world";
        QCOMPARE(text->text(), result);
        QCOMPARE(app.record(doc->slot()).Changed, changed);
        QCOMPARE(text->selectedText(), changed ? "" : "world");
        QCOMPARE(text->selStart(), changed ? result.size() : 6);
        QCOMPARE(app.record(app.current()->slot()).Path, answers[0] == Answer::No ? file : QString());
    }

    void severalFilesOpenInOrderWithoutTheQuestion()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QStringList files{"Untitled"};
        for (int i = 40; i > 0; --i)
            files << app.writeFile(QStringLiteral("file %1.txt").arg(i), QByteArray::number(i));
        const QString folder = app.path("a folder");
        QVERIFY(QDir().mkpath(folder));
        prompts.answer(Answer::Abort);
        QVERIFY(drop(doc, prompts, files.mid(1, 20) + QStringList{folder} + files.mid(21)));
        // No question about inserting; only the folder could not be opened, and the rest still were.
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY2(prompts.asked[0].text.contains(platform::errorFromErrno(EISDIR).description),
                 qPrintable(prompts.asked[0].text));
        QStringList windows;
        for (int slot = 1; app.doc(slot); ++slot)
            if (app.record(slot).InUse)
                windows << app.record(slot).Title;
        QCOMPARE(windows, files);
    }
};

QP_TEST_MAIN(TstFileDrop)
#include "tst_filedrop.moc"
