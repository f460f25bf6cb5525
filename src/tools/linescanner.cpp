#include "tools/linescanner.h"

#include "platform/textcodec.h"

#include <cstring>

namespace tools {

namespace {

inline bool isFoldable(unsigned char c)
{
    return unsigned(c - 'A') < 26u || (unsigned(c - 0xC0) < 31u && c != 0xD7);
}

const char *findBytes(const char *hay, qsizetype n, const QByteArray &needle)
{
    if (n < needle.size())
        return nullptr;
    if (needle.size() == 1)
        return static_cast<const char *>(std::memchr(hay, needle[0], size_t(n)));
    return static_cast<const char *>(::memmem(hay, size_t(n), needle.constData(), size_t(needle.size())));
}

// UTF-8 folded by bytes: ASCII capitals, and the second byte of the Latin-1
// capitals (C3 80 to C3 9E, but not the times sign C3 97) take bit 5, which
// makes them small letters. `before` is the byte before in[0]. Branch-free,
// so the compiler can do many bytes at a time.
void foldUtf8(const unsigned char *in, unsigned char *out, qsizetype n, unsigned char before)
{
    if (n <= 0)
        return;
    const auto folded = [](unsigned char c, unsigned char prev) {
        const unsigned char upper =
            (unsigned char)((unsigned char)(c - 'A') < 26) |
            (unsigned char)((prev == 0xC3) & ((unsigned char)(c - 0x80) < 31) & (c != 0x97));
        return (unsigned char)(c | (unsigned char)(upper << 5));
    };
    out[0] = folded(in[0], before);
    for (qsizetype i = 1; i < n; ++i)
        out[i] = folded(in[i], in[i - 1]);
}

// The length of text without a character cut short at its end.
qsizetype wholeCharacters(QByteArrayView text)
{
    qsizetype j = text.size();
    int tail = 0;
    while (j > 0 && tail < 3 && textcodec::isContinuation(text[j - 1])) {
        --j;
        ++tail;
    }
    if (j == 0)
        return text.size();
    const auto lead = static_cast<unsigned char>(text[j - 1]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > tail + 1 ? j - 1 : text.size();
}

const char *findCR(const char *p, qsizetype n) { return static_cast<const char *>(std::memchr(p, '\r', size_t(n))); }

const char *findLastCR(const char *p, qsizetype n)
{
    return n > 0 ? static_cast<const char *>(::memrchr(p, '\r', size_t(n))) : nullptr;
}

} // namespace

char LineScanner::fold(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return char(u | (isFoldable(u) ? 0x20 : 0));
}

QByteArray LineScanner::trimSpaces(QByteArrayView bytes)
{
    qsizetype a = 0, b = bytes.size();
    while (a < b && bytes[a] == ' ')
        ++a;
    while (b > a && bytes[b - 1] == ' ')
        --b;
    return bytes.sliced(a, b - a).toByteArray();
}

QString LineScanner::trimSpaces(QStringView text)
{
    qsizetype a = 0, b = text.size();
    while (a < b && text[a] == QLatin1Char(' '))
        ++a;
    while (b > a && text[b - 1] == QLatin1Char(' '))
        --b;
    return text.sliced(a, b - a).toString();
}

LineScanner::LineScanner(const QString &search, qsizetype maxLineBytes)
    : m_search(trimSpaces(search)), m_max(qMax<qsizetype>(1, maxLineBytes))
{
    makeNeedle();
}

void LineScanner::setUtf8(bool utf8)
{
    m_utf8 = utf8;
    makeNeedle();
}

void LineScanner::makeNeedle()
{
    m_needle.clear();
    // No line holds a CR, which always ends a line.
    m_never = m_search.contains(QLatin1Char('\r'));
    if (m_never)
        return;
    if (m_utf8) {
        const QByteArray bytes = m_search.toUtf8();
        m_needle.resize(bytes.size());
        foldUtf8(reinterpret_cast<const unsigned char *>(bytes.constData()),
                 reinterpret_cast<unsigned char *>(m_needle.data()), bytes.size(), 0);
        return;
    }
    for (QChar ch : std::as_const(m_search)) {
        // Nor does a Latin-1 stream hold a character outside the set.
        if (ch.unicode() > 0xFF) {
            m_never = true;
            return;
        }
        m_needle += fold(char(ch.unicode()));
    }
}

QString LineScanner::lineText(QByteArrayView line) const
{
    return m_utf8 && textcodec::isValidUtf8(line) ? QString::fromUtf8(line) : QString::fromLatin1(line);
}

void LineScanner::foldInto(const char *src, qsizetype n)
{
    if (m_folded.size() < n)
        m_folded.resize(n);
    auto *out = reinterpret_cast<unsigned char *>(m_folded.data());
    const auto *in = reinterpret_cast<const unsigned char *>(src);
    if (m_utf8) {
        foldUtf8(in, out, n, m_lastByte);
        return;
    }
    // Branch-free, so the compiler can do many bytes at a time.
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = in[i];
        const unsigned char upper = (unsigned char)((unsigned char)(c - 'A') < 26)
                                    | (unsigned char)(((unsigned char)(c - 0xC0) < 31) & (c != 0xD7));
        out[i] = c | (unsigned char)(upper << 5);
    }
}

qsizetype LineScanner::afterLineEnd(const char *c, qsizetype n, qsizetype cr)
{
    qsizetype p = cr + 1;
    if (p < n) {
        if (c[p] == '\n')
            ++p;
    } else {
        m_skipLF = true;
    }
    return p;
}

void LineScanner::feed(QByteArrayView piece)
{
    const qsizetype n = piece.size();
    if (n == 0 || m_never)
        return;
    const char *c = piece.data();
    const char *f = c;
    if (!m_needle.isEmpty()) {
        foldInto(c, n);
        f = m_folded.constData();
    }
    m_lastByte = static_cast<unsigned char>(c[n - 1]);
    qsizetype p = 0;
    if (m_skipLF) {
        m_skipLF = false;
        if (c[0] == '\n')
            p = 1;
    }
    if (m_inLine && p < n) {
        const char *cr = findCR(c + p, n - p);
        const qsizetype end = cr ? cr - c : n;
        appendToLine(c + p, f + p, end - p);
        if (!cr)
            return;
        endLine();
        p = afterLineEnd(c, n, end);
    }
    if (p >= n)
        return;
    // Whole lines go the fast way; only the unfinished last one is copied.
    if (const char *last = findLastCR(c + p, n - p)) {
        const qsizetype lastCr = last - c;
        scanLines(c, f, p, lastCr + 1);
        p = afterLineEnd(c, n, lastCr);
    }
    if (p < n)
        appendToLine(c + p, f + p, n - p);
}

void LineScanner::scanLines(const char *c, const char *f, qsizetype from, qsizetype to)
{
    // [from, to) starts at a line start and ends with a CR.
    qsizetype q = from;
    if (m_needle.isEmpty()) {
        while (q < to) {
            const qsizetype end = findCR(c + q, to - q) - c;
            if (end > q)
                keep(c + q, end - q, false);
            q = end + 1;
            if (q < to && c[q] == '\n')
                ++q;
        }
        return;
    }
    while (q < to) {
        const char *hit = findBytes(f + q, to - q, m_needle);
        if (!hit)
            return;
        const qsizetype h = hit - f;
        qsizetype start = q;
        if (const char *cr = findLastCR(c + q, h - q)) {
            start = cr - c + 1;
            if (c[start] == '\n')
                ++start;
        }
        if (h < start) { // the match began at the LF of a CR LF
            q = start;
            continue;
        }
        const qsizetype end = findCR(c + h, to - h) - c;
        keep(c + start, end - start, false);
        q = end + 1;
        if (q < to && c[q] == '\n')
            ++q;
    }
}

void LineScanner::appendToLine(const char *c, const char *f, qsizetype n)
{
    if (n <= 0)
        return;
    m_inLine = true;
    if (!m_matched) {
        const qsizetype m = m_needle.size();
        if (m == 0 || findBytes(f, n, m_needle)) {
            m_matched = true;
        } else if (!m_tail.isEmpty()) {
            QByteArray joint = m_tail;
            joint.append(f, qMin(n, m - 1));
            m_matched = findBytes(joint.constData(), joint.size(), m_needle) != nullptr;
        }
        if (!m_matched && m > 1) {
            if (n >= m - 1) {
                m_tail = QByteArray(f + n - (m - 1), m - 1);
            } else {
                m_tail.append(f, n);
                m_tail = m_tail.right(m - 1);
            }
        }
    }
    qsizetype i = 0;
    if (!m_pastLead) {
        while (i < n && c[i] == ' ')
            ++i;
        if (i == n)
            return;
        m_pastLead = true;
    }
    const qsizetype take = qMin(n - i, m_max - m_head.size());
    m_head.append(c + i, take);
    i += take;
    for (; i < n && !m_overflow; ++i)
        m_overflow = c[i] != ' ';
}

void LineScanner::endLine()
{
    if (m_inLine && m_matched)
        keep(m_head.constData(), m_head.size(), m_overflow);
    m_inLine = m_matched = m_pastLead = m_overflow = false;
    m_head.clear();
    m_tail.clear();
}

void LineScanner::keep(const char *line, qsizetype n, bool cut)
{
    QByteArrayView v(line, n);
    qsizetype a = 0;
    while (a < n && v[a] == ' ')
        ++a;
    v = v.sliced(a);
    if (!cut) {
        qsizetype b = v.size();
        while (b > 0 && v[b - 1] == ' ')
            --b;
        v = v.first(b);
    }
    if (cut || v.size() > m_max) {
        v = v.first(qMin(v.size(), m_max));
        if (m_utf8)
            v = v.first(wholeCharacters(v));
        ++m_cutLines;
    }
    m_lines.append(v.toByteArray());
}

void LineScanner::finish()
{
    endLine();
    m_skipLF = false;
}

void LineScanner::abandonLine()
{
    m_matched = false;
    endLine();
    m_skipLF = false;
}

QList<QByteArray> LineScanner::takeLines()
{
    QList<QByteArray> out;
    out.swap(m_lines);
    return out;
}

} // namespace tools
