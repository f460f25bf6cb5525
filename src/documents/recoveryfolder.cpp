#include "documents/recoveryfolder.h"

#include "documents/saveledger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

namespace recovery {

namespace {

std::unique_ptr<QLockFile> newLock(const QString &file)
{
    auto lock = std::make_unique<QLockFile>(file);
    // Only a dead owner makes a lock stale, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

QString lockFileOf(const QString &root, const QString &id) { return root + id + QStringLiteral(".lock"); }

} // namespace

InstanceFolder::~InstanceFolder()
{
    // Not a clean exit unless removeAll() said so: the journals stay.
    if (m_lock)
        m_lock->unlock();
}

bool InstanceFolder::open(const QString &root)
{
    m_root = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if (!QDir().mkpath(m_root))
        return false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString id = QStringLiteral("%1-%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (QFileInfo::exists(m_root + id))
            continue;
        auto lock = newLock(lockFileOf(m_root, id));
        if (!lock->tryLock(0))
            continue;
        if (!QDir().mkpath(m_root + id))
            return false;
        // The journals hold the user's text: for the user's eyes only.
        QFile::setPermissions(m_root + id, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_id = id;
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
    for (const QString &id : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (id == ownId)
            continue;
        std::shared_ptr<QLockFile> lock = newLock(lockFileOf(root, id));
        if (!lock->tryLock(0))
            continue; // its instance is running
        Orphan o;
        o.folder = root + id;
        o.lock = lock;
        o.sweptTemporaries = saveledger::sweep(o.folder);
        QDir folder(o.folder);
        for (const QString &name : folder.entryList({QLatin1Char('*') + QLatin1String(kJournalSuffix)}, QDir::Files)) {
            Orphan::Item item;
            item.file = folder.filePath(name);
            if (readJournal(item.file, &item.journal))
                o.items.push_back(std::move(item));
        }
        std::stable_sort(o.items.begin(), o.items.end(), [](const Orphan::Item &a, const Orphan::Item &b) {
            return a.journal.written < b.journal.written;
        });
        if (o.items.empty())
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
