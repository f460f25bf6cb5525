#include "projects/projectfile.h"

#include "platform/blanks.h"
#include "platform/latin1.h"
#include "platform/prompts.h"

#include <QStringDecoder>

namespace projects {

namespace {

const char kPrefix[] = "File: ";
const char kLineEnd[] = "\r\n";

bool beyondLatin1(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

bool isEntryLine(QByteArrayView line)
{
    static const char want[] = "FILE:";
    if (line.size() < 5)
        return false;
    // Only ASCII letters can upper-case into the prefix.
    for (int i = 0; i < 5; ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != want[i])
            return false;
    }
    return true;
}

} // namespace

QByteArray projectHeader()
{
    return latin1::fromUnicode(platform::appTitle()) + ":1.0";
}

QByteArray encodePath(const QString &path)
{
    return beyondLatin1(path) ? path.toUtf8() : latin1::fromUnicode(path);
}

QString decodePath(QByteArrayView bytes)
{
    bool highBytes = false;
    for (const char c : bytes)
        if (uchar(c) >= 0x80) {
            highBytes = true;
            break;
        }
    if (highBytes) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8.decode(bytes);
        if (!utf8.hasError() && beyondLatin1(asUtf8))
            return asUtf8;
    }
    return QString::fromLatin1(bytes);
}

QList<QByteArrayView> splitLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r')
            continue;
        lines << bytes.sliced(start, i - start);
        if (i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << bytes.sliced(start);
    return lines;
}

QString GetFileFromLine(QByteArrayView line)
{
    if (!isEntryLine(line))
        return QString();
    return decodePath(platform::trimBlanks(line.sliced(5)));
}

bool canStorePath(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray bytes = encodePath(path);
    if (bytes.contains('\r'))
        return false;
    return GetFileFromLine(QByteArray(kPrefix) + bytes) == path;
}

QByteArray projectFileBytes(const QStringList &paths)
{
    QByteArray out = projectHeader() + kLineEnd;
    for (const QString &p : paths) {
        out += kPrefix;
        out += encodePath(p);
        out += kLineEnd;
    }
    return out;
}

QStringList readProjectPaths(QByteArrayView bytes)
{
    QStringList paths;
    for (const QByteArrayView line : splitLines(bytes)) {
        const QString p = GetFileFromLine(line);
        if (!p.isEmpty())
            paths << p;
    }
    return paths;
}

} // namespace projects
