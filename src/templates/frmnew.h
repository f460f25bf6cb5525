#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace templates {

// The New Document dialog: the installed templates with a preview of the
// chosen one, and the ways to make a new document from there.
class FrmNew : public QDialog
{
    Q_OBJECT

public:
    explicit FrmNew(QWidget *parent = nullptr);

    // The one dialog while it is open, or null.
    static FrmNew *instance();

    // Makes sure the template folder exists (telling the user when no
    // template folder did) and lists the templates of every folder.
    void load();
    // Reads the list again from the folder, keeping the chosen name.
    void refreshList();
    QString selectedName() const;
    // The file of the chosen template, in whichever folder it lies.
    QString selectedPath() const;

private:
    void showPreview();
    void createDocument();
    void blankDocument();
    void importTemplates();

    QListWidget *m_files;
    QLabel *m_preview;
};

} // namespace templates
