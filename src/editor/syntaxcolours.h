#pragma once

#include "editor/languages.h"

#include <QString>

class TextControl;

// Colouring of a text control by one of QScintilla's own lexers. Colouring
// only sets the style bytes beside the text; the text itself is never touched.
namespace syntaxcolours {

// The font and scheme every style is drawn with.
struct Look
{
    QString fontFamily;
    int fontSize = 10;
    bool dark = false;
};

// Gives the control the lexer, keywords and colours of the language, or
// takes them away for Plain (which also drops the style bytes). Styling is
// then done lazily, as text comes into view.
void apply(TextControl &control, languages::Language language, const Look &look);

} // namespace syntaxcolours
