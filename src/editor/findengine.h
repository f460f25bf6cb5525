#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// Finding and replacing in a document's bytes, Latin-1 (one byte per
// character) or UTF-8. In Latin-1 letter case is folded over the whole set,
// so "É" finds "é"; in UTF-8 it is folded per character by Unicode's simple
// case folding, so "Ж" finds "ж" too, and a match never starts or ends
// inside a character. A whole word is one with no letter, digit or "_" right
// before or after.
namespace findengine {

struct Options
{
    bool matchCase = false;
    bool wholeWord = false;
    bool wrapAround = true;
    bool utf8 = false; // text and needle are UTF-8, not Latin-1
};

// Whether needle matches text at pos; *length (when given) receives how many
// bytes of the text it covers. Only in UTF-8 without Match Case can that
// differ from the needle's size ("k" matches the three bytes of the Kelvin sign).
bool matchesAt(QByteArrayView text, qsizetype pos, QByteArrayView needle, const Options &options,
               qsizetype *length = nullptr);

struct Match
{
    qsizetype pos = -1;   // -1: not found
    qsizetype length = 0; // bytes of the text matched
    bool wrapped = false; // found only by going round the end (or the start)
    bool found() const { return pos >= 0; }
};

// The first match starting at or after from; with wrap around, then the
// first from the start of the text.
Match findNext(QByteArrayView text, QByteArrayView needle, qsizetype from, const Options &options);
// The last match ending at or before `before`; with wrap around, then the
// last one in the whole text.
Match findPrevious(QByteArrayView text, QByteArrayView needle, qsizetype before, const Options &options);

// Every match, left to right and not overlapping, handed to `each`. With
// keepGoing, the text is walked in pieces of a megabyte, and keepGoing(bytes
// scanned so far) after each may stop the walk: false when it did.
bool forEachMatch(QByteArrayView text, QByteArrayView needle, const Options &options,
                  const std::function<void(qsizetype pos, qsizetype length)> &each,
                  const std::function<bool(qsizetype scanned)> &keepGoing = {});

// Every match, left to right and not overlapping, replaced in one pass. The
// result is given as a range of the text and the bytes that take its place
// (from the first match to the end of the last), so a caller can change just
// that part.
struct Replaced
{
    qsizetype count = 0;
    qsizetype start = 0;  // first byte replaced
    qsizetype length = 0; // bytes of the old text from start
    QByteArray bytes;     // what goes in their place
    qsizetype caret = 0;  // where a caret at the given position ends up
};
Replaced replaceAll(QByteArrayView text, QByteArrayView needle, QByteArrayView replacement,
                    const Options &options, qsizetype caret = 0);

} // namespace findengine
