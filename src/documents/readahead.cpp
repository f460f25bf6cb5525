#include "documents/readahead.h"

ReadAhead::ReadAhead(platform::FileReader &reader, qint64 size, qsizetype pieceBytes, int buffers)
    : m_reader(reader), m_size(size), m_buffers(std::size_t(qMax(2, buffers))), m_filled(m_buffers.size(), -1)
{
    for (QByteArray &b : m_buffers)
        b.resize(pieceBytes);
    m_thread = std::thread([this] { run(); });
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ReadAhead::run()
{
    for (qint64 pos = 0;;) {
        std::size_t slot;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_changed.wait(lock, [this] { return m_stop || m_filled[m_readTo] < 0; });
            if (m_stop)
                return;
            slot = m_readTo;
        }
        qint64 n = 0;
        platform::FileError err;
        if (pos < m_size) {
            QByteArray &buf = m_buffers[slot];
            n = m_reader.readAt(pos, buf.data(), qMin<qint64>(buf.size(), m_size - pos), &err);
            if (n > 0)
                m_sum.add(QByteArrayView(buf.constData(), n));
        }
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            if (n < 0) {
                m_failed = true;
                m_error = err;
            }
            m_filled[slot] = qMax<qint64>(n, 0);
            m_readTo = (slot + 1) % m_buffers.size();
            if (n <= 0)
                m_ended = true;
        }
        m_changed.notify_all();
        if (n <= 0)
            return;
        pos += n;
    }
}

bool ReadAhead::next(QByteArrayView *piece, platform::FileError *err)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_taken) {
        // The piece handed out last is done with: its buffer may be read into again.
        m_filled[m_takeFrom] = -1;
        m_takeFrom = (m_takeFrom + 1) % m_buffers.size();
        m_taken = false;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [this] { return m_filled[m_takeFrom] >= 0 || m_stop; });
    const qsizetype n = m_filled[m_takeFrom];
    if (n <= 0 || m_stop) {
        *piece = QByteArrayView();
        if (m_failed && err)
            *err = m_error;
        return !m_failed;
    }
    m_taken = true;
    *piece = QByteArrayView(m_buffers[m_takeFrom].constData(), n);
    return true;
}
