#pragma once

#include "platform/textformat.h"

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The document text control: a Scintilla buffer holding the document's bytes
// as they are, in the document's format (see TextFormat). Positions and
// lengths are byte offsets; CR LF counts as two and lone CR, lone LF and NUL
// stay. In the classic format one byte is one Latin-1 character; in UTF-8 a
// character may take several bytes, and the caret never stands inside one.
//
// Every read and write here passes a length, never a NUL-terminated string,
// so NUL bytes survive. Text coming in as Unicode (the clipboard, input boxes)
// is encoded for the document and, outside the classic format, given its line
// end. A Latin-1 document cannot hold every character: those become "?" and
// the user is told.
class StyledLoad;

class TextControl : public QsciScintillaBase
{
    Q_OBJECT

public:
    explicit TextControl(QWidget *parent = nullptr);
    ~TextControl() override;

    // The whole text. bytes() points into the control's own buffer and is
    // valid until the next change; text() copies.
    QByteArrayView bytes() const;
    QByteArray text() const { return bytes().toByteArray(); }
    // A part of the text, valid until the next change. Unlike bytes(), it
    // leaves the engine's buffer as it is unless the part spans its gap.
    QByteArrayView bytes(qsizetype pos, qsizetype length) const;
    QString textString() const { return decode(bytes()); }
    qsizetype length() const;
    // Characters, kept up to date from each edit: in UTF-8 a character of
    // several bytes counts once; a line break counts as its bytes.
    qsizetype characterCount() const;

    // How the bytes are held. Setting it converts nothing: the bytes are
    // taken as they stand (callers convert first where they must).
    const TextFormat &format() const { return m_format; }
    void setFormat(const TextFormat &format);
    // Text into this document's bytes (see textcodec::toDocument), and back.
    QByteArray encode(QStringView text, int *replaced = nullptr) const;
    QString decode(QByteArrayView bytes) const;
    // Replaces the whole text; the caret goes to the start.
    void setText(QByteArrayView text);
    void setText(const QString &text);

    // One plain selection: a start offset and a length (0 for a bare caret).
    qsizetype selStart() const;
    void setSelStart(qsizetype start);
    qsizetype selLength() const;
    void setSelLength(qsizetype length);
    QByteArray selectedText() const;
    QString selectedString() const { return decode(selectedText()); }
    // Replaces the selection (or inserts at the caret) and leaves the caret
    // after the new text with nothing selected.
    void replaceSelection(QByteArrayView text);
    void replaceSelection(const QString &text);
    // Replaces [pos, pos + length) without touching anything else.
    void replaceRange(qsizetype pos, qsizetype length, QByteArrayView text);
    // Several replacements, left to right, as one change that leaves the
    // caret and the view alone. Each edit's position is in the text as it is
    // when that edit is made.
    struct Edit
    {
        qsizetype pos;
        qsizetype length;
        QByteArrayView with;
    };
    void replaceSpans(const std::vector<Edit> &edits);

    // Edits are seen just before they happen; the change is announced once
    // the write that made them returns. A batch groups the edits of several
    // writes into one change; the undo history waits until it ends.
    struct Batch
    {
        explicit Batch(TextControl *c) : c(c) { ++c->m_batch; }
        ~Batch();
        TextControl *c;
    };
    bool inBatch() const { return m_batch > 0; }
    // The batch's writes left the text as it was (a cancelled bulk
    // replacement put back): no change is announced for them.
    void dropBatchChange() { m_pendingChange = false; }
    // The position itself, or the start (end, with forward) of the character
    // it stands inside.
    qsizetype characterBoundary(qsizetype pos, bool forward = false) const;
    // Tells the user once how many characters became "?".
    static void reportReplaced(int count);

    // The clipboard and selection commands shared by every box built on this
    // control; keyboard Ctrl+X/C/V, Shift+Delete and Shift+Insert run them too.
    void copyToClipboard();
    void cutToClipboard();
    void pasteFromClipboard();
    void deleteSelection();
    void selectAllText();

    bool overtype() const;
    bool isReadOnly() const { return SendScintilla(SCI_GETREADONLY) != 0; }
    void setReadOnly(bool ro) { SendScintilla(SCI_SETREADONLY, static_cast<unsigned long>(ro)); }

