#pragma once

#include "platform/fileio.h"

#include <QString>

#include <functional>

// Saves write through a temporary beside the file and rename it into place.
// A process killed at the wrong moment can leave that temporary behind with a
// name of its own, so every save notes its temporary (by device and inode)
// in a ledger before writing, and drops the note when done. The next start
// removes the temporaries that the notes of a dead instance point at, and
// nothing else.
namespace saveledger {

// Where this process keeps its notes (its recovery folder); "" keeps none.
void setFolder(const QString &folder);
QString folder();
// Told why, when a note could not be written (the save goes on without it).
void setFailureHandler(std::function<void(const QString &reason)> handler);

// Notes the temporary of a save to path; returns the note's name ("" when
// none was kept) for release().
QString record(const QString &path, const platform::FileStamp &temp);
void release(const QString &note);

// Removes the temporaries that the notes in a dead instance's folder point
// at, then the notes. Returns how many temporaries were removed.
int sweep(const QString &folder);

} // namespace saveledger
