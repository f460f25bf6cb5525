#pragma once

class QWidget;

namespace tools {

// Centres a tool window and brings it up, not modal.
void showTool(QWidget *tool);

} // namespace tools
