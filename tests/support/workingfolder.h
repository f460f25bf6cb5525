#pragma once

#include <QDir>
#include <QString>

// Runs the rest of a scope from another working folder (made when missing),
// as the program does when started from there, and goes back after.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &folder) : m_old(QDir::currentPath())
    {
        QDir().mkpath(folder);
        m_ok = QDir::setCurrent(folder);
    }
    ~WorkingFolder() { QDir::setCurrent(m_old); }
    Q_DISABLE_COPY(WorkingFolder)

    bool ok() const { return m_ok; }
    // A name in the folder as the system reports it, links in it resolved.
    static QString here(const QString &name) { return QDir::currentPath() + QLatin1Char('/') + name; }

private:
    QString m_old;
    bool m_ok = false;
};
