#pragma once

#include <QString>

namespace projects {

// True when a regular file (not a folder) of that name is present; links are
// followed.
bool fileExists(const QString &path);

// One entry of the project list: a file's full path and whether the entry has
// been filled.
class cFiles
{
public:
    void IsActive(bool blnActivity) { m_active = blnActivity; }
    bool IsActive() const { return m_active; }

    // Keeps the path only when a file exists there; otherwise the old path stays.
    void FileName(const QString &strFile);
    QString FileName() const { return m_path; }

    // The path after its last "/" or "\" (the whole path when it has neither),
    // and the part before it ("" when it has neither).
    QString FileTitle() const;
    QString FileDirectory() const;

private:
    bool m_active = false;
    QString m_path;
};

} // namespace projects
