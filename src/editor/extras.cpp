#include "editor/extras.h"

#include "editor/charactermode.h"
#include "editor/filedrop.h"
#include "editor/frmdoc.h"
#include "editor/frmpreferences.h"
#include "editor/frmviewsettings.h"
#include "editor/printing.h"
#include "editor/viewers.h"
#include "editor/viewertable.h"
#include "platform/textcontrol.h"

#include <QAction>

namespace extras {

void attach(FrmDoc &window)
{
    FrmDoc *w = &window;
    for (int i = 0; i < viewers::Count; ++i) {
        if (QAction *a = window.action(QStringLiteral("mnuViewProgram"), i))
            QObject::connect(a, &QAction::triggered, w, [w, i] { viewers::LaunchViewer(*w, i); });
    }
    if (QAction *a = window.action(QStringLiteral("mnuSetViewer")))
        QObject::connect(a, &QAction::triggered, w, [] { ShowViewSettingsDialog(); });
    if (QAction *a = window.action(QStringLiteral("mnuPreferences")))
        QObject::connect(a, &QAction::triggered, w, [] { ShowPreferencesDialog(); });
    if (QAction *a = window.action(QStringLiteral("mnuFilePrint")))
        QObject::connect(a, &QAction::triggered, w, [w] { PrintDocument(*w); });
    charactermode::attach(window);
    // Handled after the drop has finished, so the question box never runs
    // inside the drag and drop of the file manager.
    QObject::connect(window.textControl(), &TextControl::filesDropped, w,
                     [w](const QStringList &paths) { filedrop::FilesDropped(*w, paths); },
                     Qt::QueuedConnection);
}

void SetUpViewEntries(FrmDoc &window) { viewers::SetUpViewEntries(window); }

void LoadViewerSettings() { viewers::LoadViewerSettings(); }

void ShowViewSettingsDialog() { FrmViewSettings::showDialog(); }

void ShowNewDocumentFormatDialog()
{
    FrmPreferences::showDialog(FrmPreferences::Section::NewDocumentFormat);
}

void ShowPreferencesDialog()
{
    FrmPreferences::showDialog();
}

void PrintDocument(FrmDoc &window) { printing::PrintDocument(window); }

} // namespace extras
