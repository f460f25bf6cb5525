#include "tools/filescan.h"

namespace tools {

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
    m_pos += n;
    m_scanner.feed(QByteArrayView(m_buffer.constData(), n));
    return true;
}

void FileScan::stop()
{
    m_scanner.abandonLine();
    m_reader.close();
    m_atEnd = true;
}

} // namespace tools
