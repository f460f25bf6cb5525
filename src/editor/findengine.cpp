#include "editor/findengine.h"

#include <QChar>

#include <array>
#include <cstring>

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

bool isWord(QByteArrayView text, qsizetype pos)
{
    return pos >= 0 && pos < text.size() && tables().word[static_cast<unsigned char>(text[pos])];
}

// The edges of a match must not run into a word, where the needle's own
// edge is part of a word ("<b" may follow a letter; "cat" may not).
bool wholeWordAt(QByteArrayView text, qsizetype pos, QByteArrayView needle)
{
    const qsizetype end = pos + needle.size();
    if (isWord(needle, 0) && isWord(text, pos - 1))
        return false;
    if (isWord(needle, needle.size() - 1) && isWord(text, end))
        return false;
    return true;
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

// The first position in [from, last] where the needle's bytes start, its
// edges not checked.
qsizetype scanForward(QByteArrayView text, QByteArrayView needle, qsizetype from, bool matchCase)
{
    const qsizetype last = text.size() - needle.size();
    if (matchCase) {
        const qsizetype i = text.indexOf(needle, from);
        return i <= last ? i : -1;
    }
    // Jump between the places where the first byte occurs, in either case.
    const auto &fold = tables().fold;
    const unsigned char first = fold[static_cast<unsigned char>(needle[0])];
    std::array<bool, 256> starts{};
    for (int c = 0; c < 256; ++c)
        starts[c] = fold[c] == first;
    const char *data = text.data();
    for (qsizetype i = from; i <= last; ++i) {
        if (!starts[static_cast<unsigned char>(data[i])])
            continue;
        if (bytesEqual(data + i + 1, needle.data() + 1, needle.size() - 1, false))
            return i;
    }
    return -1;
}

// The first whole match starting in [from, text end).
qsizetype firstFrom(QByteArrayView text, QByteArrayView needle, qsizetype from, const Options &o)
{
    for (qsizetype i = qMax<qsizetype>(0, from); i <= text.size() - needle.size();) {
        i = scanForward(text, needle, i, o.matchCase);
        if (i < 0)
            return -1;
        if (!o.wholeWord || wholeWordAt(text, i, needle))
            return i;
        ++i;
    }
    return -1;
}

// The last whole match ending at or before `before`.
qsizetype lastBefore(QByteArrayView text, QByteArrayView needle, qsizetype before, const Options &o)
{
    const auto &fold = tables().fold;
    const unsigned char first = fold[static_cast<unsigned char>(needle[0])];
    for (qsizetype i = qMin(before, text.size()) - needle.size(); i >= 0; --i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((o.matchCase ? c == static_cast<unsigned char>(needle[0]) : fold[c] == first) &&
            matchesAt(text, i, needle, o))
            return i;
    }
    return -1;
}

} // namespace

bool matchesAt(QByteArrayView text, qsizetype pos, QByteArrayView needle, const Options &options)
{
    if (needle.isEmpty() || pos < 0 || pos + needle.size() > text.size())
        return false;
    if (!bytesEqual(text.data() + pos, needle.data(), needle.size(), options.matchCase))
        return false;
    return !options.wholeWord || wholeWordAt(text, pos, needle);
}

Match findNext(QByteArrayView text, QByteArrayView needle, qsizetype from, const Options &options)
{
    Match m;
    if (needle.isEmpty())
        return m;
    m.pos = firstFrom(text, needle, qBound<qsizetype>(0, from, text.size()), options);
    if (m.pos < 0 && options.wrapAround && from > 0) {
        // None from `from` on, so the first one of all lies before it.
        m.pos = firstFrom(text, needle, 0, options);
        m.wrapped = m.pos >= 0;
    }
    return m;
}

Match findPrevious(QByteArrayView text, QByteArrayView needle, qsizetype before, const Options &options)
{
    Match m;
    if (needle.isEmpty())
        return m;
    before = qBound<qsizetype>(0, before, text.size());
    m.pos = lastBefore(text, needle, before, options);
    if (m.pos < 0 && options.wrapAround && before < text.size()) {
        m.pos = lastBefore(text, needle, text.size(), options);
        m.wrapped = m.pos >= 0;
    }
    return m;
}

Replaced replaceAll(QByteArrayView text, QByteArrayView needle, QByteArrayView replacement,
                    const Options &options, qsizetype caret)
{
    Replaced r;
    r.caret = caret;
    if (needle.isEmpty())
        return r;
    qsizetype at = firstFrom(text, needle, 0, options);
    if (at < 0)
        return r;
    r.start = at;
    const qsizetype growth = replacement.size() - needle.size();
    qsizetype done = at; // the old text before this is dealt with
    qsizetype shift = 0; // how far text after the matches so far has moved
    bool caretPlaced = false;
    QByteArray &out = r.bytes;
    out.reserve(text.size() - at + (growth > 0 ? text.size() / 8 : 0));
    while (at >= 0) {
        if (!caretPlaced && at + needle.size() > caret) {
            // A caret inside a match goes to the start of its replacement.
            r.caret = qMin(caret, at) + shift;
            caretPlaced = true;
        }
        out.append(text.data() + done, at - done);
        out.append(replacement);
        ++r.count;
        shift += growth;
        done = at + needle.size();
        at = firstFrom(text, needle, done, options);
    }
    if (!caretPlaced)
        r.caret = caret + shift;
    r.length = done - r.start;
    return r;
}

} // namespace findengine
