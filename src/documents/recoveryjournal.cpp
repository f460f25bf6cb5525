#include "documents/recoveryjournal.h"

#include <QFile>
#include <QUrl>

namespace recovery {

namespace {
const QByteArray kMagic = QByteArrayLiteral("Quillpad recovery journal 1");
}

QByteArray journalHeader(const Journal &j, qsizetype textLength)
{
    QByteArray h = kMagic + '\n';
    h += "title: " + QUrl::toPercentEncoding(j.title) + '\n';
    h += "path: " + QUrl::toPercentEncoding(j.path) + '\n';
    h += "disk: " + j.disk.toText() + '\n';
    h += "written: " + QByteArray::number(j.written.toMSecsSinceEpoch()) + '\n';
    h += "format: " + j.format.key() + '\n';
    h += "length: " + QByteArray::number(textLength) + "\n\n";
    return h;
}

bool parseJournal(const QByteArray &bytes, Journal *out)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0 || !bytes.startsWith(kMagic + '\n'))
        return false;
    Journal j;
    qsizetype length = -1;
    bool haveTitle = false, haveDisk = false, haveWritten = false;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype colon = line.indexOf(": ");
        if (colon < 0)
            return false;
        const QByteArray key = line.left(colon);
        const QByteArray value = line.mid(colon + 2);
        bool ok = true;
        if (key == "title") {
            j.title = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
            haveTitle = true;
        } else if (key == "path") {
            j.path = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        } else if (key == "disk") {
            ok = haveDisk = DiskState::fromText(value, &j.disk);
        } else if (key == "written") {
            j.written = QDateTime::fromMSecsSinceEpoch(value.toLongLong(&ok), Qt::UTC);
            haveWritten = ok;
        } else if (key == "format") {
            ok = TextFormat::fromKey(value, &j.format);
        } else if (key == "length") {
            length = value.toLongLong(&ok);
        }
        if (!ok)
            return false;
    }
    const qsizetype start = end + 2;
    // A journal cut short is no journal: the length must match to the byte.
    if (!haveTitle || !haveDisk || !haveWritten || length < 0 || bytes.size() - start != length)
        return false;
    j.text = bytes.mid(start);
    *out = std::move(j);
    return true;
}

bool readJournal(const QString &file, Journal *out)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && parseJournal(f.readAll(), out);
}

} // namespace recovery
