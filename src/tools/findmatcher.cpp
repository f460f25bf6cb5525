#include "tools/findmatcher.h"

#include "platform/textcodec.h"

#include <emmintrin.h>

#include <cstring>

namespace tools {

namespace {

using uchar = unsigned char;

// Lower case by bytes: ASCII capitals; in Latin-1 the accented capitals
// (C0 to DE but not the times sign D7); in UTF-8 the second byte of those
// same capitals (C3 80 to C3 9E but not C3 97), which follows C3.
inline uchar foldByte(uchar c, uchar prev, bool utf8)
{
    if (uchar(c - 'A') < 26)
        return c | 0x20;
    if (utf8)
        return prev == 0xC3 && uchar(c - 0x80) < 31 && c != 0x97 ? c | 0x20 : c;
    return uchar(c - 0xC0) < 31 && c != 0xD7 ? c | 0x20 : c;
}

// How common a byte is in source and text files, roughly: the needle's
// rarest byte is looked for first, so fewer candidates need a compare.
int commonness(uchar c)
{
    if (c == ' ')
        return 255;
    if (std::strchr("etaoinsrlcdu", c) && c)
        return 240;
    if (c >= 'a' && c <= 'z')
        return 200;
    if (c == '_' || c == '(' || c == ')' || c == ',' || c == ';' || c == '*' || c == '=' || c == '.' ||
        c == '-' || c == '\t')
        return 190;
    if (c >= '0' && c <= '9')
        return 170;
    if (c >= 'A' && c <= 'Z')
        return 150;
    if (c < 0x80 && c >= 0x20)
        return 100;
    return 20;
}

// The first byte in [p, end) that is a or b, or null.
const uchar *findEither(const uchar *p, const uchar *end, uchar a, uchar b)
{
    if (a == b)
        return p < end ? static_cast<const uchar *>(std::memchr(p, a, size_t(end - p))) : nullptr;
    const __m128i va = _mm_set1_epi8(char(a)), vb = _mm_set1_epi8(char(b));
    const auto hits = [&](const uchar *q) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
        return _mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb));
    };
    while (end - p >= 64) {
        const __m128i h0 = hits(p), h1 = hits(p + 16), h2 = hits(p + 32), h3 = hits(p + 48);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(h0, h1), _mm_or_si128(h2, h3)))) {
            for (const __m128i &h : {h0, h1, h2, h3}) {
                if (const int m = _mm_movemask_epi8(h))
                    return p + __builtin_ctz(unsigned(m));
                p += 16;
            }
        }
        p += 64;
    }
    for (; p < end; ++p)
        if (*p == a || *p == b)
            return p;
    return nullptr;
}

qint64 countByte(const uchar *p, const uchar *end, uchar b)
{
    qint64 n = 0;
    const __m128i vb = _mm_set1_epi8(char(b));
    while (end - p >= 16 * 255) { // a byte counter per lane holds 255 rounds
        __m128i acc = _mm_setzero_si128();
        for (int i = 0; i < 255; ++i, p += 16)
            acc =
                _mm_sub_epi8(acc, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), vb));
        const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
        n += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
    for (; p < end; ++p)
        n += *p == b;
    return n;
}

// UTF-16 units of valid UTF-8 bytes (a four-byte character takes two).
qint64 utf16Units(const uchar *p, const uchar *end)
{
    qint64 n = 0;
    for (; p < end; ++p)
        n += ((*p & 0xC0) != 0x80) + (*p >= 0xF0);
    return n;
}

QString shownText(QString s)
{
    for (QChar &ch : s)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            ch = QLatin1Char(' ');
    return s;
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

qint64 countLineEnds(QStringView t)
{
    qint64 n = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('\n'))
            ++n;
        else if (t[i] == QLatin1Char('\r') && (i + 1 == t.size() || t[i + 1] != QLatin1Char('\n')))
            ++n;
    }
    return n;
}

qsizetype utf8Bytes(QStringView t)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t u = t[i].unicode();
        if (u < 0x80)
            n += 1;
        else if (u < 0x800)
            n += 2;
        else if (QChar::isHighSurrogate(u) && i + 1 < t.size() && QChar::isLowSurrogate(t[i + 1].unicode())) {
            n += 4;
            ++i;
        } else
            n += 3;
    }
    return n;
}

const QString kLimit = QStringLiteral("(*LIMIT_MATCH=%1)").arg(FindMatcher::RegexMatchLimit);

} // namespace

