#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The Insert menu's ready-made fragments of HTML, CSS and C++, and the
// copyright line, as data: no widgets, so tests can run every entry directly.
namespace inserts {

// Which input box an entry asks before it writes.
enum class Ask { None, CssClass, SpanId, AnchorLink, EmailLink };

// An input box: title, prompt and the value it starts with.
struct InputBox
{
    QString title;
    QString prompt;
    QString initial;
};

struct CatalogueEntry
{
    const char *name; // object name of the menu entry
    Ask ask;
    // Builds the fragment from the selection ("" when nothing is selected)
    // and the answer.
    QString (*build)(const QString &selection, const QString &answer);
};

// Every catalogue entry, in menu order.
const std::vector<CatalogueEntry> &catalogue();
const CatalogueEntry *findEntry(QStringView name);

InputBox inputBoxFor(Ask ask);

// Entries that use the selection together with an answer read the selection
// only after the box has closed; the links read it first.
bool readsSelectionBeforeAsking(Ask ask);

// The fragment an entry writes in place of the selection (or at the caret),
// or nothing when the entry writes nothing for this answer (a CSS entry
// answered with "").
std::optional<QString> fragment(const CatalogueEntry &entry, const QString &selection,
                                const QString &answer = QString());

} // namespace inserts
