#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// A fast 64-bit checksum of file contents, fed in pieces of any size: the
// value depends only on the bytes, not on how they were split. Used to tell
// whether a file still holds what was loaded or saved, so it runs where the
// bytes are already in hand and keeps up with memory speed.
class Checksum
{
public:
    void add(QByteArrayView bytes);
    quint64 value() const;

    static quint64 of(QByteArrayView bytes)
    {
        Checksum c;
        c.add(bytes);
        return c.value();
    }

private:
    void stripe(const uchar *p);

    quint64 m_lanes[4] = {0x9E3779B185EBCA87ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                          0x85EBCA77C2B2AE63ULL};
    uchar m_carry[32] = {};
    int m_carried = 0;
    quint64 m_total = 0;
};
