#pragma once

class DocumentWindow;

// The Insert menu, the Selection menu's case changes, the date stamp and the
// insert-text box.
namespace inserts {

void attach(DocumentWindow &window);

} // namespace inserts
