#include "inserts/commands.h"

#include "documents/documentwindow.h"
#include "inserts/casetransforms.h"
#include "inserts/catalogue.h"
#include "inserts/frminsertdate.h"
#include "inserts/frminserts.h"
#include "inserts/insertboxtext.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"

namespace inserts {

namespace {

QString askFor(Ask ask)
{
    const InputBox box = inputBoxFor(ask);
    return platform::inputBox(box.prompt, box.title, box.initial);
}

// The fragment in the document's bytes, or nothing when the entry writes
// nothing for this answer. Only what the fragment adds is encoded and given
// the document's line end; the selection it wraps goes back byte for byte,
// so wrapping never changes the user's own text.
std::optional<QByteArray> fragmentBytes(const TextControl &text, const CatalogueEntry &entry,
                                        const QByteArray &selection, const QString &answer, int *replaced)
{
    // A noncharacter, which no text of the user's holds, marks where the selection goes.
    const QChar mark(0xFDD0);
    const bool marked = !selection.isEmpty() && !answer.contains(mark);
    const std::optional<QString> piece =
        fragment(entry, marked ? QString(mark) : text.decode(selection), answer);
    if (!piece)
        return std::nullopt;
    QByteArray out;
    *replaced = 0;
    const QList<QStringView> parts = QStringView(*piece).split(mark);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += selection;
        int lost = 0;
        out += text.encode(parts[i], &lost);
        *replaced += lost;
    }
    return out;
}

void insertFragment(TextControl *text, const CatalogueEntry &entry)
{
    QByteArray selection;
    QString answer;
    if (entry.ask == Ask::None || readsSelectionBeforeAsking(entry.ask)) {
        selection = text->selectedText();
        if (entry.ask != Ask::None)
            answer = askFor(entry.ask);
    } else {
        answer = askFor(entry.ask);
        selection = text->selectedText();
    }
    int replaced = 0;
    const std::optional<QByteArray> bytes = fragmentBytes(*text, entry, selection, answer, &replaced);
    if (!bytes)
        return;
    text->replaceSelection(QByteArrayView(*bytes));
    // What the answer held that the document cannot keep became "?".
    TextControl::reportReplaced(replaced);
}

void changeCase(TextControl *text, QByteArray (*latin1)(QByteArrayView), QString (*unicode)(QStringView))
{
    const QByteArray selection = text->selectedText();
    if (isBlank(selection))
        return;
    // Line breaks are left as they are: no line end is given to the result.
    const QByteArray changed =
        text->format().isUtf8() ? textcodec::encode(unicode(text->decode(selection)), text->format().encoding)
                                : latin1(selection);
    text->replaceSelection(QByteArrayView(changed));
}

} // namespace

void attach(DocumentWindow &window)
{
    QWidget *w = window.widget();
    // The text control is looked up when a command runs, never kept.
    DocumentWindow *win = &window;

    for (const CatalogueEntry &entry : catalogue()) {
        const CatalogueEntry *e = &entry;
        platform::wire(w, entry.name, [win, e] {
            if (TextControl *text = win->textControl())
                insertFragment(text, *e);
        });
    }

    platform::wire(w, "mnuCapitalAllLetters",
                   [win] { changeCase(win->textControl(), toUpperCase, toUpperCase); });
    platform::wire(w, "MnuLowerCase", [win] { changeCase(win->textControl(), toLowerCase, toLowerCase); });
    platform::wire(w, "mnuCapitalizeFirstLetters",
                   [win] { changeCase(win->textControl(), toProperCase, toProperCase); });

    platform::wire(w, "mnuInsertStampDate", [win] {
        // Modal over the main frame; the dialog writes into the slot it was given.
        FrmInsertDate dialog(win->slot(), win->widget()->window());
        dialog.exec();
    });
    platform::wire(w, "mnuToolsInsertBox", [win] { FrmInserts::open(win->widget()->window()); });
    platform::wire(w, "mnuToolsInsertText", [win] {
        const QString text = InsertBoxText();
        if (!text.isEmpty())
            win->textControl()->replaceSelection(text);
    });
}

} // namespace inserts
