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

template <typename T> T *part(FrmUrlSnip *w, const char *name)
{
    return w ? w->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}
QString label(FrmUrlSnip *w, const char *name) { return part<QLabel>(w, name)->text(); }
TextControl *box(FrmUrlSnip *w) { return part<TextControl>(w, "txtUrl"); }

void load(FrmUrlSnip *w, const QString &address)
{
    part<QLineEdit>(w, "txtAddress")->setText(address);
    QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
}

} // namespace

class TstFrmUrlSnip : public QObject
{
    Q_OBJECT
private slots:
    void loadShowsTheTextAndItsSize()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.route("/one", {HttpServer::response("200 OK", "Content-Type: text/html; charset=utf-8\r\n",
                                                   "<p>caf\xc3\xa9</p>\r\n<p>two</p>")});
        server.route("/two", {HttpServer::response("200 OK", "", "second")});
        server.route("/empty", {HttpServer::response("200 OK", "", "")});
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("URL SNIP TOOL"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->tag(), QStringLiteral("1"));
        QCOMPARE(label(w, "Label1"), QStringLiteral("Please Enter URL "));
        QCOMPARE(label(w, "Label2"), QStringLiteral("Please Enter the url address then press load."));
        QCOMPARE(label(w, "Label3"), QStringLiteral("Idle"));
        QCOMPARE(label(w, "lblSize"), QString());
        QCOMPARE(part<QPushButton>(w, "Command1")->text(), QStringLiteral("&Load"));
        QCOMPARE(part<QPushButton>(w, "Command2")->text(), QStringLiteral("G&rab text"));
        QCOMPARE(part<QPushButton>(w, "Command3")->text(), QStringLiteral("&Cancel"));

        QString stateDuringTransfer;
        server.onRequest = [&](const QByteArray &) { stateDuringTransfer = label(w, "Label3"); };
        load(w, server.url(QStringLiteral("/one")));
        QCOMPARE(stateDuringTransfer, QStringLiteral("Working"));
        QCOMPARE(box(w)->text(), QByteArray("<p>caf\xe9</p>\r\n<p>two</p>"));
        QCOMPARE(label(w, "lblSize"), QStringLiteral("23 Bytes"));
        QCOMPARE(label(w, "Label3"), QStringLiteral("Idle"));

        load(w, server.url(QStringLiteral("/two")));
        QCOMPARE(box(w)->text(), QByteArray("second"));
        QCOMPARE(label(w, "lblSize"), QStringLiteral("6 Bytes"));

        // An empty address asks for nothing and changes nothing.
        load(w, QString());
        QCOMPARE(box(w)->text(), QByteArray("second"));
        QCOMPARE(label(w, "lblSize"), QStringLiteral("6 Bytes"));
        QCOMPARE(server.requests.size(), 2);

        load(w, server.url(QStringLiteral("/empty")));
        QCOMPARE(box(w)->length(), 0);
        QCOMPARE(label(w, "lblSize"), QStringLiteral("0 Bytes"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing was asked");
    }

    void grabPutsTheSelectionIntoTheDocument()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        FrmDoc *b = app.newDocument();
        b->textControl()->setText(QByteArrayView("[]"));
        b->textControl()->setSelStart(1);
        app.trigger(a, QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        box(w)->setText(QByteArrayView("fetched text"));
        QTest::mouseClick(part<QPushButton>(w, "Command2"), Qt::LeftButton);
        QVERIFY2(FrmUrlSnip::instance() == w, "nothing selected: the window stays");
        app.trigger(b, QStringLiteral("mnuToolsUrlSnip"));
        QCOMPARE(FrmUrlSnip::instance(), w);
        QCOMPARE(w->tag(), QStringLiteral("2"));
        box(w)->setSelStart(8);
        box(w)->setSelLength(4);
        QTest::mouseClick(part<QPushButton>(w, "Command2"), Qt::LeftButton);
        QCOMPARE(b->textControl()->text(), QByteArray("[text]"));
        QCOMPARE(a->textControl()->length(), 0);
        QTRY_VERIFY(!FrmUrlSnip::instance());
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("path"); // on the test server, or a whole address when it has "://"
        QTest::addColumn<QString>("reason");
        QTest::newRow("404") << "/missing" << "The server answered 404 Not Found.";
        QTest::newRow("not a web address") << "ftp://127.0.0.1/x" << "Only http and https addresses can be loaded.";
        QTest::newRow("too many redirects") << "/loop" << "The server redirected more than 5 times.";
    }
    void failuresAreReported()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.route("/loop", {HttpServer::response("302 Found", "Location: /loop\r\n", "")});
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        box(w)->setText(QByteArrayView("old"));
        QString stateAtMessage;
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { stateAtMessage = label(w, "Label3"); };
        load(w, path.contains(QLatin1String("://")) ? path : server.url(path));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("The address could not be loaded.\r\n") + reason);
        QCOMPARE(prompts.messages()[0].icon, platform::Icon::Exclamation);
        QCOMPARE(stateAtMessage, QStringLiteral("Idle"));
        QCOMPARE(box(w)->length(), 0);
        QCOMPARE(doc->textControl()->length(), 0);
        QVERIFY(part<QPushButton>(w, "Command1")->isEnabled());
    }

    void charactersOutsideLatin1AreReplacedAndReported()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.route("/euro", {HttpServer::response("200 OK", "", "5 \xe2\x82\xac, 6 \xe2\x82\xac")});
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        load(w, server.url(QStringLiteral("/euro")));
        QCOMPARE(box(w)->text(), QByteArray("5 ?, 6 ?"));
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("2 character(s)")),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(label(w, "lblSize"), QStringLiteral("8 Bytes"));
    }

    void closingDuringATransferStopsIt()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.route("/hold", {QByteArray(), 0, true});
        FrmDoc *doc = app.newDocument();
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        QPointer<FrmUrlSnip> w = FrmUrlSnip::instance();
        bool loadWasOff = false;
        server.onRequest = [&](const QByteArray &) {
            auto *loadButton = part<QPushButton>(w, "Command1");
            loadWasOff = !loadButton->isEnabled();
            QTest::mouseClick(loadButton, Qt::LeftButton);
            w->Load(); // a second Load while one runs is refused
            w->close();
        };
        load(w, server.url(QStringLiteral("/hold")));
        QVERIFY(loadWasOff);
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(prompts.beeps(), 1);
        QVERIFY2(prompts.messages().isEmpty(), "a closed window reports nothing");
        QTRY_VERIFY2(!w, "the window goes once its transfer has stopped");
        QCOMPARE(doc->textControl()->length(), 0);
        app.trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        QVERIFY2(FrmUrlSnip::instance() && box(FrmUrlSnip::instance())->length() == 0, "a fresh window");
    }

    void grabAfterTheTargetWasReplaced()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        app.trigger(a, QStringLiteral("mnuToolsUrlSnip"));
        FrmUrlSnip *w = FrmUrlSnip::instance();
        app.trigger(a, QStringLiteral("mnuFileClose"));
        FrmDoc *fresh = app.newDocument();
        QCOMPARE(fresh->slot(), 1);
        box(w)->setText(QByteArrayView("stray"));
        box(w)->selectAllText();
        QTest::mouseClick(part<QPushButton>(w, "Command2"), Qt::LeftButton);
        QCOMPARE(fresh->textControl()->length(), 0);
        QTRY_VERIFY(!FrmUrlSnip::instance());
    }
};

QP_TEST_MAIN(TstFrmUrlSnip)
#include "tst_frmurlsnip.moc"
