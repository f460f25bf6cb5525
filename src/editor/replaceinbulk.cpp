#include "editor/replaceinbulk.h"

#include "platform/longtask.h"
#include "platform/textcontrol.h"

#include <QElapsedTimer>

#include <limits>
#include <vector>

namespace replaceinbulk {

namespace {

struct Hit
{
    qsizetype pos;    // in the text before any replacement
    qsizetype length; // bytes it covers there
};

// A piece of replacements is kept short, so the windows repaint in between;
// it is made in batches, each one write to the engine.
constexpr qint64 kPieceMs = 40;
constexpr size_t kPieceHits = std::numeric_limits<size_t>::max();
constexpr size_t kBatchHits = 4096;
size_t g_pieceHits = kPieceHits;

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
        std::vector<TextControl::Edit> edits;
        const size_t last = std::min(hits.size(), applied + g_pieceHits);
        while (applied < last && clock.elapsed() < kPieceMs) {
            const size_t end = std::min(last, applied + kBatchHits);
            edits.clear();
            // The old bytes are read before the batch changes anything.
            for (size_t i = applied; i < end; ++i)
                old.append(text.bytes(hits[i].pos + shift, hits[i].length));
            for (size_t i = applied; i < end; ++i) {
                edits.push_back({hits[i].pos + shift, hits[i].length, with});
                shift += with.size() - hits[i].length;
            }
            text.replaceSpans(edits);
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
        // Each replaced hit gets its old bytes back; left to right, the ones
        // before it are back already, so it sits where it first was.
        std::vector<TextControl::Edit> edits;
        edits.reserve(applied);
        qsizetype from = 0;
        for (size_t i = 0; i < applied; ++i) {
            edits.push_back({hits[i].pos, with.size(), QByteArrayView(old).sliced(from, hits[i].length)});
            from += hits[i].length;
        }
        text.replaceSpans(edits);
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
