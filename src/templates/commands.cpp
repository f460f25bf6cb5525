#include "templates/commands.h"

#include "documents/documentwindow.h"
#include "platform/apphelpers.h"
#include "platform/commands.h"
#include "templates/documenttaghost.h"
#include "templates/frmnew.h"
#include "templates/templatelibrary.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace templates {

namespace {

// The dialog belongs to the main frame, so it stays above it and goes with it.
QWidget *frameWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("mdiMain"))
            return w;
    return QApplication::activeWindow();
}

} // namespace

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
    QPointer<FrmNew> dialog = new FrmNew(frameWindow());
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
