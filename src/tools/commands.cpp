#include "tools/commands.h"

#include "documents/documentwindow.h"
#include "tools/frmfindinfiles.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"
#include "tools/frmurlsnip.h"

#include "platform/commands.h"
#include "platform/prompts.h"

namespace tools {

void attach(DocumentWindow &window)
{
    QWidget *w = window.widget();
    DocumentWindow *doc = &window;
    // The window is asked for its slot when the entry is chosen, not now:
    // the window may be taken again for another document later.
    platform::wire(w, "mnuToolsSnip", [doc] { FrmSnip::showFor(*doc); });
    platform::wire(w, "mnuToolsUrlSnip", [doc] { FrmUrlSnip::showFor(*doc); });
    platform::wire(w, "mnuToolsQuickSearch", [] { ShowQuickScan(); });
    platform::wire(w, "mnuFindInFiles", [doc] { FrmFindInFiles::showFor(doc); });
    const auto step = [](int direction) {
        if (FrmFindInFiles *w = FrmFindInFiles::instance())
            w->step(direction);
        else
            platform::beep();
    };
    platform::wire(w, "mnuEditNextResult", [step] { step(1); });
    platform::wire(w, "mnuEditPreviousResult", [step] { step(-1); });
}

void ShowQuickScan()
{
    FrmQuick::showQuick();
}

void ShowFindInFiles()
{
    FrmFindInFiles::showFor(nullptr);
}

} // namespace tools
