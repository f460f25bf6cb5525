#pragma once

#include <QObject>

class QKeyEvent;

// The keyboard's Caps Lock state where the platform tells it: on X11 every
// key event carries the modifier state, Lock included. Elsewhere, and until
// the first key, it counts as off.
namespace keyboardstate {

class State : public QObject
{
    Q_OBJECT
public:
    bool capsLock() const { return m_caps; }
    void noteKeyEvent(const QKeyEvent *e);
    void setCapsLock(bool on);

signals:
    void changed();

private:
    bool m_caps = false;
};

State &instance();

} // namespace keyboardstate
