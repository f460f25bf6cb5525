#include "documents/recoveryfolder.h"

#include "documents/saveledger.h"
#include "platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace recovery {

namespace {

std::unique_ptr<QLockFile> newLock(const QString &file)
{
    auto lock = std::make_unique<QLockFile>(file);
    // Only a dead owner makes a lock stale, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

QString lockFileOf(const QString &root, const QString &id)
{
    return root + id + QStringLiteral(".lock");
}

// Makes the folder and any missing parents, for the user's eyes only from
// the moment they exist (never opened up first and shut afterwards).
bool makeFolder(const QString &path, QString *error)
{
    const QString clean = QDir::cleanPath(path);
    const QFileInfo fi(clean);
    if (fi.isDir())
        return true;
    int err = ENOTDIR;
    if (!fi.exists()) {
        const QString parent = fi.absolutePath();
        if (parent != clean && !makeFolder(parent, error))
            return false;
        if (::mkdir(QFile::encodeName(clean).constData(), 0700) == 0)
            return true;
        err = errno;
        if (err == EEXIST && QFileInfo(clean).isDir())
            return true;
    }
    if (error)
        *error = platform::errorFromErrno(err).description;
    return false;
}

} // namespace

QString unreadableFolder(const QString &root)
{
    return (root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')) + QStringLiteral("unreadable");
}

InstanceFolder::~InstanceFolder()
{
    // Not a clean exit unless removeAll() said so: the journals stay.
    if (m_lock)
        m_lock->unlock();
}

bool InstanceFolder::open(const QString &root)
{
    m_root = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    m_error.clear();
    // The journals hold the user's text: for the user's eyes only.
    if (!makeFolder(m_root, &m_error))
        return false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString id = QStringLiteral("%1-%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (QFileInfo::exists(m_root + id))
            continue;
        auto lock = newLock(lockFileOf(m_root, id));
        if (!lock->tryLock(0)) {
            m_error = lock->error() == QLockFile::PermissionError
                          ? platform::errorFromErrno(EACCES).description
                          : QStringLiteral("its lock file could not be made");
            continue;
        }
        if (!makeFolder(m_root + id, &m_error))
            return false;
        m_id = id;
        m_error.clear();
        m_lock = std::move(lock);
        return true;
    }
    return false;
}

void InstanceFolder::removeAll()
{
    if (!m_lock)
        return;
    QDir(path()).removeRecursively();
    m_lock->unlock();
    m_lock.reset();
}

std::vector<Orphan> claimOrphans(const QString &rootIn, const QString &ownId)
{
    const QString root = rootIn.endsWith(QLatin1Char('/')) ? rootIn : rootIn + QLatin1Char('/');
    std::vector<Orphan> out;
    QDir dir(root);
    const QString kept = QFileInfo(unreadableFolder(root)).fileName();
    for (const QString &id : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (id == ownId || id == kept)
            continue;
        std::shared_ptr<QLockFile> lock = newLock(lockFileOf(root, id));
        if (!lock->tryLock(0))
            continue; // its instance is running
        Orphan o;
        o.folder = root + id;
        o.lock = lock;
        o.sweptTemporaries = saveledger::sweep(o.folder);
        QDir folder(o.folder);
        for (const QString &name :
             folder.entryList({QLatin1Char('*') + QLatin1String(kJournalSuffix)}, QDir::Files)) {
            Orphan::Item item;
            item.file = folder.filePath(name);
            if (readJournal(item.file, &item.journal)) {
                o.items.push_back(std::move(item));
                continue;
            }
            // Never deleted for not parsing: what it holds may be all the user has.
            const QString keep = unreadableFolder(root) + QLatin1Char('/') + id;
            if (!makeFolder(keep, nullptr) || !QFile::rename(item.file, keep + QLatin1Char('/') + name))
                o.unreadable.push_back(Unreadable{item.file, QFileInfo(item.file).size()});
        }
        std::stable_sort(o.items.begin(), o.items.end(), [](const Orphan::Item &a, const Orphan::Item &b) {
            return a.journal.written < b.journal.written;
        });
        if (o.items.empty() && o.unreadable.empty())
            discardOrphan(o);
        else
            out.push_back(std::move(o));
    }
    // Locks left by instances that are gone and had no folder any more.
    for (const QString &name : dir.entryList({QStringLiteral("*.lock")}, QDir::Files)) {
        const QString id = name.chopped(5);
        if (id == ownId || QFileInfo::exists(root + id))
            continue;
        auto lock = newLock(root + name);
        if (lock->tryLock(0))
            lock->unlock();
    }
    return out;
}

std::vector<Unreadable> unreadableJournals(const QString &root)
{
    std::vector<Unreadable> out;
    QDir kept(unreadableFolder(root));
    for (const QString &sub : kept.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QFileInfoList files =
            QDir(kept.filePath(sub)).entryInfoList(QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
        for (const QFileInfo &fi : files)
            out.push_back(Unreadable{fi.filePath(), fi.size()});
    }
    return out;
}

void releaseOrphan(Orphan &orphan)
{
    const bool journalsLeft = !QDir(orphan.folder)
                                   .entryList({QLatin1Char('*') + QLatin1String(kJournalSuffix)}, QDir::Files)
                                   .isEmpty();
    if (journalsLeft)
        keepOrphan(orphan);
    else
        discardOrphan(orphan);
}

void discardOrphan(Orphan &orphan)
{
    if (!orphan.folder.isEmpty())
        QDir(orphan.folder).removeRecursively();
    if (orphan.lock)
        orphan.lock->unlock();
    orphan.lock.reset();
    orphan.items.clear();
}

void keepOrphan(Orphan &orphan)
{
    if (orphan.lock)
        orphan.lock->unlock();
    orphan.lock.reset();
}

} // namespace recovery