qint64 FindMatcher::countLineEnds(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *end = p + bytes.size();
    qint64 n = countByte(p, end, '\n');
    while (p < end) {
        const auto *cr = static_cast<const uchar *>(std::memchr(p, '\r', size_t(end - p)));
        if (!cr)
            break;
        if (cr + 1 == end || cr[1] != '\n')
            ++n;
        p = cr + 1;
    }
    return n;
}

bool FindMatcher::compile(const FindOptions &options, QString *error)
{
    m_options = options;
    m_regexMode = options.regex;
    m_nonAscii = false;
    if (options.text.isEmpty()) {
        *error = QStringLiteral("Type the text to find.");
        return false;
    }
    if (!options.regex) {
        if (options.text.contains(QLatin1Char('\n')) || options.text.contains(QLatin1Char('\r'))) {
            *error =
                QStringLiteral("The text to find cannot hold a line break: the search goes line by line.");
            return false;
        }
        for (QChar ch : options.text)
            m_nonAscii |= ch.unicode() >= 0x80;
        // Byte folding knows the Latin-1 letters only; a pattern knows the rest.
        bool beyondLatin1 = false;
        for (QChar ch : options.text)
            beyondLatin1 |= ch.unicode() > 0xFF;
        if (!(beyondLatin1 && !options.matchCase)) {
            m_utf8 = makeNeedle(true);
            m_latin1 = makeNeedle(false);
            return true;
        }
        m_regexMode = true;
    }
    const QString body = options.regex ? options.text : QRegularExpression::escape(options.text);
    const QString open = options.wholeWord ? QStringLiteral("\\b(?:") : QString();
    const QString close = options.wholeWord ? QStringLiteral(")\\b") : QString();
    const auto flags =
        options.matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption;
    m_line = QRegularExpression(kLimit + open + body + close, flags);
    if (!m_line.isValid()) {
        const qsizetype at = m_line.patternErrorOffset() - kLimit.size() - open.size();
        *error = QStringLiteral("The regular expression cannot be used: %1, at character %2.")
                     .arg(m_line.errorString())
                     .arg(qBound<qsizetype>(0, at, body.size()) + 1);
        return false;
    }
    m_whole = QRegularExpression(kLimit + QStringLiteral("(*ANYCRLF)") + open + body + close,
                                 flags | QRegularExpression::MultilineOption);
    m_line.optimize();
    m_whole.optimize();
    return true;
}

FindMatcher::Needle FindMatcher::makeNeedle(bool utf8) const
{
    Needle n;
    if (utf8) {
        n.bytes = m_options.text.toUtf8();
    } else {
        for (QChar ch : m_options.text) {
            if (ch.unicode() > 0xFF) {
                n.never = true;
                return n;
            }
            n.bytes += char(ch.unicode());
        }
    }
    auto *b = reinterpret_cast<uchar *>(n.bytes.data());
    int best = 1 << 30;
    for (int i = 0; i < n.bytes.size(); ++i) {
        uchar c = b[i], other = c;
        if (!m_options.matchCase) {
            const uchar prev = i > 0 ? b[i - 1] : 0;
            c = foldByte(b[i], prev, utf8);
            // The other case of a folded byte is the same byte without bit 5.
            other = foldByte(uchar(c & ~0x20), prev, utf8) == c ? uchar(c & ~0x20) : c;
        }
        const int cost = commonness(c) + (other != c ? commonness(other) : 0);
        if (cost < best) {
            best = cost;
            n.rare = i;
            n.first = c;
            n.second = other;
        }
    }
    if (!m_options.matchCase) {
        // Folded after the choice above, which needs the bytes as typed for their context.
        QByteArray folded = n.bytes;
        for (int i = 0; i < folded.size(); ++i)
            folded[i] = char(foldByte(b[i], i > 0 ? b[i - 1] : 0, utf8));
        n.bytes = folded;
    }
    return n;
}

FindMatcher::Outcome FindMatcher::search(QByteArrayView text, TextEncoding encoding, qint64 firstLine,
                                         const Sink &sink, const std::atomic<bool> *stop, qint64 *lineEnds,
                                         qint64 *complexLine) const
{
    const Outcome out =
        m_regexMode ? searchRegex(text, encoding == TextEncoding::Utf8, firstLine, sink, stop, complexLine)
                    : searchFixed(text, encoding, firstLine, sink, stop);
    if (lineEnds)
        *lineEnds = countLineEnds(text);
    return out;
}

