#include "tools/grabtarget.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "platform/textcontrol.h"

namespace tools {

GrabTarget GrabTarget::of(const DocumentWindow &window)
{
    const int slot = window.slot();
    return GrabTarget{slot, DocumentRegistry::instance().generation(slot)};
}

TextControl *GrabTarget::control() const
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot) || reg.generation(slot) != generation || !reg.record(slot).InUse)
        return nullptr;
    DocumentWindow *w = reg.window(slot);
    return w ? w->textControl() : nullptr;
}

bool GrabTarget::write(const QString &text) const
{
    TextControl *c = control();
    if (!c)
        return false;
    c->replaceSelection(text);
    return true;
}

} // namespace tools
