#pragma once

#include "platform/textformat.h"

#include <QWidget>

class QRadioButton;

// Options > "New Document Format..." on the frame: the line end and encoding
// of new documents (and of ASCII files, which could be either). One instance,
// shown not modal; OK keeps the choice in the settings store.
class FrmNewFormat : public QWidget
{
    Q_OBJECT

public:
    // Creates the dialog when there is none, fills it, centres it and shows it.
    static FrmNewFormat *showDialog();
    static FrmNewFormat *instance();

    TextFormat chosen() const;
    void choose(const TextFormat &format);

private:
    explicit FrmNewFormat(QWidget *parent = nullptr);
    void apply();

    QRadioButton *m_crlf = nullptr;
    QRadioButton *m_lf = nullptr;
    QRadioButton *m_latin1 = nullptr;
    QRadioButton *m_utf8 = nullptr;
    QRadioButton *m_utf8Bom = nullptr;
};
