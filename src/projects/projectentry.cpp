#include "projects/projectentry.h"

#include <QFileInfo>

namespace projects {

namespace {

// Paths typed on other systems use "\", ours use "/": either separates here.
qsizetype lastSeparator(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

bool fileExists(const QString &path)
{
    // A NUL would cut the name short at the system call and test another file.
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    return QFileInfo(path).isFile();
}

void ProjectEntry::setPath(const QString &path)
{
    if (fileExists(path))
        m_path = path;
}

QString ProjectEntry::title() const
{
    const qsizetype at = lastSeparator(m_path);
    return at < 0 ? m_path : m_path.mid(at + 1);
}

QString ProjectEntry::folder() const
{
    const qsizetype at = lastSeparator(m_path);
    return at < 0 ? QString() : m_path.left(at);
}

} // namespace projects
