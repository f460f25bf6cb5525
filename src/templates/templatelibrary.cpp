#include "templates/templatelibrary.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/fileprompts.h"
#include "documents/textfile.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QDir>
#include <QSet>

#include <algorithm>

#include <cerrno>

using fileprompts::StepResult;
using fileprompts::Wording;

namespace templates {

QString templateFolder()
{
    return platform::ownFolder(QStringLiteral("templates"));
}

QStringList templateFolders()
{
    QStringList folders{templateFolder()};
    const QString shipped = platform::AppFolder() + QStringLiteral("templates");
    if (shipped != folders.constFirst())
        folders << shipped;
    return folders;
}

QList<TemplateEntry> listTemplateEntries(const QStringList &folders)
{
    QList<TemplateEntry> out;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        for (const QString &name : listTemplates(folder)) {
            if (seen.contains(name))
                continue;
            seen.insert(name);
            out.append({name, folder + QLatin1Char('/') + name});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const TemplateEntry &a, const TemplateEntry &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

QStringList listFiles(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir match without regard to letter case unless told.
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QStringList listTemplates(const QString &folder)
{
    return listFiles(folder, QStringLiteral("*.QPT"));
}

QByteArray previewBytes(const QString &path)
{
    platform::FileReader reader;
    QByteArray head;
    if (!reader.open(path, nullptr) || !reader.readHead(PreviewLength, &head, nullptr))
        return QByteArray();
    return head;
}

bool CreateFromTemplate(const QString &path)
{
    DocumentWindow *w = documents::CreateDocumentWindow();
    if (!w)
        return true;
    DocumentRegistry &reg = DocumentRegistry::instance();
    const int slot = w->slot();
    const quint32 generation = reg.generation(slot);
    reg.record(slot).Changed = false;

    platform::FileReader reader;
    QByteArray bytes;
    StepResult r = fileprompts::runStep(Wording::ReadWithNumber,
                                        [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Aborted)
        return false;
    if (r == StepResult::Ignored)
        return true; // nothing was opened, so there is nothing to read
    r = fileprompts::runStep(Wording::ReadWithNumber,
                             [&](platform::FileError *e) { return reader.readAll(&bytes, e); });
    reader.close();
    if (r == StepResult::Aborted)
        return false;
    if (r == StepResult::Ignored)
        return true;

    // The question may have been open for a while: look the window up again.
    if (reg.generation(slot) != generation || !reg.record(slot).InUse)
        return true;
    // Read by the template's own encoding, written in the new document's
    // format (with its line end, unless that is the classic one).
    if (DocumentWindow *now = reg.window(slot))
        now->textControl()->setText(decodeFileText(bytes));
    return true;
}

QString installedName(const QString &entry)
{
    const qsizetype cut = qMax(entry.lastIndexOf(QLatin1Char('/')), entry.lastIndexOf(QLatin1Char('\\')));
    QString name = entry.mid(cut + 1);
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return name;
}

bool installTemplate(const QString &source, const QString &folder, platform::FileError *err)
{
    const QString name = installedName(source);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        if (err)
            *err = platform::FileError{EINVAL, QStringLiteral("The entry does not name a file")};
        return false;
    }
    QByteArray bytes;
    if (!platform::readWholeFile(source, &bytes, err))
        return false;
    platform::FileWriter writer;
    if (!writer.open(folder + QLatin1Char('/') + name, err) || !writer.write(bytes, err)) {
        writer.cancel();
        return false;
    }
    return writer.commit(err);
}

int installTemplates(const QStringList &entries, const QString &folder)
{
    QDir().mkpath(folder);
    int installed = 0;
    for (const QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        platform::FileError err;
        if (installTemplate(entry, folder, &err)) {
            ++installed;
            continue;
        }
        platform::message(QStringLiteral("The template could not be installed:\r\n") + entry +
                              QStringLiteral("\r\n") + err.description,
                          platform::Buttons::Ok, platform::Icon::Exclamation);
    }
    return installed;
}

} // namespace templates
