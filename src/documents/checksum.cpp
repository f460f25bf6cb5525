#include "documents/checksum.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint64 kP1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 kP3 = 0x165667B19E3779F9ULL;

inline quint64 rotl(quint64 v, int r)
{
    return (v << r) | (v >> (64 - r));
}

inline quint64 load64(const uchar *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return qFromLittleEndian(v);
}

inline quint64 round(quint64 acc, quint64 v)
{
    acc += v * kP2;
    return rotl(acc, 31) * kP1;
}

} // namespace

void Checksum::stripe(const uchar *p)
{
    // Four independent lanes keep the multipliers busy.
    m_lanes[0] = round(m_lanes[0], load64(p));
    m_lanes[1] = round(m_lanes[1], load64(p + 8));
    m_lanes[2] = round(m_lanes[2], load64(p + 16));
    m_lanes[3] = round(m_lanes[3], load64(p + 24));
}

void Checksum::add(QByteArrayView bytes)
{
    // An empty piece changes nothing, and a null view's pointer must never reach memcpy.
    if (bytes.isEmpty())
        return;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    qsizetype left = bytes.size();
    m_total += quint64(left);
    if (m_carried > 0) {
        const int take = int(qMin<qsizetype>(32 - m_carried, left));
        std::memcpy(m_carry + m_carried, p, size_t(take));
        m_carried += take;
        p += take;
        left -= take;
        if (m_carried < 32)
            return;
        stripe(m_carry);
        m_carried = 0;
    }
    for (; left >= 32; p += 32, left -= 32)
        stripe(p);
    std::memcpy(m_carry, p, size_t(left));
    m_carried = int(left);
}

quint64 Checksum::value() const
{
    quint64 h = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) + rotl(m_lanes[3], 18);
    for (quint64 lane : m_lanes)
        h = (h ^ round(0, lane)) * kP1 + kP3;
    h += m_total;
    // The tail that did not fill a stripe, a byte at a time.
    for (int i = 0; i < m_carried; ++i)
        h = rotl(h ^ (m_carry[i] * kP3), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}
