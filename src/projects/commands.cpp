#include "projects/commands.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "projects/frmproject.h"
#include "projects/modprojectlist.h"

#include <QWidget>

namespace projects {

namespace {

// File > "&Add File To Project": the window stays as it is (loaded hidden
// when the list changes while it is not loaded).
void addDocumentToProject(int slot)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot))
        return;
    const QString path = reg.record(slot).Path;
    if (path.isEmpty()) {
        platform::message(QStringLiteral("You must save this file first"));
        return;
    }
    AddProjectFile(path);
}

} // namespace

void attach(DocumentWindow &window)
{
    DocumentWindow *w = &window;
    platform::wire(window.widget(), "mnuFileAddtoProject", [w] { addDocumentToProject(w->slot()); });
    platform::wire(window.widget(), "mnuToolsProjectList", [] { FrmProject::showWindow(); });
}

void ShowProjectWindow()
{
    FrmProject::showWindow();
}

} // namespace projects
