#pragma once

class DocumentWindow;

// The snip tool, URL snip tool and quick scan.
namespace tools {

// Wires Tools > "&Snip", "&Url Snip" and "&Quick Search" of a document window,
// and Edit > "Find in Files..." with the steps through its results.
void attach(DocumentWindow &window);

// The quick scan, from either Tools menu.
void ShowQuickScan();
// Find in Files, from the frame's Tools menu.
void ShowFindInFiles();

} // namespace tools
