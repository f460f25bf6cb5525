#pragma once

#include "documents/lastsession.h"
#include "editor/menutree.h"
#include "platform/filedialog.h"

#include <QMainWindow>

class DocumentWindow;
class FrmDoc;
class QMdiArea;

// The main frame: a multiple-document window whose children are the document
// windows. Its menu bar shows the frame's own menus exactly while no document
// window is shown, and the current document window's menus otherwise.
class MdiMain : public QMainWindow
{
    Q_OBJECT

public:
    MdiMain();
    ~MdiMain() override;

    QMdiArea *mdiArea() const { return m_area; }
    QAction *frameAction(const QString &name) const { return m_menus.find(name); }
    // The document window whose menus the bar shows, or null for the frame's own.
    FrmDoc *menuOwner() const { return m_menuOwner; }

    // Makes the document window of a registry slot, inside this frame.
    DocumentWindow *createDocumentWindow(int slot);

public slots:
    void updateMenuBar();

protected:
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void connectCommands();
    // Child windows or tabs, as the preferences say.
    void applyDocumentView();
    // The documents with files, in window (or tab) order, for the next start.
    QList<lastsession::Entry> sessionEntries() const;

    QMdiArea *m_area;
    platform::FileDialog m_cdia; // shared by every document open and save
    menutree::Built m_menus;
    FrmDoc *m_menuOwner = nullptr;
    int m_placed = 0; // windows placed so far, for the cascade
};
