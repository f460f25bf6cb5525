#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>
#include <memory>

class EngineLoader;
class QThread;
class QsciScintillaBase;

// Builds an engine document with style bytes from a text on a worker thread,
// so a big coloured file costs the window no more than a plain one. The text
// is shared, not copied. `room` blank bytes follow the text in the new
// document, so that deleting them leaves room to type into.
class StyledLoad
{
public:
    // prepare gets the new, still empty document before the worker starts
    // (settings that would have the engine go over the whole text again
    // cost nothing then); done runs on the control's thread once the worker
    // has finished.
    StyledLoad(QsciScintillaBase &control, const QByteArray &text, qsizetype room,
               const std::function<void(void *doc)> &prepare, std::function<void()> done);
    // Waits for the worker; a document not taken is released.
    ~StyledLoad();
    StyledLoad(const StyledLoad &) = delete;
    StyledLoad &operator=(const StyledLoad &) = delete;

    bool isFinished() const { return m_finished.load(); }
    void wait();
    qsizetype textSize() const { return m_text.size(); }
    qsizetype room() const { return m_room; }
    // The finished document with one reference for the caller, or null when
    // the worker failed (out of memory) or the document was taken already.
    void *take();

private:
    void run();

    QByteArray m_text;
    qsizetype m_room;
    std::unique_ptr<EngineLoader> m_loader;
    bool m_ok = false;
    std::atomic<bool> m_finished{false};
    QThread *m_thread = nullptr;
};
