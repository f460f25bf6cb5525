#pragma once

#include <QStringList>

#include <functional>

class QAction;
class QWidget;

// Menu entries are found by their object names; a name that matches no entry
// would leave a command that never runs, so every lookup goes through here
// and a missing name is reported instead of skipped.
namespace platform {

// Runs handler when the entry named objectName among window's own actions is
// chosen. Returns the entry, or null after reporting the name as missing.
QAction *wire(QWidget *window, const char *objectName, std::function<void()> handler);
// The same for the entries that come as arrays: index says which one.
QAction *wire(QWidget *window, const char *objectName, int index, std::function<void()> handler);
// For check-mark entries: the handler gets the state the user chose.
QAction *wireChecked(QWidget *window, const char *objectName, std::function<void(bool)> handler);
// For check-mark entries whose state matters however it changes (the user,
// a reused window, a test): the handler follows every change.
QAction *wireToggled(QWidget *window, const char *objectName, std::function<void(bool)> handler);

// Runs the command wired to an entry directly, whether or not the entry is
// enabled just now: toolbar buttons share their menu entry's command.
void runCommand(QAction *entry);
// How many commands were wired to an entry.
int commandCount(const QAction *entry);
// Every name asked for that matched no entry, as "window/name", since start.
QStringList unwiredNames();

} // namespace platform
