#include "httpserver.h"
#include "platform/fetchpolicy.h"
#include "platform/urlfetch.h"
#include "testmain.h"

using platform::UrlFetch;

class TstUrlFetch : public QObject
{
    Q_OBJECT
private slots:
    void addresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url");   // "" when refused
        QTest::addColumn<QString>("whyNot");
        const QString onlyWeb = QStringLiteral("Only http and https addresses can be loaded.");
        const QString invalid = QStringLiteral("The address is not valid.");
        QTest::newRow("http") << "http://example.org/a?b=c" << "http://example.org/a?b=c" << "";
        QTest::newRow("https, blanks around") << "  https://example.org/ " << "https://example.org/" << "";
        QTest::newRow("no scheme is http") << "example.org/page" << "http://example.org/page" << "";
        QTest::newRow("host and port") << "localhost:8080/x" << "http://localhost:8080/x" << "";
        QTest::newRow("upper-case scheme") << "HTTP://example.org/" << "http://example.org/" << "";
        QTest::newRow("ftp") << "ftp://example.org/f" << "" << onlyWeb;
        QTest::newRow("file") << "file:///etc/passwd" << "" << onlyWeb;
        QTest::newRow("javascript") << "javascript:alert(1)" << "" << onlyWeb;
        QTest::newRow("a path") << "/etc/passwd" << "" << invalid;
        QTest::newRow("blank inside the host") << "exa mple.org" << "" << invalid;
        QTest::newRow("no host") << "http://" << "" << invalid;
    }
    void addresses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        QFETCH(QString, whyNot);
        QString why;
        QCOMPARE(fetchpolicy::addressToUrl(typed, &why).toString(), url);
        QCOMPARE(why, whyNot);
    }

    void redirects_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<int>("followed");
        QTest::addColumn<QString>("to"); // "" when refused
        QTest::addColumn<QString>("whyNot");
        QTest::newRow("relative") << "http://a.org/x/y" << QByteArray("../z") << 0 << "http://a.org/z" << "";
        QTest::newRow("http to https") << "http://a.org/" << QByteArray("https://a.org/") << 4 << "https://a.org/"
                                       << "";
        QTest::newRow("https to https") << "https://a.org/" << QByteArray("https://b.org/") << 0 << "https://b.org/"
                                        << "";
        QTest::newRow("https to http")
            << "https://a.org/" << QByteArray("http://a.org/") << 0 << ""
            << "The server redirected from a secure (https) address to an insecure (http) one.";
        QTest::newRow("relative keeps https") << "https://a.org/x" << QByteArray("/y") << 0 << "https://a.org/y"
                                              << "";
        QTest::newRow("sixth redirect") << "http://a.org/" << QByteArray("/b") << 5 << ""
                                        << "The server redirected more than 5 times.";
        QTest::newRow("to file") << "http://a.org/" << QByteArray("file:///etc/passwd") << 0 << ""
                                 << "The server redirected to an address that is not http or https.";
        QTest::newRow("empty location") << "http://a.org/" << QByteArray("  ") << 0 << ""
                                        << "The server redirected to an address that is not valid.";
    }
    void redirects()
    {
        QFETCH(QString, from);
        QFETCH(QByteArray, location);
        QFETCH(int, followed);
        QFETCH(QString, to);
        QFETCH(QString, whyNot);
        QUrl target;
        QString why;
        const bool ok = fetchpolicy::redirectAllowed(QUrl(from), location, followed, 5, &target, &why);
        QCOMPARE(ok, !to.isEmpty());
        QCOMPARE(ok ? target.toString() : QString(), to);
        QCOMPARE(why, whyNot);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        const QByteArray utf8 = "caf\xc3\xa9 \xe2\x82\xac";
        QTest::newRow("no charset is UTF-8") << utf8 << QByteArray("text/html") << QString::fromUtf8(utf8);
        QTest::newRow("no header at all") << utf8 << QByteArray() << QString::fromUtf8(utf8);
        QTest::newRow("quoted UTF-8") << utf8 << QByteArray("text/plain; charset=\"UTF-8\"") << QString::fromUtf8(utf8);
        QTest::newRow("Latin-1 byte for byte") << QByteArray("caf\xe9\x80\0", 6)
                                               << QByteArray("text/plain;charset=ISO-8859-1")
                                               << QString::fromLatin1("caf\xe9\x80\0", 6);
        QTest::newRow("windows-1252") << QByteArray("\x80") << QByteArray("text/html; charset=windows-1252")
                                      << QString::fromUtf8("\xe2\x82\xac");
        QTest::newRow("unknown name is UTF-8") << utf8 << QByteArray("text/html; charset=no-such-set")
                                               << QString::fromUtf8(utf8);
    }
    void decoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(fetchpolicy::decodeBody(body, contentType), text);
    }

    void fetches_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("result"); // the text, or the reason
        QTest::newRow("200 with a body") << HttpServer::response("200 OK", "", "hello\r\nworld") << true
                                         << "hello\r\nworld";
        QTest::newRow("200 empty") << HttpServer::response("200 OK", "", "") << true << "";
        QTest::newRow("200 until close") << HttpServer::response("200 OK", "", "to the end", true) << true
                                         << "to the end";
        QTest::newRow("404") << HttpServer::response("404 Not Found", "", "gone") << false
                             << "The server answered 404 Not Found.";
        QTest::newRow("500") << HttpServer::response("500 Internal Server Error", "", "") << false
                             << "The server answered 500 Internal Server Error.";
        QTest::newRow("Latin-1 body")
            << HttpServer::response("200 OK", "Content-Type: text/plain; charset=iso-8859-1\r\n", "caf\xe9") << true
            << QString::fromLatin1("caf\xe9");
        QTest::newRow("UTF-8 body")
            << HttpServer::response("200 OK", "Content-Type: text/plain; charset=utf-8\r\n", "caf\xc3\xa9 \xe2\x82\xac")
            << true << QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac");
        QTest::newRow("declared too long") << HttpServer::response("200 OK", "Content-Length: 999999999\r\n", "", true)
                                           << false << "The page is larger than 16 MB and was not loaded.";
    }
    void fetches()
    {
        QFETCH(QByteArray, response);
        QFETCH(bool, ok);
        QFETCH(QString, result);
        HttpServer server;
        server.route("/page", {response});
        UrlFetch fetch;
        const UrlFetch::Result r = fetch.fetch(server.url(QStringLiteral("/page")));
        QCOMPARE(r.ok, ok);
        QCOMPARE(ok ? r.text : r.error, result);
        QCOMPARE(server.requests, QList<QByteArray>{"/page"});
        QVERIFY(!fetch.isBusy());
    }

    void bodyOverTheCapIsStoppedWhileReading()
    {
        HttpServer server;
        // No length declared: only counting while reading can catch it.
        server.route("/big", {HttpServer::response("200 OK", "", QByteArray(16 * 1024 * 1024 + 1, 'x'), true)});
        server.route("/fits", {HttpServer::response("200 OK", "", QByteArray(16 * 1024 * 1024, 'y'), true)});
        UrlFetch fetch;
        UrlFetch::Result r = fetch.fetch(server.url(QStringLiteral("/big")));
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QStringLiteral("The page is larger than 16 MB and was not loaded."));
        QVERIFY2(r.text.isEmpty(), "nothing of a refused page is handed back");
        r = fetch.fetch(server.url(QStringLiteral("/fits")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.text.size(), 16 * 1024 * 1024);
    }

    void redirectsAreFollowedAndLimited()
    {
        HttpServer server;
        const QByteArray ok = HttpServer::response("200 OK", "", "arrived");
        server.route("/a", {HttpServer::response("301 Moved", "Location: /b\r\n", "")});
        server.route("/b", {HttpServer::response("302 Found", "Location: " + server.url("/c").toLatin1() + "\r\n", "")});
        server.route("/c", {ok});
        server.route("/loop", {HttpServer::response("302 Found", "Location: /loop\r\n", "")});
        UrlFetch fetch;
        UrlFetch::Result r = fetch.fetch(server.url(QStringLiteral("/a")));
        QCOMPARE(r.text, QStringLiteral("arrived"));
        QCOMPARE(server.requests, (QList<QByteArray>{"/a", "/b", "/c"}));

        server.requests.clear();
        r = fetch.fetch(server.url(QStringLiteral("/loop")));
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QStringLiteral("The server redirected more than 5 times."));
        QCOMPARE(server.requests.size(), 6);
    }

    void stalledServersAreGivenUp_data()
    {
        QTest::addColumn<int>("dripMs");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("error");
        QTest::newRow("one byte at a time") << 20 << false << -1
                                            << "The transfer took too long and was stopped.";
        QTest::newRow("never answers") << 0 << true << -1 << "The server did not answer.";
        QTest::newRow("goes quiet midway") << 0 << false << 200 << "The server stopped sending data.";
    }
    void stalledServersAreGivenUp()
    {
        QFETCH(int, dripMs);
        QFETCH(bool, silent);
        QFETCH(int, stopAfter);
        QFETCH(QString, error);
        HttpServer server;
        server.route("/slow", {HttpServer::response("200 OK", "", QByteArray(100000, 'd')), dripMs, silent, stopAfter});
        UrlFetch fetch;
        // The drip always beats the idle limit; only the deadline can end it.
        fetch.setIdleTimeoutMs(dripMs ? 60000 : 200);
        fetch.setDeadlineMs(dripMs ? 400 : 60000);
        const UrlFetch::Result r = fetch.fetch(server.url(QStringLiteral("/slow")));
        QVERIFY(!r.ok);
        QCOMPARE(r.error, error);
    }

    void refusedAddressesNeverConnect()
    {
        HttpServer server;
        UrlFetch fetch;
        const UrlFetch::Result r = fetch.fetch(QStringLiteral("ftp://127.0.0.1:%1/page").arg(server.port()));
        QCOMPARE(r.error, QStringLiteral("Only http and https addresses can be loaded."));
        QVERIFY(server.requests.isEmpty());
    }

    void noServerGivesTheSystemReason()
    {
        quint16 port;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        UrlFetch fetch;
        const UrlFetch::Result r = fetch.fetch(QStringLiteral("http://127.0.0.1:%1/").arg(port));
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("refused"), Qt::CaseInsensitive), qPrintable(r.error));
    }

    void abortAndSecondFetchDuringATransfer()
    {
        HttpServer server;
        server.route("/hold", {QByteArray(), 0, true});
        UrlFetch fetch;
        UrlFetch::Result second;
        server.onRequest = [&](const QByteArray &) {
            second = fetch.fetch(server.url(QStringLiteral("/hold")));
            fetch.abort();
        };
        const UrlFetch::Result r = fetch.fetch(server.url(QStringLiteral("/hold")));
        QCOMPARE(second.error, QStringLiteral("Another transfer is still running."));
        QCOMPARE(r.error, QStringLiteral("The transfer was stopped."));
        QCOMPARE(server.requests.size(), 1);
    }

    void destroyedWhileWaiting()
    {
        HttpServer server;
        server.route("/hold", {QByteArray(), 0, true});
        auto *fetch = new UrlFetch;
        server.onRequest = [&](const QByteArray &) { delete fetch; };
        const UrlFetch::Result r = fetch->fetch(server.url(QStringLiteral("/hold")));
        QCOMPARE(r.error, QStringLiteral("The transfer was stopped."));
    }
};

QP_TEST_MAIN(TstUrlFetch)
#include "tst_urlfetch.moc"
