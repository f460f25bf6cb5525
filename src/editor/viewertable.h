#pragma once

#include <QString>

#include <array>

// The table of the three external viewers, one for the whole program, kept in
// the settings store under the executable's name, section "settings", keys
// "path0".."path2" and "title0".."title2".
namespace viewers {

constexpr int Count = 3;

struct ViewerEntry
{
    QString path;  // a program, or a command line that comes before the document's path
    QString title; // the caption of the entry's View menu entry

    // An entry counts as set when its title holds more than blanks.
    bool isSet() const;
};

using ViewerRows = std::array<ViewerEntry, Count>;

// The application name the table is stored under: the executable's file
// name without its extension.
QString settingsAppName();

const ViewerEntry &entry(int index);
const ViewerRows &table();

void LoadViewerSettings();
void saveViewerSettings();

// Save and Apply of the view settings dialog, with the rows as typed: values
// are stored trimmed, a row with both boxes blank keeps its entry, and all
// three entries are saved.
void applyViewerRows(const ViewerRows &rows);

// The View menu caption of an entry: its title as stored, or "[UNSET]".
QString viewEntryCaption(const ViewerEntry &e);

} // namespace viewers
