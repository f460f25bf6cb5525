#pragma once

class FrmDoc;

// File > Print and the toolbar's Print of a document window.
namespace printing {

// Prints the window's text, or only its selection when there is one and the
// user asks for that, on the default printer. A failure is told to the user.
void PrintDocument(FrmDoc &window);

} // namespace printing
