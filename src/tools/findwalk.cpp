#include "tools/findwalk.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace tools {

namespace {

// What a directory entry is, following a link only to tell what it points at.
enum class Kind { File, Folder, LinkToFolder, Special, BrokenLink, Gone, Unreadable };

Kind kindOf(int dirFd, const char *name, unsigned char type)
{
    struct stat st;
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? Kind::Gone : Kind::Unreadable;
        type = S_ISLNK(st.st_mode)   ? DT_LNK
               : S_ISDIR(st.st_mode) ? DT_DIR
               : S_ISREG(st.st_mode) ? DT_REG
                                     : DT_FIFO;
    }
    switch (type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK:
        if (::fstatat(dirFd, name, &st, 0) != 0)
            return Kind::BrokenLink; // dangling, or a loop of links
        return S_ISDIR(st.st_mode) ? Kind::LinkToFolder : S_ISREG(st.st_mode) ? Kind::File : Kind::Special;
    default:
        return Kind::Special;
    }
}

} // namespace

FolderWalk::FolderWalk(const QString &patterns)
{
    for (const QString &p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        if (!t.isEmpty())
            m_patterns << QFile::encodeName(t);
    }
    if (m_patterns.isEmpty())
        m_patterns << QByteArray("*");
}

bool FolderWalk::fits(const char *name) const
{
    for (const QByteArray &p : m_patterns)
        if (p == "*" || ::fnmatch(p.constData(), name, FNM_CASEFOLD) == 0)
            return true;
    return false;
}

void FolderWalk::walk(const QByteArray &root, const FileFound &file, const Skipped &skipped,
                      const std::atomic<bool> *stop) const
{
    std::vector<QByteArray> folders{root.endsWith('/') && root.size() > 1 ? root.chopped(1) : root};
    while (!folders.empty()) {
        if (stop && stop->load(std::memory_order_relaxed))
            return;
        const QByteArray folder = std::move(folders.back());
        folders.pop_back();
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!dir) {
            const int e = errno;
            if (fd >= 0)
                ::close(fd);
            // A folder removed while the walk runs is gone; any other failure
            // (no permission, say) leaves it unread.
            skipped(e == ENOENT || e == ENOTDIR ? SkipReason::Gone : SkipReason::Unreadable);
            continue;
        }
        const QByteArray prefix = folder == "/" ? folder : folder + '/';
        std::vector<QByteArray> sub;
        while (dirent *e = ::readdir(dir)) {
            const char *name = e->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            const Kind kind = kindOf(fd, name, e->d_type);
            if (kind == Kind::Folder) {
                if (name[0] != '.') // hidden folders, ".git" among them
                    sub.push_back(QByteArray(prefix + name));
                continue;
            }
            if (kind == Kind::LinkToFolder || !fits(name))
                continue;
            switch (kind) {
            case Kind::File:
                file(QByteArray(prefix + name));
                break;
            case Kind::Special:
                skipped(SkipReason::Special);
                break;
            case Kind::BrokenLink:
                skipped(SkipReason::BrokenLink);
                break;
            case Kind::Gone:
                skipped(SkipReason::Gone);
                break;
            default:
                skipped(SkipReason::Unreadable);
                break;
            }
        }
        ::closedir(dir);
        // Pushed in reverse, so the subfolders are walked in the order readdir gave them.
        for (auto it = sub.rbegin(); it != sub.rend(); ++it)
            folders.push_back(std::move(*it));
    }
}

void FolderWalk::list(const QStringList &paths, const FileFound &file, const Skipped &skipped,
                      const std::atomic<bool> *stop) const
{
    QSet<QString> seen; // the list may name a file twice
    for (const QString &path : paths) {
        if (stop && stop->load(std::memory_order_relaxed))
            return;
        if (seen.contains(path))
            continue;
        seen.insert(path);
        const QByteArray native = QFile::encodeName(path);
        const int slash = native.lastIndexOf('/');
        if (!fits(native.constData() + slash + 1))
            continue;
        struct stat st;
        if (::stat(native.constData(), &st) != 0)
            skipped(errno == ELOOP    ? SkipReason::BrokenLink
                    : errno == ENOENT ? SkipReason::Gone
                                      : SkipReason::Unreadable);
        else if (S_ISREG(st.st_mode))
            file(QByteArray(native));
        else if (!S_ISDIR(st.st_mode))
            skipped(SkipReason::Special);
    }
}

} // namespace tools
