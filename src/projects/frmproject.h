#pragma once

#include "platform/filedialog.h"
#include "projects/projectlist.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace projects {

// The project window: shows the project list, adds and drops files, opens and
// saves project files, and opens a listed file on a double-click. There is one
// at most; closing it destroys it, while the list keeps its entries.
class FrmProject : public QWidget
{
    Q_OBJECT

public:
    // The loaded window, or null.
    static FrmProject *instance();
    // The window, loaded hidden when it is not loaded.
    static FrmProject *load();
    // Loads the window when needed and shows it, not modal.
    static void showWindow();

    // The button captions and tags, by index.
    static const QList<QPair<QString, QString>> &actions();

    void setProjectName(const QString &path);
    void setStatus(const QString &report);
    void showRows(const QList<ProjectRow> &rows);

    // The shared click handler of the cmdAction buttons.
    void cmdAction_Click(int index);
    void AddFileFromDialog();
    void LoadSaveProject();
    void LoadOpenProject();
    void DropSelectedFile();
    void OpenSelectedFile();

    platform::FileDialog &cdProject() { return m_cdProject; }
    platform::FileDialog &cdiaFile() { return m_cdiaFile; }

private:
    explicit FrmProject(QWidget *parent);
    void buildControls();
    void onModeChanged();
    // The index of the selected row (from 0), or -1 when none is selected.
    int selectedIndex() const;

    QLabel *m_lblProjectName;
    QLineEdit *m_txtProjectName;
    QLabel *m_modeLabel;
    QComboBox *m_cboPrjMode;
    QGroupBox *m_fraUrlInfo;
    QLabel *m_urlLabel;
    QLineEdit *m_txtUrl;
    QCheckBox *m_chkUploadonSave;
    QTreeWidget *m_prjList;
    QList<QPushButton *> m_cmdAction;
    QLabel *m_lblStatus;
    platform::FileDialog m_cdProject;
    platform::FileDialog m_cdiaFile;
};

} // namespace projects
