#pragma once

class DocumentWindow;

// The snip tool, URL snip tool and quick scan.
namespace tools {

// Wires Tools > "&Snip", "&Url Snip" and "&Quick Search" of a document window.
void attach(DocumentWindow &window);

// The quick scan, from either Tools menu.
void ShowQuickScan();

} // namespace tools
