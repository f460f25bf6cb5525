#include "httpserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

HttpServer::HttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            s->setParent(this);
            connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

QByteArray HttpServer::response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                                bool closeDelimited)
{
    QByteArray r = "HTTP/1.1 " + status + "\r\n" + headers;
    if (!closeDelimited)
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "Connection: close\r\n\r\n" + body;
}

void HttpServer::serve(QTcpSocket *socket)
{
    if (socket->property("served").toBool() || !socket->peek(1 << 16).contains("\r\n\r\n"))
        return;
    socket->setProperty("served", true);
    const QByteArray line = socket->readLine();
    const QByteArray path = line.split(' ').value(1);
    requests << path;
    if (onRequest)
        onRequest(path);
    const Route r = m_routes.value(path, Route{response("404 Not Found", "", "no such page"), 0, false, -1});
    if (r.silent)
        return;
    if (r.stopAfter >= 0) {
        socket->write(r.response.left(r.stopAfter));
        return;
    }
    if (r.dripMs <= 0) {
        socket->write(r.response);
        socket->disconnectFromHost();
        return;
    }
    const qsizetype headEnd = r.response.indexOf("\r\n\r\n") + 4;
    socket->write(r.response.left(headEnd));
    auto *timer = new QTimer(socket);
    QPointer<QTcpSocket> guard(socket);
    auto pos = std::make_shared<qsizetype>(headEnd);
    connect(timer, &QTimer::timeout, socket, [guard, timer, pos, body = r.response] {
        if (!guard || *pos >= body.size()) {
            timer->stop();
            return;
        }
        guard->write(body.mid((*pos)++, 1));
    });
    timer->start(r.dripMs);
}
