#pragma once

class DocumentWindow;

// The project list commands (their menu entries stay hidden).
namespace projects {

// Wires File > "&Add File To Project" and Tools > "&Project List".
void attach(DocumentWindow &window);

// The main frame's Tools > "&Project List".
void ShowProjectWindow();

} // namespace projects