FindMatcher::Outcome FindMatcher::searchFixed(QByteArrayView text, TextEncoding encoding, qint64 firstLine,
                                              const Sink &sink, const std::atomic<bool> *stop) const
{
    const bool utf8 = encoding == TextEncoding::Utf8;
    const Needle &nd = utf8 ? m_utf8 : m_latin1;
    if (nd.never || nd.bytes.isEmpty())
        return Outcome::Done;
    const auto *base = reinterpret_cast<const uchar *>(text.data());
    const qint64 n = text.size(), m = nd.bytes.size(), r = nd.rare;
    const auto *needle = reinterpret_cast<const uchar *>(nd.bytes.constData());
    const bool matchCase = m_options.matchCase;

    const auto verify = [&](qint64 s) {
        if (matchCase)
            return std::memcmp(base + s, needle, size_t(m)) == 0;
        uchar prev = s > 0 ? base[s - 1] : 0;
        for (qint64 j = 0; j < m; ++j) {
            if (foldByte(base[s + j], prev, utf8) != needle[j])
                return false;
            prev = base[s + j];
        }
        return true;
    };

    // Where the next LF and CR lie at or after a position (-1: none left),
    // kept so that finding line ends never looks over the same bytes twice.
    qint64 nextLf = -2, nextCr = -2;
    const auto nextOf = [&](qint64 &cache, uchar c, qint64 from) {
        if (cache == -1 || (cache >= from && cache != -2))
            return cache;
        const void *hit = from < n ? std::memchr(base + from, c, size_t(n - from)) : nullptr;
        cache = hit ? static_cast<const uchar *>(hit) - base : -1;
        return cache;
    };
    const auto lineEndFrom = [&](qint64 from) {
        const qint64 lf = nextOf(nextLf, '\n', from), cr = nextOf(nextCr, '\r', from);
        if (lf < 0)
            return cr < 0 ? n : cr;
        return cr < 0 ? lf : qMin(lf, cr);
    };

    qint64 countedTo = 0, lineNo = firstLine; // lineNo is the number of the line starting at countedTo
    qint64 lineStart = -1, lineEnd = -1;
    std::vector<qint64> starts; // of the matches on the current line
    const auto flush = [&]() {
        if (starts.empty())
            return true;
        LineHit hit;
        hit.line = lineNo;
        hit.matches = int(starts.size());
        const uchar *ls = base + lineStart, *le = base + lineEnd;
        const qint64 first = starts.front();
        bool lineUtf8 = utf8;
        if (encoding == TextEncoding::Guess)
            lineUtf8 = textcodec::isValidUtf8(QByteArrayView(ls, le - ls));
        hit.byteColumn = first - lineStart;
        hit.byteLength = m;
        const auto units = [&](const uchar *a, const uchar *b) {
            return lineUtf8 ? utf16Units(a, b) : b - a;
        };
        hit.charColumn = units(ls, base + first);
        hit.charLength = units(base + first, base + first + m);
        // The part shown: the whole line when short, else a window from a
        // little before the first match, on character boundaries.
        const uchar *ws = ls, *we = le;
        if (le - ls > 2 * ShownChars) {
            ws = qMax(ls, base + first - ShownChars / 4);
            we = qMin(le, ws + 2 * ShownChars);
            while (lineUtf8 && ws > ls && (*ws & 0xC0) == 0x80)
                --ws;
            while (lineUtf8 && we < le && (*we & 0xC0) == 0x80)
                ++we;
        }
        hit.cutBefore = ws > ls;
        hit.cutAfter = we < le;
        const QByteArrayView window(ws, we - ws);
        hit.shown = shownText(lineUtf8 ? QString::fromUtf8(window) : QString::fromLatin1(window));
        for (qint64 s : starts) {
            if (base + s < ws || base + s + m > we)
                continue;
            hit.spans.append({int(units(ws, base + s)), int(units(base + s, base + s + m))});
        }
        starts.clear();
        return sink(std::move(hit));
    };

    qint64 p = 0;
    unsigned rounds = 0;
    while (n - p >= m) {
        if (stop && (++rounds & 255) == 0 && stop->load(std::memory_order_relaxed))
            return Outcome::Stopped;
        const uchar *c = findEither(base + p + r, base + n - (m - 1 - r), nd.first, nd.second);
        if (!c)
            break;
        const qint64 s = (c - base) - r;
        if (!verify(s) || (m_options.wholeWord &&
                           ((s > 0 && isWordByte(base[s - 1])) || (s + m < n && isWordByte(base[s + m]))))) {
            p = s + 1;
            continue;
        }
        if (s >= lineEnd) {
            if (!flush())
                return Outcome::Stopped;
            // The line holding s starts after the last line end before it.
            qint64 floor = lineEnd < 0 ? 0 : lineEnd + 1;
            if (lineEnd >= 0 && base[lineEnd] == '\r' && floor < n && base[floor] == '\n')
                ++floor;
            qint64 start = floor;
            if (s > floor) {
                const void *lf = ::memrchr(base + floor, '\n', size_t(s - floor));
                const qint64 afterLf = lf ? static_cast<const uchar *>(lf) - base + 1 : floor;
                const void *cr = s > afterLf ? ::memrchr(base + afterLf, '\r', size_t(s - afterLf)) : nullptr;
                start = cr ? static_cast<const uchar *>(cr) - base + 1 : afterLf;
            }
            lineNo += countLineEnds(QByteArrayView(base + countedTo, start - countedTo));
            countedTo = lineStart = start;
            lineEnd = lineEndFrom(s + m);
        }
        starts.push_back(s);
        p = s + m;
    }
    return flush() ? Outcome::Done : Outcome::Stopped;
}

