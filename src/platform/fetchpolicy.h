#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The rules a web fetch follows, kept apart from the network code so they can
// be checked on their own: which addresses may be fetched, which redirects
// may be followed, and how a response body becomes text.
namespace fetchpolicy {

constexpr int MaxRedirects = 5;
constexpr qint64 MaxBodyBytes = 16 * 1024 * 1024;

// The address as the user typed it, made into a URL. An address without a
// scheme ("example.com/page") is taken as http. Only http and https are
// fetched; anything else gives an empty URL and the reason in *whyNot.
QUrl addressToUrl(const QString &typed, QString *whyNot);

bool schemeAllowed(const QUrl &url);

// Whether a redirect from `from` to the Location value `location` may be
// followed when `followed` redirects were followed already. On success
// *target is the resolved address; otherwise *whyNot says why not.
bool redirectAllowed(const QUrl &from, const QByteArray &location, int followed, int maxRedirects,
                     QUrl *target, QString *whyNot);

// The charset named in a Content-Type value, lower case, "" when none.
QByteArray declaredCharset(QByteArrayView contentType);

// The body as text, decoded from the charset the server declared: UTF-8
// when none is declared or the name is unknown, Latin-1 byte for byte when
// Latin-1 (or ASCII) is declared.
QString decodeBody(QByteArrayView body, QByteArrayView contentType);

// "16 MB" for a whole number of megabytes, "1000 bytes" otherwise.
QString sizeText(qint64 bytes);

} // namespace fetchpolicy
