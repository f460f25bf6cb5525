#include "tools/filescan.h"

#include "platform/textcodec.h"

namespace tools {

namespace {

const QByteArrayView kBom("\xEF\xBB\xBF", 3);

// Whether a file's first piece reads as UTF-8. When more of the file follows,
// the piece may end inside a character; that one is checked as far as it goes.
bool readsAsUtf8(QByteArrayView piece, bool whole)
{
    if (textcodec::isValidUtf8(piece))
        return true;
    qsizetype start = piece.size();
    while (start > 0 && piece.size() - start < 3 && textcodec::isContinuation(piece[start - 1]))
        --start;
    if (whole || start == 0)
        return false;
    --start; // the last character's first byte
    const auto lead = static_cast<unsigned char>(piece[start]);
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    if (length <= piece.size() - start)
        return false;
    // Finished with bytes its lead accepts: E0 wants A0 and up next, F0 90 and up.
    QByteArray last = piece.sliced(start).toByteArray();
    if (last.size() == 1 && (lead == 0xE0 || lead == 0xF0))
        last += char(lead == 0xE0 ? 0xA0 : 0x90);
    last += QByteArray(length - last.size(), char(0x80));
    return textcodec::isValidUtf8(piece.first(start)) && textcodec::isValidUtf8(last);
}

} // namespace

FileScan::FileScan(const QString &search, qsizetype pieceBytes)
    : m_scanner(search), m_buffer(qMax<qsizetype>(1, pieceBytes), Qt::Uninitialized)
{
}

bool FileScan::open(const QString &path, platform::FileError *err)
{
    m_pos = 0;
    m_atEnd = false;
    return m_reader.open(path, err);
}

bool FileScan::step(platform::FileError *err)
{
    if (m_atEnd)
        return true;
    const qint64 n = m_reader.readAt(m_pos, m_buffer.data(), m_buffer.size(), err);
    if (n < 0)
        return false;
    if (n == 0) {
        m_scanner.finish();
        m_reader.close();
        m_atEnd = true;
        return true;
    }
    QByteArrayView piece(m_buffer.constData(), n);
    if (m_pos == 0) {
        // The file's encoding, from its start: UTF-8 when that reads as UTF-8
        // (the mark, not part of any line, is left out), otherwise Latin-1.
        // Its line end too, so an LF file is not read as one enormous line.
        m_scanner.setUtf8(readsAsUtf8(piece, n < m_buffer.size()));
        m_scanner.setLineEnd(LineScanner::lineEndOf(piece));
        if (m_scanner.isUtf8() && piece.startsWith(kBom))
            piece = piece.sliced(kBom.size());
    }
    m_pos += n;
    m_scanner.feed(piece);
    return true;
}

void FileScan::stop()
{
    m_scanner.abandonLine();
    m_reader.close();
    m_atEnd = true;
}

} // namespace tools
