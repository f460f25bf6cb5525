#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Blanks are spaces only, everywhere in the program: a tab or a line end at
// either end of a name, answer or search text is part of it.
namespace platform {

QString trimBlanks(QStringView text);
QByteArray trimBlanks(QByteArrayView bytes);

} // namespace platform
