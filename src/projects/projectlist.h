#pragma once

#include "platform/fileio.h"
#include "projects/projectentry.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace projects {

// What one row of the project window shows for an entry.
struct ProjectRow
{
    QString title;   // "FileTitle"
    QString folder;  // "FilePath"
    QString created; // "Date Created"
};

// The list of file entries of a project, in the order they were added (on a
// load: the order of the file). The same path may stand more than once.
// Entries are counted from 0 to count() - 1.
class ProjectList
{
public:
    // The count is a 16-bit number in the design of the list.
    static constexpr int MaxEntries = 32767;

    int count() const { return int(m_files.size()); }
    bool isValidIndex(int index) const { return index >= 0 && index < count(); }
    const ProjectEntry &entry(int index) const { return m_files[size_t(index)]; }
    QStringList paths() const;

    enum class AddResult {
        Added,
        NoSuchFile,  // nothing (or a folder) at the path: ignored
        CannotStore, // the project file could not keep the name as it is
        Full,        // MaxEntries reached
    };
    AddResult add(const QString &path);
    // Later entries move up one place. False when there is no such entry.
    bool remove(int index);
    void clear() { m_files.clear(); }

    struct LoadResult
    {
        bool read = false;         // false: the file could not be read; the list is as it was
        platform::FileError error; // why, when not read
        QString missingReport;     // one line per listed file that is not there
        int leftOut = 0;           // files left out because the list was full
    };
    // Replaces the list with the entries of a project file whose files exist.
    LoadResult load(const QString &projectPath);
    // Writes the list through a temporary file; the old file stays on failure.
    bool save(const QString &projectPath, platform::FileError *err) const;

    QList<ProjectRow> rows(const QLocale &locale = QLocale()) const;

private:
    std::vector<ProjectEntry> m_files;
};

// How the missing-file report names one file.
QString missingLine(const QString &path);

} // namespace projects
