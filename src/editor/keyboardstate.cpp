#include "editor/keyboardstate.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace keyboardstate {

void State::noteKeyEvent(const QKeyEvent *e)
{
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!x11 || (e->nativeModifiers() == 0 && e->nativeScanCode() == 0))
        return;
    // X11 reports the state before the event; Caps Lock itself toggles on its
    // press, so its release (and every later key) shows the new state.
    constexpr quint32 lockMask = 0x2;
    if (e->key() == Qt::Key_CapsLock && e->type() == QEvent::KeyPress)
        return;
    setCapsLock(e->nativeModifiers() & lockMask);
}

void State::setCapsLock(bool on)
{
    if (on == m_caps)
        return;
    m_caps = on;
    emit changed();
}

State &instance()
{
    static State s;
    return s;
}

} // namespace keyboardstate
