#pragma once

#include "platform/fileio.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The template folder beside the program and the files in it: listing,
// previews, new documents made from a template, and installing templates.
namespace templates {

// The folder templates are installed into: "templates" in the program
// folder, or in the user's data folder when the program folder cannot be
// written (an installed program).
QString templateFolder();
// The folders whose templates are offered, in order of precedence:
// templateFolder(), then the "templates" folder shipped beside the program
// when that is another one.
QStringList templateFolders();

struct TemplateEntry
{
    QString name;
    QString path;
};
// The ".QPT" files of the folders, sorted by name. A name found in more than
// one folder is offered once, from the earliest folder, so a template the
// user installs under a shipped template's name takes its place.
QList<TemplateEntry> listTemplateEntries(const QStringList &folders);

// The ".QPT" files (any letter case) in folder, sorted by name.
QStringList listTemplates(const QString &folder);
// Files of folder whose names end in the pattern's extension (any letter
// case), sorted by name; pattern is "*.ext".
QStringList listFiles(const QString &folder, const QString &pattern);

// The first PreviewLength bytes of the file; "" when it cannot be read.
inline constexpr int PreviewLength = 70;
QByteArray previewBytes(const QString &path);

// Makes a new "Untitled" document and writes the template's bytes into it as
// they are. A read failure asks the read question (the error number first);
// the new window stays whatever the answer. Returns false when the user
// chose Abort there, true when the operation ran to its end.
bool CreateFromTemplate(const QString &path);

// The name a template is installed under: what follows the last "/" or "\"
// of the entry, with every space turned into "_".
QString installedName(const QString &entry);

// Copies source into folder under its installed name, replacing a file of
// that name. The copy goes through a temporary beside the target, so a
// failure leaves neither a partial file nor a changed old one.
bool installTemplate(const QString &source, const QString &folder, platform::FileError *err);

// Installs every entry, first to last. Empty entries are passed over; each
// failed copy is reported in a message box and the others go on. Returns the
// number of templates installed.
int installTemplates(const QStringList &entries, const QString &folder);

} // namespace templates
