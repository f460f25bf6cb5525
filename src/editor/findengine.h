#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Finding and replacing in a document's bytes (Latin-1, one byte per
// character). Letter case is folded over the whole Latin-1 set, so "É" finds
// "é"; a whole word is one with no letter, digit or "_" right before or after.
namespace findengine {

struct Options
{
    bool matchCase = false;
    bool wholeWord = false;
    bool wrapAround = true;
};

// Whether needle matches text at pos.
bool matchesAt(QByteArrayView text, qsizetype pos, QByteArrayView needle, const Options &options);

struct Match
{
    qsizetype pos = -1;   // -1: not found
    bool wrapped = false; // found only by going round the end (or the start)
    bool found() const { return pos >= 0; }
};

// The first match starting at or after from; with wrap around, then the
// first from the start of the text.
Match findNext(QByteArrayView text, QByteArrayView needle, qsizetype from, const Options &options);
// The last match ending at or before `before`; with wrap around, then the
// last one in the whole text.
Match findPrevious(QByteArrayView text, QByteArrayView needle, qsizetype before, const Options &options);

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
