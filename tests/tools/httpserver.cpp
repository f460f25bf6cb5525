#include "httpserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

HttpServer::HttpServer()
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = nextPendingConnection()) {
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                if (s->property("served").toBool() || !s->peek(1 << 16).contains("\r\n\r\n"))
                    return;
                s->setProperty("served", true);
                const QByteArray path = s->readLine().split(' ').value(1);
                requests << path;
                if (onRequest)
                    onRequest();
                const Route r = routes.value(path, Route{response("404 Not Found", "", "no such page")});
                const qsizetype head = r.response.indexOf("\r\n\r\n") + 4;
                if (r.stopAfter >= 0 || r.dripMs > 0) {
                    s->write(r.response.left(r.stopAfter >= 0 ? r.stopAfter : head));
                } else {
                    s->write(r.response);
                    s->disconnectFromHost();
                }
                if (r.dripMs <= 0)
                    return;
                auto *timer = new QTimer(s);
                connect(timer, &QTimer::timeout, s, [s, pos = head, body = r.response]() mutable {
                    if (pos < body.size())
                        s->write(body.mid(pos++, 1));
                });
                timer->start(r.dripMs);
            });
        }
    });
}

QByteArray HttpServer::response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                                bool closeDelimited)
{
    QByteArray r = "HTTP/1.1 " + status + "\r\n" + headers;
    if (!closeDelimited)
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "Connection: close\r\n\r\n" + body;
}
