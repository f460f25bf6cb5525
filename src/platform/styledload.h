#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>

class QThread;
class QsciScintillaBase;

// Builds an engine document with style bytes from a text on a worker thread,
// so a big coloured file costs the window no more than a plain one. The text
// is shared, not copied. `room` blank bytes follow the text in the new
// document, so that deleting them leaves room to type into.
class StyledLoad
{
public:
    // done runs on the control's thread once the worker has finished.
    StyledLoad(QsciScintillaBase &control, const QByteArray &text, qsizetype room, quint64 changeCount,
               std::function<void()> done);
    // Waits for the worker; a document not taken is released.
    ~StyledLoad();
    StyledLoad(const StyledLoad &) = delete;
    StyledLoad &operator=(const StyledLoad &) = delete;

    bool isFinished() const { return m_finished.load(); }
    // The change count of the control when the text was set.
    quint64 changeCount() const { return m_changeCount; }
    qsizetype textSize() const { return m_text.size(); }
    qsizetype room() const { return m_room; }
    // The finished document with one reference for the caller, or null when
    // the worker failed (out of memory) or the document was taken already.
    void *take();

private:
    void run();

    QByteArray m_text;
    qsizetype m_room;
    quint64 m_changeCount;
    void *m_loader = nullptr;
    bool m_ok = false;
    std::atomic<bool> m_finished{false};
    QThread *m_thread = nullptr;
};
