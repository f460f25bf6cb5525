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
    // the folder cannot be made; the program then runs without journals.
    bool start(const QString &root);
    bool isRunning() const { return m_folder.isOpen(); }
    const InstanceFolder &folder() const { return m_folder; }

    // The timer calls it; tests may too, with the timer stopped.
    void tick();
    void setTimerRunning(bool on);
    // Waits until every write and removal handed to the worker is done.
    void waitForWrites();
    // A clean exit: the writes in flight finish, then the folder goes.
    void shutdown();

    // Brings a journaled document back in a new window, marked changed, and
    // takes its journal file over as the new window's own. False when no
    // window could be had.
    bool restore(const Journal &journal, const QString &file);

    // The journal file of a slot's document, "" while it has none (tests).
    QString journalFile(int slot) const;

private:
    Keeper() = default;

    enum class WriteState { Idle, Busy, Failed };
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
        std::shared_ptr<std::atomic<WriteState>> state = std::make_shared<std::atomic<WriteState>>(WriteState::Idle);
    };

    void write(int slot, Entry &e);
    void remove(Entry &e);

    InstanceFolder m_folder;
    QThreadPool m_pool;
    QTimer m_timer;
    std::map<int, Entry> m_entries;
};

// The recovery folder in the user's data folder.
QString defaultRoot();

} // namespace recovery
