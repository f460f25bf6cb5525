#pragma once

#include "platform/textformat.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tools {

// Finds the lines of a byte stream that contain a search text, ignoring
// letter case. The stream is Latin-1, where the case of the whole set is
// ignored, or UTF-8, where it is for ASCII letters and for those of the
// Latin-1 range (two bytes each, whose cases differ in one bit). In the
// classic reading a line ends at CR or at CR LF and a lone LF stays in its
// line; in an LF stream a line ends at LF, CR LF or CR. The stream may come
// in pieces of any size; only the matching lines are kept, plus a bounded
// part of the line in progress, so files far larger than memory can be
// scanned.
class LineScanner
{
public:
    // A kept line is cut to this many bytes, so one enormous line (a file
    // without line ends, say) cannot fill memory or the result list.
    static constexpr qsizetype DefaultMaxLineBytes = 64 * 1024;

    // The search text is trimmed of spaces; "" matches every line that holds
    // at least one byte. A text with a CR (in an LF stream, with a CR or an
    // LF), or in Latin-1 with characters outside it, can match no line.
    explicit LineScanner(const QString &search, qsizetype maxLineBytes = DefaultMaxLineBytes);

    // Latin-1 unless told otherwise before the first piece.
    void setUtf8(bool utf8);
    bool isUtf8() const { return m_utf8; }
    // The classic reading (CrLf) unless told otherwise before the first piece.
    void setLineEnd(LineEnd lineEnd);
    LineEnd lineEnd() const { return m_lineEnd; }
    // The line end of a stream that begins with `start`, decided as for
    // documents: LF when it holds an LF and no CR at all.
    static LineEnd lineEndOf(QByteArrayView start);
    // A kept line for display: as UTF-8 when the stream is and the line is
    // valid UTF-8, otherwise as Latin-1.
    QString lineText(QByteArrayView line) const;

    void feed(QByteArrayView piece);
    // The stream ended: a last line without a line end counts too.
    void finish();
    // The rest of the stream will not come: forget the line in progress.
    void abandonLine();

    // The matching lines found so far, trimmed of spaces, in stream order. In
    // UTF-8 a cut line ends before the character the cut would split.
    QList<QByteArray> takeLines();
    // How many kept lines were longer than the cut.
    int cutLines() const { return m_cutLines; }
    // Bytes held for the line in progress; stays bounded whatever the input.
    qsizetype heldBytes() const { return m_head.size() + m_tail.size(); }

    // Lower case within Latin-1 (A-Z and the accented capitals).
    static char fold(char c);

private:
    void makeNeedle();
    void foldInto(const char *src, qsizetype n);
    void scanLines(const char *c, const char *f, qsizetype from, qsizetype to);
    void appendToLine(const char *c, const char *f, qsizetype n);
    void endLine();
    void keep(const char *line, qsizetype n, bool cut);
    qsizetype afterLineEnd(const char *c, qsizetype n, qsizetype end);
    const char *findEnd(const char *p, qsizetype n) const;
    const char *findLastEnd(const char *p, qsizetype n) const;

    QString m_search;
    bool m_utf8 = false;
    LineEnd m_lineEnd = LineEnd::CrLf;
    QByteArray m_needle; // folded
    bool m_never = false;
    unsigned char m_lastByte = 0; // of the previous piece: in UTF-8 it decides how the next one folds
    qsizetype m_max;
    QByteArray m_folded;
    QList<QByteArray> m_lines;
    int m_cutLines = 0;
    bool m_skipLF = false; // the last piece ended in CR: an LF next belongs to it

    // The line in progress.
    bool m_inLine = false;
    bool m_matched = false;
    bool m_pastLead = false; // a byte other than a space was seen
    bool m_overflow = false; // more than m_max bytes, not all spaces past the cut
    QByteArray m_head;       // the line after its leading spaces, up to m_max bytes
    QByteArray m_tail;       // the last folded bytes, for a match across pieces
};

} // namespace tools
