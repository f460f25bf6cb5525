#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>

#include <functional>

// A small HTTP server on 127.0.0.1 answering fixed responses by path, for the
// web fetch tests. Nothing here reaches any other address.
class HttpServer : public QTcpServer
{
public:
    struct Route
    {
        QByteArray response; // the whole answer, status line to body
        int dripMs = 0;      // > 0: after the head, one byte per interval
        int stopAfter = -1;  // >= 0: sends this many bytes, then goes quiet
    };
    HttpServer();
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path); }
    // A response with "Connection: close" and, unless closeDelimited, a Content-Length.
    static QByteArray response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                               bool closeDelimited = false);

    QHash<QByteArray, Route> routes; // unknown paths get 404
    QList<QByteArray> requests;      // the paths asked for, in order
    std::function<void()> onRequest;
};
