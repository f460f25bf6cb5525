#pragma once

#include "documents/documentwindow.h"
#include "editor/menutree.h"

#include <QWidget>

class QLabel;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class TextControl;

// The document window: the text control of one registry slot, with the menu
// bar through which every document command is reached. The main frame shows
// the menus of the current document window in its own menu bar.
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
    QAction *action(const QString &name, int index = -1) const override;

    const QList<QMenu *> &menus() const { return m_menus.topLevel; }
    QMdiSubWindow *subWindow() const;

    // The record's title as the caption.
    void refreshCaption();

    // Status bar panels, by position from 1 (1 date, 2 time, 3 "lngth",
    // 4 "Status", 5 character mode, 6 Caps Lock, 7 Insert key) or by key.
    QString panelText(int position) const;
    void setPanelText(int position, const QString &text);
    int panelPosition(const QString &key) const;

signals:
    // Shown or hidden: the frame then decides whose menus it shows.
    void visibilityChanged();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void buildMenus();
    void connectCommands();
    void onTextChanged();
    void populateWindowList();

    void buildStatusBar();

    int m_slot;
    TextControl *m_text;
    QStatusBar *m_statusBar = nullptr;
    QList<QLabel *> m_panels;
    menutree::Built m_menus;
};
