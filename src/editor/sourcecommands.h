#pragma once

class FrmDoc;

// The source-editing entries of a document window: Edit > "Find...",
// "Find Next", "Replace...", "Go To Line..." and View > "Word Wrap".
namespace sourcecommands {

void attach(FrmDoc &window);

} // namespace sourcecommands
