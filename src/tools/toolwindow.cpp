#include "tools/toolwindow.h"

#include "platform/apphelpers.h"

#include <QWidget>

namespace tools {

void showTool(QWidget *tool)
{
    platform::CenterWindow(tool);
    tool->show();
    tool->raise();
    tool->activateWindow();
}

} // namespace tools
