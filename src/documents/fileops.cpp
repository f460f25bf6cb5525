#include "documents/fileops.h"

#include "documents/checksum.h"
#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/fileprompts.h"
#include "documents/newdocumentformat.h"
#include "documents/readahead.h"
#include "documents/recentfiles.h"
#include "documents/safesave.h"
#include "documents/textfile.h"
#include "documents/textstream.h"
#include "documents/undohistory.h"
#include "platform/engineloader.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/longtask.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QLocale>

#include <memory>
#include <optional>

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

platform::FileDialog &sharedFileDialog()
{
    static platform::FileDialog fallback;
    return g_sharedDialog ? *g_sharedDialog : fallback;
}

void setSharedFileDialog(platform::FileDialog *dialog)
{
    g_sharedDialog = dialog;
}

namespace {

// Files from this size on are read piece by piece straight into an engine
// document on a worker, with their progress shown and Cancel offered: never
// held twice, and the program never stops answering.
constexpr qsizetype kStreamFrom = qsizetype(64) << 20;
constexpr qsizetype kPieceBytes = qsizetype(4) << 20;
qsizetype g_streamFrom = kStreamFrom;
qsizetype g_pieceBytes = kPieceBytes;
// A line this long takes the engine long to lay out at every change: colours
// and brace matching are left off for such a file.
constexpr qsizetype kLongLine = qsizetype(1) << 20;
qsizetype g_longLine = kLongLine;
// A line this long keeps the window from answering for half a minute or more
// when it is shown.
constexpr qsizetype kSlowLine = qsizetype(32) << 20;
qsizetype g_slowLine = kSlowLine;

// What a file gives a document: its text (read whole, or streamed into an
// engine document), whether all of it could be read, its format and the file
// as it was then.
struct FileText
{
    bool aborted = false; // Abort, a Cancel, or no room for it: nothing to show
    bool complete = true;
    DiskState disk;
    DetectedFormat detected;
    qsizetype loneCrs = 0;
    QByteArray text;
    std::unique_ptr<EngineLoader> loader;
    qsizetype streamed = 0; // bytes of text in the loader's document
    QByteArray prefix;      // a mark that turned out to be text, before it
    bool longLines = false;
    qsizetype longest = 0; // the longest line, when longLines

