#include "documents/textdelta.h"

#include "platform/textcontrol.h"

#include <algorithm>

qsizetype TextDelta::byteCost() const
{
    qsizetype n = 0;
    for (const Region &r : m_regions)
        n += r.old.size() + qsizetype(sizeof(Region));
    return n;
}

// Regions are sorted and apart, so a search finds the place: edits made left
// to right over a huge text (Replace All) stay cheap however many there are.
std::vector<TextDelta::Region>::iterator TextDelta::firstReaching(qsizetype pos)
{
    return std::partition_point(m_regions.begin(), m_regions.end(),
                                [pos](const Region &r) { return r.start + r.newLen < pos; });
}

void TextDelta::recordInsert(qsizetype pos, qsizetype length)
{
    if (length <= 0)
        return;
    auto it = firstReaching(pos);
    if (it != m_regions.end() && it->start <= pos) {
        it->newLen += length;
        ++it;
    } else {
        it = m_regions.insert(it, Region{pos, length, QByteArray()});
        ++it;
    }
    for (; it != m_regions.end(); ++it)
        it->start += length;
}

void TextDelta::recordDelete(qsizetype pos, QByteArrayView removed)
{
    const qsizetype d = removed.size();
    if (d <= 0)
        return;
    const qsizetype end = pos + d;
    // Regions that overlap or touch [pos, end) merge with it.
    auto first = firstReaching(pos);
    auto last = first;
    while (last != m_regions.end() && last->start <= end)
        ++last;

    const qsizetype s = first != last ? std::min(pos, first->start) : pos;
    const qsizetype e = first != last ? std::max(end, (last - 1)->start + (last - 1)->newLen) : end;

    // Walk [s, e): region spans give their old bytes, the rest is the removed text.
    QByteArray old;
    qsizetype at = s;
    for (auto it = first; it != last; ++it) {
        if (it->start > at)
            old += removed.sliced(at - pos, it->start - at);
        old += it->old;
        at = it->start + it->newLen;
    }
    if (at < e)
        old += removed.sliced(at - pos, e - at);

    Region merged{s, (e - s) - d, std::move(old)};
    auto it = m_regions.erase(first, last);
    it = m_regions.insert(it, std::move(merged));
    for (++it; it != m_regions.end(); ++it)
        it->start -= d;
}

void TextDelta::normalize(QByteArrayView newer)
{
    normalize([newer](qsizetype start, qsizetype length) { return newer.sliced(start, length); });
}

void TextDelta::normalize(const Reader &newer)
{
    std::vector<Region> kept;
    kept.reserve(m_regions.size());
    for (Region &r : m_regions) {
        const QByteArrayView now = newer(r.start, r.newLen);
        qsizetype pre = 0;
        const qsizetype maxPre = std::min(now.size(), r.old.size());
        while (pre < maxPre && now[pre] == r.old[pre])
            ++pre;
        qsizetype suf = 0;
        const qsizetype maxSuf = std::min(now.size(), r.old.size()) - pre;
        while (suf < maxSuf && now[now.size() - 1 - suf] == r.old[r.old.size() - 1 - suf])
            ++suf;
        if (pre + suf == now.size() && pre + suf == r.old.size())
            continue; // the same bytes again
        r.start += pre;
        r.newLen -= pre + suf;
        r.old = r.old.sliced(pre, r.old.size() - pre - suf);
        kept.push_back(std::move(r));
    }
    m_regions = std::move(kept);
}

qsizetype TextDelta::olderLength(qsizetype newerLength) const
{
    qsizetype n = newerLength;
    for (const Region &r : m_regions)
        n += r.old.size() - r.newLen;
    return n;
}

QByteArray TextDelta::applyTo(QByteArrayView newer) const
{
    QByteArray out;
    out.reserve(olderLength(newer.size()));
    qsizetype at = 0;
    for (const Region &r : m_regions) {
        out += newer.sliced(at, r.start - at);
        out += r.old;
        at = r.start + r.newLen;
    }
    out += newer.sliced(at);
    return out;
}

qsizetype TextDelta::applyTo(TextControl &control) const
{
    // From the back, so earlier positions stay valid.
    for (auto it = m_regions.rbegin(); it != m_regions.rend(); ++it)
        control.replaceRange(it->start, it->newLen, it->old);
    return m_regions.empty() ? -1 : m_regions.front().start;
}

TextDelta TextDelta::wholeText(qsizetype newerLength, QByteArray older)
{
    TextDelta d;
    d.m_regions.push_back(Region{0, newerLength, std::move(older)});
    return d;
}
