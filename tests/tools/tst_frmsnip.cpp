#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/frmsnip.h"

#include <QMimeData>
#include <QPushButton>

using platform::Answer;
using tools::FrmSnip;

namespace {

TextControl *box() { return FrmSnip::instance()->findChild<TextControl *>(QStringLiteral("txtSnip")); }

void click(const char *button)
{
    QTest::mouseClick(FrmSnip::instance()->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

void drop(const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    // The drop goes to whoever took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box()->viewport(), &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box()->viewport(), &dropped);
}

const QByteArray FileBytes("one\r\ntw\xe9\0\r\nlone\nLF\r\n", 20);

} // namespace

class TstFrmSnip : public QObject
{
    Q_OBJECT
private slots:
    void openThroughTheDialogAndGrab()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("Hello World"));
        doc->textControl()->setSelStart(6);
        doc->textControl()->setSelLength(5);
        app.trigger(doc, QStringLiteral("mnuToolsSnip"));
        FrmSnip *snip = FrmSnip::instance();
        QVERIFY(snip && snip->isVisible());
        QCOMPARE(snip->windowTitle(), QStringLiteral("Snip Tool"));
        QCOMPARE(snip->minimumSize(), snip->maximumSize());
        QCOMPARE(snip->tag(), QStringLiteral("1"));

        prompts.answerFile(app.writeFile(QStringLiteral("a.txt"), FileBytes));
        prompts.answerFile(QString());
        click("Command1");
        QCOMPARE(box()->text(), FileBytes);
        click("Command1"); // cancelled: the box stays
        QCOMPARE(box()->text(), FileBytes);
        QCOMPARE(prompts.asked[0].filters, platform::FileDialog::nameFilters(QString::fromLatin1(fileops::FileFilter)));
        QCOMPARE(prompts.asked[0].flags, 0); // the flags count from the next showing
        QCOMPARE(prompts.asked[1].flags, 2048);

        click("Command2"); // nothing selected: nothing happens
        QCOMPARE(FrmSnip::instance(), snip);
        box()->setSelStart(5);
        box()->setSelLength(7);
        click("Command2");
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello tw\xe9\0\r\nl", 13));
        QCOMPARE(doc->textControl()->selStart(), 13);
        QCOMPARE(doc->textControl()->selLength(), 0);
        QTRY_VERIFY2(!FrmSnip::instance(), "Grab closes the tool");
        app.trigger(doc, QStringLiteral("mnuToolsSnip"));
        QCOMPARE(box()->length(), 0); // a new opening starts empty
    }

    void dropsTakeExactlyOneFile()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        box()->setText(QByteArrayView("before"));
        const QString a = app.writeFile(QStringLiteral("a.txt"), FileBytes);
        const QString b = app.writeFile(QStringLiteral("b.txt"), "second");
        drop({a, b});
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("You can only drop one file into the snip tool"));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(box()->text(), QByteArray("before"));
        drop({a});
        QCOMPARE(box()->text(), FileBytes);
        drop({b});
        QCOMPARE(box()->text(), QByteArray("second")); // replaced, never appended
    }

    void readFailuresAskOncePerFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("box");
        const int open = int(platform::FileStep::Open), read = int(platform::FileStep::Read);
        QTest::newRow("open, Abort") << open << int(Answer::Abort) << QByteArray("before");
        QTest::newRow("open, Retry") << open << int(Answer::Retry) << FileBytes;
        QTest::newRow("open, Ignore") << open << int(Answer::Ignore) << QByteArray();
        QTest::newRow("read, Abort") << read << int(Answer::Abort) << QByteArray("before");
        QTest::newRow("read, Ignore") << read << int(Answer::Ignore) << QByteArray();
    }
    void readFailuresAskOncePerFile()
    {
        QFETCH(int, step);
        QFETCH(int, answer);
        QFETCH(QByteArray, box);
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        ::box()->setText(QByteArrayView("before"));
        prompts.answer(Answer(answer));
        prompts.answerFile(app.writeFile(QStringLiteral("a.txt"), FileBytes));
        platform::injectFileFault(platform::FileStep(step), EACCES, 1);
        click("Command1");
        QCOMPARE(::box()->text(), box);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("There was an error in reading your file\r\n%1\r\nWould would you like to do")
                     .arg(platform::errorFromErrno(EACCES).description));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
    }

    void grabGoesToTheDocumentThatOpenedTheTool()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *b = app.newDocument();
        app.trigger(a, QStringLiteral("mnuToolsSnip"));
        box()->setText(QByteArrayView("snippet"));
        app.trigger(b, QStringLiteral("mnuToolsSnip")); // re-targets, keeps the text
        QCOMPARE(FrmSnip::instance()->tag(), QStringLiteral("2"));
        box()->selectAllText();
        click("Command2");
        QCOMPARE(b->textControl()->text(), QByteArray("snippet"));
        QCOMPARE(a->textControl()->length(), 0);

        // Closed meanwhile, and its slot taken by a new document: nobody gets the text.
        QTRY_VERIFY(!FrmSnip::instance());
        app.trigger(a, QStringLiteral("mnuToolsSnip"));
        app.trigger(a, QStringLiteral("mnuFileClose"));
        FrmDoc *fresh = app.newDocument();
        QCOMPARE(fresh->slot(), 1);
        box()->setText(QByteArrayView("stray"));
        box()->selectAllText();
        click("Command2");
        QTRY_VERIFY2(!FrmSnip::instance(), "the tool closes");
        QCOMPARE(fresh->textControl()->length(), 0);
        QCOMPARE(b->textControl()->text(), QByteArray("snippet"));
    }

    void doubleClickSelectsAll()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        box()->setText(QByteArrayView("first words\r\nsecond line"));
        QTest::mouseDClick(box()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 5));
        QCOMPARE(box()->selStart(), 0);
        QCOMPARE(box()->selLength(), box()->length());
    }
};

QP_TEST_MAIN(TstFrmSnip)
#include "tst_frmsnip.moc"
