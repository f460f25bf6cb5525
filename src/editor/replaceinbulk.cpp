#include "editor/replaceinbulk.h"

#include "platform/longtask.h"
#include "platform/textcontrol.h"

#include <QElapsedTimer>

#include <vector>

namespace replaceinbulk {

namespace {

struct Hit
{
    qsizetype pos;    // in the text before any replacement
    qsizetype length; // bytes it covers there
};

// A piece of replacements is kept short, so the windows repaint in between.
// It is made in groups of nearby hits, each group one write to the engine,
// which costs far less than a write per hit.
constexpr qint64 kPieceMs = 40;
constexpr size_t kPieceHits = size_t(1) << 30; // in practice, the time decides
constexpr size_t kGroupHits = 65536;
constexpr qsizetype kGroupBytes = qsizetype(1) << 20;
size_t g_pieceHits = kPieceHits;

// Where a group of hits ends: as many as fit in kGroupBytes of text, at least one.
size_t groupEnd(const std::vector<Hit> &hits, size_t from, size_t last)
{
    size_t end = from + 1;
    const qsizetype start = hits[from].pos;
    while (end < last && end - from < kGroupHits && hits[end].pos + hits[end].length - start <= kGroupBytes)
        ++end;
    return end;
}

// Replaces spans of the text in one write; their positions are in the text
// as it is before any of them.
void replaceGroup(TextControl &text, const std::vector<TextControl::Edit> &spans)
{
    const qsizetype start = spans.front().pos;
    const qsizetype end = spans.back().pos + spans.back().length;
    const QByteArrayView now = text.bytes(start, end - start);
    QByteArray fresh;
    qsizetype at = start;
    for (const TextControl::Edit &e : spans) {
        fresh.append(now.sliced(at - start, e.pos - at));
        fresh.append(e.with);
        at = e.pos + e.length;
    }
    text.replaceSpans({{start, end - start, fresh}});
}

} // namespace

Result replaceAll(TextControl &text, QByteArrayView needle, QByteArrayView with,
                  const findengine::Options &options, const QString &what)
{
    Result result;
    const qsizetype caret = text.selStart();
    const qsizetype size = text.length();
    const QByteArrayView bytes = text.bytes(); // unchanged until the first replacement
    std::vector<Hit> hits;
    QByteArray old; // what the replaced hits held, one after another
    size_t applied = 0;
    qsizetype shift = 0; // how far the text after the replaced hits has moved

    // On the window's thread: the next piece of hits.
    const auto applyPiece = [&] {
        QElapsedTimer clock;
        clock.start();
        std::vector<TextControl::Edit> spans;
        const size_t last = applied + std::min(hits.size() - applied, g_pieceHits);
        while (applied < last && clock.elapsed() < kPieceMs) {
            const size_t end = groupEnd(hits, applied, last);
            spans.clear();
            for (size_t i = applied; i < end; ++i) {
                old.append(text.bytes(hits[i].pos + shift, hits[i].length));
                spans.push_back({hits[i].pos + shift, hits[i].length, with});
            }
            replaceGroup(text, spans);
            for (size_t i = applied; i < end; ++i)
                shift += with.size() - hits[i].length;
            applied = end;
        }
    };

    const TextControl::Batch oneChange(&text);
    result.cancelled =
        !platform::runLongTask(QStringLiteral("Replacing"), what, [&](platform::LongTask &task) {
            // Finding is the first half of the bar, replacing the second.
            task.total.store(2 * qMax<qsizetype>(1, size));
            const bool found = findengine::forEachMatch(
                bytes, needle, options,
                [&hits](qsizetype pos, qsizetype length) {
                    hits.push_back({pos, length});
                },
                [&task](qsizetype scanned) {
                    task.done.store(scanned);
                    return !task.stop.load();
                });
            if (!found)
                return;
            while (applied < hits.size()) {
                if (!task.onWindowThread(applyPiece))
                    return;
                task.done.store(size + (applied < hits.size() ? hits[applied].pos : size));
            }
        });

    if (result.cancelled) {
        // Each replaced hit gets its old bytes back, a group at a time; left
        // to right, the groups before are back already, so a group's first
        // hit sits where it first was.
        std::vector<TextControl::Edit> spans;
        qsizetype from = 0;
        for (size_t i = 0; i < applied;) {
            const size_t end = groupEnd(hits, i, applied);
            spans.clear();
            qsizetype moved = 0;
            for (; i < end; ++i) {
                spans.push_back(
                    {hits[i].pos + moved, with.size(), QByteArrayView(old).sliced(from, hits[i].length)});
                from += hits[i].length;
                moved += with.size() - hits[i].length;
            }
            replaceGroup(text, spans);
        }
        text.dropBatchChange();
        return result;
    }

    result.count = qsizetype(hits.size());
    // As for a smaller text: a caret inside a match goes to the start of its
    // replacement, one after it moves with the text.
    qsizetype moved = 0;
    result.caret = -1;
    for (const Hit &h : hits) {
        if (h.pos + h.length > caret) {
            result.caret = qMin(caret, h.pos) + moved;
            break;
        }
        moved += with.size() - h.length;
    }
    if (result.caret < 0)
        result.caret = caret + moved;
    return result;
}

void setPieceHits(size_t hits)
{
    g_pieceHits = hits > 0 ? hits : kPieceHits;
}

} // namespace replaceinbulk
