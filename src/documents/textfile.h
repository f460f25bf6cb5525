#pragma once

#include "platform/textformat.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What a file's bytes stand for as a document, and what a save writes back.
//
// The classic reading: lines end at CR LF or a lone CR (a lone LF is ordinary
// text); the lines are joined with CR LF, with no line break after the last.
// An LF file (at least one LF, no CR at all) keeps its bytes as they are.
// A UTF-8 byte-order mark is no part of the text.

struct DetectedFormat
{
    TextFormat format;
    // The name of an encoding shown byte by byte ("UTF-16 LE"), when the file
    // starts with its mark; the bytes are kept but not understood.
    QString foreignEncoding;
    // Characters of the document's text when checking the file counted them
    // (a UTF-8 file kept byte for byte), else -1.
    qsizetype characters = -1;
};

// What the format of a file is decided from: found in one pass over all of
// it, or piece by piece (TextStream).
struct FileFacts
{
    bool empty = true;
    bool hasCr = false;
    bool hasLf = false;
    QString foreignMark;       // the name of a UTF-16 or UTF-32 mark the file starts with
    bool marked = false;       // starts with the UTF-8 mark
    bool validUtf8 = false;    // all of it (after the mark, when marked)
    bool high = false;         // a byte of 128 or more (after the mark)
    qsizetype characters = -1; // of the UTF-8 (after the mark), when valid
};
DetectedFormat decideFormat(const FileFacts &facts, const TextFormat &forNew,
                            std::optional<Encoding> forced = std::nullopt);
// The name of the UTF-16 or UTF-32 mark the bytes start with, or "".
QString foreignMarkOf(QByteArrayView start);
// The UTF-8 byte-order mark.
inline QByteArrayView utf8Mark()
{
    return QByteArrayView("\xEF\xBB\xBF", 3);
}

// The format of a file's bytes (see the rules in textfile.cpp). forNew is the
// format of new documents, which ASCII files and empty files take; forced is
// the encoding the user chose in Reopen With Encoding.
DetectedFormat detectFormat(QByteArrayView bytes, const TextFormat &forNew,
                            std::optional<Encoding> forced = std::nullopt);

// The document text of a file's bytes in the given format. Works in place
// when it can: most files only lose their final line end. loneCrs, when
// given, counts the lone CRs the classic reading turned into CR LF (one
// that ended the file included): a save writes those lines back changed.
QByteArray textFromFileBytes(QByteArray bytes, const TextFormat &format, qsizetype *loneCrs = nullptr);
// The classic reading alone.
inline QByteArray textFromFileBytes(QByteArray bytes)
{
    return textFromFileBytes(std::move(bytes), TextFormat::classic());
}

// What a save writes before and after the text: the byte-order mark, and the
// final line end (CR LF always in the classic reading, LF only where the text
// does not end in one; none for Save Binary or a file kept byte by byte).
struct FileFrame
{
    QByteArrayView prefix;
    QByteArrayView ending;
};
FileFrame fileFrame(const TextFormat &format, QByteArrayView text, bool binary);

// Whether a text holds a line of `length` bytes or more (its line break
// aside), told piece by piece. It searches backwards once per stretch of that
// length, not once per line, so it costs next to nothing over gigabytes.
class LongLineWatch
{
public:
    explicit LongLineWatch(qsizetype length) : m_length(qMax<qsizetype>(1, length)) {}
    void feed(QByteArrayView bytes);
    bool found() const { return m_found; }
    // The longest line seen, when one reached `length`; otherwise some
    // length below it.
    qsizetype longest() const { return qMax(m_longest, m_run); }

private:
    qsizetype m_length;
    qsizetype m_run = 0; // bytes since the last line break
    qsizetype m_longest = 0;
    bool m_found = false;
};

// Another file's text (a snip, a dropped file's contents), read by that
// file's own encoding: UTF-8 when it is valid UTF-8, otherwise Latin-1.
QString decodeFileText(QByteArrayView bytes);
