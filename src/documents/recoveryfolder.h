#pragma once

#include "documents/recoveryjournal.h"

#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

// The recovery folder holds one folder per running instance of the program,
// each guarded by a lock file beside it ("<id>.lock"). A folder whose lock
// can be taken belongs to an instance that is gone (killed, crashed): its
// journals may be offered and its save ledger swept. A running instance's
// folder is never touched by another.
namespace recovery {

// This process's own folder, locked for as long as the object lives.
class InstanceFolder
{
public:
    InstanceFolder() = default;
    ~InstanceFolder();
    InstanceFolder(const InstanceFolder &) = delete;
    InstanceFolder &operator=(const InstanceFolder &) = delete;

    // Makes root/<id>/ (for the user's eyes only from the first moment) and
    // locks it. False when that cannot be done; error() then says why.
    bool open(const QString &root);
    QString error() const { return m_error; }
    bool isOpen() const { return bool(m_lock); }
    QString root() const { return m_root; }
    QString path() const { return m_root + m_id; }
    QString id() const { return m_id; }
    // A clean exit: the folder goes with everything in it, then the lock.
    void removeAll();

private:
    QString m_root; // ends in "/"
    QString m_id;
    QString m_error;
    std::unique_ptr<QLockFile> m_lock;
};

// A journal that could not be read: kept, never deleted unless the user says so.
struct Unreadable
{
    QString file;
    qint64 size = 0;
};

// A gone instance's folder, claimed by this one: locked until let go.
struct Orphan
{
    struct Item
    {
        QString file;
        Journal journal;
    };
    QString folder;
    std::shared_ptr<QLockFile> lock;
    std::vector<Item> items; // oldest first
    // Journals that did not parse and could not be moved to the folder of
    // unreadable ones; they keep this folder in place.
    std::vector<Unreadable> unreadable;
    int sweptTemporaries = 0;
};

// The folder where journals that cannot be read are kept: root/unreadable/,
// one subfolder per instance folder they came from.
QString unreadableFolder(const QString &root);

// Claims every folder under root whose instance is gone (never ownId), sweeps
// the temporaries its save ledger points at and reads its journals. A journal
// that does not parse is moved to the folder of unreadable ones (or, when
// that cannot be, left where it is and listed with its orphan).
std::vector<Orphan> claimOrphans(const QString &root, const QString &ownId);
// Every journal kept in the folder of unreadable ones, oldest first.
std::vector<Unreadable> unreadableJournals(const QString &root);
// Done with a claimed folder: it goes (lock and all) once it holds no journal
// any more; otherwise it is let go and its journals stay for the next start.
void releaseOrphan(Orphan &orphan);
// Removes the claimed folder with everything in it, then its lock.
void discardOrphan(Orphan &orphan);
// Lets go of the folder; its journals stay to be offered at the next start.
void keepOrphan(Orphan &orphan);

} // namespace recovery
