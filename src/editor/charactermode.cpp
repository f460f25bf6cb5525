#include "editor/charactermode.h"

#include "editor/charactertable.h"
#include "editor/frmdoc.h"
#include "platform/commands.h"
#include "platform/textcontrol.h"

#include <QAction>
#include <QPointer>

namespace charactermode {

namespace {

QAction *modeAction(const FrmDoc &window)
{
    return window.action(QStringLiteral("mnuCharacterMode"));
}

} // namespace

bool isOn(const FrmDoc &window)
{
    const QAction *a = modeAction(window);
    return a && a->isChecked();
}

void attach(FrmDoc &window)
{
    // The panel follows the check mark however it changes.
    QAction *a = platform::wireToggled(&window, "mnuCharacterMode", [w = &window](bool on) {
        w->setPanelText(FrmDoc::Panel::CharacterMode, on ? QStringLiteral("CCM") : QString());
    });
    if (!a)
        return;
    a->setCheckable(true);
    a->setChecked(false);
    // The flag is the window's own: closing the document only hides the
    // window, so a reused window keeps its mode, panel included.
    QPointer<QAction> flag(a);
    window.textControl()->setKeyHook([flag](int code) { return typedCode(flag && flag->isChecked(), code); });
}

} // namespace charactermode
