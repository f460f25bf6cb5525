#include "documents/diskstate.h"

#include "documents/checksum.h"
#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

DiskState DiskState::fromStamp(const platform::FileStamp &stamp, quint64 checksum)
{
    DiskState s;
    s.known = true;
    s.stamp = stamp;
    s.checksum = checksum;
    return s;
}

DiskState DiskState::capture(const QString &path, quint64 checksum)
{
    platform::FileStamp st;
    if (!platform::statFile(path, &st))
        return DiskState();
    return fromStamp(st, checksum);
}

DiskState::Drift DiskState::drift(const QString &path) const
{
    if (!known)
        return Drift::Same;
    platform::FileStamp now;
    if (!platform::statFile(path, &now))
        return Drift::Missing;
    if (now == stamp)
        return Drift::Same;
    if (now.size != stamp.size)
        return Drift::Changed;
    // Same size, new stamp: only the bytes can tell.
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return Drift::Changed;
    Checksum c;
    QByteArray buf(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = f.read(buf.data(), buf.size())) > 0;)
        c.add(QByteArrayView(buf.constData(), n));
    return c.value() == checksum ? Drift::Same : Drift::Changed;
}

QByteArray DiskState::toText() const
{
    if (!known)
        return QByteArrayLiteral("none");
    return QByteArray::number(stamp.device) + ' ' + QByteArray::number(stamp.inode) + ' ' +
           QByteArray::number(stamp.size) + ' ' + QByteArray::number(stamp.modifiedNs) + ' ' +
           QByteArray::number(checksum, 16);
}

bool DiskState::fromText(QByteArrayView text, DiskState *out)
{
    if (text == "none") {
        *out = DiskState();
        return true;
    }
    const QList<QByteArray> parts = text.toByteArray().split(' ');
    if (parts.size() != 5)
        return false;
    bool ok[5];
    DiskState s;
    s.known = true;
    s.stamp.device = parts[0].toULongLong(&ok[0]);
    s.stamp.inode = parts[1].toULongLong(&ok[1]);
    s.stamp.size = parts[2].toLongLong(&ok[2]);
    s.stamp.modifiedNs = parts[3].toLongLong(&ok[3]);
    s.checksum = parts[4].toULongLong(&ok[4], 16);
    for (bool b : ok)
        if (!b)
            return false;
    *out = s;
    return true;
}

namespace diskstate {

QString overwriteQuestion(const QString &path, DiskState::Drift drift)
{
    if (drift == DiskState::Drift::Missing)
        return QStringLiteral(
                   "The file \"%1\" has been deleted or moved by another program since you opened or "
                   "last saved it.\r\nSave this document there anyway?")
            .arg(path);
    return QStringLiteral(
               "The file \"%1\" has been changed by another program since you opened or last saved "
               "it.\r\nSave anyway and replace those changes with this document?")
        .arg(path);
}

bool confirmOverwrite(const QString &path, const DiskState &state)
{
    const DiskState::Drift d = state.drift(path);
    if (d == DiskState::Drift::Same)
        return true;
    return platform::message(overwriteQuestion(path, d), platform::Buttons::YesNo,
                             platform::Icon::Exclamation) == platform::Answer::Yes;
}

} // namespace diskstate
