#include "editor/sourcecommands.h"

#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "editor/gotoline.h"
#include "editor/sourceview.h"
#include "platform/commands.h"

namespace sourcecommands {

void attach(FrmDoc &window)
{
    FrmDoc *w = &window;
    platform::wire(w, "mnuEditFind", [w] { w->findBar()->showFind(); });
    platform::wire(w, "mnuEditFindNext", [w] { w->findBar()->findNext(); });
    platform::wire(w, "mnuEditReplace", [w] { w->findBar()->showReplace(); });
    platform::wire(w, "mnuEditGoToLine", [w] { gotoline::GoToLine(*w->textControl()); });
    platform::wireChecked(w, "mnuViewWordWrap", [w](bool checked) { w->sourceView()->setWordWrap(checked); });
}

} // namespace sourcecommands
