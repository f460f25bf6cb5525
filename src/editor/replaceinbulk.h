#pragma once

#include "editor/findengine.h"

#include <QString>

class TextControl;

// Replace All over a huge text. The matches are found on a worker and put in
// place a piece at a time between repaints, with progress and Cancel once it
// runs past half a second. Cancel at any point leaves the text as it was.
namespace replaceinbulk {

struct Result
{
    bool cancelled = false;
    qsizetype count = 0; // replacements made (0 when nothing matched)
    qsizetype caret = 0; // where the caret belongs now
};

// `what` names the work in the progress window.
Result replaceAll(TextControl &text, QByteArrayView needle, QByteArrayView with,
                  const findengine::Options &options, const QString &what);

// Tests: replacements per piece (0 brings back the real figure).
void setPieceHits(size_t hits);

} // namespace replaceinbulk
