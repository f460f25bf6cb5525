#include "projects/modprojectlist.h"

#include "platform/fileio.h"
#include "platform/prompts.h"
#include "projects/frmproject.h"
#include "projects/projectlist.h"

namespace projects {

ProjectList &projectList()
{
    static ProjectList list;
    return list;
}

int gFileCount()
{
    return projectList().count();
}

const ProjectEntry &gFiles(int index)
{
    return projectList().entry(index);
}

QString loadErrorText(const QString &description)
{
    return QStringLiteral("There was an error in loading your project: \r\n") + description;
}

QString saveErrorText(const QString &description)
{
    return QStringLiteral("There was an error in saving your project: \r\n") + description;
}

QString cannotStoreText(const QString &path)
{
    return QStringLiteral("The name of this file cannot be kept in a project: \r\n") + path;
}

QString listFullText()
{
    return QStringLiteral("A project can hold no more than %1 files.").arg(ProjectList::MaxEntries);
}

QString leftOutText(int count)
{
    return QStringLiteral("A project can hold no more than %1 files; %2 files of this project were left out.")
        .arg(ProjectList::MaxEntries)
        .arg(count);
}

void LoadProject(const QString &path)
{
    const ProjectList::LoadResult r = projectList().load(path);
    if (!r.read) {
        platform::message(loadErrorText(r.error.description));
        return;
    }
    FrmProject *w = FrmProject::load();
    w->setProjectName(path);
    w->setStatus(r.missingReport);
    RefreshProjectList();
    if (r.leftOut > 0)
        platform::message(leftOutText(r.leftOut));
}

void SaveProject(const QString &path)
{
    platform::FileError err;
    if (!projectList().save(path, &err)) {
        platform::message(saveErrorText(err.description));
        return;
    }
    FrmProject::load()->setProjectName(path);
}

void AddProjectFile(const QString &name)
{
    // Entries added from now on are absolute; those a project file already
    // holds are loaded as they stand.
    const QString path = platform::absolutePath(name);
    switch (projectList().add(path)) {
    case ProjectList::AddResult::Added:
        RefreshProjectList();
        break;
    case ProjectList::AddResult::NoSuchFile:
        break;
    case ProjectList::AddResult::CannotStore:
        platform::message(cannotStoreText(path));
        break;
    case ProjectList::AddResult::Full:
        platform::message(listFullText());
        break;
    }
}

void RemoveProjectFile(int index)
{
    if (projectList().remove(index))
        RefreshProjectList();
}

void RefreshProjectList()
{
    FrmProject::load()->showRows(projectList().rows());
}

} // namespace projects
