#pragma once

class DocumentWindow;

// Creating and closing documents.
namespace documents {

// The only way a document window comes into being: takes the lowest free slot
// (or a new one), shows its window titled "Untitled" and clears its undo
// state. Returns null when no slot can be had. The caller sets Changed.
DocumentWindow *CreateDocumentWindow();

void NewDocument();
void NewDocumentFromClipboard();

// Asks about unsaved changes and frees the slot. Returns true when the close
// must not go on: the user cancelled, or the save they asked for did not complete.
bool CloseDocument(DocumentWindow *window);

} // namespace documents
