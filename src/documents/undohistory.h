#pragma once

#include "documents/textdelta.h"
#include "platform/textformat.h"

#include <QByteArray>

#include <deque>

class TextControl;

// The undo history of a slot: the snapshot (the newest recorded state) and up
// to three older states, newest first.
//
// States are not whole copies of the text: each is kept as a difference from
// the state after it, and the newest from the text the window saw at its last
// tick. An empty text is never a state: Undo cannot bring back emptiness, and
// recording it would hide the older states from the user. Each state keeps
// the format its text had, so undoing a conversion of line ends or encoding
// brings the format back with the bytes.
class UndoStates
{
public:
    static constexpr int Capacity = 4; // the snapshot and three history entries

    bool snapshotAvailable() const { return !m_chain.empty(); } // Undo is possible
    int depth() const { return int(m_chain.size()); }
    void clear() { m_chain.clear(); }
    qsizetype byteCost() const;

    // The text last seen moved from `before` to the current one, and `back`
    // turns the current one into `before` (normalized). Records `before` as
    // the snapshot unless it equals the snapshot already held or is empty;
    // either way the states stay anchored to the current text.
    void RecordSnapshot(TextDelta back, qsizetype beforeLength, qsizetype currentLength,
                        const TextFormat &beforeFormat = TextFormat::classic());

    // Turns the control's text (which must be the last seen text) into the
    // snapshot, in the snapshot's format, and steps the history back by one.
    // Returns the position of the first changed byte, or -1 when there was
    // nothing to take.
    qsizetype TakeUndo(TextControl &control);

    // The snapshot and history entries as texts, newest first (tests).
    QList<QByteArray> states(QByteArrayView lastSeen) const;

private:
    struct State
    {
        TextDelta back;    // from the newer state to this one
        TextFormat format; // this state's
    };
    void PushUndoHistory(State state);
    void PopUndoHistory();

    std::deque<State> m_chain; // [0] from the last seen text to the snapshot, [i] from state i-1 to state i
};

namespace undo {

// Empties the snapshot and the three history entries of the slot.
void ClearUndo(int slot);

} // namespace undo

// What one document window remembers for undo: the text it saw at its last
// tick, kept as the edits made since then.
class UndoTracker
{
public:
    // Follows every edit of the control.
    void attach(TextControl *control);
    // The window starts afresh: the current text is what it has seen.
    void reset();

    // The undo tick: when the text differs from what was seen at the last
    // tick, records the earlier text for the slot.
    void tick(int slot);
    // Edit > Undo: puts the slot's snapshot back into the control.
    void undo(int slot);

    // Something changed since the last tick: the text or its format.
    bool pending() const;
    qsizetype byteCost() const { return m_sinceTick.byteCost(); }

private:
    TextControl *m_control = nullptr;
    TextDelta m_sinceTick; // turns the current text into the last seen one
    quint64 m_seenChanges = 0;
    TextFormat m_seenFormat; // the last seen text's
};
