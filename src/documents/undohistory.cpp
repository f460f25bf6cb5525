#include "documents/undohistory.h"

#include "documents/documentregistry.h"

namespace undo {

void ClearUndo(int slot)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot))
        return;
    DocumentRecord &rec = reg.record(slot);
    rec.UndoSnapshot.clear();
    for (QByteArray &h : rec.UndoHistory)
        h.clear();
}

} // namespace undo
