#include "tools/filesearch.h"

#include "platform/textcodec.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

namespace {

const QByteArrayView kBom("\xEF\xBB\xBF", 3);

// Reads up to n bytes at an offset; fewer only at the end of the file.
qint64 readAt(int fd, char *buf, qint64 n, qint64 at)
{
    qint64 got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, buf + got, size_t(n - got), at + got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        got += r;
    }
    return got;
}

// Where bytes can be cut so that no UTF-8 character is split: before an
// unfinished last character.
qsizetype wholeCharacters(QByteArrayView v)
{
    qsizetype j = v.size();
    int back = 0;
    while (j > 0 && back < 3 && textcodec::isContinuation(v[j - 1])) {
        --j;
        ++back;
    }
    if (j == 0)
        return v.size();
    const auto lead = static_cast<unsigned char>(v[j - 1]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > back + 1 ? j - 1 : v.size();
}

struct FdCloser
{
    int fd;
    ~FdCloser() { ::close(fd); }
};

} // namespace

FileSearcher::FileSearcher(const FindMatcher &matcher, const std::atomic<bool> *stop,
                           std::function<bool()> takeLine)
    : m_matcher(matcher), m_stop(stop), m_takeLine(std::move(takeLine))
{
}

void FileSearcher::setSizes(qint64 wholeFileMax, qint64 pieceBytes, qint64 longestLine)
{
    m_wholeMax = wholeFileMax;
    m_piece = pieceBytes;
    m_longestLine = longestLine;
}

FileSearcher::Outcome FileSearcher::search(const QByteArray &path, FileHits *out)
{
    Outcome o;
    o.result = Result::Skipped;
    out->path = QFile::decodeName(path);
    // Not blocking: a FIFO put in place of the file since the walk saw it must not hang the search.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        o.reason = errno == ENOENT  ? SkipReason::Gone
                   : errno == ELOOP ? SkipReason::BrokenLink
                                    : SkipReason::Unreadable;
        return o;
    }
    FdCloser closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        o.reason = SkipReason::Unreadable;
        return o;
    }
    if (!S_ISREG(st.st_mode)) {
        o.reason = SkipReason::Special;
        return o;
    }
    char probe[BinaryProbe];
    const qint64 n = readAt(fd, probe, BinaryProbe, 0);
    if (n < 0) {
        o.reason = SkipReason::Unreadable;
        return o;
    }
    if (std::memchr(probe, 0, size_t(n))) {
        o.reason = SkipReason::Binary;
        return o;
    }
    return st.st_size > m_wholeMax ? searchPieces(fd, out) : searchWhole(fd, st.st_size, out);
}

bool FileSearcher::readAll(int fd, qint64 cap)
{
    // The size may change while the file is read: it is read to its end,
    // whatever the size said, up to the cap.
    qint64 got = 0;
    for (;;) {
        if (m_buffer.size() < got + (1 << 16))
            m_buffer.resize(qMin(cap, qMax<qint64>(got * 2, got + (1 << 16))));
        const qint64 want = qMin<qint64>(m_buffer.size() - got, 8 << 20);
        if (want <= 0)
            break;
        const qint64 r = readAt(fd, m_buffer.data() + got, want, got);
        if (r < 0)
            return false;
        got += r;
        if (r < want || (m_stop && m_stop->load(std::memory_order_relaxed)))
            break;
    }
    m_buffer.truncate(got);
    return true;
}

FileSearcher::Outcome FileSearcher::searchWhole(int fd, qint64 size, FileHits *out)
{
    Outcome o;
    m_buffer.reserve(size + 1);
    if (!readAll(fd, m_wholeMax + m_piece)) {
        o.result = Result::Skipped;
        o.reason = SkipReason::Unreadable;
        return o;
    }
    QByteArrayView text(m_buffer);
    TextEncoding enc = TextEncoding::Guess;
    const auto decide = [&] {
        enc = textcodec::isValidUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Latin1;
        if (enc == TextEncoding::Utf8 && text.startsWith(kBom))
            text = text.sliced(kBom.size()); // the mark is no part of the text
    };
    if (m_matcher.needsEncoding() || text.startsWith(kBom))
        decide();

    std::vector<LineHit> &lines = out->lines;
    qint64 matches = 0;
    const auto keep = [&](LineHit &&h) {
        if (!m_takeLine())
            return false;
        matches += h.matches;
        lines.push_back(std::move(h));
        return true;
    };
    const FindMatcher::Outcome r = m_matcher.search(text, enc, 1, keep, m_stop, nullptr, &o.complexLine);
    if (enc == TextEncoding::Guess && !lines.empty()) {
        // The text's bytes matched the same in either encoding; only how
        // the lines read depends on it, so that is settled now.
        decide();
        if (enc == TextEncoding::Latin1) {
            const size_t kept = lines.size();
            lines.clear();
            m_matcher.search(text, enc, 1, [&](LineHit &&h) {
                if (lines.size() >= kept)
                    return false;
                lines.push_back(std::move(h));
                return true;
            });
        }
    }
    out->encoding = enc;
    out->matches = matches;
    if (m_buffer.capacity() > 2 * m_piece)
        m_buffer = QByteArray(); // one big file must not keep its memory for the rest
    o.result = r == FindMatcher::Outcome::TooComplex ? Result::TooComplex
               : r == FindMatcher::Outcome::Stopped  ? Result::Stopped
                                                     : Result::Searched;
    return o;
}

