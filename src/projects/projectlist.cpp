#include "projects/projectlist.h"

#include "projects/createddate.h"
#include "projects/projectfile.h"

namespace projects {

QString missingLine(const QString &path)
{
    return path + QStringLiteral(" Couldn't be found. \r\n");
}

QStringList ProjectList::paths() const
{
    QStringList out;
    out.reserve(count());
    for (const ProjectEntry &f : m_files)
        out << f.path();
    return out;
}

ProjectList::AddResult ProjectList::add(const QString &path)
{
    if (!fileExists(path))
        return AddResult::NoSuchFile;
    if (!canStorePath(path))
        return AddResult::CannotStore;
    if (count() >= MaxEntries)
        return AddResult::Full;
    ProjectEntry entry;
    entry.setPath(path);
    entry.setActive(true);
    m_files.push_back(std::move(entry));
    return AddResult::Added;
}

bool ProjectList::remove(int index)
{
    if (!isValidIndex(index))
        return false;
    m_files.erase(m_files.begin() + index);
    return true;
}

ProjectList::LoadResult ProjectList::load(const QString &projectPath)
{
    LoadResult result;
    QByteArray bytes;
    if (!platform::readWholeFile(projectPath, &bytes, &result.error))
        return result;
    result.read = true;
    const QStringList listed = readProjectPaths(bytes);
    bytes = QByteArray();

    clear();
    for (const QString &p : listed) {
        switch (add(p)) {
        case AddResult::Added:
            break;
        case AddResult::NoSuchFile:
            result.missingReport += missingLine(p);
            break;
        case AddResult::Full:
            ++result.leftOut;
            break;
        case AddResult::CannotStore:
            break; // every name read from a project file can be written back
        }
    }
    return result;
}

bool ProjectList::save(const QString &projectPath, platform::FileError *err) const
{
    platform::FileWriter writer;
    const QByteArray bytes = projectFileBytes(paths());
    if (writer.open(projectPath, err) && writer.write(bytes, err) && writer.commit(err))
        return true;
    writer.cancel();
    return false;
}

QList<ProjectRow> ProjectList::rows(const QLocale &locale) const
{
    QList<ProjectRow> out;
    out.reserve(count());
    for (const ProjectEntry &f : m_files) {
        if (!f.isActive())
            continue;
        out << ProjectRow{f.title(), f.folder(), dateCreated(f.path(), locale)};
    }
    return out;
}

} // namespace projects
