#pragma once

// The undo history of a slot: snapshots of the whole text taken once a second.
namespace undo {

// Empties the snapshot and the three history entries of the slot.
void ClearUndo(int slot);

} // namespace undo