TextEncoding FileSearcher::encodingOfStream(int fd)
{
    QByteArray buf;
    qint64 at = 0;
    qsizetype carry = 0;
    for (;;) {
        buf.resize(carry + m_piece);
        const qint64 n = readAt(fd, buf.data() + carry, m_piece, at);
        if (n < 0)
            return TextEncoding::Latin1;
        at += n;
        const QByteArrayView v(buf.constData(), carry + n);
        const bool end = n < m_piece;
        const qsizetype cut = end ? v.size() : wholeCharacters(v);
        if (!textcodec::isValidUtf8(v.first(cut)))
            return TextEncoding::Latin1;
        if (end || (m_stop && m_stop->load(std::memory_order_relaxed)))
            return TextEncoding::Utf8;
        carry = v.size() - cut;
        std::memmove(buf.data(), buf.constData() + cut, size_t(carry));
    }
}

FileSearcher::Outcome FileSearcher::searchPieces(int fd, FileHits *out)
{
    Outcome o;
    char head[3] = {};
    const bool marked = readAt(fd, head, 3, 0) == 3 && QByteArrayView(head, 3) == kBom;
    TextEncoding enc = TextEncoding::Guess;
    if (m_matcher.needsEncoding() || marked)
        enc = encodingOfStream(fd);
    qint64 at = marked && enc == TextEncoding::Utf8 ? kBom.size() : 0;
    qint64 lineNo = 1, matches = 0;
    qsizetype carry = 0;
    const auto keep = [&](LineHit &&h) {
        if (!m_takeLine())
            return false;
        matches += h.matches;
        out->lines.push_back(std::move(h));
        return true;
    };
    FindMatcher::Outcome r = FindMatcher::Outcome::Done;
    for (;;) {
        if (m_stop && m_stop->load(std::memory_order_relaxed)) {
            r = FindMatcher::Outcome::Stopped;
            break;
        }
        m_buffer.resize(carry + m_piece);
        const qint64 n = readAt(fd, m_buffer.data() + carry, m_piece, at);
        if (n < 0) {
            o.result = Result::Skipped;
            o.reason = SkipReason::Unreadable;
            return o;
        }
        at += n;
        const bool end = n < m_piece;
        const QByteArrayView v(m_buffer.constData(), carry + n);
        qsizetype cut = v.size();
        if (!end) {
            // Whole lines only; a CR at the very end may have its LF in the next piece.
            const size_t scan = size_t(v.endsWith('\r') ? v.size() - 1 : v.size());
            const void *lf = ::memrchr(v.data(), '\n', scan);
            const void *cr = ::memrchr(v.data(), '\r', scan);
            const qsizetype lfAt = lf ? static_cast<const char *>(lf) - v.data() : -1;
            const qsizetype crAt = cr ? static_cast<const char *>(cr) - v.data() : -1;
            const qsizetype last = qMax(lfAt, crAt);
            if (last >= 0)
                cut = last + 1;
            else if (v.size() < m_longestLine) {
                carry = v.size();
                continue;
            }
        }
        qint64 ends = 0;
        r = m_matcher.search(v.first(cut), enc, lineNo, keep, m_stop, &ends, &o.complexLine);
        lineNo += ends;
        if (r != FindMatcher::Outcome::Done || end)
            break;
        carry = v.size() - cut;
        std::memmove(m_buffer.data(), m_buffer.constData() + cut, size_t(carry));
    }
    out->encoding = enc;
    out->matches = matches;
    m_buffer = QByteArray();
    o.result = r == FindMatcher::Outcome::TooComplex ? Result::TooComplex
               : r == FindMatcher::Outcome::Stopped  ? Result::Stopped
                                                     : Result::Searched;
    return o;
}

} // namespace tools
