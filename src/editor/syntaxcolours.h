#pragma once

#include "editor/languages.h"

class TextControl;

// Colouring of a text control by one of QScintilla's own lexers. Colouring
// only sets the style bytes beside the text; the text itself is never touched.
namespace syntaxcolours {

// Gives the control the lexer, keywords and colours of the language, or
// takes them away for Plain (which also drops the style bytes). Styling is
// then done lazily, as text comes into view.
void apply(TextControl &control, languages::Language language);

} // namespace syntaxcolours
