#pragma once

#include <QByteArrayView>
#include <QString>

// Qt's INI reader turns a value written as "@Variant(...)" into whatever Qt
// type its bytes name. A damaged or hand-edited settings file can make that
// take minutes or gigabytes (a region that claims millions of rectangles), and
// the settings store only ever keeps text, so such values are taken out of a
// file before Qt reads it.
namespace settingsguard {

// Whether one line of an INI file (continuation lines joined) could hold a
// serialized object, however its characters are escaped or quoted. Errs on
// the side of yes: a line with a printable character written as an escape,
// which Qt never writes for text, counts too.
bool holdsSerializedObject(QByteArrayView line);

// Rewrites the file at path without the lines that could hold serialized
// objects. True when the file is safe to hand to Qt (nothing to drop, no
// file, or the rewrite succeeded).
bool dropSerializedObjects(const QString &path);

} // namespace settingsguard
