#include "editor/extras.h"

#include "editor/charactermode.h"
#include "editor/filedrop.h"
#include "editor/frmdoc.h"
#include "editor/frmpreferences.h"
#include "editor/frmviewsettings.h"
#include "editor/printing.h"
#include "editor/viewers.h"
#include "editor/viewertable.h"
#include "platform/commands.h"
#include "platform/textcontrol.h"

namespace extras {

void attach(FrmDoc &window)
{
    FrmDoc *w = &window;
    for (int i = 0; i < viewers::Count; ++i)
        platform::wire(w, "mnuViewProgram", i, [w, i] { viewers::LaunchViewer(*w, i); });
    platform::wire(w, "mnuSetViewer", [] { ShowViewSettingsDialog(); });
    platform::wire(w, "mnuPreferences", [] { ShowPreferencesDialog(); });
    platform::wire(w, "mnuFilePrint", [w] { PrintDocument(*w); });
    charactermode::attach(window);
    // Handled after the drop has finished, so the question box never runs
    // inside the drag and drop of the file manager.
    QObject::connect(
        window.textControl(), &TextControl::filesDropped, w,
        [w](const QStringList &paths) { filedrop::FilesDropped(*w, paths); }, Qt::QueuedConnection);
}

void SetUpViewEntries(FrmDoc &window)
{
    viewers::SetUpViewEntries(window);
}

void LoadViewerSettings()
{
    viewers::LoadViewerSettings();
}

void ShowViewSettingsDialog()
{
    FrmViewSettings::showDialog();
}

void ShowNewDocumentFormatDialog()
{
    FrmPreferences::showDialog(FrmPreferences::Section::NewDocumentFormat);
}

void ShowPreferencesDialog()
{
    FrmPreferences::showDialog();
}

void PrintDocument(FrmDoc &window)
{
    printing::PrintDocument(window);
}

} // namespace extras
