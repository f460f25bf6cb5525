#pragma once

#include "platform/fileio.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

// Writing a document's file: a prefix, the text and an ending, through a temporary
// that only a complete write puts in place, noted in the save ledger while
// it exists. The checksum of what was written comes back for the disk state.
namespace safesave {

// progress, when given, hears how many bytes are written after each piece and
// may stop the save (false): the old file then stays as it was.
bool writeFile(const QString &path, QByteArrayView prefix, QByteArrayView text, QByteArrayView ending,
               platform::FileError *err, quint64 *checksum = nullptr,
               const std::function<bool(qint64 written)> &progress = nullptr);

} // namespace safesave
