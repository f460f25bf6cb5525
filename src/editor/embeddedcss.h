#pragma once

#include <memory>

class QsciScintillaBase;
class TextControl;

// The HTML lexer leaves the style sheets inside <style> blocks as plain text.
// This colours them after it: each block is lexed as CSS on a hidden styler
// and its styles are laid over the page's, as style Base + the CSS style, on
// every byte the HTML lexer left plain. Line ends keep the page's own style,
// so the HTML lexer, which starts again at line starts, never meets them.
class EmbeddedCss
{
public:
    static constexpr int Base = 128; // the HTML lexer's styles stay below

    EmbeddedCss();
    ~EmbeddedCss();

    // The CSS colours as styles Base and up, on a control coloured as HTML.
    static void setStyles(TextControl &control, bool dark = false);

    // The HTML lexer has just styled [from, to) of the control's text.
    void colour(TextControl &control, long from, long to);

private:
    void colourBlock(TextControl &control, long start, long end, long from, long to);

    std::unique_ptr<QsciScintillaBase> m_styler;
};
