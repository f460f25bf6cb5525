#pragma once

#include "documents/recoveryfolder.h"
#include "documents/recoveryjournal.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <map>
#include <memory>

// Keeps a journal of every document with unsaved changes in this instance's
// recovery folder, so that a crash loses at most the last few seconds.
//
// A tick once a second looks at every slot: a changed document whose text,
// title or path moved on since its last journal gets a new one (at once
// after a quiet spell, at most every few ticks while the user keeps typing);
// a document that was saved, closed or replaced loses its journal. The text
// is copied once on this thread and written on a worker thread, through a
// temporary that only a complete write puts in place, so a 50 MB document
// costs the window one copy, not a file write. While the user keeps typing
// (and for half a minute after) the copy goes into the same buffer each
// time, which spares the kernel handing out and clearing fresh memory. Writes and removals run one
// at a time in the order given, so a removal never overtakes a write.
namespace recovery {

class Keeper : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTickMs = 1000;
    static constexpr int kTicksBetweenWrites = 3;
    static constexpr int kTicksToKeepBuffer = 30; // after the last change

    static Keeper &instance();
    ~Keeper() override;

    // Starts keeping journals in a new instance folder under root. False when
    // the folder cannot be made: the user is told, and the keeper tries again
    // while there is unsaved work.
    bool start(const QString &root);
    bool isRunning() const { return m_folder.isOpen(); }
    const InstanceFolder &folder() const { return m_folder; }
    // Journals could not be written (or the folder made) since the last
    // success: unsaved work is not protected against a crash.
    bool unprotected() const { return m_unprotected; }
    // A save's ledger note could not be written: as bad as a failed journal.
    void noteFailure(const QString &reason);

    // The timer calls it; tests may too, with the timer stopped.
    void tick();
    void setTimerRunning(bool on);
    // Waits until every write and removal handed to the worker is done.
    void waitForWrites();
    // Journals every document with unsaved changes now, and waits for it.
    void journalNow();
    // A clean exit, after every document went through its close procedure:
    // the writes in flight finish, then the folder goes.
    void shutdown();
    // Any other end (a signal, the session ending): the journals are brought
    // up to date and stay for the next start.
    void keepForNextStart();

    // Brings a journaled document back in a new window, marked changed, and
    // takes its journal file over as the new window's own. False when no
    // window could be had.
    bool restore(const Journal &journal, const QString &file);
    // Brings the bytes of a journal that could not be read back as a new
    // document, marked changed; the file goes once the document's own
    // journal holds them. False when the file could not be read.
    bool restoreRaw(const QString &file);

    // The journal file of a slot's document, "" while it has none (tests).
    QString journalFile(int slot) const;

signals:
    void protectionChanged();

private:
    Keeper() = default;

    enum class WriteState { Idle, Busy, Failed };
    // What the worker found; the error is set before the state says Failed.
    struct WriteResult
    {
        std::atomic<WriteState> state{WriteState::Idle};
        QString error;
    };
    struct Entry
    {
        quint32 generation = 0;
        QString file;
        bool written = false; // a journal file exists (or is being written)
        quint64 changeCount = 0;
        QString title, path;
        TextFormat format;
        int ticksSinceWrite = kTicksBetweenWrites;
        QByteArray buffer; // the last copy of the text, kept while the user keeps typing
        int quietTicks = 0;
        bool awaited = false; // a write was handed over and its outcome not yet seen
        std::shared_ptr<WriteResult> result = std::make_shared<WriteResult>();
    };

    void write(int slot, Entry &e);
    void remove(Entry &e);
    void tryToOpen();
    // Tells the user once when protection fails, and once when it works again.
    void setUnprotected(bool on, const QString &reason = QString());

    InstanceFolder m_folder;
    QString m_root;
    QThreadPool m_pool;
    QTimer m_timer;
    std::map<int, Entry> m_entries;
    bool m_unprotected = false;
    bool m_telling = false; // a message about it is open
    bool m_shownFailure = false;
    int m_ticksToRetry = 0;
};

// The recovery folder in the user's data folder.
QString defaultRoot();

} // namespace recovery
