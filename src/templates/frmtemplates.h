#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace templates {

class FolderList;

// The Install Template dialog: pick template files anywhere, collect them in
// the install list and copy them into the template folder.
class FrmTemplates : public QDialog
{
    Q_OBJECT

public:
    explicit FrmTemplates(QWidget *parent = nullptr);

    // Points the drive, folder and file lists at a folder.
    void goToFolder(const QString &folder);
    QStringList installList() const;

private:
    void driveChosen(int index);
    void folderChanged(const QString &folder);
    void fileClicked();
    void addEntry();
    void deleteEntry();
    void clearEntries();
    void importEntries();

    QComboBox *m_drives;
    FolderList *m_folders;
    QListWidget *m_files;
    QLineEdit *m_path;
    QListWidget *m_entries;
};

} // namespace templates