    // Into the control, whose format is set already.
    void putInto(TextControl *control)
    {
        if (loader)
            control->adoptDocument(loader->take(), streamed, detected.characters, prefix);
        else
            control->setOpenedText(text, detected.characters);
    }
};

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// Reads the open file piece by piece into an engine document, showing its
// progress. Read failures ask the usual question; Retry starts again.
void streamText(platform::FileReader &reader, const QString &path, Wording wording,
                std::optional<Encoding> forced, FileText &out)
{
    const qint64 size = reader.size();
    const qint64 free = platform::availableMemory();
    const qint64 need = size + TextControl::roomFor(size);
    if (free >= 0 && need > free) {
        platform::message(QStringLiteral("The file \"%1\" is %2: opening it needs more memory than this "
                                         "computer has free (%3). Nothing was opened.")
                              .arg(path, sizeText(size), sizeText(free)),
                          platform::Buttons::Ok, platform::Icon::Exclamation);
        out.aborted = true;
        return;
    }
    EngineLoader::readyToMake();
    for (;;) {
        std::unique_ptr<EngineLoader> loader;
        platform::FileError err;
        bool readFailed = false, noRoom = false;
        qsizetype streamed = 0;
        QByteArray first; // the text of the first piece, until there is a document for it
        quint64 checksum = 0;
        LongLineWatch lineWatch(g_longLine);
        TextStream stream([&](QByteArrayView t) {
            if (!loader) {
                first += t;
                return true;
            }
            streamed += t.size();
            return loader->add(t);
        });
        // The document is made once the first piece tells what its code page
        // is likely to be: set while it is empty that costs nothing; on a full
        // one the engine would go over every line.
        auto makeDocument = [&](platform::LongTask &task) {
            loader = std::make_unique<EngineLoader>(need, false);
            if (!loader->isValid()) {
                noRoom = true;
                return;
            }
            const bool utf8 =
                decideFormat(stream.factsSoFar(), documents::NewDocumentFormat(), forced).format.isUtf8();
            if (!utf8 && !task.onWindowThread([&loader] { loader->useCodePage(false); }))
                return; // stopped meanwhile
            streamed = first.size();
            noRoom = !loader->add(first);
            first = QByteArray();
        };
        const bool done = platform::runLongTask(
            QStringLiteral("Opening"), QStringLiteral("Opening %1").arg(path), [&](platform::LongTask &task) {
                task.total.store(size);
                // Reading goes on ahead while the engine takes the pieces before.
                ReadAhead pieces(reader, size, g_pieceBytes);
                qint64 pos = 0;
                for (QByteArrayView piece; !task.stop.load();) {
                    if (!pieces.next(&piece, &err)) {
                        readFailed = true;
                        break;
                    }
                    if (piece.isEmpty())
                        break;
                    lineWatch.feed(piece);
                    if (!stream.feed(piece)) {
                        noRoom = true;
                        return;
                    }
                    if (!loader) {
                        makeDocument(task);
                        if (noRoom)
                            return;
                    }
                    pos += piece.size();
                    task.done.store(pos);
                }
                checksum = pieces.checksum();
                if (!loader && !task.stop.load())
                    makeDocument(task); // nothing read at all
            });
        if (noRoom) {
            platform::message(QStringLiteral("There is not enough memory to open the file \"%1\" (%2).")
                                  .arg(path, sizeText(size)),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
            out.aborted = true;
            return;
        }
        if (!done) {
            out.aborted = true; // cancelled: no window, nothing kept
            return;
        }
        if (readFailed) {
            const platform::Answer a = fileprompts::ask(wording, err);
            if (a == platform::Answer::Retry)
                continue;
            if (a != platform::Answer::Ignore) {
                out.aborted = true;
                return;
            }
            out.complete = false; // what was read so far, never saved over the file
        }
        stream.finish();
        loader->add(QByteArray(TextControl::roomFor(streamed), ' '));
        out.detected = decideFormat(stream.facts(), documents::NewDocumentFormat(), forced);
        if (stream.markIsText(out.detected.format))
            out.prefix = utf8Mark().toByteArray();
        out.loneCrs = stream.loneCrs();
        out.longLines = lineWatch.found();
        out.longest = lineWatch.longest();
        out.streamed = streamed;
        out.loader = std::move(loader);
        if (out.complete)
            out.disk = DiskState::fromStamp(reader.stamp(), checksum);
        return;
    }
}

FileText readFileText(const QString &path, Wording wording, std::optional<Encoding> forced)
{
    FileText out;
    platform::FileReader reader;
    StepResult r =
        fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Aborted) {
        out.aborted = true;
        return out;
    }
    out.complete = r == StepResult::Done;
    if (out.complete && reader.size() >= g_streamFrom) {
        streamText(reader, path, wording, forced, out);
        return out;
    }
    QByteArray bytes;
    r = fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.readAll(&bytes, e); });
    if (r == StepResult::Aborted) {
        out.aborted = true;
        return out;
    }
    out.complete = out.complete && r == StepResult::Done;
    if (out.complete)
        out.disk = DiskState::fromStamp(reader.stamp(), Checksum::of(bytes));
    reader.close();
    out.detected = detectFormat(bytes, documents::NewDocumentFormat(), forced);
    LongLineWatch lineWatch(g_longLine);
    lineWatch.feed(bytes);
    out.longLines = lineWatch.found();
    out.longest = lineWatch.longest();
    out.text = textFromFileBytes(std::move(bytes), out.detected.format, &out.loneCrs);
    return out;
}

// The engine lays a line out whole, at a rate measured at about 1.3 MB a
// second, taking some 12 bytes of memory for each of its bytes meanwhile. A
// line that would keep the window from answering for long is asked about
// first; one that cannot be laid out in the memory there is, refused.
constexpr double kLayoutBytesPerSecond = 1.3e6;
constexpr qsizetype kLayoutBytesPerByte = 12;

bool mayShowLongestLine(const QString &path, qsizetype longest)
{
    if (longest < g_slowLine)
        return true;
    const qint64 free = platform::availableMemory();
    if (free >= 0 && longest * kLayoutBytesPerByte > free) {
        platform::message(
            QStringLiteral("The file \"%1\" has a line of %2: showing it needs more memory than "
                           "this computer has free (%3). Nothing was opened.")
                .arg(path, sizeText(longest), sizeText(free)),
            platform::Buttons::Ok, platform::Icon::Exclamation);
        return false;
    }
    const qint64 seconds = qMax<qint64>(1, qRound64(double(longest) / kLayoutBytesPerSecond));
    return platform::message(
               QStringLiteral("The file \"%1\" has a line of %2. Quillpad lays out a line that long "
                              "for about %3 seconds before it can show it, and cannot respond "
                              "meanwhile.\r\nOpen it anyway?")
                   .arg(path, sizeText(longest))
                   .arg(seconds),
               platform::Buttons::YesNo, platform::Icon::Exclamation) == platform::Answer::Yes;
}