    // Sees every typed character code (Enter 13, Backspace 8, Tab 9 included)
    // before it is inserted; returns the code to insert, or 0 to drop it.
    using KeyHook = std::function<int(int code)>;
    void setKeyHook(KeyHook hook) { m_keyHook = std::move(hook); }

    // Tab types spaces up to the next tab stop instead of a tab character.
    void setTabSpaces(bool on) { m_tabSpaces = on; }
    // Columns between tab stops; the engine keeps it per document, so every
    // document put in place gets it again.
    void setTabWidth(int columns);
    bool tabSpaces() const { return m_tabSpaces; }

    // Takes these keys away from Scintilla's own bindings so the menus get them.
    void unbindKeys(const QList<QKeySequence> &keys);

    // Sees every edit as it happens: the position, the bytes removed (before
    // they go) and the number of bytes inserted.
    using EditObserver = std::function<void(qsizetype pos, QByteArrayView removed, qsizetype inserted)>;
    void setEditObserver(EditObserver observer) { m_editObserver = std::move(observer); }

    // Counts content changes; two equal counts mean the text did not change in between.
    quint64 changeCount() const { return m_changeCount; }

    // Whether each byte of text has a style byte beside it, which colouring
    // needs. Plain text goes without (half the memory). Switching moves the
    // text into a new engine document once; it is no edit: the text, the
    // selection and the scroll position stay and nobody is told of a change.
    bool hasStyleBytes() const;
    void setStyleBytes(bool on);

    // As setText, for a text just read from a file. A big text for a document
    // with style bytes is shown at once without them; the style bytes follow
    // a moment later, built on a worker thread (styleBytesReady tells).
    // characters, when known (checking the file found it), spares counting.
    void setOpenedText(const QByteArray &text, qsizetype characters = -1);
    // As setText, with an engine document filled elsewhere (see EngineLoader)
    // holding the text and then blank room to type into, which goes here.
    // The control takes the document's one reference.
    // prefix goes before the text, as part of it.
    void adoptDocument(void *doc, qsizetype textLength, qsizetype characters = -1,
                       QByteArrayView prefix = QByteArrayView());
    // Puts style bytes being built on a worker in place now, so the engine
    // document stays the same while a long task reads its bytes.
    void settle();
    // The blank room a whole text of that size is followed by.
    static qsizetype roomFor(qsizetype size);

signals:
    // After every change of the content, typed or written; never for styling.
    void changed();
    void filesDropped(const QStringList &paths);
    void overtypeChanged(bool on);
    void formatChanged();
    // The style bytes a big opened text went without are there now; the
    // engine document is a new one, so its lexer must be set again.
    void styleBytesReady();
    // A document put in place without the style bytes the control had: its
    // text shows without colours.
    void styleBytesDropped();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;

private:
    void onModified(int position, int type, const char *text, int length, int linesAdded, int line,
                    int foldNow, int foldPrev, int token, int annotationLines);
    void insertTyped(QByteArrayView bytes, bool mayOverwrite);
    void typeCharacters(const QString &text);
    void applyEngineFormat();
    void openText(const QByteArray &text);
    QStringList localFiles(const QMimeData *data) const;

    void announceChange();
    void setUpDocument(bool styled, qsizetype bytes);
    // Puts a new engine document in place (fill does it) keeping selection,
    // scroll position and read-only, with no change announced.
    void replaceDocument(const std::function<void()> &fill);
    void finishStyledLoad();
    bool cancelStyledLoad();

    std::unique_ptr<StyledLoad> m_styledLoad;
    quint64 m_styledLoadCount = 0;

    TextFormat m_format;
    // The engine tells of an insertion before its bytes are in place, so in
    // UTF-8 the inserted bytes are counted on the next edit or read.
    void countInserted() const;
    mutable qsizetype m_characters = 0;
    mutable qsizetype m_uncountedPos = -1;
    mutable qsizetype m_uncountedLength = 0;
    qsizetype m_knownInsert = -1; // characters of the text being opened, when known
    KeyHook m_keyHook;
    EditObserver m_editObserver;
    int m_batch = 0;
    bool m_pendingChange = false;
    bool m_announceQueued = false;
    quint64 m_changeCount = 0;
    bool m_lastOvertype = false;
    bool m_tabSpaces = false;
    int m_tabWidth = 8;
};
