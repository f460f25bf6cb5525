#include "templates/folderlist.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>

namespace templates {

namespace {
constexpr int PathRole = Qt::UserRole + 1;
const QString Indent = QStringLiteral("   ");
} // namespace

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setPath(entryPath(item)); });
}

QString FolderList::entryPath(const QListWidgetItem *item)
{
    return item ? item->data(PathRole).toString() : QString();
}

void FolderList::setPath(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const bool changed = clean != m_path;
    m_path = clean;

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    // The way down: "/", then each folder on the path.
    QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString at = QStringLiteral("/");
    auto *root = new QListWidgetItem(open, at, this);
    root->setData(PathRole, at);
    int depth = 1;
    QListWidgetItem *current = root;
    for (const QString &part : parts) {
        at = at.endsWith(QLatin1Char('/')) ? at + part : at + QLatin1Char('/') + part;
        current = new QListWidgetItem(open, Indent.repeated(depth++) + part, this);
        current->setData(PathRole, at);
    }
    const QStringList subfolders =
        QDir(clean).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subfolders) {
        auto *item = new QListWidgetItem(closed, Indent.repeated(depth) + sub, this);
        item->setData(PathRole,
                      clean.endsWith(QLatin1Char('/')) ? clean + sub : clean + QLatin1Char('/') + sub);
    }
    setCurrentItem(current);
    scrollToItem(current);
    if (changed)
        emit pathChanged(m_path);
}

QStringList driveRoots()
{
    QStringList roots;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath()))
            roots << v.rootPath();
    if (!roots.contains(QStringLiteral("/")))
        roots << QStringLiteral("/");
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString driveOf(const QString &path)
{
    const QStorageInfo info(path);
    return info.isValid() ? info.rootPath() : QStringLiteral("/");
}

} // namespace templates
