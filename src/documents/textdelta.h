#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

class TextControl;

// How to turn one text (the newer) back into another (the older): a few
// regions of the newer text, each with the bytes the older text had there.
// Undo keeps its states as chains of these instead of whole copies.
class TextDelta
{
public:
    struct Region
    {
        qsizetype start = 0;  // in the newer text
        qsizetype newLen = 0; // bytes of the newer text the region spans
        QByteArray old;       // what the older text held in their place
    };

    bool isEmpty() const { return m_regions.empty(); }
    void clear() { m_regions.clear(); }
    const std::vector<Region> &regions() const { return m_regions; }
    qsizetype byteCost() const;

    // Follows one edit of the newer text, keeping the older text fixed.
    // Positions are those before the edit.
    void recordInsert(qsizetype pos, qsizetype length);
    void recordDelete(qsizetype pos, QByteArrayView removed);

    // Drops what the edits undid themselves: regions whose bytes are back as
    // they were, and unchanged bytes at either end of a region. After this an
    // empty delta means the two texts are equal.
    void normalize(QByteArrayView newer);
    // The same, reading only the bytes of the newer text that the regions span.
    using Reader = std::function<QByteArrayView(qsizetype start, qsizetype length)>;
    void normalize(const Reader &newer);

    // Length of the older text, given the newer one's.
    qsizetype olderLength(qsizetype newerLength) const;

    // The older text.
    QByteArray applyTo(QByteArrayView newer) const;
    // Turns the control's text into the older text in place; returns the
    // position of the first changed byte (or -1).
    qsizetype applyTo(TextControl &control) const;

    // A delta that replaces the whole newer text by `older`.
    static TextDelta wholeText(qsizetype newerLength, QByteArray older);

private:
    // The first region that ends at or after pos.
    std::vector<Region>::iterator firstReaching(qsizetype pos);

    std::vector<Region> m_regions; // sorted by start, neither overlapping nor touching
};
