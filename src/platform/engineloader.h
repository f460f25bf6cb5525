#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <memory>

class QsciScintillaBase;

// A new engine document filled from any one thread at a time (the engine's
// loader), to be put into a text control once it is complete. Nothing is
// shown or told while it fills, so a worker can fill it while the window goes
// on. The bytes are asked for up front (sizeHint), so the buffer is made once.
class EngineLoader
{
public:
    // May be made on any thread, once readyToMake() ran on the window's.
    EngineLoader(qsizetype sizeHint, bool styled);
    static void readyToMake();
    // A document not taken is released.
    ~EngineLoader();
    EngineLoader(const EngineLoader &) = delete;
    EngineLoader &operator=(const EngineLoader &) = delete;

    bool isValid() const { return m_loader != nullptr; }
    bool styled() const { return m_styled; }
    // False when the engine could not take them (out of memory).
    bool add(QByteArrayView bytes);
    // The document as it is, without giving it up: settings made on it now
    // cost nothing, as it is still empty or small.
    void *document() const;
    // Its code page, set while it is empty (once it is full, a change makes
    // the engine go over every line). On the window's thread only.
    void useCodePage(bool utf8);
    // The document with one reference for the caller; null once taken.
    void *take();

private:
    void *m_loader = nullptr;
    bool m_styled = false;
};
