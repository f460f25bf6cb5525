#include "platform/urlfetch.h"

#include "platform/fetchpolicy.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace platform {

UrlFetch::UrlFetch(QObject *parent)
    : QObject(parent), m_net(new QNetworkAccessManager(this)), m_maxBytes(fetchpolicy::MaxBodyBytes),
      m_maxRedirects(fetchpolicy::MaxRedirects)
{
    m_deadline.setSingleShot(true);
    m_idle.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("The transfer took too long and was stopped.")); });
    connect(&m_idle, &QTimer::timeout, this, [this] {
        fail(m_answered ? QStringLiteral("The server stopped sending data.")
                        : QStringLiteral("The server did not answer."));
    });
}

UrlFetch::~UrlFetch()
{
    // A fetch() still waiting must wake up; it sees this object gone and returns.
    if (m_loop && m_loop->isRunning())
        m_loop->quit();
    dropReply();
}

UrlFetch::Result UrlFetch::fetch(const QString &address)
{
    if (m_loop)
        return Result{false, QString(), QStringLiteral("Another transfer is still running.")};
    QString why;
    const QUrl url = fetchpolicy::addressToUrl(address, &why);
    if (url.isEmpty())
        return Result{false, QString(), why};

    m_result = Result();
    m_done = false;
    m_redirects = 0;
    QEventLoop loop;
    m_loop = &loop;
    m_deadline.start(m_deadlineMs);
    start(url);
    QPointer<UrlFetch> self(this);
    if (!m_done)
        loop.exec();
    if (!self)
        return Result{false, QString(), QStringLiteral("The transfer was stopped."), true};
    // The loop also ends when the application quits under it.
    abort();
    m_loop = nullptr;
    m_deadline.stop();
    m_idle.stop();
    Result out = std::move(m_result);
    m_result = Result();
    return out;
}

void UrlFetch::abort()
{
    if (!m_loop || m_done)
        return;
    fail(QStringLiteral("The transfer was stopped."));
    m_result.stopped = true;
}

void UrlFetch::start(const QUrl &url)
{
    dropReply();
    m_url = url;
    m_body.clear();
    m_contentType.clear();
    m_answered = false;
    QNetworkRequest req(url);
    // Redirects are followed here, one by one, so each can be checked.
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    req.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_net->get(req);
    // Qt must not buffer more than we take out at once.
    m_reply->setReadBufferSize(256 * 1024);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &UrlFetch::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &UrlFetch::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &UrlFetch::onFinished);
    m_idle.start(m_idleMs);
}

void UrlFetch::onMetaData()
{
    if (m_done || sender() != m_reply)
        return;
    m_answered = true;
    m_idle.start(m_idleMs);
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (status < 300 && length.isValid() && length.toLongLong() > m_maxBytes)
        fail(QStringLiteral("The page is larger than %1 and was not loaded.")
                 .arg(fetchpolicy::sizeText(m_maxBytes)));
}

void UrlFetch::onReadyRead()
{
    if (m_done || sender() != m_reply)
        return;
    m_answered = true;
    m_idle.start(m_idleMs);
    while (m_reply && m_reply->bytesAvailable() > 0) {
        if (!takeBody())
            return;
    }
}

bool UrlFetch::takeBody()
{
    const qint64 room = m_maxBytes - m_body.size();
    const QByteArray piece = m_reply->read(qMin<qint64>(room + 1, 256 * 1024));
    if (piece.size() > room) {
        fail(QStringLiteral("The page is larger than %1 and was not loaded.")
                 .arg(fetchpolicy::sizeText(m_maxBytes)));
        return false;
    }
    m_body += piece;
    return true;
}

void UrlFetch::onFinished()
{
    if (m_done || sender() != m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400 && m_reply->hasRawHeader("Location")) {
        QUrl next;
        QString why;
        if (!fetchpolicy::redirectAllowed(m_url, m_reply->rawHeader("Location"), m_redirects, m_maxRedirects,
                                          &next, &why)) {
            fail(why);
            return;
        }
        ++m_redirects;
        start(next);
        return;
    }
    if (status >= 400) {
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(QStringLiteral("The server answered %1 %2.").arg(status).arg(reason).trimmed());
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(m_reply->errorString());
        return;
    }
    // Whatever arrived with the end of the transfer.
    while (m_reply->bytesAvailable() > 0)
        if (!takeBody())
            return;
    m_contentType = m_reply->rawHeader("Content-Type");
    succeed();
}

void UrlFetch::succeed()
{
    m_done = true;
    m_result = Result{true, fetchpolicy::decodeBody(m_body, m_contentType), QString()};
    m_body.clear();
    dropReply();
    if (m_loop && m_loop->isRunning())
        m_loop->quit();
}

void UrlFetch::fail(const QString &why)
{
    if (m_done)
        return;
    m_done = true;
    m_result = Result{false, QString(), why};
    m_body.clear();
    dropReply();
    m_deadline.stop();
    m_idle.stop();
    if (m_loop && m_loop->isRunning())
        m_loop->quit();
}

void UrlFetch::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply *r = m_reply;
    m_reply = nullptr;
    disconnect(r, nullptr, this, nullptr);
    r->abort();
    r->deleteLater();
}

} // namespace platform
