#pragma once

#include <QByteArray>

// The text of the insert-text box, kept for the whole program run: every
// change in the box copies its text here, and Tools > "Inse&rt Text" in any
// document window writes it at that window's caret. Empty at start.
namespace inserts {

const QByteArray &InsertBoxText();
void setInsertBoxText(QByteArrayView text);

} // namespace inserts
