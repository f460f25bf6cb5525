#pragma once

#include "platform/textformat.h"

#include <QString>

namespace platform {
class FileDialog;
}

// Loading and saving files.
namespace fileops {

// The filter of every document-level file dialog.
extern const char *const FileFilter;

// The frame's file dialog that all document open and save commands share.
// The frame registers its own; it lives as long as the frame.
platform::FileDialog &sharedFileDialog();
void setSharedFileDialog(platform::FileDialog *dialog);

// Opens the file at path in a new document window.
void OpenFile(const QString &path);
void OpenFileWithDialog();

// Each returns true when the file was written and the record updated.
bool SaveDocument(int slot);
bool SaveDocumentAs(int slot);
bool SaveDocumentBinary(int slot);

// Reads the document's file again as the given encoding (its line end found
// as at opening), for a file whose encoding was taken wrongly. Unsaved
// changes are asked about first. True when the document was reopened.
bool ReopenWithEncoding(int slot, Encoding encoding);

// Texts from this size on are huge: they are read, saved and replaced in
// over all on a worker, with progress and Cancel.
qsizetype hugeTextBytes();

// Tests: files from this size on are read piece by piece, in pieces of this
// size (0 brings back the real figures).
void setStreaming(qsizetype from, qsizetype pieceBytes = 0);
// Tests: a line of this many bytes or more is a very long one, and one of
// slowBytes or more is asked about before it is shown (0: the real sizes).
void setLongLine(qsizetype bytes, qsizetype slowBytes = 0);

} // namespace fileops
