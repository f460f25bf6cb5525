#pragma once

#include "documents/diskstate.h"
#include "documents/undohistory.h"

#include <QString>

// What the program knows about the document in one registry slot.
struct DocumentRecord
{
    QString Path;         // the file it was loaded from or last saved to; "" when none
    bool Changed = false; // unsaved changes
    bool InUse = false;   // the slot holds an open document
    QString Title;        // the window caption: "Untitled", "Clipboard", the path or a tag's title
    UndoStates Undo;      // the snapshot and the undo history, kept as differences
    DiskState Disk;       // the file as it was loaded or last saved
};
