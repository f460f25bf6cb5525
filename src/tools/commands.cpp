#include "tools/commands.h"

#include "documents/documentwindow.h"
#include "tools/frmfindinfiles.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"
#include "tools/frmurlsnip.h"

#include "platform/prompts.h"

#include <QAction>
#include <QWidget>

namespace tools {

void attach(DocumentWindow &window)
{
    QWidget *context = window.widget();
    DocumentWindow *doc = &window;
    auto on = [&](const char *name, auto fn) {
        if (QAction *a = window.action(QString::fromLatin1(name)))
            QObject::connect(a, &QAction::triggered, context, fn);
    };
    // The window is asked for its slot when the entry is chosen, not now:
    // the window may be taken again for another document later.
    on("mnuToolsSnip", [doc] { FrmSnip::showFor(*doc); });
    on("mnuToolsUrlSnip", [doc] { FrmUrlSnip::showFor(*doc); });
    on("mnuToolsQuickSearch", [] { ShowQuickScan(); });
    on("mnuFindInFiles", [doc] { FrmFindInFiles::showFor(doc); });
    const auto step = [](int direction) {
        if (FrmFindInFiles *w = FrmFindInFiles::instance())
            w->step(direction);
        else
            platform::beep();
    };
    on("mnuEditNextResult", [step] { step(1); });
    on("mnuEditPreviousResult", [step] { step(-1); });
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
