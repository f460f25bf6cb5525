#pragma once

#include <QString>

class QAction;
class QWidget;
class TextControl;

// What the document layer needs of a document window. The editor builds the
// real window; the registry only knows it through this interface.
class DocumentWindow
{
public:
    virtual ~DocumentWindow() = default;

    // The registry slot the window shows; its tag is this number as text.
    virtual int slot() const = 0;
    virtual void setSlot(int slot) = 0;
    QString tag() const { return QString::number(slot()); }

    virtual TextControl *textControl() = 0;
    virtual QWidget *widget() = 0;
    virtual QString caption() const = 0;

    virtual void showDocument() = 0; // shows it, not modal, and brings it forward
    virtual void hideDocument() = 0;
    // Called when the window is taken again with its slot: it must behave as a
    // fresh window (empty text, nothing remembered for undo).
    virtual void resetForNewDocument() = 0;
    // The document now belongs to the file at path: it was opened from it
    // (called before the file's text goes into the control) or saved under
    // it. The window may fit its view to the kind of file.
    virtual void pathChanged(const QString &path) { Q_UNUSED(path); }
    // A passing word to the user about this document, not a question; the
    // window shows it for a while where it does not get in the way.
    virtual void showNotice(const QString &text) { Q_UNUSED(text); }
    // The document has very long lines: the window keeps to what stays quick
    // over them (no colours, no brace matching) and says so once.
    virtual void setLongLines(bool on) { Q_UNUSED(on); }
    // Refreshes the View > Program and recent-file entries of this window only.
    virtual void rebuildMenus() = 0;
    // A menu entry by its name (and index, for the entries that come in arrays).
    virtual QAction *action(const QString &name, int index = -1) const = 0;
};
