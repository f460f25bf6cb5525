#include "documents/fileops.h"

#include "documents/checksum.h"
#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/fileprompts.h"
#include "documents/newdocumentformat.h"
#include "documents/recentfiles.h"
#include "documents/safesave.h"
#include "documents/textfile.h"
#include "documents/undohistory.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/prompts.h"
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

// A file read for a document: its bytes, whether all of them could be read,
// and the file as it was then.
struct FileRead
{
    bool aborted = false;
    bool complete = true;
    QByteArray bytes;
    DiskState disk;
};

FileRead readForDocument(const QString &path, Wording wording)
{
    FileRead out;
    platform::FileReader reader;
    StepResult r = fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Aborted) {
        out.aborted = true;
        return out;
    }
    out.complete = r == StepResult::Done;
    r = fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.readAll(&out.bytes, e); });
    if (r == StepResult::Aborted) {
        out.aborted = true;
        return out;
    }
    out.complete = out.complete && r == StepResult::Done;
    if (out.complete)
        out.disk = DiskState::fromStamp(reader.stamp(), Checksum::of(out.bytes));
    reader.close();
    return out;
}

void tellForeignEncoding(const QString &path, const DetectedFormat &detected)
{
    if (detected.foreignEncoding.isEmpty())
        return;
    platform::message(
        QStringLiteral("The file \"%1\" uses %2, an encoding that Quillpad shows byte by byte.\r\n"
                       "Its bytes are kept exactly as they are.")
            .arg(path, detected.foreignEncoding),
        platform::Buttons::Ok, platform::Icon::Exclamation);
}

// The classic reading turned lone CRs into CR LF; the file will not be
// written back as it was, and the user should know before saving.
void tellLoneCrs(DocumentWindow *w, qsizetype loneCrs)
{
    if (loneCrs > 0)
        w->showNotice(QStringLiteral("Lone CR line ends will be saved as CR LF"));
}

void openWithWording(const QString &path, Wording wording)
{
    FileRead read = readForDocument(path, wording);
    if (read.aborted)
        return;
    const bool complete = read.complete;
    const DiskState disk = read.disk;
    const DetectedFormat detected = detectFormat(read.bytes, documents::NewDocumentFormat());
    qsizetype loneCrs = 0;
    const QByteArray text = textFromFileBytes(std::move(read.bytes), detected.format, &loneCrs);

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
    // The format goes first, while the document is still empty.
    w->textControl()->setFormat(detected.format);
    w->pathChanged(path);
    w->textControl()->setOpenedText(text, detected.characters);
    DocumentRegistry::instance().record(slot).Changed = !complete;
    if (complete)
        recentfiles::AddRecentFile(path);
    tellLoneCrs(w, loneCrs);
    tellForeignEncoding(path, detected);
}

// Writes the text to path, framed as its format wants (see fileFrame). Retry writes the whole text
// again; Ignore and Abort both leave the old file as it was, since a partly
// written file is never put in its place. On success, *disk is the file as written.
bool writeFile(const QString &path, int slot, bool binary, DiskState *disk)
{
    for (;;) {
        platform::FileError err;
        DocumentWindow *w = DocumentRegistry::instance().window(slot);
        const QByteArrayView text = w ? w->textControl()->bytes() : QByteArrayView();
        const FileFrame frame =
            fileFrame(w ? w->textControl()->format() : TextFormat::classic(), text, binary);
        quint64 checksum = 0;
        if (safesave::writeFile(path, frame.prefix, text, frame.ending, &err, &checksum)) {
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

// Kept absolute, so the record, the recent list and the journals still name
// the same file when the program later runs from another folder.
void OpenFile(const QString &path)
{
    openWithWording(platform::absolutePath(path), Wording::Read);
}

void OpenFileWithDialog()
{
    platform::FileDialog &dlg = SharedFileDialog();
    dlg.setFilter(QString::fromLatin1(FileFilter));
    dlg.showOpen();
    dlg.setFlags(platform::FileDialog::PathMustExist);
    const QString name = dlg.makeFileNameAbsolute();
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
    const QString name = dlg.makeFileNameAbsolute();
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

bool ReopenWithEncoding(int slot, Encoding encoding)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot) || !reg.record(slot).InUse || reg.record(slot).Path.trimmed().isEmpty())
        return false;
    const quint32 generation = reg.generation(slot);
    if (reg.record(slot).Changed &&
        platform::message(
            QStringLiteral("This document has unsaved changes. Reopening the file loses them.\r\n"
                           "Reopen it anyway?"),
            platform::Buttons::YesNo, platform::Icon::Exclamation) != platform::Answer::Yes)
        return false;
    const QString path = reg.record(slot).Path;
    FileRead read = readForDocument(path, Wording::Read);
    // Nothing to show unless the whole file came; the question may have been
    // open a while, so the document must still be the one asked about.
    DocumentWindow *w = reg.window(slot);
    if (read.aborted || !read.complete || !w || reg.generation(slot) != generation || !reg.record(slot).InUse)
        return false;
    const DetectedFormat detected = detectFormat(read.bytes, documents::NewDocumentFormat(), encoding);
    qsizetype loneCrs = 0;
    const QByteArray text = textFromFileBytes(std::move(read.bytes), detected.format, &loneCrs);

    TextControl *control = w->textControl();
    const long firstLine = control->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long caretLine =
        control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(control->selStart()));
    // As a fresh open into the same window: the old text and its undo go.
    w->resetForNewDocument();
    undo::ClearUndo(slot);
    control->setFormat(detected.format);
    w->pathChanged(path);
    control->setOpenedText(text, detected.characters);
    control->setSelStart(control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, caretLine));
    control->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    DocumentRecord &rec = reg.record(slot);
    rec.Disk = read.disk;
    rec.Changed = false;
    tellLoneCrs(w, loneCrs);
    return true;
}

} // namespace fileops
