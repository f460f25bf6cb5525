#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

// A small HTTP server on 127.0.0.1 answering fixed responses by path, for
// tests of the web fetch. Nothing here reaches any other address.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    struct Route
    {
        QByteArray response; // the whole answer, status line to body
        int dripMs = 0;      // > 0: the body goes out one byte per interval
        bool silent = false; // takes the request and never answers
        int stopAfter = -1;  // >= 0: goes quiet after this many bytes
    };

    HttpServer();
    QString url(const QString &path) const;
    quint16 port() const { return m_server.serverPort(); }

    void route(const QByteArray &path, const Route &r) { m_routes.insert(path, r); }
    // "HTTP/1.1 <status>", the headers given, a Content-Length unless
    // `closeDelimited`, "Connection: close", and the body.
    static QByteArray response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                               bool closeDelimited = false);

    QList<QByteArray> requests; // the paths asked for, in order
    std::function<void(const QByteArray &path)> onRequest;

private:
    void serve(class QTcpSocket *socket);
    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
};
