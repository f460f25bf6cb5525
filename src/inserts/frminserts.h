#pragma once

#include <QWidget>

class QLabel;
class TextControl;

// The insert-text box: a free text area beside the document windows. What
// it holds is copied into InsertBoxText on every change, so F4 in any
// document window can insert it, also after the box is closed.
class FrmInserts : public QWidget
{
    Q_OBJECT

public:
    // Opens the one box (a new, empty one unless it is open already),
    // centred on the screen, not modal.
    static FrmInserts *open(QWidget *frame);
    // The open box, or null.
    static FrmInserts *instance();

    TextControl *text() const { return m_text; }

private:
    explicit FrmInserts(QWidget *frame);

    TextControl *m_text;
    QLabel *m_label;
};
