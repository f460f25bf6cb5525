#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class QWidget;

// Work that may take long (opening a huge file) runs on a worker thread while
// the program waits in a local event loop: the windows go on painting. Once it
// has run for half a second, a window shows how far it has got, with Cancel
// (and Escape); it is modal, so nothing can change what the work works on.
namespace platform {

// What the work and the window share.
class LongTask
{
public:
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> stop{false}; // asked to stop: the work ends as soon as it can

    // From the work: runs fn on the window's thread and waits for it. False
    // (fn not run) when the task was asked to stop meanwhile.
    bool onWindowThread(std::function<void()> fn);
    // The window's thread runs what the work asked for; false when it had
    // asked nothing.
    bool runAsked();

private:
    std::mutex m_lock;
    std::condition_variable m_ran;
    std::function<void()> m_asked;
};

// Runs work(task) on a worker thread and waits for it; `what` names the work
// in the window ("Opening /path/file.txt"). Returns false when it was
// cancelled (or the program is ending), true when the work ran to its end.
bool runLongTask(const QString &title, const QString &what, const std::function<void(LongTask &)> &work);

// Asks every running task to stop (the frame is closing).
void stopLongTasks();

// Tests: the delay before the window shows, and a look at each progress step
// (on the window's thread), where a test may ask the task to stop.
void setLongTaskDelayMs(int ms); // a negative value brings back the real delay
void setLongTaskWatcher(std::function<void(LongTask &)> watcher);

} // namespace platform
