#include "documents/textstream.h"

#include <cstring>

namespace {

constexpr qsizetype kHeadBytes = 4; // the longest mark

} // namespace

bool TextStream::feed(QByteArrayView piece)
{
    if (piece.isEmpty())
        return true;
    m_facts.empty = false;
    if (!m_started) {
        m_head += piece;
        if (m_head.size() < kHeadBytes)
            return true;
        const QByteArray head = std::move(m_head);
        m_head.clear();
        return start(head);
    }
    return take(piece);
}

bool TextStream::finish()
{
    if (!m_started && !start(std::exchange(m_head, QByteArray())))
        return false;
    m_utf8.finish();
    m_facts.validUtf8 = m_utf8.valid();
    m_facts.high = m_utf8.hasHigh();
    m_facts.characters = m_utf8.valid() ? m_utf8.characters() : -1;
    // What is still held is the last line's end, which is no part of the text.
    if (m_held == 1)
        ++m_loneCrs;
    m_held = 0;
    return true;
}

FileFacts TextStream::factsSoFar() const
{
    FileFacts f = m_facts;
    if (!m_started)
        f.marked = m_head.startsWith(utf8Mark());
    f.validUtf8 = m_utf8.valid();
    f.high = m_utf8.hasHigh();
    return f;
}

bool TextStream::start(QByteArrayView head)
{
    m_started = true;
    m_facts.foreignMark = foreignMarkOf(head);
    m_verbatim = !m_facts.foreignMark.isEmpty();
    m_facts.marked = !m_verbatim && head.startsWith(utf8Mark());
    // The mark's own bytes are no text, nor part of what decides the encoding.
    return take(m_facts.marked ? head.sliced(utf8Mark().size()) : head);
}

bool TextStream::take(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return true;
    m_facts.hasCr = m_facts.hasCr || std::memchr(bytes.data(), '\r', size_t(bytes.size()));
    m_facts.hasLf = m_facts.hasLf || std::memchr(bytes.data(), '\n', size_t(bytes.size()));
    if (m_verbatim)
        return pass(bytes);
    m_utf8.feed(bytes);
    return classic(bytes);
}

// The classic line rules on a piece: a lone CR becomes CR LF, and a line end
// at the very end is held back until it is known whether more follows.
bool TextStream::classic(QByteArrayView p)
{
    qsizetype i = 0;
    if (m_held == 1) {
        if (p[0] == '\n') {
            m_held = 2;
            i = 1;
        } else {
            ++m_loneCrs;
            m_held = 0;
            if (!pass("\r\n"))
                return false;
        }
    }
    if (i == p.size())
        return true;
    if (m_held == 2) {
        m_held = 0;
        if (!pass("\r\n"))
            return false;
    }
    qsizetype end = p.size();
    if (end - i >= 2 && p[end - 2] == '\r' && p[end - 1] == '\n')
        m_held = 2;
    else if (p[end - 1] == '\r')
        m_held = 1;
    end -= m_held;

    // A CR at the end of what is left is followed by the held CR: lone too.
    const char *d = p.data();
    qsizetype from = i;
    for (const char *cr = static_cast<const char *>(std::memchr(d + i, '\r', size_t(end - i))); cr;
         cr = static_cast<const char *>(std::memchr(cr + 1, '\r', size_t(end - (cr + 1 - d))))) {
        const qsizetype at = cr - d;
        if (at + 1 < end && d[at + 1] == '\n')
            continue;
        ++m_loneCrs;
        if (!pass(p.sliced(from, at + 1 - from)) || !pass("\n"))
            return false;
        from = at + 1;
        if (from >= end)
            break;
    }
    return pass(p.sliced(from, end - from));
}
