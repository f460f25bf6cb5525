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

    // Makes root/<id>/ and locks it. False when neither can be done.
    bool open(const QString &root);
    bool isOpen() const { return bool(m_lock); }
    QString root() const { return m_root; }
    QString path() const { return m_root + m_id; }
    QString id() const { return m_id; }
    // A clean exit: the folder goes with everything in it, then the lock.
    void removeAll();

private:
    QString m_root; // ends in "/"
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
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
    int sweptTemporaries = 0;
};

// Claims every folder under root whose instance is gone (never ownId), sweeps
// the temporaries its save ledger points at and reads its journals.
std::vector<Orphan> claimOrphans(const QString &root, const QString &ownId);
// Removes the claimed folder with its remaining journals, then its lock.
void discardOrphan(Orphan &orphan);
// Lets go of the folder; its journals stay to be offered at the next start.
void keepOrphan(Orphan &orphan);

} // namespace recovery
