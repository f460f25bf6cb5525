#pragma once

class DocumentWindow;

// The template and markup-tag commands of the menus.
namespace templates {

// Wires Tools > "&Execute" and File > New > "New From Templates" of a document window.
void attach(DocumentWindow &window);

// The New Document dialog, from either menu.
void ShowTemplateDialog();

} // namespace templates
