#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

// The internet transfer: fetches a web address and returns its body as text.
// fetch() waits in a local event loop, so the windows stay responsive while
// it runs. A broken or hostile server cannot hang the program or exhaust its
// memory: redirects are limited, the whole transfer has a deadline, a server
// that goes quiet is given up on, and the body is capped while it is read.
class UrlFetch : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int deadlineMs READ deadlineMs WRITE setDeadlineMs)
    Q_PROPERTY(int idleTimeoutMs READ idleTimeoutMs WRITE setIdleTimeoutMs)
    Q_PROPERTY(qint64 maxBytes READ maxBytes WRITE setMaxBytes)
    Q_PROPERTY(int maxRedirects READ maxRedirects WRITE setMaxRedirects)

public:
    struct Result
    {
        bool ok = false;
        QString text;         // the decoded body
        QString error;        // why it failed, for the user
        bool stopped = false; // abort(), or the program quitting: nothing to report
    };

    explicit UrlFetch(QObject *parent = nullptr);
    ~UrlFetch() override;

    // Fetches the address as typed (see fetchpolicy::addressToUrl). Refuses
    // to start while another fetch of this object runs.
    Result fetch(const QString &address);
    bool isBusy() const { return m_loop != nullptr; }
    // Stops a running fetch; it returns with "The transfer was stopped."
    void abort();

    int deadlineMs() const { return m_deadlineMs; }
    void setDeadlineMs(int ms) { m_deadlineMs = ms; }
    int idleTimeoutMs() const { return m_idleMs; }
    void setIdleTimeoutMs(int ms) { m_idleMs = ms; }
    qint64 maxBytes() const { return m_maxBytes; }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }
    int maxRedirects() const { return m_maxRedirects; }
    void setMaxRedirects(int n) { m_maxRedirects = n; }

private:
    void start(const QUrl &url);
    void onReadyRead();
    void onMetaData();
    void onFinished();
    bool takeBody(); // false when the body went over the cap
    void fail(const QString &why);
    void succeed();
    void dropReply();

    QNetworkAccessManager *m_net;
    QPointer<QNetworkReply> m_reply;
    QEventLoop *m_loop = nullptr;
    QTimer m_deadline;
    QTimer m_idle;
    QUrl m_url;
    QByteArray m_body;
    QByteArray m_contentType;
    int m_redirects = 0;
    bool m_done = true;      // no fetch running, or the running one has its result
    bool m_answered = false; // the current request got any answer
    Result m_result;

    int m_deadlineMs = 30000;
    int m_idleMs = 10000;
    qint64 m_maxBytes;
    int m_maxRedirects;
};

} // namespace platform