FindMatcher::Outcome FindMatcher::searchRegex(QByteArrayView text, bool utf8, qint64 firstLine,
                                              const Sink &sink, const std::atomic<bool> *stop,
                                              qint64 *complexLine) const
{
    const QString t = utf8 ? QString::fromUtf8(text) : QString::fromLatin1(text);
    const qsizetype n = t.size();
    qint64 lineNo = firstLine;
    qsizetype countedTo = 0;
    qsizetype p = 0;
    bool perLine = false; // the quick pass over the whole text gave up: every line on its own
    unsigned rounds = 0;
    while (p < n) {
        if (stop && (++rounds & 63) == 0 && stop->load(std::memory_order_relaxed))
            return Outcome::Stopped;
        qsizetype q = p;
        if (!perLine) {
            const QRegularExpressionMatch any = m_whole.match(QStringView(t), p);
            if (!any.isValid()) {
                perLine = true;
                continue;
            }
            if (!any.hasMatch())
                break;
            q = any.capturedStart();
        }
        qsizetype ls = q;
        while (ls > p && !isLineEnd(t[ls - 1]))
            --ls;
        qsizetype le = q;
        while (le < n && !isLineEnd(t[le]))
            ++le;
        lineNo += tools::countLineEnds(QStringView(t).mid(countedTo, ls - countedTo));
        countedTo = ls;
        const QStringView line = QStringView(t).mid(ls, le - ls);

        QList<QPair<int, int>> found;
        for (qsizetype from = 0; from <= line.size();) {
            const QRegularExpressionMatch mm = m_line.match(line, from);
            if (!mm.isValid()) {
                if (complexLine)
                    *complexLine = lineNo;
                return Outcome::TooComplex;
            }
            if (!mm.hasMatch())
                break;
            found.append({int(mm.capturedStart()), int(mm.capturedLength())});
            from = mm.capturedEnd() + (mm.capturedLength() == 0 ? 1 : 0);
        }
        if (!found.isEmpty()) {
            LineHit hit;
            hit.line = lineNo;
            hit.matches = int(found.size());
            const qsizetype first = found.front().first, len = found.front().second;
            hit.charColumn = first;
            hit.charLength = len;
            hit.byteColumn = utf8 ? utf8Bytes(line.first(first)) : first;
            hit.byteLength = utf8 ? utf8Bytes(line.mid(first, len)) : len;
            qsizetype ws = 0, we = line.size();
            if (line.size() > 2 * ShownChars) {
                ws = qMax<qsizetype>(0, first - ShownChars / 4);
                we = qMin(line.size(), ws + 2 * ShownChars);
            }
            hit.cutBefore = ws > 0;
            hit.cutAfter = we < line.size();
            hit.shown = shownText(line.mid(ws, we - ws).toString());
            for (const auto &f : found)
                if (f.first >= ws && f.first + f.second <= we)
                    hit.spans.append({int(f.first - ws), f.second});
            if (!sink(std::move(hit)))
                return Outcome::Stopped;
        }
        p = le;
        if (p < n && t[p] == QLatin1Char('\r'))
            ++p;
        if (p < n && t[p] == QLatin1Char('\n') && (p == le || t[p - 1] == QLatin1Char('\r')))
            ++p;
    }
    return Outcome::Done;
}

} // namespace tools
