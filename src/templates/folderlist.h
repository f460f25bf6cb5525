#pragma once

#include <QListWidget>
#include <QStringList>

namespace templates {

// A folder list: the folders from the root down to the current one, each a
// step further in, then the current folder's subfolders. Double-click (or
// Enter) on an entry makes it the current folder.
class FolderList : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Goes to the folder; a folder that cannot be read still shows its way
    // down from the root, without subfolders.
    void setPath(const QString &path);
    // The folder an entry stands for.
    static QString entryPath(const QListWidgetItem *item);

signals:
    void pathChanged(const QString &path);

private:
    QString m_path;
};

// The roots of the mounted file systems, sorted, "/" first.
QStringList driveRoots();
// The root of the mounted file system that holds path.
QString driveOf(const QString &path);

} // namespace templates
