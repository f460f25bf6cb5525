#include "tools/toolwindow.h"

#include "platform/apphelpers.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

namespace tools {

QWidget *frameWindow(QWidget *from)
{
    if (from)
        if (auto *main = qobject_cast<QMainWindow *>(from->window()))
            return main;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<QMainWindow *>(w))
            return main;
    return nullptr;
}

void showTool(QWidget *tool)
{
    platform::CenterWindow(tool);
    tool->show();
    tool->raise();
    tool->activateWindow();
}

} // namespace tools
