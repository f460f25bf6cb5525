#pragma once

#include "editor/findengine.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TextControl;

// The find and replace bar at the foot of a document window, above the
// status bar. It is not modal: the user goes on typing in the document
// while it is open. Every replacement goes through the text control's own
// writes, so the change notification (changed flag, length panel, undo
// tick) sees it like any other edit.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(TextControl *text, QWidget *parent = nullptr);

    void showFind();    // Edit > "Find...": the find row only
    void showReplace(); // Edit > "Replace...": the replace row too
    void close();       // hides the bar and gives the document the focus

    void findNext(); // Edit > "Find Next"; opens the bar when there is nothing to find yet
    void findPrevious();
    void replace();    // replaces the selected match, then finds the next one
    void replaceAll(); // replaces every match and says how many

    findengine::Options options() const;
    bool replaceShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void open(bool withReplace);
    // The find text in the document's bytes. False when there is nothing to
    // look for: the bar opens for an empty field, and "not found" is said for
    // a character the document cannot hold.
    bool needle(QByteArray *what, bool withReplace);
    // The replace text in the document's bytes; *replaced counts the
    // characters that had to become "?".
    QByteArray replacement(int *replaced) const;
    void select(qsizetype pos, qsizetype length);
    void notFound();

    TextControl *m_text;
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QLabel *m_replaceLabel;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QCheckBox *m_wrapAround;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAllButton;
};
