#include "platform/fetchpolicy.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace fetchpolicy {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString onlyWeb()
{
    return QStringLiteral("Only http and https addresses can be loaded.");
}

} // namespace

bool schemeAllowed(const QUrl &url)
{
    return url.isValid() && isWebScheme(url.scheme()) && !url.host().isEmpty();
}

QUrl addressToUrl(const QString &typed, QString *whyNot)
{
    const QString text = typed.trimmed();
    // "name:" starts a scheme unless a digit follows, as in "localhost:8080".
    static const QRegularExpression schemeRe(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
    const QUrl url = schemeRe.match(text).hasMatch()
                         ? QUrl(text, QUrl::StrictMode)
                         : QUrl(QStringLiteral("http://") + text, QUrl::StrictMode);
    if (!isWebScheme(url.scheme().toLower())) {
        *whyNot = onlyWeb();
        return QUrl();
    }
    if (text.isEmpty() || !url.isValid() || url.host().isEmpty()) {
        *whyNot = QStringLiteral("The address is not valid.");
        return QUrl();
    }
    return url;
}

bool redirectAllowed(const QUrl &from, const QByteArray &location, int followed, int maxRedirects,
                     QUrl *target, QString *whyNot)
{
    if (followed >= maxRedirects) {
        *whyNot = QStringLiteral("The server redirected more than %1 times.").arg(maxRedirects);
        return false;
    }
    const QUrl to = from.resolved(QUrl::fromEncoded(location.trimmed()));
    if (location.trimmed().isEmpty() || !to.isValid()) {
        *whyNot = QStringLiteral("The server redirected to an address that is not valid.");
        return false;
    }
    if (!schemeAllowed(to)) {
        *whyNot = QStringLiteral("The server redirected to an address that is not http or https.");
        return false;
    }
    // A secure page must not silently turn into one anybody could have altered.
    if (from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http")) {
        *whyNot =
            QStringLiteral("The server redirected from a secure (https) address to an insecure (http) one.");
        return false;
    }
    *target = to;
    return true;
}

QByteArray declaredCharset(QByteArrayView contentType)
{
    const QList<QByteArray> params = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArray p = params[i].trimmed();
        const qsizetype eq = p.indexOf('=');
        if (eq < 0 || p.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = p.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2).trimmed();
        return value.toLower();
    }
    return QByteArray();
}

QString decodeBody(QByteArrayView body, QByteArrayView contentType)
{
    const QByteArray charset = declaredCharset(contentType);
    static const char *const latin1Names[] = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1",
                                              "latin-1",    "l1",        "us-ascii",   "ascii",
                                              "iso-ir-100", "cp819"};
    for (const char *name : latin1Names)
        if (charset == name)
            return QString::fromLatin1(body);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            return decoder.decode(body);
        }
    }
    return QString::fromUtf8(body);
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 mb = 1024 * 1024;
    if (bytes > 0 && bytes % mb == 0)
        return QStringLiteral("%1 MB").arg(bytes / mb);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace fetchpolicy
