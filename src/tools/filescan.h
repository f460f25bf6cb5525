#pragma once

#include "platform/fileio.h"
#include "tools/linescanner.h"

#include <QByteArray>
#include <QString>

namespace tools {

// The quick scan of one file, a piece at a time, so a caller can keep its
// window responsive and stop whenever it likes. Failures are handed back
// for the caller to ask about; a failed piece is read again on the next step.
// The first piece decides how the file is read: as UTF-8 when it is valid
// UTF-8 (a character cut by its end aside), otherwise as Latin-1; with lines
// ending at LF when it holds an LF and no CR, otherwise in the classic way.
class FileScan
{
public:
    static constexpr qsizetype DefaultPieceBytes = 1024 * 1024;

    explicit FileScan(const QString &search, qsizetype pieceBytes = DefaultPieceBytes);

    bool open(const QString &path, platform::FileError *err);
    // Reads and scans the next piece; at the end of the file finishes the
    // last line. Returns false when the read failed.
    bool step(platform::FileError *err);
    bool atEnd() const { return m_atEnd; }
    // Ends the scan early: the unfinished line is dropped, the file closed.
    void stop();

    qint64 position() const { return m_pos; }
    qint64 size() const { return m_reader.size(); }
    LineScanner &scanner() { return m_scanner; }

private:
    platform::FileReader m_reader;
    LineScanner m_scanner;
    QByteArray m_buffer;
    qint64 m_pos = 0;
    bool m_atEnd = false;
};

} // namespace tools
