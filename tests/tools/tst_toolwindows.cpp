#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

using namespace tools;

namespace {

template <typename T = QWidget> T *part(QWidget *w, const char *name) { return w->findChild<T *>(QLatin1String(name)); }
void click(QWidget *w, const char *button) { QTest::mouseClick(part<QPushButton>(w, button), Qt::LeftButton); }
TextControl *snipBox() { return part<TextControl>(FrmSnip::instance(), "txtSnip"); }

void start(FrmQuick *w, const QString &search)
{
    part<QLineEdit>(w, "Text1")->setText(search);
    click(w, "Command1");
}

const QByteArray FileBytes("one\r\ntw\xe9\0\r\nlone\nLF\r\n", 20);
const QString ReadFailure("There was an error in reading your file\r\n%1\r\nWould would you like to do");

} // namespace

class TstToolWindows : public QObject
{
    Q_OBJECT

private slots:
    void snipTool()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument(), *other = app.newDocument();
        doc->textControl()->setText(QByteArrayView("Hello World"));
        doc->textControl()->setSelStart(6);
        AppFixture::trigger(other, QStringLiteral("mnuToolsSnip"));
        AppFixture::trigger(doc, QStringLiteral("mnuToolsSnip")); // re-targets the open tool
        FrmSnip *w = FrmSnip::instance();
        const QString a = app.writeFile(QStringLiteral("a.txt"), FileBytes);
        const QString b = app.writeFile(QStringLiteral("b.txt"), "second");
        emit snipBox()->filesDropped({a, b});
        QCOMPARE(prompts.messages().value(0).text, QStringLiteral("You can only drop one file into the snip tool"));
        QCOMPARE(snipBox()->length(), 0);
        emit snipBox()->filesDropped({b});
        QCOMPARE(snipBox()->text(), QByteArray("second"));
        prompts.answerFile(a);
        click(w, "Command1"); // replaces, never appends
        QCOMPARE(snipBox()->text(), FileBytes);
        prompts.answerFile(b);
        prompts.answer(platform::Answer::Abort);
        platform::injectFileFault(platform::FileStep::Read, EACCES, 1);
        click(w, "Command1");
        QCOMPARE(snipBox()->text(), FileBytes);
        QCOMPARE(prompts.messages().last().text, ReadFailure.arg(platform::errorFromErrno(EACCES).description));

        snipBox()->setSelStart(5);
        snipBox()->setSelLength(7);
        click(w, "Command2");
        QCOMPARE(doc->textControl()->text(), QByteArray("Hello tw\xe9\0\r\nlWorld", 18));
        QCOMPARE(doc->textControl()->selStart(), 13);
        QCOMPARE(other->textControl()->length(), 0);
        QTRY_VERIFY2(!FrmSnip::instance(), "Grab closes the tool");

        // Closed meanwhile, and its slot taken by a new document: nobody gets the text.
        AppFixture::trigger(other, QStringLiteral("mnuToolsSnip"));
        AppFixture::trigger(other, QStringLiteral("mnuFileClose"));
        FrmDoc *fresh = app.newDocument();
        QCOMPARE(fresh->slot(), 2);
        snipBox()->setText(QByteArrayView("stray"));
        snipBox()->selectAllText();
        click(FrmSnip::instance(), "Command2");
        QTRY_VERIFY2(!FrmSnip::instance(), "the tool closes");
        QCOMPARE(fresh->textControl()->length(), 0);
    }

    void quickScan()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame(QStringLiteral("mnuToolsQuickSearch"));
        QPointer<FrmQuick> w = FrmQuick::instance();
        AppFixture::trigger(app.newDocument(), QStringLiteral("mnuToolsQuickSearch"));
        QCOMPARE(FrmQuick::instance(), w);
        const QString path = app.writeFile(QStringLiteral("f.txt"), "<BODY>\r\n  body text\r\nnone\r\n   \r\n");
        QListWidget *list = part<QListWidget>(w, "List1");
        prompts.answerFile(path);
        prompts.answerFile(QString());
        start(w, QStringLiteral(" Body "));
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(list->count(), 2);
        QCOMPARE((QStringList{list->item(0)->text(), list->item(1)->text()}), (QStringList{"<BODY>", "body text"}));
        start(w, QStringLiteral("none"));
        QVERIFY2(list->count() == 0 && !w->isScanning(), "a cancelled dialog leaves the list empty");
        // A UTF-8 file: the case of Latin-1 letters is ignored too, and lines show as written.
        prompts.answerFile(app.writeFile(QStringLiteral("u.txt"), "Grüße\r\nGRÜSSE\r\ngrun"));
        start(w, QStringLiteral("GRÜ"));
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(list->count(), 2);
        QCOMPARE((QStringList{list->item(0)->text(), list->item(1)->text()}),
                 (QStringList{"Grüße", "GRÜSSE"}));

        // In slices: progress shows; a read failure midway keeps the lines found so far.
        w->setPieceBytes(10);
        QByteArray hits;
        for (int i = 0; i < 100; ++i)
            hits += "hit " + QByteArray::number(i) + "\r\n";
        prompts.answerFile(app.writeFile(QStringLiteral("g.txt"), hits));
        prompts.answerFile(app.writeFile(QStringLiteral("g.txt"), hits));
        start(w, QStringLiteral("hit"));
        w->scanSlice(); // the slices are called here, not by the clock
        QVERIFY(w->isScanning() && part(w, "prgScan")->isVisible() && !part(w, "Command1")->isEnabled());
        QCOMPARE(part<QProgressBar>(w, "prgScan")->value(), 202); // 160 of 790 bytes, in thousandths
        const int before = list->count();
        QVERIFY2(before > 10 && before < 100, qPrintable(QString::number(before)));
        prompts.answer(platform::Answer::Abort);
        platform::injectFileFault(platform::FileStep::Read, EIO, 1000);
        w->scanSlice();
        QVERIFY(!w->isScanning() && !part(w, "prgScan")->isVisible() && part(w, "Command1")->isEnabled());
        QCOMPARE(list->count(), before);
        QCOMPARE(prompts.messages().size(), 1);

        platform::clearFileFaults();
        start(w, QStringLiteral("hit"));
        w->scanSlice();
        w->close();
        QTRY_VERIFY2(!w, "the window goes, its scan with it");
    }

    // A file of this platform, LF and UTF-8: each line is listed on its own.
    void quickScanOfAnLfFile()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame(QStringLiteral("mnuToolsQuickSearch"));
        FrmQuick *w = FrmQuick::instance();
        prompts.answerFile(app.writeFile(QStringLiteral("lf.txt"), "Grüße\n  grün  \nnone\nGRÜSSE\n"));
        start(w, QStringLiteral("grü"));
        QTRY_VERIFY(!w->isScanning());
        QListWidget *list = part<QListWidget>(w, "List1");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        QCOMPARE(shown, (QStringList{"Grüße", "grün", "GRÜSSE"}));
        w->close();
    }
};

QP_TEST_MAIN(TstToolWindows)
#include "tst_toolwindows.moc"
