#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

// The menu trees of the document window and of the main frame, as data: one
// row per entry, in menu order. Both windows build their menus from these
// rows, and the text control gives up every shortcut they name.
namespace menutree {

enum Flags : unsigned {
    None = 0,
    Submenu = 1,   // opens the rows one level deeper that follow it
    Separator = 2, // a divider line
    Hidden = 4,    // present but never shown
    Checkable = 8,
};

struct Entry
{
    int level;            // 0 for the menu bar's own menus
    const char *caption;  // "&" marks the access key
    const char *name;     // object name of the action (and of the submenu)
    const char *shortcut; // portable key text, or nullptr
    unsigned flags = None;
    int index = -1; // for entries that come as arrays (indexes from 0)
};

const std::vector<Entry> &documentMenu();
const std::vector<Entry> &frameMenu();

// Every shortcut of both trees.
QList<QKeySequence> allShortcuts();

// Builds the menus of a tree. Each action (and each submenu's action) gets the
// entry's name as object name and its index in the "index" property.
struct Built
{
    QList<QMenu *> topLevel;
    QList<QAction *> actions;
    QAction *find(const QString &name, int index = -1) const;
};
Built build(const std::vector<Entry> &rows, QWidget *owner);

// A caption shown on a menu: "&" shows as itself.
QString escapeAmpersands(const QString &text);

} // namespace menutree
