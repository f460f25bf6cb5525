#pragma once

#include "documents/checksum.h"
#include "platform/fileio.h"

#include <QByteArray>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Reads a file ahead on a thread of its own, piece by piece, into a few
// buffers taken in turn: reading (and the checksum of what was read) goes on
// while the caller works on the pieces before. Pieces come in order.
class ReadAhead
{
public:
    // Reads up to size bytes of the open reader (a file that grows meanwhile
    // is read as it was when it opened; one that shrinks ends early).
    ReadAhead(platform::FileReader &reader, qint64 size, qsizetype pieceBytes, int buffers = 3);
    // Stops reading and waits for the thread.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The next piece, valid until the next call: empty at the end. False
    // when reading failed (*err says why); nothing more comes then.
    bool next(QByteArrayView *piece, platform::FileError *err);
    // The checksum of every byte read, once next() gave the end.
    quint64 checksum() const { return m_sum.value(); }

private:
    void run();

    platform::FileReader &m_reader;
    const qint64 m_size;
    std::vector<QByteArray> m_buffers;
    std::vector<qsizetype> m_filled; // bytes in each buffer, -1 while free
    std::size_t m_readTo = 0;        // the buffer the thread fills next
    std::size_t m_takeFrom = 0;      // the buffer the caller takes next
    bool m_taken = false;            // the caller holds m_takeFrom
    bool m_ended = false;            // no more pieces will come
    bool m_failed = false;
    bool m_stop = false;
    platform::FileError m_error;
    Checksum m_sum;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::thread m_thread;
};