// The file's text, or nothing (aborted) when the user would rather not wait
// for its longest line to be shown.
FileText readText(const QString &path, Wording wording, std::optional<Encoding> forced = std::nullopt)
{
    FileText out = readFileText(path, wording, forced);
    if (!out.aborted && out.longLines && !mayShowLongestLine(path, out.longest)) {
        FileText none;
        none.aborted = true;
        return none;
    }
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
    FileText read = readText(path, wording);
    if (read.aborted)
        return;
    DocumentWindow *w = documents::CreateDocumentWindow();
    if (!w)
        return;
    const int slot = w->slot();
    {
        DocumentRecord &rec = DocumentRegistry::instance().record(slot);
        // A document that does not hold the whole file must never be saved over it.
        rec.Path = read.complete ? path : QString();
        rec.Title = path;
        rec.Disk = read.disk;
    }
    // The format goes first, while the document is still empty, and the view
    // knows of very long lines before it colours anything.
    w->textControl()->setFormat(read.detected.format);
    w->setLongLines(read.longLines);
    w->pathChanged(path);
    read.putInto(w->textControl());
    DocumentRegistry::instance().record(slot).Changed = !read.complete;
    if (read.complete)
        recentfiles::AddRecentFile(path);
    tellLoneCrs(w, read.loneCrs);
    tellForeignEncoding(path, read.detected);
}

// Writes the text to path, framed as its format wants (see fileFrame). Retry writes the whole text
// again; Ignore and Abort both leave the old file as it was, since a partly
// written file is never put in its place. On success, *disk is the file as written.
bool writeFile(const QString &path, int slot, bool binary, DiskState *disk)
{
    for (;;) {
        platform::FileError err;
        DocumentWindow *w = DocumentRegistry::instance().window(slot);
        if (w)
            w->textControl()->settle();
        const QByteArrayView text = w ? w->textControl()->bytes() : QByteArrayView();
        const FileFrame frame =
            fileFrame(w ? w->textControl()->format() : TextFormat::classic(), text, binary);
        quint64 checksum = 0;
        bool written = false;
        bool cancelled = false;
        if (text.size() < g_streamFrom) {
            written = safesave::writeFile(path, frame.prefix, text, frame.ending, &err, &checksum);
        } else {
            // A huge text is written on a worker, with progress and Cancel. The
            // window is modal meanwhile, so nothing changes the bytes it writes.
            cancelled =
                !platform::runLongTask(QStringLiteral("Saving"), QStringLiteral("Saving %1").arg(path),
                                       [&](platform::LongTask &task) {
                                           task.total.store(text.size());
                                           written =
                                               safesave::writeFile(path, frame.prefix, text, frame.ending,
                                                                   &err, &checksum, [&task](qint64 done) {
                                                                       task.done.store(done);
                                                                       return !task.stop.load();
                                                                   });
                                       });
        }
        if (cancelled)
            return false; // the old file stays as it was, and nothing is asked
        if (written) {
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
    platform::FileDialog &dlg = sharedFileDialog();
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
    platform::FileDialog &dlg = sharedFileDialog();
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

bool SaveDocumentAs(int slot)
{
    return saveWithDialog(slot, false);
}
bool SaveDocumentBinary(int slot)
{
    return saveWithDialog(slot, true);
}

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
    FileText read = readText(path, Wording::Read, encoding);
    // Nothing to show unless the whole file came; the question may have been
    // open a while, so the document must still be the one asked about.
    DocumentWindow *w = reg.window(slot);
    if (read.aborted || !read.complete || !w || reg.generation(slot) != generation || !reg.record(slot).InUse)
        return false;

    TextControl *control = w->textControl();
    const long firstLine = control->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long caretLine =
        control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(control->selStart()));
    // As a fresh open into the same window: the old text and its undo go.
    w->resetForNewDocument();
    undo::ClearUndo(slot);
    control->setFormat(read.detected.format);
    w->setLongLines(read.longLines);
    w->pathChanged(path);
    read.putInto(control);
    control->setSelStart(control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, caretLine));
    control->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    DocumentRecord &rec = reg.record(slot);
    rec.Disk = read.disk;
    rec.Changed = false;
    tellLoneCrs(w, read.loneCrs);
    return true;
}

void setLongLine(qsizetype bytes, qsizetype slowBytes)
{
    g_longLine = bytes > 0 ? bytes : kLongLine;
    g_slowLine = slowBytes > 0 ? slowBytes : kSlowLine;
}

qsizetype hugeTextBytes()
{
    return g_streamFrom;
}

void setStreaming(qsizetype from, qsizetype pieceBytes)
{
    g_streamFrom = from > 0 ? from : kStreamFrom;
    g_pieceBytes = pieceBytes > 0 ? pieceBytes : kPieceBytes;
}

} // namespace fileops
