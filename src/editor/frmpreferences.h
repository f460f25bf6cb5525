#pragma once

#include "editor/preferences.h"
#include "platform/textformat.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QRadioButton;
class QSpinBox;

// Options > "Preferences..." in both menu trees, and the frame's "New
// Document Format..." (opened at that choice). One instance, not modal.
// Every change is applied at once to every window and kept; nothing waits
// for an OK.
//
// Object names: frmPreferences; cboFont (font family), txtFontSize,
// txtTabWidth, chkTabSpaces, chkLineNumbers, chkCurrentLine, cboScheme
// ("Follow Desktop", "Light", "Dark"), optViewWindows, optViewTabs,
// chkReopenSession; fraNewFormat holding optCRLF, optLF, optLatin1, optUTF8,
// optUTF8BOM; cmdRestoreDefaults, cmdClose.
class FrmPreferences : public QWidget
{
    Q_OBJECT

public:
    enum class Section { General, NewDocumentFormat };
    // Creates the dialog when there is none, fills it, centres it and shows
    // it with the focus on the section.
    static FrmPreferences *showDialog(Section section = Section::General);
    static FrmPreferences *instance();

private:
    explicit FrmPreferences(QWidget *parent = nullptr);
    void fill(const preferences::Preferences &p, const TextFormat &format);
    preferences::Preferences chosen() const;
    TextFormat chosenFormat() const;
    void changed();
    void restoreDefaults();

    bool m_filling = false;
    // The family as chosen, which the font box may not list (an alias
    // such as "Monospace" shows as the font it stands for).
    QString m_family;
    QFontComboBox *m_font = nullptr;
    QSpinBox *m_fontSize = nullptr;
    QSpinBox *m_tabWidth = nullptr;
    QCheckBox *m_tabSpaces = nullptr;
    QCheckBox *m_lineNumbers = nullptr;
    QCheckBox *m_currentLine = nullptr;
    QComboBox *m_scheme = nullptr;
    QRadioButton *m_viewWindows = nullptr;
    QRadioButton *m_viewTabs = nullptr;
    QCheckBox *m_reopen = nullptr;
    QGroupBox *m_formatGroup = nullptr;
    QRadioButton *m_crlf = nullptr;
    QRadioButton *m_lf = nullptr;
    QRadioButton *m_latin1 = nullptr;
    QRadioButton *m_utf8 = nullptr;
    QRadioButton *m_utf8Bom = nullptr;
};
