#include "documents/documents.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "documents/newdocumentformat.h"
#include "documents/undohistory.h"
#include "platform/clipboard.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

namespace documents {

DocumentWindow *CreateDocumentWindow()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    const int slot = reg.takeSlot();
    if (slot == 0) {
        platform::message(QStringLiteral("No more documents can be opened."));
        return nullptr;
    }
    DocumentWindow *w = reg.window(slot);
    DocumentRecord &rec = reg.record(slot);
    rec.InUse = true;
    rec.Path.clear();
    rec.Title = QStringLiteral("Untitled");
    rec.Disk = DiskState();
    undo::ClearUndo(slot);
    // Set while the text is empty; an open puts the file's own in its place.
    w->textControl()->setFormat(NewDocumentFormat());
    w->showDocument();
    return w;
}

void NewDocument()
{
    DocumentWindow *w = CreateDocumentWindow();
    if (!w)
        return;
    DocumentRecord &rec = DocumentRegistry::instance().record(w->slot());
    rec.Title = QStringLiteral("Untitled");
    rec.Path.clear();
    rec.Changed = false;
    undo::ClearUndo(w->slot());
}

void NewDocumentFromClipboard()
{
    DocumentWindow *w = CreateDocumentWindow();
    if (!w)
        return;
    const int slot = w->slot();
    {
        DocumentRecord &rec = DocumentRegistry::instance().record(slot);
        rec.Title = QStringLiteral("Clipboard");
        rec.Path.clear();
        rec.Changed = true;
    }
    undo::ClearUndo(slot);
    platform::Clipboard &cb = platform::clipboard();
    if (cb.hasText())
        w->textControl()->setText(cb.text());
}

bool CloseDocument(DocumentWindow *window)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    const int slot = window->slot();
    if (!reg.isValidSlot(slot))
        return false;
    if (reg.record(slot).Changed) {
        const platform::Answer a = platform::message(
            QStringLiteral("Would you like to save the changes you may have made to your work?"),
            platform::Buttons::YesNoCancel, platform::Icon::None, window->caption());
        if (a == platform::Answer::Cancel)
            return true;
        if (a == platform::Answer::Yes) {
            const bool saved = reg.record(slot).Path.trimmed().isEmpty() ? fileops::SaveDocumentAs(slot)
                                                                         : fileops::SaveDocument(slot);
            // Closing after a save that did not happen would lose the work.
            if (!saved)
                return true;
        }
    }
    DocumentRecord &rec = reg.record(slot);
    rec.InUse = false;
    rec.Path.clear();
    rec.Title.clear();
    rec.Changed = false;
    rec.Disk = DiskState();
    window->hideDocument();
    return false;
}

} // namespace documents
