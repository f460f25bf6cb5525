#pragma once

#include <QColor>
#include <QString>

class QPalette;

// The colours of the text area: the Light scheme keeps the lexers' own
// colours on white, the Dark one draws every lexer style from a small table
// of kinds (comment, keyword, string...), each readable on the dark paper.
// "Follow Desktop" takes whichever matches the desktop's palette.
namespace colourscheme {

enum class Scheme { FollowDesktop, Light, Dark };

// As the Preferences dialog and the settings store spell them.
QString schemeName(Scheme scheme);
// False for anything else, *out untouched.
bool schemeFromName(const QString &name, Scheme *out);

// The kind of a lexer style, read from its description ("HTML comment",
// "Inactive keyword", "Unclosed string"...).
enum class Kind {
    Default,
    Comment,
    Keyword,
    String,
    Number,
    Operator,
    Preprocessor,
    Attribute,
    Identifier,
    Regex,
    Error,
    Inactive, // code a preprocessor condition leaves out
};
Kind kindOf(const QString &description);
// The Dark scheme's text colour of a kind.
QColor darkColour(Kind kind);

// Everything around the styled text.
struct Frame
{
    bool dark = false;
    QColor paper, text, caret;
    QColor selectionBack;
    QColor selectionText; // invalid: the styles keep their own colours
    QColor marginBack, marginText;
    QColor currentLine;
    QColor braceText, braceBack, badBrace;
};
const Frame &frame(bool dark);

// A style's colours under a scheme, from the lexer's own (light) ones.
QColor styleText(bool dark, const QColor &lexerColour, const QString &description);
QColor stylePaper(bool dark, const QColor &lexerPaper);

// Whether the scheme comes out dark on a desktop with this palette.
bool isDark(Scheme scheme, const QPalette &desktop);
bool paletteIsDark(const QPalette &palette);
// A Fusion-style dark palette: for the find bar of a dark document on a
// light desktop, and for trying the program on a dark desktop.
QPalette darkPalette();

// WCAG 2 relative luminance and contrast ratio (1 to 21).
double relativeLuminance(const QColor &c);
double contrastRatio(const QColor &a, const QColor &b);

} // namespace colourscheme
