#pragma once

#include <QString>

namespace projects {

// True when a regular file (not a folder) of that name is present; links are
// followed.
bool fileExists(const QString &path);

// One entry of the project list: a file's full path and whether the entry has
// been filled.
class ProjectEntry
{
public:
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

    QString path() const { return m_path; }
    // Keeps the path only when a file exists there; otherwise the old path stays.
    void setPath(const QString &path);

    // The path after its last "/" or "\" (the whole path when it has neither),
    // and the part before it ("" when it has neither).
    QString title() const;
    QString folder() const;

private:
    bool m_active = false;
    QString m_path;
};

} // namespace projects
