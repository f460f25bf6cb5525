#include "documents/undohistory.h"

#include "documents/documentregistry.h"
#include "platform/textcontrol.h"

qsizetype UndoStates::byteCost() const
{
    qsizetype n = 0;
    for (const State &st : m_chain)
        n += st.back.byteCost();
    return n;
}

void UndoStates::RecordSnapshot(TextDelta back, qsizetype beforeLength, qsizetype currentLength,
                                const TextFormat &beforeFormat)
{
    if (beforeLength == 0) {
        // The empty text is never recorded; what was held stays reachable by
        // anchoring it to the current text: current -> "" -> snapshot.
        if (m_chain.empty())
            return;
        const QByteArray snapshot = m_chain.front().back.applyTo(QByteArrayView());
        m_chain.front().back = TextDelta::wholeText(currentLength, snapshot);
        return;
    }
    if (!m_chain.empty() && m_chain.front().back.isEmpty() && m_chain.front().format == beforeFormat) {
        // The text before the change is the snapshot itself: nothing new.
        m_chain.front().back = std::move(back);
        return;
    }
    PushUndoHistory(State{std::move(back), beforeFormat});
}

void UndoStates::PushUndoHistory(State state)
{
    m_chain.push_front(std::move(state));
    while (int(m_chain.size()) > Capacity)
        m_chain.pop_back();
}

void UndoStates::PopUndoHistory()
{
    m_chain.pop_front();
}

qsizetype UndoStates::TakeUndo(TextControl &control)
{
    if (m_chain.empty())
        return -1;
    const qsizetype at = m_chain.front().back.applyTo(control);
    control.setFormat(m_chain.front().format);
    PopUndoHistory();
    return at;
}

QList<QByteArray> UndoStates::states(QByteArrayView lastSeen) const
{
    QList<QByteArray> out;
    QByteArray text = lastSeen.toByteArray();
    for (const State &st : m_chain) {
        text = st.back.applyTo(text);
        out << text;
    }
    return out;
}

namespace undo {

void ClearUndo(int slot)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.isValidSlot(slot))
        reg.record(slot).Undo.clear();
}

} // namespace undo

void UndoTracker::attach(TextControl *control)
{
    m_control = control;
    control->setEditObserver([this](qsizetype pos, QByteArrayView removed, qsizetype inserted) {
        if (!removed.isEmpty())
            m_sinceTick.recordDelete(pos, removed);
        if (inserted > 0)
            m_sinceTick.recordInsert(pos, inserted);
    });
    reset();
}

void UndoTracker::reset()
{
    m_sinceTick.clear();
    m_seenChanges = m_control ? m_control->changeCount() : 0;
    m_seenFormat = m_control ? m_control->format() : TextFormat::classic();
}

bool UndoTracker::pending() const
{
    return m_control && (m_control->changeCount() != m_seenChanges || m_control->format() != m_seenFormat);
}

void UndoTracker::tick(int slot)
{
    // Nothing typed or written since the last tick: the text cannot differ.
    // Writes still going on are one change, recorded when they end.
    if (!pending() || m_control->inBatch())
        return;
    // Only the edited places are read: a whole-text read would gather the
    // engine's buffer at the end of the text, and the next keystroke would
    // move it all back.
    const TextControl *control = m_control;
    m_sinceTick.normalize(
        [control](qsizetype start, qsizetype length) { return control->bytes(start, length); });
    const qsizetype nowLength = m_control->length();
    TextDelta back = std::move(m_sinceTick);
    m_sinceTick = TextDelta();
    m_seenChanges = m_control->changeCount();
    const TextFormat beforeFormat = m_seenFormat;
    m_seenFormat = m_control->format();
    if (back.isEmpty())
        return; // changed and changed back within the tick
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot))
        return;
    const qsizetype beforeLength = back.olderLength(nowLength);
    reg.record(slot).Undo.RecordSnapshot(std::move(back), beforeLength, nowLength, beforeFormat);
}

void UndoTracker::undo(int slot)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!m_control || !reg.isValidSlot(slot) || !reg.record(slot).Undo.snapshotAvailable())
        return;
    // Back to the last seen text first, then to the snapshot.
    m_sinceTick.applyTo(*m_control);
    const qsizetype at = reg.record(slot).Undo.TakeUndo(*m_control);
    reset();
    if (at >= 0) {
        m_control->setSelStart(at);
    }
}
