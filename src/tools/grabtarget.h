#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

class DocumentWindow;
class TextControl;

namespace tools {

// The document a tool writes into: its registry slot, plus how often the slot
// had been handed out when the tool was pointed at it. If the document is
// closed and another takes the slot, the counts differ and the tool no longer
// finds a target, instead of writing into a stranger's text.
struct GrabTarget
{
    int slot = 0;
    quint32 generation = 0;

    static GrabTarget of(const DocumentWindow &window);
    // The slot number as text, as a window's tag holds it.
    QString tag() const { return QString::number(slot); }
    // The text control of that same document, or null once it was closed.
    TextControl *control() const;
    // Replaces the document's selection (or inserts at its caret), in the
    // document's encoding and line end. False, and nothing written anywhere,
    // when the document is gone.
    bool write(const QString &text) const;
};

} // namespace tools
