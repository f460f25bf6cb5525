#pragma once

#include <QByteArray>
#include <QString>

// Documents hold one byte per character: the Latin-1 set.
namespace latin1 {

// Converts text into document bytes. A character outside Latin-1 cannot be
// held and becomes '?'; *replaced (when given) receives how many did.
QByteArray fromUnicode(QStringView text, int *replaced = nullptr);

inline QString toUnicode(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace latin1
