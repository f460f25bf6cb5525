#include "editor/findengine.h"

#include "platform/textcodec.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace findengine {

namespace {

struct Tables
{
    std::array<unsigned char, 256> fold{};
    std::array<bool, 256> word{};
    Tables()
    {
        for (int c = 0; c < 256; ++c) {
            const QChar ch(c);
            const char16_t lower = ch.toLower().unicode();
            fold[c] = lower < 256 ? static_cast<unsigned char>(lower) : static_cast<unsigned char>(c);
            word[c] = ch.isLetterOrNumber() || c == '_';
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

// A byte of UTF-8 text that begins no well-formed character stands alone,
// as a value above every code point: it matches only the same byte.
constexpr char32_t kStray = 0x110000;

struct Char
{
    char32_t code;
    qsizetype size;
};

Char decodeAt(QByteArrayView text, qsizetype pos)
{
    const auto *p = reinterpret_cast<const uchar *>(text.data()) + pos;
    const qsizetype left = text.size() - pos;
    const uchar c = p[0];
    if (c < 0x80)
        return {c, 1};
    int more;
    char32_t code, least;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, code = c & 0x1F, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, code = c & 0x0F, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, code = c & 0x07, least = 0x10000;
    } else {
        return {kStray + c, 1};
    }
    if (left <= more)
        return {kStray + c, 1};
    for (int i = 1; i <= more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return {kStray + c, 1};
        code = code << 6 | (p[i] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {kStray + c, 1};
    return {code, more + 1};
}

// The character that ends right before pos (> 0).
char32_t codeBefore(QByteArrayView text, qsizetype pos)
{
    qsizetype start = pos - 1;
    while (start > 0 && pos - start < 4 && textcodec::isContinuation(text[start]))
        --start;
    const Char c = decodeAt(text, start);
    return start + c.size == pos ? c.code : kStray + uchar(text[pos - 1]);
}

char32_t foldCode(char32_t c)
{
    if (c < 0x80)
        return tables().fold[c];
    return c >= kStray ? c : QChar::toCaseFolded(c);
}

bool isWordCode(char32_t c)
{
    if (c < 0x100)
        return tables().word[c];
    return c < kStray && QChar::isLetterOrNumber(c);
}

// The first byte of a character's UTF-8 form.
uchar leadByte(char32_t c)
{
    if (c >= kStray)
        return uchar(c - kStray);
    if (c < 0x80)
        return uchar(c);
    if (c < 0x800)
        return uchar(0xC0 | c >> 6);
    return uchar(c < 0x10000 ? 0xE0 | c >> 12 : 0xF0 | c >> 18);
}

// Every character whose case folding differs from it, as (folded, itself),
// sorted: what else a folded character can be found as ("K" and the Kelvin
// sign for "k"). Made once, on the first search that needs it.
const std::vector<std::pair<char32_t, char32_t>> &foldSources()
{
    static const std::vector<std::pair<char32_t, char32_t>> sources = [] {
        std::vector<std::pair<char32_t, char32_t>> v;
        for (char32_t c = 0; c < kStray; ++c)
            if (const char32_t f = QChar::toCaseFolded(c); f != c)
                v.emplace_back(f, c);
        std::sort(v.begin(), v.end());
        return v;
    }();
    return sources;
}

bool bytesEqual(const char *a, const char *b, qsizetype n, bool matchCase)
{
    if (matchCase)
        return std::memcmp(a, b, size_t(n)) == 0;
    const auto &fold = tables().fold;
    for (qsizetype i = 0; i < n; ++i)
        if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

// A needle made ready once for all the places a search tries.
class Pattern
{
public:
    Pattern(QByteArrayView needle, const Options &o);

    // The bytes of text matched at pos, or -1.
    qsizetype matchAt(QByteArrayView text, qsizetype pos) const;
    // The first match starting in [from, startBefore), or -1.
    qsizetype firstFrom(QByteArrayView text, qsizetype from, qsizetype *length,
                        qsizetype startBefore = std::numeric_limits<qsizetype>::max()) const;
    // The last match ending at or before `before`, or -1.
    qsizetype lastBefore(QByteArrayView text, qsizetype before, qsizetype *length) const;

private:
    qsizetype bytesAt(QByteArrayView text, qsizetype pos) const;
    bool edgesFit(QByteArrayView text, qsizetype pos, qsizetype end) const;

    QByteArrayView m_needle;
    Options m_o;
    bool m_folding;                   // UTF-8 without Match Case: by characters, not bytes
    std::array<bool, 256> m_starts{}; // the bytes a match can begin with
    std::vector<char32_t> m_codes;    // when folding: the needle's characters, folded
    qsizetype m_shortest;             // the fewest bytes a match can take
    bool m_wordFirst = false;         // the needle begins with a word character
    bool m_wordLast = false;          // and ends with one
};

Pattern::Pattern(QByteArrayView needle, const Options &o)
    : m_needle(needle), m_o(o), m_folding(o.utf8 && !o.matchCase), m_shortest(needle.size())
{
    if (needle.isEmpty())
        return;
    if (!o.utf8) {
        const Tables &t = tables();
        const uchar first = uchar(needle[0]);
        for (int c = 0; c < 256; ++c)
            m_starts[c] = o.matchCase ? c == first : t.fold[c] == t.fold[first];
        m_wordFirst = t.word[first];
        m_wordLast = t.word[uchar(needle.back())];
        return;
    }
    char32_t last = 0;
    for (qsizetype i = 0; i < needle.size();) {
        const Char c = decodeAt(needle, i);
        if (i == 0)
            m_wordFirst = isWordCode(c.code);
        if (m_folding)
            m_codes.push_back(foldCode(c.code));
        last = c.code;
        i += c.size;
    }
    m_wordLast = isWordCode(last);
    if (!m_folding) {
        m_starts[uchar(needle[0])] = true;
        return;
    }
    // A character takes at least one byte; a match begins with the first
    // byte of any character folding as the needle's first does.
    m_shortest = qsizetype(m_codes.size());
    const char32_t first = m_codes.front();
    m_starts[leadByte(first)] = true;
    const auto &sources = foldSources();
    auto it = std::lower_bound(sources.begin(), sources.end(), std::make_pair(first, char32_t(0)));
    for (; it != sources.end() && it->first == first; ++it)
        m_starts[leadByte(it->second)] = true;
}

qsizetype Pattern::bytesAt(QByteArrayView text, qsizetype pos) const
{
    if (!m_folding) {
        if (pos + m_needle.size() > text.size())
            return -1;
        return bytesEqual(text.data() + pos, m_needle.data(), m_needle.size(), m_o.matchCase)
                   ? m_needle.size()
                   : -1;
    }
    const auto &fold = tables().fold;
    qsizetype p = pos;
    for (const char32_t want : m_codes) {
        if (p >= text.size())
            return -1;
        const uchar b = uchar(text[p]);
        if (b < 0x80) {
            if (fold[b] != want)
                return -1;
            ++p;
            continue;
        }
        const Char c = decodeAt(text, p);
        if (foldCode(c.code) != want)
            return -1;
        p += c.size;
    }
    return p - pos;
}

// In UTF-8 neither edge may fall inside a character. With whole word, the
// edges must not run into a word, where the needle's own edge is part of a
// word ("<b" may follow a letter; "cat" may not).
bool Pattern::edgesFit(QByteArrayView text, qsizetype pos, qsizetype end) const
{
    if (m_o.utf8 &&
        (textcodec::isContinuation(text[pos]) || (end < text.size() && textcodec::isContinuation(text[end]))))
        return false;
    if (!m_o.wholeWord)
        return true;
    if (!m_o.utf8) {
        const auto &word = tables().word;
        if (m_wordFirst && pos > 0 && word[uchar(text[pos - 1])])
            return false;
        return !(m_wordLast && end < text.size() && word[uchar(text[end])]);
    }
    if (m_wordFirst && pos > 0 && isWordCode(codeBefore(text, pos)))
        return false;
    return !(m_wordLast && end < text.size() && isWordCode(decodeAt(text, end).code));
}

qsizetype Pattern::matchAt(QByteArrayView text, qsizetype pos) const
{
    if (m_needle.isEmpty() || pos < 0 || pos >= text.size())
        return -1;
    const qsizetype length = bytesAt(text, pos);
    return length >= 0 && edgesFit(text, pos, pos + length) ? length : -1;
}

qsizetype Pattern::firstFrom(QByteArrayView text, qsizetype from, qsizetype *length,
                             qsizetype startBefore) const
{
    const char *data = text.data();
    const qsizetype last = qMin(text.size() - m_shortest, startBefore - 1);
    // Searching with the needle never reads past a match starting at `last`.
    const QByteArrayView searched = text.first(qMax<qsizetype>(0, qMin(text.size(), last + m_needle.size())));
    for (qsizetype i = qMax<qsizetype>(0, from); i <= last; ++i) {
        if (m_o.matchCase) {
            i = searched.indexOf(m_needle, i);
            if (i < 0 || i > last)
                return -1;
        } else {
            // Jump between the places where a match can begin.
            while (i <= last && !m_starts[uchar(data[i])])
                ++i;
            if (i > last)
                return -1;
        }
        const qsizetype n = matchAt(text, i);
        if (n >= 0) {
            *length = n;
            return i;
        }
    }
    return -1;
}

qsizetype Pattern::lastBefore(QByteArrayView text, qsizetype before, qsizetype *length) const
{
    for (qsizetype i = qMin(before, text.size()) - m_shortest; i >= 0; --i) {
        if (!m_starts[uchar(text[i])])
            continue;
        const qsizetype n = matchAt(text, i);
        if (n >= 0 && i + n <= before) {
            *length = n;
            return i;
        }
    }
    return -1;
}

} // namespace

bool matchesAt(QByteArrayView text, qsizetype pos, QByteArrayView needle, const Options &options,
               qsizetype *length)
{
    const qsizetype n = Pattern(needle, options).matchAt(text, pos);
    if (length)
        *length = qMax<qsizetype>(0, n);
    return n >= 0;
}

Match findNext(QByteArrayView text, QByteArrayView needle, qsizetype from, const Options &options)
{
    Match m;
    if (needle.isEmpty())
        return m;
    const Pattern p(needle, options);
    m.pos = p.firstFrom(text, qBound<qsizetype>(0, from, text.size()), &m.length);
    if (m.pos < 0 && options.wrapAround && from > 0) {
        // None from `from` on, so the first one of all lies before it.
        m.pos = p.firstFrom(text, 0, &m.length);
        m.wrapped = m.pos >= 0;
    }
    return m;
}

Match findPrevious(QByteArrayView text, QByteArrayView needle, qsizetype before, const Options &options)
{
    Match m;
    if (needle.isEmpty())
        return m;
    const Pattern p(needle, options);
    before = qBound<qsizetype>(0, before, text.size());
    m.pos = p.lastBefore(text, before, &m.length);
    if (m.pos < 0 && options.wrapAround && before < text.size()) {
        m.pos = p.lastBefore(text, text.size(), &m.length);
        m.wrapped = m.pos >= 0;
    }
    return m;
}

bool forEachMatch(QByteArrayView text, QByteArrayView needle, const Options &options,
                  const std::function<void(qsizetype pos, qsizetype length)> &each,
                  const std::function<bool(qsizetype scanned)> &keepGoing)
{
    if (needle.isEmpty())
        return true;
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    const Pattern p(needle, options);
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype pieceEnd = keepGoing ? qMin(text.size(), from + kPiece) : text.size();
        qsizetype length = 0;
        const qsizetype at = p.firstFrom(text, from, &length, pieceEnd);
        if (at >= 0) {
            each(at, length);
            from = at + qMax<qsizetype>(1, length);
            continue;
        }
        from = pieceEnd;
        if (keepGoing && !keepGoing(from))
            return false;
    }
    return true;
}

Replaced replaceAll(QByteArrayView text, QByteArrayView needle, QByteArrayView replacement,
                    const Options &options, qsizetype caret)
{
    Replaced r;
    r.caret = caret;
    qsizetype done = -1; // the old text before this is dealt with (-1: no match yet)
    qsizetype shift = 0; // how far text after the matches so far has moved
    bool caretPlaced = false;
    QByteArray &out = r.bytes;
    forEachMatch(text, needle, options, [&](qsizetype at, qsizetype length) {
        if (done < 0) {
            r.start = done = at;
            out.reserve(text.size() - at + (replacement.size() > needle.size() ? text.size() / 8 : 0));
        }
        if (!caretPlaced && at + length > caret) {
            // A caret inside a match goes to the start of its replacement.
            r.caret = qMin(caret, at) + shift;
            caretPlaced = true;
        }
        out.append(text.data() + done, at - done);
        out.append(replacement);
        ++r.count;
        shift += replacement.size() - length;
        done = at + length;
    });
    if (r.count == 0)
        return r;
    if (!caretPlaced)
        r.caret = caret + shift;
    r.length = done - r.start;
    return r;
}

} // namespace findengine
