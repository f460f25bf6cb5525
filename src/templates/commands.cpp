#include "templates/commands.h"

#include "documents/documentwindow.h"
#include "platform/apphelpers.h"
#include "templates/documenttaghost.h"
#include "templates/frmnew.h"
#include "templates/templatelibrary.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

namespace templates {

void attach(DocumentWindow &window)
{
    QWidget *context = window.widget();
    if (QAction *execute = window.action(QStringLiteral("mnuToolsExecute"))) {
        DocumentWindow *w = &window;
        QObject::connect(execute, &QAction::triggered, context, [w] { RunTagPass(*w); });
    }
    if (QAction *fromTemplate = window.action(QStringLiteral("mnuNewTemplate")))
        QObject::connect(fromTemplate, &QAction::triggered, context, [] { ShowTemplateDialog(); });
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
