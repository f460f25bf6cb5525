#pragma once

#include "platform/fileio.h"

#include <QString>

// What a document last knew of its file: the file as it was loaded or saved,
// so that a save can tell whether another program changed it since.
struct DiskState
{
    bool known = false; // false for documents that never read or wrote a file
    platform::FileStamp stamp;
    quint64 checksum = 0; // of the file's bytes

    // The file at path as it stands now, holding bytes whose checksum is given.
    static DiskState capture(const QString &path, quint64 checksum);
    static DiskState fromStamp(const platform::FileStamp &stamp, quint64 checksum);

    enum class Drift { Same, Changed, Missing };
    // Compares with the file at path now. A file whose stamp differs but that
    // still holds the same bytes (touched, or rewritten unchanged) is the same.
    Drift drift(const QString &path) const;

    // One line of text, and back (for the recovery journals).
    QByteArray toText() const;
    static bool fromText(QByteArrayView text, DiskState *out);
};

namespace diskstate {

// The question asked before a save replaces a file another program changed or removed.
QString overwriteQuestion(const QString &path, DiskState::Drift drift);
// Asks it when the file drifted; true when the save may go on.
bool confirmOverwrite(const QString &path, const DiskState &state);

} // namespace diskstate
