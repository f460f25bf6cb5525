#include "platform/textformat.h"

#include <QList>

QString TextFormat::lineEndName(LineEnd e)
{
    return e == LineEnd::Lf ? QStringLiteral("LF") : QStringLiteral("CR LF");
}

QString TextFormat::encodingName(Encoding e)
{
    switch (e) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8Bom:
        return QStringLiteral("UTF-8 with BOM");
    case Encoding::Latin1:
        break;
    }
    return QStringLiteral("Latin-1");
}

QString TextFormat::label() const
{
    QString s = lineEndName(lineEnd) + QStringLiteral("  ") + encodingName(encoding);
    if (verbatim)
        s += QStringLiteral("  (bytes)");
    return s;
}

namespace {

const char *encodingKey(Encoding e)
{
    switch (e) {
    case Encoding::Utf8:
        return "utf-8";
    case Encoding::Utf8Bom:
        return "utf-8-bom";
    case Encoding::Latin1:
        break;
    }
    return "latin1";
}

} // namespace

QByteArray TextFormat::key() const
{
    QByteArray k = lineEnd == LineEnd::Lf ? "lf " : "crlf ";
    k += encodingKey(encoding);
    if (verbatim)
        k += " verbatim";
    return k;
}

bool TextFormat::fromKey(QByteArrayView key, TextFormat *out)
{
    const QList<QByteArray> words = key.toByteArray().split(' ');
    if (words.size() < 2 || words.size() > 3)
        return false;
    TextFormat f;
    if (words[0] == "lf")
        f.lineEnd = LineEnd::Lf;
    else if (words[0] != "crlf")
        return false;
    bool known = false;
    for (Encoding e : {Encoding::Latin1, Encoding::Utf8, Encoding::Utf8Bom})
        if (words[1] == encodingKey(e)) {
            f.encoding = e;
            known = true;
        }
    if (!known)
        return false;
    if (words.size() == 3) {
        if (words[2] != "verbatim")
            return false;
        f.verbatim = true;
    }
    *out = f;
    return true;
}
