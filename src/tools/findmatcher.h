#pragma once

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>

#include <atomic>
#include <functional>

namespace tools {

enum class TextEncoding { Latin1, Utf8, Guess };

// What Find in Files looks for.
struct FindOptions
{
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

// One matching line of a searched text. Lines end at LF, CR LF or a lone CR,
// as the editor counts them, so the number is the one Go To Line takes.
struct LineHit
{
    qint64 line = 0;       // 1-based
    qint64 byteColumn = 0; // of the first match, in bytes from the line's start
    qint64 byteLength = 0;
    qint64 charColumn = 0; // the same in characters (UTF-16 units) of the file's encoding
    qint64 charLength = 0;
    int matches = 0; // on this line
    // The line as shown: cut around its first match when it is long, tabs and
    // other control characters as spaces. spans are [start, length) of the
    // matches within it, in characters.
    QString shown;
    bool cutBefore = false;
    bool cutAfter = false;
    QList<QPair<int, int>> spans;
};

// A compiled search: fixed text on bytes (memchr on the needle's rarest
// byte, then a compare), or QRegularExpression line by line with a limit on
// the work of each match.
class FindMatcher
{
public:
    // A line shown in the results keeps this many characters around its first match.
    static constexpr int ShownChars = 240;
    // The work PCRE2 may spend on one line before the pattern is called too complex.
    static constexpr int RegexMatchLimit = 1000000;

    // False with a message for the user when the search cannot run.
    bool compile(const FindOptions &options, QString *error);

    // Whether the file's encoding must be known before matching: the needle's
    // bytes differ between UTF-8 and Latin-1, or a pattern runs on decoded text.
    bool needsEncoding() const { return m_regexMode || m_nonAscii; }

    enum class Outcome { Done, Stopped, TooComplex };
    using Sink = std::function<bool(LineHit &&)>; // false ends the search
    // Searches text, which starts at a line start; firstLine is the number of
    // its first line. With Guess (only when needsEncoding() is false) each
    // shown line is decoded as UTF-8 when it is valid UTF-8, else as Latin-1. *lineEnds, when
    // given, receives the number of line ends in text (for pieces of a
    // stream). *complexLine is the line a pattern gave up on.
    Outcome search(QByteArrayView text, TextEncoding encoding, qint64 firstLine, const Sink &sink,
                   const std::atomic<bool> *stop = nullptr, qint64 *lineEnds = nullptr,
                   qint64 *complexLine = nullptr) const;

    // Counts line ends (LF, CR LF, lone CR) in bytes.
    static qint64 countLineEnds(QByteArrayView bytes);

private:
    struct Needle
    {
        QByteArray bytes;                    // folded when case does not count
        bool never = false;                  // cannot occur in this encoding
        int rare = 0;                        // index of the byte looked for first
        unsigned char first = 0, second = 0; // that byte and its other case
    };
    Needle makeNeedle(bool utf8) const;
    Outcome searchFixed(QByteArrayView text, TextEncoding encoding, qint64 firstLine, const Sink &sink,
                        const std::atomic<bool> *stop) const;
    Outcome searchRegex(QByteArrayView text, bool utf8, qint64 firstLine, const Sink &sink,
                        const std::atomic<bool> *stop, qint64 *complexLine) const;

    FindOptions m_options;
    bool m_regexMode = false;
    bool m_nonAscii = false;
    Needle m_utf8, m_latin1;
    QRegularExpression m_whole; // over a whole text, to find candidate lines quickly
    QRegularExpression m_line;  // over one line, which decides
};

// Whether a byte belongs to a word for Whole Word: ASCII letters, digits,
// the underscore and every byte of 128 or more (the letters of Latin-1 and
// the characters of UTF-8 alike).
inline bool isWordByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_' || c >= 0x80;
}

} // namespace tools
