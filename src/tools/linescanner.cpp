#include "tools/linescanner.h"

#include "platform/blanks.h"
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

const char *findCR(const char *p, qsizetype n)
{
    return static_cast<const char *>(std::memchr(p, '\r', size_t(n)));
}

const char *findLastCR(const char *p, qsizetype n)
{
    return n > 0 ? static_cast<const char *>(::memrchr(p, '\r', size_t(n))) : nullptr;
}

// In an LF stream CRs are rare and may be nowhere near: looking for each byte
// over the whole range would cost a pass over the piece per line. Both are
// looked for in windows that double instead, so the cost follows the distance
// to the nearer one.
constexpr qsizetype FirstWindow = 512;

const char *findCRorLF(const char *p, qsizetype n)
{
    for (qsizetype from = 0, w = FirstWindow; from < n; from += w, w *= 2) {
        const qsizetype len = qMin(w, n - from);
        const char *lf = static_cast<const char *>(std::memchr(p + from, '\n', size_t(len)));
        if (const char *cr = findCR(p + from, lf ? lf - (p + from) : len))
            return cr;
        if (lf)
            return lf;
    }
    return nullptr;
}

const char *findLastCRorLF(const char *p, qsizetype n)
{
    for (qsizetype to = n, w = FirstWindow; to > 0; to -= w, w *= 2) {
        const qsizetype len = qMin(w, to);
        const char *base = p + to - len;
        const char *lf = static_cast<const char *>(::memrchr(base, '\n', size_t(len)));
        const qsizetype past = lf ? lf + 1 - base : 0;
        if (const char *cr = findLastCR(base + past, len - past))
            return cr;
        if (lf)
            return lf;
    }
    return nullptr;
}

} // namespace

char LineScanner::fold(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return char(u | (isFoldable(u) ? 0x20 : 0));
}

LineScanner::LineScanner(const QString &search, qsizetype maxLineBytes)
    : m_search(platform::trimBlanks(search)), m_max(qMax<qsizetype>(1, maxLineBytes))
{
    makeNeedle();
}

void LineScanner::setUtf8(bool utf8)
{
    m_utf8 = utf8;
    makeNeedle();
}

void LineScanner::setLineEnd(LineEnd lineEnd)
{
    m_lineEnd = lineEnd;
    makeNeedle();
}

LineEnd LineScanner::lineEndOf(QByteArrayView start)
{
    const auto holds = [&](char c) {
        return !start.isEmpty() && std::memchr(start.data(), c, size_t(start.size())) != nullptr;
    };
    return holds('\n') && !holds('\r') ? LineEnd::Lf : LineEnd::CrLf;
}

void LineScanner::makeNeedle()
{
    m_needle.clear();
    // No line holds a CR, which always ends a line, nor in an LF stream an LF.
    m_never = m_search.contains(QLatin1Char('\r')) ||
              (m_lineEnd == LineEnd::Lf && m_search.contains(QLatin1Char('\n')));
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
    return textcodec::decode(line,
                             m_utf8 && textcodec::isValidUtf8(line) ? Encoding::Utf8 : Encoding::Latin1);
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
        const unsigned char upper = (unsigned char)((unsigned char)(c - 'A') < 26) |
                                    (unsigned char)(((unsigned char)(c - 0xC0) < 31) & (c != 0xD7));
        out[i] = c | (unsigned char)(upper << 5);
    }
}

const char *LineScanner::findEnd(const char *p, qsizetype n) const
{
    return m_lineEnd == LineEnd::Lf ? findCRorLF(p, n) : findCR(p, n);
}

const char *LineScanner::findLastEnd(const char *p, qsizetype n) const
{
    return m_lineEnd == LineEnd::Lf ? findLastCRorLF(p, n) : findLastCR(p, n);
}

qsizetype LineScanner::afterLineEnd(const char *c, qsizetype n, qsizetype end)
{
    qsizetype p = end + 1;
    if (p < n) {
        if (c[p] == '\n')
            ++p;
    } else {
        m_skipLF = c[end] == '\r';
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
        const char *stop = findEnd(c + p, n - p);
        const qsizetype end = stop ? stop - c : n;
        appendToLine(c + p, f + p, end - p);
        if (!stop)
            return;
        endLine();
        p = afterLineEnd(c, n, end);
    }
    if (p >= n)
        return;
    // Whole lines go the fast way; only the unfinished last one is copied.
    if (const char *last = findLastEnd(c + p, n - p)) {
        const qsizetype lastEnd = last - c;
        scanLines(c, f, p, lastEnd + 1);
        p = afterLineEnd(c, n, lastEnd);
    }
    if (p < n)
        appendToLine(c + p, f + p, n - p);
}

void LineScanner::scanLines(const char *c, const char *f, qsizetype from, qsizetype to)
{
    // [from, to) starts at a line start and ends with a line end. Skipping
    // an LF after a line end takes the LF of a CR LF; after an LF it takes
    // an empty line, which is never listed either way.
    qsizetype q = from;
    if (m_needle.isEmpty()) {
        while (q < to) {
            const qsizetype end = findEnd(c + q, to - q) - c;
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
        if (const char *last = findLastEnd(c + q, h - q)) {
            start = last - c + 1;
            if (c[start] == '\n')
                ++start;
        }
        if (h < start) { // the match began at the LF of a CR LF
            q = start;
            continue;
        }
        const qsizetype end = findEnd(c + h, to - h) - c;
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
