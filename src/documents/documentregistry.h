#pragma once

#include "documents/documentrecord.h"

#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class DocumentWindow;

// The numbered slots of the open documents. Slot numbers start at 1; a slot,
// once created, is never removed; closing a document only frees it, and the
// next document takes the lowest free slot.
//
// Records live in stable storage, but callers still look a record up again
// after anything that may create windows, as every handler does.
class DocumentRegistry
{
public:
    static constexpr int MaxSlots = 32767; // slot numbers are 16-bit

    static DocumentRegistry &instance();

    int docCount() const { return int(m_slots.size()); }
    bool isValidSlot(int slot) const { return slot >= 1 && slot <= docCount(); }
    DocumentRecord &record(int slot);
    DocumentWindow *window(int slot) const;
    // Counts how often the slot was handed out, so a tool can tell whether the
    // document it was opened for is still the one in the slot.
    quint32 generation(int slot) const;

    // The lowest free slot, or 0 when every slot is in use.
    int findFreeSlot() const;

    // Makes windows for new slots, and afresh for a slot whose window was destroyed.
    using WindowFactory = std::function<DocumentWindow *(int slot)>;
    void setWindowFactory(WindowFactory f) { m_factory = std::move(f); }

    // Takes a slot (the lowest free one, or a new one) with its window and
    // marks it in use. Returns 0 when no slot can be had.
    int takeSlot();
    // The window of a slot was destroyed; the slot gets a new one when taken again.
    void windowDestroyed(int slot);

    // Every slot that currently has a window, in slot order.
    std::vector<int> slotsWithWindows() const;

    void reset(); // forgets every slot (tests)

private:
    struct Slot
    {
        DocumentRecord record;
        DocumentWindow *window = nullptr;
        quint32 generation = 0;
    };
    std::vector<std::unique_ptr<Slot>> m_slots;
    WindowFactory m_factory;
};
