#pragma once

#include <QString>

class DocumentWindow;

// The template and markup-tag commands of the menus.
namespace templates {

// Wires Tools > "&Execute" and File > New > "New From Templates" of a document window.
void attach(DocumentWindow &window);

// The New Document dialog, from either menu: made, centred and shown (not
// modal) the first time, brought forward while it is open.
void ShowTemplateDialog();

// A new document holding the template's text; the New Document dialog then
// closes (it stays when the user gave up at the read question).
void NewDocumentFromTemplate(const QString &path);

} // namespace templates
