#pragma once

class QWidget;

namespace tools {

// The main frame the tool windows belong to: they stay above it and close
// with it. Null when there is none (a tool shown on its own).
QWidget *frameWindow(QWidget *from = nullptr);

// Centres a tool window and brings it up, not modal.
void showTool(QWidget *tool);

} // namespace tools
