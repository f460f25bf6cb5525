#include "documents/fileops.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/checksum.h"
#include "documents/fileprompts.h"
#include "documents/recentfiles.h"
#include "documents/safesave.h"
#include "documents/textfile.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"

using fileprompts::StepResult;
using fileprompts::Wording;

namespace fileops {

const char *const FileFilter =
    " Text Files(.txt) | *.txt | Setting Files (ini) | *.ini | Setup Information Files (inf) | *.inf | "
    "Webpages (htm/html) | *.html; *.htm | All Text Files | *.txt; *.ini; *.inf | Web files | *.html; *.htm; "
    "*.xml | Script Files | *.php; *.asp; *.js; *.css | Template Files | *.qpt | Programming Files | *.CPP; "
    "*.frm; *.PHP; *.java; *.pl | All Files | *.*";

namespace {
platform::FileDialog *g_sharedDialog = nullptr;
}

platform::FileDialog &SharedFileDialog()
{
    static platform::FileDialog fallback;
    return g_sharedDialog ? *g_sharedDialog : fallback;
}

void setSharedFileDialog(platform::FileDialog *dialog) { g_sharedDialog = dialog; }

namespace {

void openWithWording(const QString &path, Wording wording)
{
    platform::FileReader reader;
    QByteArray bytes;
    bool complete = true;

    StepResult r = fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Aborted)
        return;
    complete = complete && r == StepResult::Done;
    r = fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.readAll(&bytes, e); });
    if (r == StepResult::Aborted)
        return;
    complete = complete && r == StepResult::Done;
    const DiskState disk =
        complete ? DiskState::fromStamp(reader.stamp(), Checksum::of(bytes)) : DiskState();
    reader.close();

    const QByteArray text = textFromFileBytes(std::move(bytes));
    bytes = QByteArray();

    DocumentWindow *w = documents::CreateDocumentWindow();
    if (!w)
        return;
    const int slot = w->slot();
    {
        DocumentRecord &rec = DocumentRegistry::instance().record(slot);
        // A document that does not hold the whole file must never be saved over it.
        rec.Path = complete ? path : QString();
        rec.Title = path;
        rec.Disk = disk;
    }
    w->pathChanged(path);
    w->textControl()->setOpenedText(text);
    DocumentRegistry::instance().record(slot).Changed = !complete;
    if (complete)
        recentfiles::AddRecentFile(path);
}

// Writes text (plus CR LF unless binary) to path. Retry writes the whole text
// again; Ignore and Abort both leave the old file as it was, since a partly
// written file is never put in its place. On success, *disk is the file as written.
bool writeFile(const QString &path, int slot, bool binary, DiskState *disk)
{
    for (;;) {
        platform::FileError err;
        DocumentWindow *w = DocumentRegistry::instance().window(slot);
        const QByteArrayView text = w ? w->textControl()->bytes() : QByteArrayView();
        quint64 checksum = 0;
        if (safesave::writeFile(path, text, binary ? QByteArrayView() : QByteArrayView("\r\n"), &err, &checksum)) {
            *disk = DiskState::capture(path, checksum);
            return true;
        }
        if (fileprompts::ask(Wording::Save, err) != platform::Answer::Retry)
            return false;
    }
}

// A save over the document's own file first asks when another program
// changed or removed that file since it was loaded or saved.
bool mayOverwrite(int slot, const QString &path)
{
    const DocumentRecord &rec = DocumentRegistry::instance().record(slot);
    if (path != rec.Path)
        return true;
    return diskstate::confirmOverwrite(path, rec.Disk);
}

} // namespace

void OpenFile(const QString &path) { openWithWording(path, Wording::Read); }

void OpenFileWithDialog()
{
    platform::FileDialog &dlg = SharedFileDialog();
    dlg.setFilter(QString::fromLatin1(FileFilter));
    dlg.showOpen();
    dlg.setFlags(platform::FileDialog::PathMustExist);
    const QString name = dlg.fileName();
    if (name.trimmed().isEmpty())
        return;
    openWithWording(name, Wording::ReadWithNumber);
}

bool SaveDocument(int slot)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot))
        return false;
    const QString path = reg.record(slot).Path;
    DiskState disk;
    if (!mayOverwrite(slot, path) || !writeFile(path, slot, false, &disk))
        return false;
    DocumentRecord &rec = reg.record(slot);
    rec.Disk = disk;
    rec.Changed = false;
    rec.InUse = true;
    recentfiles::AddRecentFile(path);
    return true;
}

namespace {

bool saveWithDialog(int slot, bool binary)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot))
        return false;
    platform::FileDialog &dlg = SharedFileDialog();
    dlg.setFilter(QString::fromLatin1(FileFilter));
    dlg.setFlags(platform::FileDialog::PathMustExist | platform::FileDialog::OverwritePrompt);
    dlg.showSave();
    const QString name = dlg.fileName();
    if (name.trimmed().isEmpty())
        return false;
    DiskState disk;
    if (!mayOverwrite(slot, name) || !writeFile(name, slot, binary, &disk))
        return false;
    DocumentRecord &rec = reg.record(slot);
    rec.Disk = disk;
    rec.Changed = false;
    rec.Path = name;
    rec.Title = name;
    rec.InUse = true;
    if (DocumentWindow *w = reg.window(slot))
        w->pathChanged(name);
    recentfiles::AddRecentFile(name);
    return true;
}

} // namespace

bool SaveDocumentAs(int slot) { return saveWithDialog(slot, false); }
bool SaveDocumentBinary(int slot) { return saveWithDialog(slot, true); }

} // namespace fileops
