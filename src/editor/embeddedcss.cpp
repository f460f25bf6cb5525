#include "editor/embeddedcss.h"

#include "editor/colourscheme.h"
#include "platform/textcontrol.h"

#include <Qsci/qscilexercss.h>

#include <QByteArray>
#include <QColor>
#include <QFont>

#include <cstring>

using Sci = QsciScintillaBase;

namespace {

// Blocks are looked for this far before the styled range, and bigger ones
// stay plain: a style sheet inside a page is seldom more than a few pages.
constexpr long kReach = 256 << 10;

constexpr int kHtmlDefault = 0; // text outside tags
constexpr int kHtmlTag = 1;

// Case-blind searches for a tag; both jump between the '<' bytes.
long indexOfCi(QByteArrayView text, QByteArrayView what, long from)
{
    for (long i = qMax(0L, from); i + what.size() <= text.size(); ++i) {
        const void *lt = std::memchr(text.data() + i, '<', size_t(text.size() - i));
        if (!lt)
            return -1;
        i = long(static_cast<const char *>(lt) - text.data());
        if (i + what.size() <= text.size() &&
            text.sliced(i, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

long lastIndexOfCi(QByteArrayView text, QByteArrayView what, long before)
{
    for (long i = qMin<long>(before, text.size()) - long(what.size()); i >= 0; --i) {
        const void *lt = memrchr(text.data(), '<', size_t(i + 1));
        if (!lt)
            return -1;
        i = long(static_cast<const char *>(lt) - text.data());
        if (text.sliced(i, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

EmbeddedCss::EmbeddedCss() = default;
EmbeddedCss::~EmbeddedCss() = default;

void EmbeddedCss::setStyles(TextControl &c, bool dark)
{
    const QsciLexerCSS css;
    for (int style = 0; style < Base; ++style) {
        if (css.description(style).isEmpty())
            continue;
        const unsigned long s = static_cast<unsigned long>(Base + style);
        c.SendScintilla(Sci::SCI_STYLESETFORE, s,
                        colourscheme::styleText(dark, css.color(style), css.description(style)));
        c.SendScintilla(Sci::SCI_STYLESETBACK, s, colourscheme::stylePaper(dark, css.paper(style)));
        c.SendScintilla(Sci::SCI_STYLESETBOLD, s, long(css.font(style).bold()));
        c.SendScintilla(Sci::SCI_STYLESETITALIC, s, long(css.font(style).italic()));
    }
}

void EmbeddedCss::colour(TextControl &control, long from, long to)
{
    if (to <= from)
        return;
    // The range of text to look at: a block may open before `from`.
    const long windowStart = qMax(0L, from - kReach);
    const QByteArrayView text = control.bytes(windowStart, to - windowStart);
    auto styleAt = [&control](long pos) {
        return int(control.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xff);
    };
    long at = from - windowStart;
    // A block that is open at `from`.
    const long open = lastIndexOfCi(text, "<style", at);
    if (open >= 0 && lastIndexOfCi(text, "</style", at) < open) {
        const long gt = text.indexOf('>', open);
        if (gt >= 0 && gt < at)
            at = open;
    }
    for (;;) {
        const long tag = indexOfCi(text, "<style", at);
        if (tag < 0)
            return;
        const long gt = text.indexOf('>', tag);
        if (gt < 0)
            return;
        at = gt + 1;
        // Only a real tag, not the word in a comment, string or script.
        if (styleAt(windowStart + tag) != kHtmlTag)
            continue;
        const long close = indexOfCi(text, "</style", at);
        // The end of a block running past the range is only known once the rest is styled.
        long end = close >= 0 ? close : -1;
        if (end < 0) {
            const QByteArrayView rest = control.bytes(windowStart + at, kReach);
            const long later = indexOfCi(rest, "</style", 0);
            end = later >= 0 ? at + later : at + long(rest.size());
        }
        colourBlock(control, windowStart + at, windowStart + end, from, to);
        if (close < 0)
            return;
        at = close;
    }
}

void EmbeddedCss::colourBlock(TextControl &control, long start, long end, long from, long to)
{
    const long first = qMax(start, from);
    long last = qMin(end, to);
    if (last <= first || end - start > kReach)
        return;
    if (!m_styler) {
        m_styler = std::make_unique<Sci>();
        const QsciLexerCSS css;
        m_styler->SendScintilla(Sci::SCI_SETLEXERLANGUAGE, 0UL, css.lexer());
        for (int set = 1; set <= 9; ++set)
            if (const char *words = css.keywords(set))
                m_styler->SendScintilla(Sci::SCI_SETKEYWORDS, static_cast<uintptr_t>(set - 1), words);
    }
    const QByteArray sheet = control.bytes(start, end - start).toByteArray();
    last = qMin(last, start + long(sheet.size()));
    m_styler->SendScintilla(Sci::SCI_CLEARALL);
    m_styler->SendScintilla(Sci::SCI_ADDTEXT, static_cast<uintptr_t>(sheet.size()), sheet.constData());
    m_styler->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);

    QByteArray styles(last - first, '\0');
    bool any = false;
    for (long pos = first; pos < last; ++pos) {
        // Styles come back as signed bytes.
        int style = int(control.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xff);
        const char c = sheet[qsizetype(pos - start)];
        if (style == kHtmlDefault && c != '\r' && c != '\n') {
            style = Base + int(m_styler->SendScintilla(Sci::SCI_GETSTYLEAT,
                                                       static_cast<unsigned long>(pos - start)));
            any = true;
        }
        styles[qsizetype(pos - first)] = char(style);
    }
    if (!any)
        return;
    // Laying styles down moves Scintilla's styled end; it goes back after.
    const long styled = control.SendScintilla(Sci::SCI_GETENDSTYLED);
    control.SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(first), 0L);
    control.SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()),
                          styles.constData());
    if (styled > last)
        control.SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(styled), 0L);
}
