#pragma once

#include "platform/filedialog.h"

#include <QWidget>

#include <array>

class QLineEdit;

// The view settings dialog: the program path and title of the three external
// viewers. One instance, shown not modal; every showing refills it from the
// viewer table.
class FrmViewSettings : public QWidget
{
    Q_OBJECT

public:
    // Creates the dialog when there is none, centres it, fills it and shows it.
    static FrmViewSettings *showDialog();
    // The open dialog, or null.
    static FrmViewSettings *instance();

    // Replaces what the boxes hold with the viewer table.
    void fill();

private:
    explicit FrmViewSettings(QWidget *parent = nullptr);
    void browse(int row);
    void apply();

    std::array<QLineEdit *, 3> m_program{};
    std::array<QLineEdit *, 3> m_title{};
    platform::FileDialog m_fileDialog;
};
