#pragma once

#include <QWidget>

class QLabel;

// The about box: a borderless window with a picture, the title and the credit.
// Its "&OK" label works as the button.
class FrmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit FrmAbout(QWidget *parent = nullptr);
    static FrmAbout *showAbout(); // loads it, centres it, shows it, not modal

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QLabel *m_ok;
};
