#pragma once

#include <QString>

namespace tools {

// Brings forward the document that holds the file at path, opening it
// through the usual open path when no window has it, and selects the bytes
// [byteColumn, byteColumn + byteLength) of its line `line` (1-based, as the
// editor counts lines). Returns the document's slot, or 0 when the file
// could not be opened (the user has been told why).
int openResult(const QString &path, qint64 line, qint64 byteColumn, qint64 byteLength);

} // namespace tools
