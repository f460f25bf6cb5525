// The tool windows (Snip, Quick Search, URL Snip) driven through their widgets, and
// the fetch under URL Snip against a local server.
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/fetchpolicy.h"
#include "platform/fileio.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"
#include "platform/urlfetch.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"
#include "tools/frmurlsnip.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace tools;

namespace {

template <typename T = QWidget> T *part(QWidget *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}
void click(QWidget *w, const char *button)
{
    QTest::mouseClick(part<QPushButton>(w, button), Qt::LeftButton);
}
TextControl *snipBox()
{
    return part<TextControl>(FrmSnip::instance(), "txtSnip");
}

void start(FrmQuick *w, const QString &search)
{
    part<QLineEdit>(w, "Text1")->setText(search);
    click(w, "Command1");
}

const QByteArray FileBytes("one\r\ntw\xe9\0\r\nlone\nLF\r\n", 20);
const QString ReadFailure("There was an error in reading your file\r\n%1\r\nWould would you like to do");

// "Connection: close" and, unless the body ends at the close, a Content-Length.
QByteArray response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                    bool toClose = false)
{
    const QByteArray length = toClose ? "" : "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return "HTTP/1.1 " + status + "\r\n" + headers + length + "Connection: close\r\n\r\n" + body;
}

// Fixed answers by path on 127.0.0.1, for the fetch tests; nothing here reaches any other address.
struct HttpServer : QTcpServer
{
    struct Route
    {
        QByteArray response; // status line to body; unknown paths get a 404
        int sendFirst = -1;  // >= 0: sends only so many bytes, then the rest one by one
        int dripMs = 0;      // every so many ms, or never when 0
    };
    QHash<QByteArray, Route> routes;
    QList<QByteArray> requests; // the paths asked for, in order
    std::function<void()> onRequest = [] {};

    HttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
        });
    }
    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    void serve(QTcpSocket *s)
    {
        if (s->property("served").toBool() || !s->peek(1 << 16).contains("\r\n\r\n"))
            return;
        s->setProperty("served", true);
        requests << s->readLine().split(' ').value(1);
        onRequest();
        const Route r = routes.value(requests.last(), Route{response("404 Not Found", "", "no such page")});
        s->write(r.sendFirst < 0 ? r.response : r.response.left(r.sendFirst));
        if (r.sendFirst < 0)
            return s->disconnectFromHost();
        auto *drip = new QTimer(s);
        connect(drip, &QTimer::timeout, s, [s, pos = qsizetype(r.sendFirst), bytes = r.response]() mutable {
            if (pos < bytes.size())
                s->write(bytes.mid(pos++, 1));
        });
        if (r.dripMs > 0)
            drip->start(r.dripMs);
    }
};

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
        QCOMPARE(prompts.messages().value(0).text,
                 QStringLiteral("You can only drop one file into the snip tool"));
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
        QCOMPARE(prompts.messages().last().text,
                 ReadFailure.arg(platform::errorFromErrno(EACCES).description));

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
        const QString path =
            app.writeFile(QStringLiteral("f.txt"), "<BODY>\r\n  body text\r\nnone\r\n   \r\n");
        QListWidget *list = part<QListWidget>(w, "List1");
        prompts.answerFile(path);
        prompts.answerFile(QString());
        start(w, QStringLiteral(" Body "));
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(list->count(), 2);
        QCOMPARE((QStringList{list->item(0)->text(), list->item(1)->text()}),
                 (QStringList{"<BODY>", "body text"}));
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

    void fetches_data()
    {
        QTest::addColumn<QString>("path");   // on the test server when it starts with "/"
        QTest::addColumn<QString>("result"); // the text, or "!" and the reason it failed
        QTest::addColumn<int>("requests");
        QTest::newRow("200 with a body") << "/body"
                                         << "hello\r\nworld" << 1;
        QTest::newRow("200 empty") << "/empty"
                                   << "" << 1;
        QTest::newRow("404") << "/missing"
                             << "!The server answered 404 Not Found." << 1;
        QTest::newRow("redirect to a file")
            << "/tofile"
            << "!The server redirected to an address that is not http or https." << 1;
        QTest::newRow("Latin-1") << "/latin1" << QString::fromLatin1("caf\xe9\x80") << 1;
        QTest::newRow("UTF-8") << "/utf8" << QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac") << 1;
        QTest::newRow("redirect loop") << "/loop"
                                       << "!The server redirected more than 5 times." << 6;
        QTest::newRow("over the cap") << "/big"
                                      << "!The page is larger than 1000 bytes and was not loaded." << 1;
        QTest::newRow("slow drip") << "/drip"
                                   << "!The transfer took too long and was stopped." << 1;
        QTest::newRow("never answers") << "/silent"
                                       << "!The server did not answer." << 1;
        QTest::newRow("goes quiet") << "/quiet"
                                    << "!The server stopped sending data." << 1;
        QTest::newRow("ftp") << "ftp://127.0.0.1/"
                             << "!Only http and https addresses can be loaded." << 0;
        QTest::newRow("no host") << "http:///body"
                                 << "!The address is not valid." << 0;
    }
    void fetches()
    {
        QFETCH(QString, path);
        QFETCH(QString, result);
        QFETCH(int, requests);
        HttpServer s;
        const QByteArray body = response("200 OK", "", "hello\r\nworld");
        const QByteArray drip = response("200 OK", "", QByteArray(900, 'd'));
        s.routes = {{"/body", {body}},
                    {"/empty", {response("200 OK", "", "")}},
                    {"/latin1",
                     {response("200 OK", "Content-Type: text/plain; charset=ISO-8859-1\r\n", "caf\xe9\x80")}},
                    {"/utf8",
                     {response("200 OK", "Content-Type: text/plain; charset=\"utf-8\"\r\n",
                               "caf\xc3\xa9 \xe2\x82\xac")}},
                    {"/loop", {response("302 Found", "Location: /loop\r\n", "")}},
                    {"/big", {response("200 OK", "", QByteArray(1001, 'x'), true)}},
                    {"/tofile", {response("302 Found", "Location: file:///etc/passwd\r\n", "")}},
                    {"/drip", {drip, int(drip.size()) - 900, 20}}, // the head at once, then the body
                    {"/silent", {QByteArray(), 0}},
                    {"/quiet", {body, int(body.size()) - 5}}};
        platform::UrlFetch fetch;
        fetch.setMaxBytes(1000);
        // The drip (every 20 ms) never trips the idle limit; only the deadline ends it.
        fetch.setIdleTimeoutMs(500);
        fetch.setDeadlineMs(1500);
        const auto r = fetch.fetch(path.startsWith(QLatin1Char('/')) ? s.url(qPrintable(path)) : path);
        QCOMPARE(r.ok ? r.text : QLatin1Char('!') + r.error, result);
        QCOMPARE(s.requests.size(), requests);
    }

    void redirectFromHttpsToHttpIsRefused()
    {
        QUrl to;
        QString why;
        QVERIFY(!fetchpolicy::redirectAllowed(QUrl("https://a.org/"), "http://a.org/", 0, 5, &to, &why));
        QCOMPARE(why, "The server redirected from a secure (https) address to an insecure (http) one.");
    }

    void urlSnipWindow()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        HttpServer server;
        server.routes = {{"/one",
                          {response("200 OK", "Content-Type: text/html; charset=utf-8\r\n",
                                    "<p>caf\xc3\xa9 \xe2\x82\xac</p>")}},
                         {"/hold", {QByteArray(), 0}}};
        FrmDoc *doc = app.newDocument();
        AppFixture::trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        QPointer<tools::FrmUrlSnip> w = tools::FrmUrlSnip::instance();
        TextControl *box = part<TextControl>(w, "txtUrl");
        const auto label = [&w](const char *name) { return part<QLabel>(w, name)->text(); };
        // The state line as the transfer starts, as a failure is reported and after each load.
        QString states = label("Label3");
        const auto note = [&] { states += QLatin1Char(' ') + label("Label3"); };
        server.onRequest = note;
        const auto load = [&](const char *path) {
            part<QLineEdit>(w, "txtAddress")->setText(server.url(path));
            QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
        };
        load("/one");
        note();
        // The box holds any character; the size counts characters.
        QCOMPARE(box->textString(), QStringLiteral("<p>caf\u00e9 \u20ac</p>"));
        QCOMPARE(label("lblSize"), QStringLiteral("13 Bytes"));
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { note(); };
        load("/missing");
        note();
        QCOMPARE(states, QStringLiteral("Idle Working Idle Working Idle Idle"));
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("The address could not be loaded.\r\nThe server answered 404 Not Found."));
        // A Latin-1 document takes what it can hold, the rest as "?", and says so.
        box->setText(QStringLiteral("fetched caf\u00e9 \u20ac"));
        box->selectAllText();
        QTest::mouseClick(part<QPushButton>(w, "Command2"), Qt::LeftButton);
        QCOMPARE(doc->textControl()->text(), QByteArray("fetched caf\xe9 ?"));
        QCOMPARE(prompts.messages()[1].text, textcodec::replacedNotice(1));
        QTRY_VERIFY(!w);

        // Closed while a transfer runs: it stops, quietly.
        AppFixture::trigger(doc, QStringLiteral("mnuToolsUrlSnip"));
        w = tools::FrmUrlSnip::instance();
        server.onRequest = [&] {
            w->Load(); // refused while one runs
            w->close();
        };
        load("/hold");
        QCOMPARE(server.requests.size(), 3);
        QCOMPARE(prompts.beeps(), 1);
        QCOMPARE(prompts.messages().size(), 2);
        QTRY_VERIFY2(!w, "the window goes once its transfer has stopped");
    }
};

QP_TEST_MAIN(TstToolWindows)
#include "tst_toolwindows.moc"
