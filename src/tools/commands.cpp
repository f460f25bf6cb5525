#include "tools/commands.h"

#include "documents/documentwindow.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"
#include "tools/frmurlsnip.h"

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
}

void ShowQuickScan() { FrmQuick::showQuick(); }

} // namespace tools
