#pragma once

#include "documents/documentwindow.h"
#include "documents/undohistory.h"
#include "editor/menutree.h"

#include <QWidget>

#include <optional>

class FindBar;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;
class SourceView;
class TextControl;

// The document window: the toolbar, the text control of one registry slot and
// the status bar, with the menu bar through which every document command is
// reached (the main frame shows it while this window is current).
//
// Command states (caption, Undo, Paste, the Selection menu and their toolbar
// buttons) are refreshed right after anything that can change them, instead
// of on a busy timer; the status and undo ticks run once a second.
class FrmDoc : public QWidget, public DocumentWindow
{
    Q_OBJECT

public:
    explicit FrmDoc(int slot, QWidget *parent = nullptr);
    ~FrmDoc() override;

    int slot() const override { return m_slot; }
    void setSlot(int slot) override { m_slot = slot; }
    TextControl *textControl() override { return m_text; }
    QWidget *widget() override { return this; }
    QString caption() const override { return windowTitle(); }
    void showDocument() override;
    void hideDocument() override;
    void resetForNewDocument() override;
    void rebuildMenus() override;
    void pathChanged(const QString &path) override;
    void showNotice(const QString &text) override;
    void setLongLines(bool on) override;
    QAction *action(const QString &name, int index = -1) const override;

    const QList<QMenu *> &menus() const { return m_menus.topLevel; }
    QMdiSubWindow *subWindow() const;
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *toolButton(const QString &key) const;
    FindBar *findBar() const { return m_findBar; }
    SourceView *sourceView() const { return m_sourceView; }

    // The status bar panels, left to right. Four carry a key ("fsize" the
    // date, "lngth", "Status", "format": the document's line end and encoding).
    enum class Panel { Date, Time, Length, Status, CharacterMode, CapsLock, Insert, Format };
    QString panelText(Panel panel) const;
    void setPanelText(Panel panel, const QString &text);
    // The panel that carries the key, if any.
    std::optional<Panel> panelPosition(const QString &key) const;
    bool panelActive(Panel panel) const;

    // The three ticks; the timers call them, tests may too.
    void refreshTick();
    void statusTick();
    void undoTick();
    // Asks for a refresh tick as soon as the event loop is free.
    void scheduleRefresh();
    // The document has changes to save, whether or not its text moved (a
    // new format changes the file too).
    void markChanged();

    // Runs a toolbar button's command; a failure the command does not
    // handle itself ends it quietly and leaves the window usable.
    void runToolButton(const QString &key);

    qsizetype undoBytesPending() const { return m_undo.byteCost(); }

signals:
    // Shown or hidden: the frame then decides whose menus it shows.
    void visibilityChanged();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildStatusBar();
    QLabel *panel(Panel panel) const { return m_panels[int(panel)]; }
    void updateClock();
    void connectCommands();
    void onTextChanged();
    QString changedStatus() const;
    void populateWindowList();
    void createRecentItems();
    void runSave();
    void afterFileCommand();

    int m_slot;
    QToolBar *m_toolBar = nullptr;
    TextControl *m_text = nullptr;
    FindBar *m_findBar = nullptr;
    SourceView *m_sourceView = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QList<QLabel *> m_panels;
    menutree::Built m_menus;
    QTimer *m_refreshTimer = nullptr;
    QTimer *m_statusTimer = nullptr;
    QTimer *m_undoTimer = nullptr;
    UndoTracker m_undo;
    QString m_lastMinute;
};
