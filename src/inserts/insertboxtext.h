#pragma once

#include <QString>

// The text of the insert-text box, kept for the whole program run: every
// change in the box copies its text here, and Tools > "Inse&rt Text" in any
// document window writes it at that window's caret, in that document's
// encoding and line end. Empty at start.
namespace inserts {

const QString &InsertBoxText();
void setInsertBoxText(const QString &text);

} // namespace inserts
