#include "editor/extras.h"

namespace extras {

void attach(FrmDoc &) {}

void SetUpViewEntries(FrmDoc &) {}

void LoadViewerSettings() {}

void ShowViewSettingsDialog() {}

} // namespace extras
