#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// A common file dialog object. It keeps its filter, flags and last file name
// between showings, the way each window's dialog is expected to.
class FileDialog
{
public:
    enum Flags { OverwritePrompt = 2, PathMustExist = 2048 };

    void setFilter(const QString &filter) { m_filter = filter; }
    QString filter() const { return m_filter; }
    void setFlags(int flags) { m_flags = flags; }
    int flags() const { return m_flags; }

    // Shows the dialog modally; afterwards fileName() is the chosen full path,
    // or "" when the user cancelled.
    void showOpen();
    void showSave();
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    // For dialogs whose names are kept (documents, projects): makes the chosen
    // name absolute (see absolutePath), so neither it nor the name the dialog
    // starts from next time depends on the working folder. Returns it; a
    // cancelled choice ("" or blanks) stays as it is.
    QString makeFileNameAbsolute();

    // "desc | pattern | desc | pattern" into Qt name filters, one per choice.
    static QStringList nameFilters(const QString &filter);

private:
    QString m_filter;
    int m_flags = 0;
    QString m_fileName;
};

} // namespace platform
