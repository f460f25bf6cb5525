#pragma once

#include "tools/findmatcher.h"
#include "tools/findwalk.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace tools {

// The matching lines of one file.
struct FileHits
{
    QString path; // for showing and opening
    std::vector<LineHit> lines;
    qint64 matches = 0;
    TextEncoding encoding = TextEncoding::Guess;
};

// Searches files one at a time with a buffer it keeps between them; one
// per worker thread. A file up to WholeFileMax is read whole; a larger one
// in pieces of PieceBytes (whole lines each), so even a file far larger
// than memory costs no more than a piece.
class FileSearcher
{
public:
    static constexpr qint64 WholeFileMax = 32 << 20;
    static constexpr qint64 PieceBytes = 8 << 20;
    // A NUL in this many first bytes makes a file binary.
    static constexpr qint64 BinaryProbe = 8192;
    // A line longer than this in a file read in pieces is searched in parts
    // of this size (a match across a cut is missed).
    static constexpr qint64 LongestPieceLine = 64 << 20;

    enum class Result { Searched, Skipped, TooComplex, Stopped };
    struct Outcome
    {
        Result result = Result::Searched;
        SkipReason reason = SkipReason::Unreadable;
        qint64 complexLine = 0;
    };

    // takeLine is asked before each line is kept; false ends the file (the cap was reached).
    FileSearcher(const FindMatcher &matcher, const std::atomic<bool> *stop, std::function<bool()> takeLine);

    Outcome search(const QByteArray &path, FileHits *out);

    // Tests: smaller sizes, to read a small file in pieces.
    void setSizes(qint64 wholeFileMax, qint64 pieceBytes, qint64 longestLine);

private:
    Outcome searchWhole(int fd, qint64 size, FileHits *out);
    Outcome searchPieces(int fd, FileHits *out);
    bool readAll(int fd, qint64 cap);
    TextEncoding encodingOfStream(int fd);

    const FindMatcher &m_matcher;
    const std::atomic<bool> *m_stop;
    std::function<bool()> m_takeLine;
    QByteArray m_buffer;
    qint64 m_wholeMax = WholeFileMax, m_piece = PieceBytes, m_longestLine = LongestPieceLine;
};

} // namespace tools
