#pragma once

#include <QString>
#include <QStringList>

// How a viewer entry and a document's path become a program and its
// arguments. No shell is involved: blanks, quotes, ";" or "$(...)" in the
// document's path reach the viewer as they are and run nothing.
namespace viewers {

struct ViewerCommand
{
    QString program; // empty when the entry names no program
    QStringList arguments;
};

// When the entry as a whole names an existing executable (a path, or a name
// found on PATH) it is the program, blanks and all. Otherwise it is split the
// way a command line is, into a program and its own arguments. The document's
// path is appended whole, made absolute so a name starting with "-" is never
// taken for an option.
ViewerCommand buildViewerCommand(const QString &entryPath, const QString &documentPath);

} // namespace viewers
