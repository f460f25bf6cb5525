#pragma once

class FrmDoc;

// The View > Program entries of a document window and the launch of a viewer.
namespace viewers {

// Captions the three entries with the viewers' titles, or "[UNSET]" and
// disabled where no title is set.
void SetUpViewEntries(FrmDoc &window);

// View > Program entry index: opens the document's saved file in the viewer.
void LaunchViewer(FrmDoc &window, int index);

} // namespace viewers
