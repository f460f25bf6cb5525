#pragma once

#include <QString>

class QWidget;

// Small helpers every window uses: the program folder, making sure a folder
// exists beside the program, and centring a window on the screen.
namespace platform {

// The folder of the program's executable (links resolved), ending in "/".
QString AppFolder();
// Tests and the installed layout may point the program folder elsewhere.
void setAppFolderOverride(const QString &folder);

// The user's own data folder for this program ($XDG_DATA_HOME/quillpad),
// ending in "/". Not created here.
QString DataFolder();

// Creates the folder in the program folder when nothing of that name exists.
// Returns false when it is missing and could not be made.
bool EnsureFolder(const QString &name);

void CenterWindow(QWidget *window);

} // namespace platform
