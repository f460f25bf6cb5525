#include "templates/commands.h"

#include "documents/documentwindow.h"
#include "platform/apphelpers.h"
#include "platform/commands.h"
#include "templates/documenttaghost.h"
#include "templates/frmnew.h"
#include "templates/templatelibrary.h"

#include <QPointer>
#include <QWidget>

namespace templates {

void attach(DocumentWindow &window)
{
    DocumentWindow *w = &window;
    platform::wire(window.widget(), "mnuToolsExecute", [w] { RunTagPass(*w); });
    platform::wire(window.widget(), "mnuNewTemplate", [] { ShowTemplateDialog(); });
}

void ShowTemplateDialog()
{
    if (FrmNew *open = FrmNew::instance(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    QPointer<FrmNew> dialog = new FrmNew(platform::frameWindow());
    dialog->load();
    if (!dialog)
        return;
    platform::CenterWindow(dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void NewDocumentFromTemplate(const QString &path)
{
    if (!CreateFromTemplate(path))
        return;
    if (FrmNew *dialog = FrmNew::instance())
        dialog->close();
}

} // namespace templates
