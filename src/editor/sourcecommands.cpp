#include "editor/sourcecommands.h"

#include "editor/findbar.h"
#include "editor/frmdoc.h"
#include "editor/gotoline.h"
#include "editor/sourceview.h"

#include <QAction>

namespace sourcecommands {

void attach(FrmDoc &window)
{
    FrmDoc *w = &window;
    auto on = [w](const char *name, auto fn) {
        if (QAction *a = w->action(QString::fromLatin1(name)))
            QObject::connect(a, &QAction::triggered, w, fn);
    };
    on("mnuEditFind", [w] { w->findBar()->showFind(); });
    on("mnuEditFindNext", [w] { w->findBar()->findNext(); });
    on("mnuEditReplace", [w] { w->findBar()->showReplace(); });
    on("mnuEditGoToLine", [w] { gotoline::GoToLine(*w->textControl()); });
    on("mnuViewWordWrap", [w](bool checked) { w->sourceView()->setWordWrap(checked); });
}

} // namespace sourcecommands
