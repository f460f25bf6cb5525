#include "documents/documentregistry.h"

#include "documents/documentwindow.h"

DocumentRegistry &DocumentRegistry::instance()
{
    static DocumentRegistry registry;
    return registry;
}

DocumentRecord &DocumentRegistry::record(int slot)
{
    Q_ASSERT(isValidSlot(slot));
    return m_slots[size_t(slot - 1)]->record;
}

DocumentWindow *DocumentRegistry::window(int slot) const
{
    return isValidSlot(slot) ? m_slots[size_t(slot - 1)]->window : nullptr;
}

quint32 DocumentRegistry::generation(int slot) const
{
    return isValidSlot(slot) ? m_slots[size_t(slot - 1)]->generation : 0;
}

int DocumentRegistry::findFreeSlot() const
{
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (!m_slots[i]->record.InUse)
            return int(i + 1);
    return 0;
}

int DocumentRegistry::takeSlot()
{
    int slot = findFreeSlot();
    if (slot == 0) {
        if (docCount() >= MaxSlots)
            return 0;
        m_slots.push_back(std::make_unique<Slot>());
        slot = docCount();
    }
    Slot &s = *m_slots[size_t(slot - 1)];
    ++s.generation;
    if (!s.window) {
        if (!m_factory)
            return 0;
        s.window = m_factory(slot);
        if (!s.window)
            return 0;
    } else {
        s.window->resetForNewDocument();
    }
    s.window->setSlot(slot);
    s.record.InUse = true;
    return slot;
}

void DocumentRegistry::windowDestroyed(int slot)
{
    if (isValidSlot(slot))
        m_slots[size_t(slot - 1)]->window = nullptr;
}

std::vector<int> DocumentRegistry::slotsWithWindows() const
{
    std::vector<int> out;
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i]->window)
            out.push_back(int(i + 1));
    return out;
}

void DocumentRegistry::reset()
{
    m_slots.clear();
}
