#pragma once

#include "editor/colourscheme.h"

#include <QObject>
#include <QString>

// The user's preferences for every document window, kept in the settings
// store (section "Preferences" of the application's own file). A stored
// value that cannot be used (a font that is not installed, a size out of
// range, an unknown name) reads as its default; nothing else is lost.
namespace preferences {

enum class DocumentView { Windows, Tabs };

constexpr int MinFontSize = 4;
constexpr int MaxFontSize = 72;
constexpr int MinTabWidth = 1;
constexpr int MaxTabWidth = 16;

struct Preferences
{
    QString fontFamily; // the desktop's fixed-width font by default
    int fontSize = 10;
    int tabWidth = 8;
    bool tabSpaces = false; // Tab types spaces up to the next tab stop
    bool lineNumbers = true;
    bool currentLine = false;
    colourscheme::Scheme scheme = colourscheme::Scheme::FollowDesktop;
    DocumentView view = DocumentView::Windows;
    bool reopenSession = false;

    static Preferences defaults();
    // Replaces what cannot be used by its default.
    Preferences sanitized() const;

    friend bool operator==(const Preferences &a, const Preferences &b);
    friend bool operator!=(const Preferences &a, const Preferences &b) { return !(a == b); }
};

Preferences load();
void save(const Preferences &p);

// The preferences in force: read once from the store (again by reload, which
// a new main frame calls), changed by setCurrent, which keeps them and tells
// every window through notifier().
const Preferences &current();
void setCurrent(const Preferences &p);
void reload();

class Notifier : public QObject
{
    Q_OBJECT
signals:
    void changed();
};
Notifier &notifier();

} // namespace preferences
