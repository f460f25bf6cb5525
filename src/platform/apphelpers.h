#pragma once

#include <QString>

#include <functional>

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
QString dataFolder();

// Whether the program may create and change files in the folder. An
// installed program's folder usually cannot be written.
bool folderWritable(const QString &folder);
// Tests put their own check in place (as root, permission bits stop
// nothing); an empty function brings the real check back.
void setFolderWritableCheck(std::function<bool(const QString &)> check);

// Where the program keeps its folder of that name (no "/" at the end): in
// the program folder when it can be written there, else in the user's data
// folder.
QString ownFolder(const QString &name);

// Makes sure the folder ownFolder(name) exists. Anything of that name that
// already exists is left untouched. Returns false when it is missing and
// could not be made.
bool EnsureFolder(const QString &name);

void CenterWindow(QWidget *window);

// The program's main frame (object name "mdiMain"), or null before it exists
// (a window shown on its own). Tool windows and dialogs belong to it, so they
// stay above it and close with it.
QWidget *frameWindow();

} // namespace platform
