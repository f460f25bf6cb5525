#include "platform/settingsguard.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace settingsguard {

namespace {

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool printable(quint32 v)
{
    return v >= 0x20 && v <= 0x7e;
}

// The physical lines of a file grouped into logical lines: a line whose last
// character is a backslash continues on the next.
QList<QByteArray> logicalLines(const QByteArray &bytes)
{
    QList<QByteArray> physical = bytes.split('\n');
    const bool endsWithLineEnd = bytes.endsWith('\n');
    if (endsWithLineEnd)
        physical.removeLast();
    QList<QByteArray> out;
    QByteArray current;
    for (qsizetype i = 0; i < physical.size(); ++i) {
        const QByteArray &line = physical[i];
        current += line;
        if (i + 1 < physical.size() || endsWithLineEnd)
            current += '\n';
        QByteArrayView body(line);
        if (body.endsWith('\r'))
            body.chop(1);
        if (!body.endsWith('\\')) {
            out << current;
            current.clear();
        }
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

} // namespace

bool holdsSerializedObject(QByteArrayView line)
{
    // Decoded roughly as Qt decodes a value: quotes dropped, escapes turned
    // into their characters, continuations joined.
    QByteArray text;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = line[i];
        if (c == '"')
            continue;
        if (c != '\\' || i + 1 == n) {
            text += c;
            continue;
        }
        const char d = line[++i];
        if (d == 'x' || d == 'X' || isOctal(d)) {
            const bool hex = !isOctal(d);
            qsizetype j = hex ? i + 1 : i;
            quint32 v = 0;
            for (; j < n && (hex ? hexValue(line[j]) >= 0 : isOctal(line[j])); ++j) {
                v = hex ? v * 16 + quint32(hexValue(line[j])) : v * 8 + quint32(line[j] - '0');
                // However many digits Qt takes, a printable character is never
                // written this way for text.
                if (printable(v & 0xffff))
                    return true;
            }
            text += char(v & 0xff);
            i = j - 1;
        } else if (d == '\n' || d == '\r') {
            // a line continuation
        } else {
            text += d; // Qt's named escapes stand for control characters; others for themselves
        }
    }
    return text.contains("@Variant(");
}

bool dropSerializedObjects(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return true; // nothing Qt could read either
    const QByteArray bytes = f.readAll();
    f.close();
    if (!bytes.contains('@'))
        return true;

    QByteArray kept;
    bool dropped = false;
    for (const QByteArray &line : logicalLines(bytes)) {
        if (holdsSerializedObject(line))
            dropped = true;
        else
            kept += line;
    }
    if (!dropped)
        return true;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(kept) == kept.size() && out.commit();
}

} // namespace settingsguard
