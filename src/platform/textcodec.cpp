#include "platform/textcodec.h"

#include "platform/latin1.h"

#include <QStringDecoder>
#include <QtAlgorithms>
#include <QtEndian>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace textcodec {

namespace {

constexpr quint64 kHighBits = 0x8080808080808080ULL;

quint64 load64(const uchar *p)
{
    return qFromLittleEndian<quint64>(p);
}

} // namespace

namespace {

// The first byte of 128 or more at or after p, or end. Most text is ASCII,
// so it is skipped sixteen (or eight) bytes at a time.
const uchar *nextHigh(const uchar *p, const uchar *end)
{
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const int m = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
        if (m)
            return p + qCountTrailingZeroBits(uint(m));
    }
#endif
    for (; end - p >= 8; p += 8) {
        const quint64 m = qFromLittleEndian<quint64>(p) & kHighBits;
        if (m)
            return p + (qCountTrailingZeroBits(m) >> 3);
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes, bool *hasHigh, qsizetype *characters)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    qsizetype continuing = 0;
    bool high = false;
    bool valid = true;
    while ((p = nextHigh(p, end)) < end) {
        high = true;
        const uchar c = *p;
        int more;
        uchar lo = 0x80, hi = 0xBF; // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                lo = 0xA0; // overlong
            else if (c == 0xED)
                hi = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                lo = 0x90; // overlong
            else if (c == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            valid = false;
            break;
        }
        if (end - p <= more || p[1] < lo || p[1] > hi || (more >= 2 && (p[2] & 0xC0) != 0x80) ||
            (more == 3 && (p[3] & 0xC0) != 0x80)) {
            valid = false;
            break;
        }
        continuing += more;
        p += more + 1;
    }
    if (hasHigh)
        *hasHigh = high;
    if (characters && valid)
        *characters = bytes.size() - continuing;
    return valid;
}

namespace {

// Bytes in the sequence a byte starts (1 for ASCII and for what no sequence starts with).
int sequenceLength(uchar c)
{
    return c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 1;
}

// How many bytes at the end begin a character the text does not finish.
qsizetype unfinishedTail(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    for (qsizetype k = 1; k <= 3 && k <= bytes.size(); ++k) {
        const uchar c = p[bytes.size() - k];
        if (c < 0x80)
            return 0;
        if (c >= 0xC0)
            return sequenceLength(c) > k ? k : 0;
    }
    return 0;
}

} // namespace

void Utf8Check::feed(QByteArrayView piece)
{
    if (!m_valid || piece.isEmpty())
        return;
    if (!m_carry.isEmpty()) {
        // Finish the character the last piece began, and check it alone.
        const qsizetype want = sequenceLength(uchar(m_carry[0])) - m_carry.size();
        const qsizetype take = qMin(want, piece.size());
        m_carry += piece.first(take);
        piece = piece.sliced(take);
        if (take < want)
            return;
        qsizetype n = 0;
        m_valid = isValidUtf8(m_carry, nullptr, &n);
        m_characters += n;
        m_high = true;
        m_carry.clear();
        if (!m_valid)
            return;
    }
    const qsizetype tail = unfinishedTail(piece);
    bool high = false;
    qsizetype n = 0;
    m_valid = isValidUtf8(piece.first(piece.size() - tail), &high, &n);
    m_high = m_high || high || tail > 0;
    m_characters += n;
    m_carry = piece.last(tail).toByteArray();
}

void Utf8Check::finish()
{
    if (!m_carry.isEmpty())
        m_valid = false;
}

qsizetype countCharacters(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::Latin1)
        return bytes.size();
    // Characters are the bytes that do not continue one (10xxxxxx). The
    // continuing bytes are counted in eight lanes of a word at a time.
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype continuing = 0;
    qsizetype i = 0;
    while (n - i >= 8) {
        quint64 lanes = 0;
        // Each lane gains at most 1 per word; 255 words keep every lane below 256.
        const qsizetype stop = i + qMin<qsizetype>((n - i) / 8, 255) * 8;
        for (; i < stop; i += 8) {
            const quint64 v = load64(p + i);
            lanes += ((v & ~(v << 1)) & kHighBits) >> 7;
        }
        continuing += qsizetype((lanes * 0x0101010101010101ULL) >> 56);
    }
    for (; i < n; ++i)
        continuing += (p[i] & 0xC0) == 0x80;
    return n - continuing;
}

QString decode(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::Latin1)
        return QString::fromLatin1(bytes);
    // A U+FEFF at the start is text here (the file's own mark is never part
    // of the text); QString::fromUtf8 would drop it.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return utf8(bytes);
}

QByteArray encode(QStringView text, Encoding encoding, int *replaced)
{
    if (encoding == Encoding::Latin1)
        return latin1::fromUnicode(text, replaced);
    if (replaced)
        *replaced = 0;
    return text.toUtf8();
}

QByteArray reencode(QByteArrayView bytes, Encoding from, Encoding to, int *replaced)
{
    if (replaced)
        *replaced = 0;
    const bool fromUtf8 = from != Encoding::Latin1;
    const bool toUtf8 = to != Encoding::Latin1;
    if (fromUtf8 == toUtf8)
        return bytes.toByteArray();
    return encode(decode(bytes, from), to, replaced);
}

QByteArray unifyLineEnds(QByteArrayView bytes, QByteArrayView eol)
{
    const bool toLf = eol == QByteArrayView("\n");
    // Count first, so the result is made once at its final size.
    qsizetype pairs = 0, loneCr = 0, loneLf = 0;
    const char *p = bytes.data();
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\r') {
            if (i + 1 < n && p[i + 1] == '\n') {
                ++pairs;
                ++i;
            } else {
                ++loneCr;
            }
        } else if (p[i] == '\n') {
            ++loneLf;
        }
    }
    const qsizetype breaks = pairs + loneCr + loneLf;
    if (toLf ? pairs + loneCr == 0 : breaks == pairs)
        return bytes.toByteArray();
    QByteArray out(n - 2 * pairs - (breaks - pairs) + breaks * eol.size(), Qt::Uninitialized);
    char *dst = out.data();
    qsizetype done = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c != '\r' && c != '\n')
            continue;
        std::memcpy(dst, p + done, size_t(i - done));
        dst += i - done;
        std::memcpy(dst, eol.data(), size_t(eol.size()));
        dst += eol.size();
        if (c == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        done = i + 1;
    }
    std::memcpy(dst, p + done, size_t(n - done));
    return out;
}

QByteArray toDocument(QStringView text, const TextFormat &format, int *replaced)
{
    QByteArray bytes = encode(text, format.encoding, replaced);
    if (format.isClassic() || format.verbatim)
        return bytes;
    return unifyLineEnds(bytes, format.lineEndBytes());
}

QByteArray encodeCharacter(char32_t code, Encoding encoding)
{
    if (encoding == Encoding::Latin1)
        return code < 0x100 ? QByteArray(1, char(code)) : QByteArray("?");
    return QString::fromUcs4(&code, 1).toUtf8();
}

QString replacedNotice(int count)
{
    return QStringLiteral("%1 character(s) outside the Latin-1 set could not be kept "
                          "and were replaced by \"?\".")
        .arg(count);
}

} // namespace textcodec
