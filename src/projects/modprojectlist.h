#pragma once

#include "projects/projectentry.h"
#include "projects/projectfile.h"

#include <QString>

// The program's one project list and the operations of the project window on
// it. Each operation shows its result in the project window, loading the
// window hidden when it is not loaded.
namespace projects {

class ProjectList;

ProjectList &projectList();
int gFileCount();
const ProjectEntry &gFiles(int index); // 0 to gFileCount() - 1

// Replaces the list with the files named in a project file; missing files are
// reported in the status label. A file that cannot be read changes nothing.
void LoadProject(const QString &path);
// Writes the list; the name box shows the path only when that succeeded.
void SaveProject(const QString &path);
// Appends an entry, made absolute, when a file exists at path.
void AddProjectFile(const QString &path);
void RemoveProjectFile(int index);
// Rebuilds the rows of the window's list view.
void RefreshProjectList();

// The texts of the messages these operations show.
QString loadErrorText(const QString &description);
QString saveErrorText(const QString &description);
QString cannotStoreText(const QString &path);
QString listFullText();
QString leftOutText(int count);

} // namespace projects
