#pragma once

#include "platform/textformat.h"

class FrmDoc;
class QMenu;

// Options > "Line Ends", "Encoding" and "Reopen With Encoding" of a document
// window, and the status bar's format panel, which opens the same menus.
namespace formatcommands {

// Wires the entries and keeps their check marks on the document's format.
void attach(FrmDoc &window);

// The three submenus in one menu, for the format panel.
QMenu *formatMenu(FrmDoc &window);

// Converts every line break of the text to the line end, in one change that
// Undo takes back.
void changeLineEnd(FrmDoc &window, LineEnd lineEnd);
// Re-encodes every character. Going to Latin-1 when some characters cannot
// be held asks first, and converts only on Yes (they become "?").
void changeEncoding(FrmDoc &window, Encoding encoding);

} // namespace formatcommands
