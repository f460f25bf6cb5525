#include "inserts/commands.h"

#include "documents/documentwindow.h"
#include "inserts/casetransforms.h"
#include "inserts/catalogue.h"
#include "inserts/frminsertdate.h"
#include "inserts/frminserts.h"
#include "inserts/insertboxtext.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QAction>

namespace inserts {

namespace {

QString askFor(Ask ask)
{
    const InputBox box = inputBoxFor(ask);
    return platform::inputBox(box.prompt, box.title, box.initial);
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
    const std::optional<QString> piece = fragment(entry, selection, answer);
    if (!piece)
        return;
    // The Unicode write keeps the selection's bytes and turns what the
    // answer holds outside Latin-1 into "?", telling the user once.
    text->replaceSelection(*piece);
}

void changeCase(TextControl *text, QByteArray (*transform)(QByteArrayView))
{
    const QByteArray selection = text->selectedText();
    if (isBlank(selection))
        return;
    text->replaceSelection(QByteArrayView(transform(selection)));
}

} // namespace

void attach(DocumentWindow &window)
{
    QWidget *context = window.widget();
    // The text control is looked up when a command runs, never kept.
    DocumentWindow *win = &window;
    auto on = [&window, context](const char *name, auto handler) {
        if (QAction *a = window.action(QString::fromLatin1(name)))
            QObject::connect(a, &QAction::triggered, context, handler);
    };

    for (const CatalogueEntry &entry : catalogue()) {
        const CatalogueEntry *e = &entry;
        on(entry.name, [win, e] {
            if (TextControl *text = win->textControl())
                insertFragment(text, *e);
        });
    }

    on("mnuCapitalAllLetters", [win] { changeCase(win->textControl(), toUpperCase); });
    on("MnuLowerCase", [win] { changeCase(win->textControl(), toLowerCase); });
    on("mnuCapitalizeFirstLetters", [win] { changeCase(win->textControl(), toProperCase); });

    on("mnuInsertStampDate", [win] {
        // Modal over the main frame; the dialog writes into the slot it was given.
        FrmInsertDate dialog(win->slot(), win->widget()->window());
        dialog.exec();
    });
    on("mnuToolsInsertBox", [win] { FrmInserts::open(win->widget()->window()); });
    on("mnuToolsInsertText", [win] {
        const QByteArray text = InsertBoxText();
        if (!text.isEmpty())
            win->textControl()->replaceSelection(QByteArrayView(text));
    });
}

} // namespace inserts
