#pragma once

#include <QString>

class TextControl;

// Edit > "Go To Line...".
namespace gotoline {

// The line number the user typed (spaces around it allowed), from 1 to
// lineCount; 0 when the text is no such number.
int parseLineNumber(const QString &input, int lineCount);

// Asks for a line number in an input box and puts the caret at the start of
// that line. Cancel does nothing; a bad number is explained and nothing moves.
void GoToLine(TextControl &control);

} // namespace gotoline
