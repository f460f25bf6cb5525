#include "editor/syntaxcolours.h"

#include "editor/colourscheme.h"
#include "editor/embeddedcss.h"
#include "platform/textcontrol.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerproperties.h>
#include <Qsci/qscilexerxml.h>

#include <QColor>
#include <QFont>

#include <memory>

namespace syntaxcolours {

using languages::Language;
using Sci = QsciScintillaBase;

namespace {

// The lexer objects are only asked for their names, keywords, properties
// and colours; the control itself is a bare Scintilla, not a QsciScintilla.
std::unique_ptr<QsciLexer> makeLexer(Language language)
{
    switch (language) {
    case Language::Html:
    case Language::Php:
        return std::make_unique<QsciLexerHTML>();
    case Language::Xml:
        return std::make_unique<QsciLexerXML>();
    case Language::Css:
        return std::make_unique<QsciLexerCSS>();
    case Language::Cpp:
        return std::make_unique<QsciLexerCPP>();
    case Language::Java:
        return std::make_unique<QsciLexerJava>();
    case Language::JavaScript:
        return std::make_unique<QsciLexerJavaScript>();
    case Language::Perl:
        return std::make_unique<QsciLexerPerl>();
    case Language::Ini:
        return std::make_unique<QsciLexerProperties>();
    case Language::Plain:
        break;
    }
    return nullptr;
}

// The default style (font, text and paper, copied to every style), the line
// numbers, caret, selection and current line, and the braces under and beside
// the caret: matched ones stand out on a pale ground, one without a partner in red.
void setFrameStyles(TextControl &c, const Look &look)
{
    const colourscheme::Frame &f = colourscheme::frame(look.dark);
    c.SendScintilla(Sci::SCI_STYLESETFONT, Sci::STYLE_DEFAULT, look.fontFamily.toUtf8().constData());
    c.SendScintilla(Sci::SCI_STYLESETSIZE, Sci::STYLE_DEFAULT, long(look.fontSize));
    c.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_DEFAULT, f.text);
    c.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_DEFAULT, f.paper);
    c.SendScintilla(Sci::SCI_STYLECLEARALL);
    c.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_LINENUMBER, f.marginText);
    c.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_LINENUMBER, f.marginBack);
    c.SendScintilla(Sci::SCI_SETCARETFORE, f.caret);
    c.SendScintilla(Sci::SCI_SETSELBACK, 1UL, f.selectionBack);
    c.SendScintilla(Sci::SCI_SETSELFORE, static_cast<unsigned long>(f.selectionText.isValid()),
                    f.selectionText.isValid() ? f.selectionText : f.text);
    c.SendScintilla(Sci::SCI_SETCARETLINEBACK, f.currentLine);
    c.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_BRACELIGHT, f.braceText);
    c.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_BRACELIGHT, f.braceBack);
    c.SendScintilla(Sci::SCI_STYLESETBOLD, Sci::STYLE_BRACELIGHT, 1L);
    c.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_BRACEBAD, f.badBrace);
    c.SendScintilla(Sci::SCI_STYLESETBOLD, Sci::STYLE_BRACEBAD, 1L);
}

void setLexerStyles(TextControl &c, const QsciLexer &lexer, bool dark)
{
    for (int style = 0; style <= Sci::STYLE_MAX; ++style) {
        // The control's own styles (default, line numbers, braces...) stay.
        if (style >= Sci::STYLE_DEFAULT && style <= Sci::STYLE_LASTPREDEFINED)
            continue;
        if (lexer.description(style).isEmpty())
            continue;
        // Colours, bold and italic come from the lexer; every style keeps the
        // control's fixed-width font so columns line up.
        const QFont font = lexer.font(style);
        c.SendScintilla(Sci::SCI_STYLESETFORE, static_cast<unsigned long>(style),
                        colourscheme::styleText(dark, lexer.color(style), lexer.description(style)));
        c.SendScintilla(Sci::SCI_STYLESETBACK, static_cast<unsigned long>(style),
                        colourscheme::stylePaper(dark, lexer.paper(style)));
        c.SendScintilla(Sci::SCI_STYLESETBOLD, static_cast<unsigned long>(style), long(font.bold()));
        c.SendScintilla(Sci::SCI_STYLESETITALIC, static_cast<unsigned long>(style), long(font.italic()));
        c.SendScintilla(Sci::SCI_STYLESETEOLFILLED, static_cast<unsigned long>(style),
                        long(lexer.eolFill(style)));
    }
}

} // namespace

void apply(TextControl &control, Language language, const Look &look)
{
    std::unique_ptr<QsciLexer> lexer = makeLexer(language);
    control.setStyleBytes(lexer != nullptr);
    setFrameStyles(control, look);
    if (!lexer) {
        control.SendScintilla(Sci::SCI_SETLEXER, static_cast<unsigned long>(Sci::SCLEX_NULL));
        return;
    }
    control.SendScintilla(Sci::SCI_SETLEXERLANGUAGE, 0UL, lexer->lexer());
    QObject::connect(lexer.get(), &QsciLexer::propertyChanged, &control,
                     [&control](const char *name, const char *value) {
                         control.SendScintilla(Sci::SCI_SETPROPERTY, name, value);
                     });
    lexer->refreshProperties();
    for (int set = 1; set <= 9; ++set)
        if (const char *words = lexer->keywords(set))
            control.SendScintilla(Sci::SCI_SETKEYWORDS, static_cast<uintptr_t>(set - 1), words);
    setLexerStyles(control, *lexer, look.dark);
    if (language == Language::Html || language == Language::Php)
        EmbeddedCss::setStyles(control, look.dark);
    // Everything is styled afresh, lazily, from the start.
    control.SendScintilla(Sci::SCI_STARTSTYLING, 0UL, 0L);
}

} // namespace syntaxcolours
