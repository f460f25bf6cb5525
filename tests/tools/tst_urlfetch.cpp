#include "httpserver.h"
#include "platform/fetchpolicy.h"
#include "platform/urlfetch.h"
#include "testmain.h"

using platform::UrlFetch;

class TstUrlFetch : public QObject
{
    Q_OBJECT
private slots:
    void fetches_data()
    {
        QTest::addColumn<QString>("path");   // on the test server when it starts with "/"
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("result"); // the text, or the reason it failed
        QTest::addColumn<int>("requests");
        QTest::newRow("200 with a body") << "/body" << true << "hello\r\nworld" << 1;
        QTest::newRow("200 empty") << "/empty" << true << "" << 1;
        QTest::newRow("body until close") << "/close" << true << "to the end" << 1;
        QTest::newRow("404") << "/missing" << false << "The server answered 404 Not Found." << 1;
        QTest::newRow("Latin-1") << "/latin1" << true << QString::fromLatin1("caf\xe9\x80") << 1;
        QTest::newRow("UTF-8") << "/utf8" << true << QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac") << 1;
        QTest::newRow("redirects followed") << "/r1" << true << "hello\r\nworld" << 3;
        QTest::newRow("redirect loop") << "/loop" << false << "The server redirected more than 5 times." << 6;
        QTest::newRow("over the cap while reading") << "/big" << false
                                                    << "The page is larger than 1000 bytes and was not loaded." << 1;
        QTest::newRow("over the cap declared") << "/declared" << false
                                               << "The page is larger than 1000 bytes and was not loaded." << 1;
        QTest::newRow("slow drip") << "/drip" << false << "The transfer took too long and was stopped." << 1;
        QTest::newRow("never answers") << "/silent" << false << "The server did not answer." << 1;
        QTest::newRow("goes quiet") << "/quiet" << false << "The server stopped sending data." << 1;
        QTest::newRow("not http") << "ftp://127.0.0.1/" << false << "Only http and https addresses can be loaded." << 0;
        QTest::newRow("javascript") << "javascript:alert(1)" << false << "Only http and https addresses can be loaded."
                                   << 0;
        QTest::newRow("no host") << "http:///body" << false << "The address is not valid." << 0;
    }
    void fetches()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, result);
        QFETCH(int, requests);
        HttpServer s;
        const QByteArray body = HttpServer::response("200 OK", "", "hello\r\nworld");
        s.routes = {{"/body", {body}},
                    {"/empty", {HttpServer::response("200 OK", "", "")}},
                    {"/close", {HttpServer::response("200 OK", "", "to the end", true)}},
                    {"/latin1", {HttpServer::response("200 OK", "Content-Type: text/plain; charset=ISO-8859-1\r\n",
                                                      "caf\xe9\x80")}},
                    {"/utf8", {HttpServer::response("200 OK", "Content-Type: text/plain; charset=\"utf-8\"\r\n",
                                                    "caf\xc3\xa9 \xe2\x82\xac")}},
                    {"/r1", {HttpServer::response("301 Moved", "Location: /r2\r\n", "")}},
                    {"/r2", {HttpServer::response("302 Found", "Location: " + s.url("/body").toLatin1() + "\r\n", "")}},
                    {"/loop", {HttpServer::response("302 Found", "Location: /loop\r\n", "")}},
                    {"/big", {HttpServer::response("200 OK", "", QByteArray(1001, 'x'), true)}},
                    {"/declared", {HttpServer::response("200 OK", "Content-Length: 5000\r\n", "", true)}},
                    {"/drip", {HttpServer::response("200 OK", "", QByteArray(900, 'd')), 20}},
                    {"/silent", {QByteArray(), 0, 0}},
                    {"/quiet", {body, 0, int(body.size()) - 5}}};
        UrlFetch fetch;
        QCOMPARE(fetch.maxBytes(), 16 * 1024 * 1024);
        QCOMPARE(fetch.deadlineMs(), 30000);
        fetch.setMaxBytes(1000);
        // The drip (every 20 ms) never trips the idle limit; only the deadline ends it.
        fetch.setIdleTimeoutMs(500);
        fetch.setDeadlineMs(1500);
        const UrlFetch::Result r = fetch.fetch(path.startsWith(QLatin1Char('/')) ? s.url(path) : path);
        QCOMPARE(r.ok, ok);
        QCOMPARE(ok ? r.text : r.error, result);
        QCOMPARE(s.requests.size(), requests);
    }

    void redirectPolicy_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QString>("result"); // the address, or why not
        QTest::newRow("relative") << "https://a.org/x/y" << QByteArray("../z") << "https://a.org/z";
        QTest::newRow("http to https") << "http://a.org/" << QByteArray("https://b.org/") << "https://b.org/";
        QTest::newRow("https to http") << "https://a.org/" << QByteArray("http://a.org/")
                                       << "The server redirected from a secure (https) address to an insecure (http) one.";
        QTest::newRow("to a file") << "http://a.org/" << QByteArray("file:///etc/passwd")
                                   << "The server redirected to an address that is not http or https.";
    }
    void redirectPolicy()
    {
        QFETCH(QString, from);
        QFETCH(QByteArray, location);
        QFETCH(QString, result);
        QUrl to;
        QString why;
        QCOMPARE(fetchpolicy::redirectAllowed(QUrl(from), location, 0, 5, &to, &why) ? to.toString() : why, result);
    }

    void abortAndASecondFetchWhileOneRuns()
    {
        HttpServer s;
        s.routes = {{"/hold", {QByteArray(), 0, 0}}};
        UrlFetch fetch;
        UrlFetch::Result second;
        s.onRequest = [&] {
            second = fetch.fetch(s.url(QStringLiteral("/hold")));
            fetch.abort();
        };
        const UrlFetch::Result r = fetch.fetch(s.url(QStringLiteral("/hold")));
        QCOMPARE(second.error, QStringLiteral("Another transfer is still running."));
        QCOMPARE(r.error, QStringLiteral("The transfer was stopped."));
        QVERIFY(r.stopped);
        QCOMPARE(s.requests.size(), 1);
    }
};

QP_TEST_MAIN(TstUrlFetch)
#include "tst_urlfetch.moc"
