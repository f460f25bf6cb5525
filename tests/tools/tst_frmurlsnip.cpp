#include "appfixture.h"
#include "editor/frmdoc.h"
#include "httpserver.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/frmurlsnip.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using tools::FrmUrlSnip;

namespace {

template <typename T = QWidget> T *part(const char *name)
{
    return FrmUrlSnip::instance()->findChild<T *>(QString::fromLatin1(name));
}
QString label(const char *name) { return part<QLabel>(name)->text(); }
TextControl *box() { return part<TextControl>("txtUrl"); }

void load(const QString &address)
{
    part<QLineEdit>("txtAddress")->setText(address);
    QTest::mouseClick(part<QPushButton>("Command1"), Qt::LeftButton);
}

} // namespace

class TstFrmUrlSnip : public QObject
{
    Q_OBJECT
private slots:
    void loadAndGrab()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.routes = {{"/one", {HttpServer::response("200 OK", "Content-Type: text/html; charset=utf-8\r\n",
                                                        "<p>caf\xc3\xa9 \xe2\x82\xac</p>\r\n<p>two</p>")}},
                         {"/empty", {HttpServer::response("200 OK", "", "")}}};
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("URL SNIP TOOL"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->tag(), QStringLiteral("1"));
        QCOMPARE(label("Label1"), QStringLiteral("Please Enter URL "));
        QCOMPARE(label("Label2"), QStringLiteral("Please Enter the url address then press load."));
        QCOMPARE(label("Label3"), QStringLiteral("Idle"));

        QString stateDuringTransfer;
        server.onRequest = [&] { stateDuringTransfer = label("Label3"); };
        load(server.url(QStringLiteral("/one")));
        QCOMPARE(stateDuringTransfer, QStringLiteral("Working"));
        QCOMPARE(box()->text(), QByteArray("<p>caf\xe9 ?</p>\r\n<p>two</p>"));
        QCOMPARE(label("lblSize"), QStringLiteral("25 Bytes"));
        QCOMPARE(label("Label3"), QStringLiteral("Idle"));
        QCOMPARE(prompts.messages().size(), 1); // the euro sign could not be kept
        QVERIFY(prompts.messages()[0].text.startsWith(QStringLiteral("1 character(s)")));

        load(QString()); // an empty address changes nothing
        QCOMPARE(label("lblSize"), QStringLiteral("25 Bytes"));
        QCOMPARE(server.requests.size(), 1);
        load(server.url(QStringLiteral("/empty")));
        QCOMPARE(box()->length(), 0);
        QCOMPARE(label("lblSize"), QStringLiteral("0 Bytes"));

        box()->setText(QByteArrayView("fetched text"));
        box()->setSelStart(8);
        box()->setSelLength(4);
        QTest::mouseClick(part<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(doc->textControl()->text(), QByteArray("text"));
        QTRY_VERIFY(!FrmUrlSnip::instance());
    }

    void failureIsReportedAndGoesBackToIdle()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        box()->setText(QByteArrayView("old"));
        QString stateAtMessage;
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { stateAtMessage = label("Label3"); };
        load(server.url(QStringLiteral("/missing")));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("The address could not be loaded.\r\nThe server answered 404 Not Found."));
        QCOMPARE(prompts.messages()[0].icon, platform::Icon::Exclamation);
        QCOMPARE(stateAtMessage, QStringLiteral("Idle"));
        QCOMPARE(box()->length(), 0);
        QCOMPARE(doc->textControl()->length(), 0);
        QVERIFY(part("Command1")->isEnabled());
    }

    void closingDuringATransferStopsIt()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.routes = {{"/hold", {QByteArray(), 0, 0}}};
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        QPointer<FrmUrlSnip> w = FrmUrlSnip::instance();
        bool loadWasOff = false;
        server.onRequest = [&] {
            loadWasOff = !part("Command1")->isEnabled();
            w->Load(); // refused while one runs
            w->close();
        };
        load(server.url(QStringLiteral("/hold")));
        QVERIFY(loadWasOff);
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(prompts.beeps(), 1);
        QVERIFY2(prompts.messages().isEmpty(), "a closed window reports nothing");
        QTRY_VERIFY2(!w, "the window goes once its transfer has stopped");
        QCOMPARE(doc->textControl()->length(), 0);
    }
};

QP_TEST_MAIN(TstFrmUrlSnip)
#include "tst_frmurlsnip.moc"
