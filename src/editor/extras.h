#pragma once

class FrmDoc;

// The document window's own extras: external viewers, character mode, file
// drop into a document and printing.
namespace extras {

// Wires View > Program entries, Options > Character Mode, "&Set Viewers" and "Preferences...",
// File > "&Print", the typing hook and the file drop of a document window.
void attach(FrmDoc &window);

// The first half of FrmDoc::rebuildMenus: the View > Program entries.
void SetUpViewEntries(FrmDoc &window);

// Start-up: the viewer table from the settings store.
void LoadViewerSettings();

// Options > "&View settings" on the frame and "&Set Viewers" in a document window.
void ShowViewSettingsDialog();

// Options > "New Document Format..." on the frame: the Preferences dialog at
// the format of new documents.
void ShowNewDocumentFormatDialog();

// Options > "Preferences..." on the frame and in a document window.
void ShowPreferencesDialog();

// File > "&Print" and the toolbar's Print: the document or its selection.
void PrintDocument(FrmDoc &window);

} // namespace extras
