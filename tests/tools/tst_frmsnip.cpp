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

using tools::FrmSnip;
using platform::Answer;

namespace {

TextControl *box(FrmSnip *snip) { return snip->findChild<TextControl *>(QStringLiteral("txtSnip")); }

void click(FrmSnip *snip, const char *button)
{
    auto *b = snip->findChild<QPushButton *>(QString::fromLatin1(button));
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Sends a real drop of these files onto the box.
void drop(TextControl *target, const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    // The drop goes to whoever took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &enter);
    QDropEvent ev(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &ev);
}

const QByteArray FileBytes("one\r\ntw\xe9\0\r\nlone\nLF\r\n", 20);

QString readQuestion(int errnum)
{
    return QStringLiteral("There was an error in reading your file\r\n%1\r\nWould would you like to do")
        .arg(platform::errorFromErrno(errnum).description);
}

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
        click(snip, "Command1");
        QCOMPARE(box(snip)->text(), FileBytes);
        // A cancelled second showing changes nothing; flags count from then on.
        prompts.answerFile(QString());
        click(snip, "Command1");
        QCOMPARE(box(snip)->text(), FileBytes);
        const auto asked = prompts.asked;
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].filters, platform::FileDialog::nameFilters(QString::fromLatin1(fileops::FileFilter)));
        QCOMPARE(asked[0].flags, 0);
        QCOMPARE(asked[1].flags, 2048);

        box(snip)->setSelStart(5);
        box(snip)->setSelLength(7); // "tw\xe9\0\r\nl"
        click(snip, "Command2");
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello tw\xe9\0\r\nl", 13));
        QCOMPARE(doc->textControl()->selStart(), 13);
        QCOMPARE(doc->textControl()->selLength(), 0);
        QTRY_VERIFY2(!FrmSnip::instance(), "Grab closes the tool");
    }

    void grabWithoutSelectionAndCancel()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsSnip"));
        FrmSnip *snip = FrmSnip::instance();
        box(snip)->setText(QByteArrayView("kept"));
        click(snip, "Command2");
        QVERIFY2(FrmSnip::instance() && snip->isVisible(), "nothing selected: the tool stays");
        QCOMPARE(doc->textControl()->length(), 0);
        box(snip)->selectAllText();
        click(snip, "Command3");
        QTRY_VERIFY(!FrmSnip::instance());
        QCOMPARE(doc->textControl()->length(), 0);
        app.trigger(doc, QStringLiteral("mnuToolsSnip"));
        QCOMPARE(box(FrmSnip::instance())->length(), 0);
    }

    void dropsTakeExactlyOneFile()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        TextControl *text = box(FrmSnip::instance());
        text->setText(QByteArrayView("before"));
        const QString a = app.writeFile(QStringLiteral("a.txt"), FileBytes);
        const QString b = app.writeFile(QStringLiteral("b.txt"), "second");
        drop(text, {a, b});
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("You can only drop one file into the snip tool"));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(text->text(), QByteArray("before"));
        drop(text, {a});
        QCOMPARE(text->text(), FileBytes);
        drop(text, {b});
        QCOMPARE(text->text(), QByteArray("second")); // replaced, never appended
    }

    void readFailures_data()
    {
        QTest::addColumn<int>("step"); // platform::FileStep
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QByteArray>("box");
        using A = QList<int>;
        const auto st = [](platform::FileStep s) { return int(s); };
        QTest::newRow("open, Abort") << st(platform::FileStep::Open) << A{int(Answer::Abort)} << QByteArray("before");
        QTest::newRow("open, Retry") << st(platform::FileStep::Open) << A{int(Answer::Retry)} << FileBytes;
        QTest::newRow("open, Ignore: asked once") << st(platform::FileStep::Open) << A{int(Answer::Ignore)}
                                                  << QByteArray();
        QTest::newRow("read, Abort") << st(platform::FileStep::Read) << A{int(Answer::Abort)} << QByteArray("before");
        QTest::newRow("read, Ignore") << st(platform::FileStep::Read) << A{int(Answer::Ignore)} << QByteArray();
    }
    void readFailures()
    {
        QFETCH(int, step);
        QFETCH(QList<int>, answers);
        QFETCH(QByteArray, box);
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        FrmSnip *snip = FrmSnip::instance();
        ::box(snip)->setText(QByteArrayView("before"));
        for (int a : answers)
            prompts.answer(Answer(a));
        prompts.answerFile(app.writeFile(QStringLiteral("a.txt"), FileBytes));
        platform::injectFileFault(platform::FileStep(step), EACCES, 1);
        click(snip, "Command1");
        QCOMPARE(::box(snip)->text(), box);
        QCOMPARE(prompts.messages().size(), answers.size());
        QCOMPARE(prompts.messages()[0].text, readQuestion(EACCES));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join(QLatin1Char('|'))));
    }

    void reopeningFromAnotherDocumentRetargets()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *b = app.newDocument();
        app.trigger(a, QStringLiteral("mnuToolsSnip"));
        FrmSnip *snip = FrmSnip::instance();
        box(snip)->setText(QByteArrayView("snippet"));
        app.trigger(b, QStringLiteral("mnuToolsSnip"));
        QCOMPARE(FrmSnip::instance(), snip);
        QCOMPARE(snip->tag(), QStringLiteral("2"));
        QCOMPARE(box(snip)->text(), QByteArray("snippet"));
        box(snip)->selectAllText();
        click(snip, "Command2");
        QCOMPARE(b->textControl()->text(), QByteArray("snippet"));
        QCOMPARE(a->textControl()->length(), 0);
    }

    void grabAfterTheTargetClosed_data()
    {
        QTest::addColumn<bool>("slotTakenAgain");
        QTest::newRow("slot free") << false;
        QTest::newRow("slot taken by a new document") << true;
    }
    void grabAfterTheTargetClosed()
    {
        QFETCH(bool, slotTakenAgain);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *other = app.newDocument();
        app.trigger(a, QStringLiteral("mnuToolsSnip"));
        FrmSnip *snip = FrmSnip::instance();
        app.trigger(a, QStringLiteral("mnuFileClose"));
        QVERIFY(!app.record(1).InUse);
        FrmDoc *fresh = slotTakenAgain ? app.newDocument() : nullptr;
        if (fresh)
            QCOMPARE(fresh->slot(), 1);
        box(snip)->setText(QByteArrayView("stray"));
        box(snip)->selectAllText();
        click(snip, "Command2");
        QTRY_VERIFY2(!FrmSnip::instance(), "the tool closes");
        QCOMPARE(other->textControl()->length(), 0);
        if (fresh)
            QCOMPARE(fresh->textControl()->length(), 0);
    }

    void doubleClickSelectsAll()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsSnip"));
        TextControl *text = box(FrmSnip::instance());
        text->setText(QByteArrayView("first words\r\nsecond line"));
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 5));
        QCOMPARE(text->selStart(), 0);
        QCOMPARE(text->selLength(), text->length());
    }
};

QP_TEST_MAIN(TstFrmSnip)
#include "tst_frmsnip.moc"
