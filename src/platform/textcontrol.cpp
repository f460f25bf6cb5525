#include "platform/textcontrol.h"

#include "platform/styledload.h"

#include "platform/clipboard.h"
#include "platform/prompts.h"
#include "platform/textcodec.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

// Edits are taken from Scintilla's notifications sent before each insert
// and delete. The ones sent after them are left out while no assistive tool
// listens: QScintilla's accessibility support answers each of those (and,
// once Qt has made an accessible object for the widget, every caret move) by
// counting the characters from the start of the text up to the edit, which
// on a 50 MB file takes a tenth of a second. While nothing listens, the
// control gets a plain accessible object instead of QScintilla's.
class TextControlAccessibility : public QAccessible::ActivationObserver
{
public:
    static constexpr int kBefore =
        QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE;
    static constexpr int kAfter = QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT;

    static int eventMask() { return kBefore | (s_listening ? kAfter : 0); }

    static void install()
    {
        static TextControlAccessibility observer;
        static bool installed = false;
        if (installed)
            return;
        installed = true;
        s_listening = QAccessible::isActive();
        QAccessible::installFactory(&factory);
        QAccessible::installActivationObserver(&observer);
    }

    void accessibilityActiveChanged(bool active) override
    {
        s_listening = active;
        const QWidgetList widgets = QApplication::allWidgets();
        for (QWidget *w : widgets) {
            auto *control = qobject_cast<TextControl *>(w);
            if (!control)
                continue;
            control->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, eventMask());
            // QScintilla makes its own afresh when next asked.
            if (active)
                if (auto *plain = dynamic_cast<Plain *>(QAccessible::queryAccessibleInterface(control)))
                    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(plain));
        }
    }

private:
    class Plain : public QAccessibleWidget
    {
    public:
        explicit Plain(QWidget *w) : QAccessibleWidget(w, QAccessible::EditableText) {}
    };

    static QAccessibleInterface *factory(const QString &className, QObject *object)
    {
        if (className == QLatin1String("TextControl") && object && object->isWidgetType() && !s_listening)
            return new Plain(static_cast<QWidget *>(object));
        return nullptr;
    }

    static bool s_listening; // an assistive tool is listening
};

bool TextControlAccessibility::s_listening = false;

namespace {

int scintillaModifiers(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= QsciScintillaBase::SCMOD_SHIFT;
    if (m & Qt::ControlModifier)
        s |= QsciScintillaBase::SCMOD_CTRL;
    if (m & Qt::AltModifier)
        s |= QsciScintillaBase::SCMOD_ALT;
    if (m & Qt::MetaModifier)
        s |= QsciScintillaBase::SCMOD_META;
    return s;
}

} // namespace

TextControl::Batch::~Batch()
{
    if (--c->m_batch == 0)
        c->announceChange();
}

void TextControl::announceChange()
{
    if (m_batch > 0 || !m_pendingChange)
        return;
    m_pendingChange = false;
    emit changed();
}

TextControl::TextControl(QWidget *parent) : QsciScintillaBase(parent)
{
    // Plain text needs no style byte beside each character: a document made
    // without them takes half the memory.
    setUpDocument(false, 0);
    TextControlAccessibility::install();
    SendScintilla(SCI_SETMODEVENTMASK, TextControlAccessibility::eventMask());
    SendScintilla(SCI_SETMULTIPLESELECTION, 0L);
    SendScintilla(SCI_SETADDITIONALSELECTIONTYPING, 0L);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 0L);
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    for (int m = 0; m < 5; ++m)
        SendScintilla(SCI_SETMARGINWIDTHN, m, 0L);
    SendScintilla(SCI_SETMARGINLEFT, 0, 4L);

    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, mono.family().toLatin1().constData());
    SendScintilla(SCI_STYLESETSIZE, STYLE_DEFAULT, long(mono.pointSize() > 0 ? mono.pointSize() : 10));
    SendScintilla(SCI_STYLECLEARALL);

    // Rectangular selections would break the one-selection contract.
    const int rectKeys[] = {SCK_DOWN, SCK_UP, SCK_LEFT, SCK_RIGHT, SCK_HOME, SCK_END, SCK_PRIOR, SCK_NEXT};
    for (int k : rectKeys)
        SendScintilla(SCI_CLEARCMDKEY, long(k + ((SCMOD_ALT | SCMOD_SHIFT) << 16)));

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &TextControl::onModified);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        const bool ot = overtype();
        if (ot != m_lastOvertype) {
            m_lastOvertype = ot;
            emit overtypeChanged(ot);
        }
    });
    setAcceptDrops(true);
}

// Waits for a worker still filling a document (never freed under its feet).
TextControl::~TextControl() = default;

void TextControl::setUpDocument(bool styled, qsizetype bytes)
{
    const long doc = SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(bytes),
                                   long(styled ? SC_DOCUMENTOPTION_DEFAULT : SC_DOCUMENTOPTION_STYLES_NONE));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, doc);
    applyEngineFormat();
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L); // the program keeps its own undo
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

void TextControl::applyEngineFormat()
{
    // Latin-1 is one byte per character (code page 0).
    SendScintilla(SCI_SETCODEPAGE, m_format.isUtf8() ? long(SC_CP_UTF8) : 0L);
    SendScintilla(SCI_SETEOLMODE, m_format.lineEnd == LineEnd::Lf ? long(SC_EOL_LF) : long(SC_EOL_CRLF));
    SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(m_tabWidth));
}

void TextControl::setTabWidth(int columns)
{
    m_tabWidth = qMax(1, columns);
    SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(m_tabWidth));
}

void TextControl::setFormat(const TextFormat &format)
{
    if (format == m_format)
        return;
    const bool recount = format.isUtf8() != m_format.isUtf8();
    countInserted();
    m_format = format;
    applyEngineFormat();
    if (recount) {
        // Both sides of the engine's gap, so the text stays where it lies.
        const qsizetype gap = qMin<qsizetype>(SendScintilla(SCI_GETGAPPOSITION), length());
        m_characters = textcodec::countCharacters(bytes(0, gap), m_format.encoding) +
                       textcodec::countCharacters(bytes(gap, length() - gap), m_format.encoding);
    }
    emit formatChanged();
}

QByteArray TextControl::encode(QStringView text, int *replaced) const
{
    return textcodec::toDocument(text, m_format, replaced);
}

qsizetype TextControl::characterCount() const
{
    countInserted();
    return m_characters;
}

void TextControl::countInserted() const
{
    if (m_uncountedPos < 0)
        return;
    m_characters += textcodec::countCharacters(bytes(m_uncountedPos, m_uncountedLength), m_format.encoding);
    m_uncountedPos = -1;
}

QString TextControl::decode(QByteArrayView bytes) const
{
    return textcodec::decode(bytes, m_format.encoding);
}

qsizetype TextControl::characterBoundary(qsizetype pos, bool forward) const
{
    if (!m_format.isUtf8())
        return pos;
    const qsizetype n = length();
    // A character has at most three bytes after its first.
    for (int i = 0; i < 3 && pos > 0 && pos < n; ++i) {
        if (!textcodec::isContinuation(char(SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(pos)))))
            break;
        pos += forward ? 1 : -1;
    }
    return pos;
}

bool TextControl::hasStyleBytes() const
{
    return !(SendScintilla(SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE);
}

// Room to type into after a whole text: with none left, the first keystroke
// would have Scintilla copy the whole text into a buffer a sixth larger.
qsizetype TextControl::roomFor(qsizetype size)
{
    return qBound(qsizetype(4096), size / 16, qsizetype(4) << 20);
}

void TextControl::setStyleBytes(bool on)
{
    cancelStyledLoad();
    if (hasStyleBytes() == on)
        return;
    const QByteArray content = text();
    replaceDocument([&] {
        setUpDocument(on, content.size() + roomFor(content.size()));
        if (!content.isEmpty())
            SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(content.size()), content.constData());
    });
}

void TextControl::replaceDocument(const std::function<void()> &fill)
{
    const long anchor = SendScintilla(SCI_GETANCHOR);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long firstLine = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long xOffset = SendScintilla(SCI_GETXOFFSET);
    const bool readOnly = isReadOnly();
    // Filling the new document is not an edit of the user's text.
    SendScintilla(SCI_SETMODEVENTMASK, 0L);
    fill();
    setReadOnly(readOnly);
    SendScintilla(SCI_SETMODEVENTMASK, TextControlAccessibility::eventMask());
    SendScintilla(SCI_SETSEL, anchor, caret);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, firstLine);
    SendScintilla(SCI_SETXOFFSET, xOffset);
}

namespace {

// Below this, putting the text into a document with style bytes costs the
// window too little to be worth a worker.
constexpr qsizetype kStyleLaterBytes = qsizetype(4) << 20;

} // namespace

void TextControl::setOpenedText(const QByteArray &text, qsizetype characters)
{
    m_knownInsert = text.isEmpty() ? -1 : characters;
    openText(text);
    m_knownInsert = -1;
}

void TextControl::openText(const QByteArray &text)
{
    cancelStyledLoad();
    if (!hasStyleBytes() || text.size() < kStyleLaterBytes) {
        setText(QByteArrayView(text));
        return;
    }
    std::unique_ptr<StyledLoad> load;
    {
        Batch batch(this);
        SendScintilla(SCI_CLEARALL);
        // Making a second buffer as big as the text (and zeroing it) is what a
        // coloured document costs; the window shows the text without it.
        const bool readOnly = isReadOnly();
        SendScintilla(SCI_SETMODEVENTMASK, 0L);
        load = std::make_unique<StyledLoad>(
            *this, text, roomFor(text.size()),
            [this](void *doc) {
                // The code page, set while the document is empty: later it
                // would have the engine go over all of the text.
                SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
                applyEngineFormat();
                SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
                // The view lets go of it before the worker starts filling it:
                // a view watching a document would be told of every insertion
                // on the worker's thread.
                setUpDocument(false, 0);
            },
            [this] { finishStyledLoad(); });
        setReadOnly(readOnly);
        SendScintilla(SCI_SETMODEVENTMASK, TextControlAccessibility::eventMask());
        setText(QByteArrayView(text));
    }
    m_styledLoad = std::move(load);
    m_styledLoadCount = changeCount();
}

void TextControl::adoptDocument(void *doc, qsizetype textLength, qsizetype characters, QByteArrayView prefix)
{
    cancelStyledLoad();
    const bool hadStyleBytes = hasStyleBytes();
    {
        Batch batch(this);
        const bool readOnly = isReadOnly();
        // Putting the filled document in place is one change, told once.
        SendScintilla(SCI_SETMODEVENTMASK, 0L);
        SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, doc);
        applyEngineFormat();
        SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        if (length() > textLength)
            SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(textLength),
                          long(length() - textLength));
        if (!prefix.isEmpty()) {
            SendScintilla(SCI_SETTARGETRANGE, 0UL, 0L);
            SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(prefix.size()), prefix.data());
            characters = -1;
        }
        setReadOnly(readOnly);
        SendScintilla(SCI_SETMODEVENTMASK, TextControlAccessibility::eventMask());
        m_uncountedPos = -1;
        m_characters = characters;
        if (characters < 0 || !m_format.isUtf8()) {
            const qsizetype gap = qMin<qsizetype>(SendScintilla(SCI_GETGAPPOSITION), length());
            m_characters = textcodec::countCharacters(bytes(0, gap), m_format.encoding) +
                           textcodec::countCharacters(bytes(gap, length() - gap), m_format.encoding);
        }
        ++m_changeCount;
        m_pendingChange = true;
    }
    SendScintilla(SCI_SETEMPTYSELECTION, 0L);
    SendScintilla(SCI_SCROLLCARET);
    // A document of its own with style bytes: its lexer must be set again.
    if (hasStyleBytes())
        emit styleBytesReady();
    else if (hadStyleBytes)
        emit styleBytesDropped();
}

void TextControl::settle()
{
    if (!m_styledLoad)
        return;
    m_styledLoad->wait();
    finishStyledLoad();
}

bool TextControl::cancelStyledLoad()
{
    if (!m_styledLoad)
        return false;
    m_styledLoad.reset();
    return true;
}

void TextControl::finishStyledLoad()
{
    // A late word from a worker that was called off.
    if (!m_styledLoad || !m_styledLoad->isFinished())
        return;
    const std::unique_ptr<StyledLoad> load = std::move(m_styledLoad);
    void *doc = changeCount() == m_styledLoadCount && length() == load->textSize() ? load->take() : nullptr;
    if (!doc) {
        // Edited meanwhile (or the worker ran out of memory): do it here.
        setStyleBytes(true);
        emit styleBytesReady();
        return;
    }
    replaceDocument([&] {
        SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, doc);
        applyEngineFormat();
        SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        // The blanks after the text only made room to type into.
        SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(load->textSize()), long(load->room()));
    });
    emit styleBytesReady();
}

QByteArrayView TextControl::bytes() const
{
    const qsizetype n = length();
    if (n == 0)
        return QByteArrayView("", 0);
    const char *p = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QByteArrayView(p, n);
}

QByteArrayView TextControl::bytes(qsizetype pos, qsizetype n) const
{
    pos = qBound<qsizetype>(0, pos, length());
    n = qBound<qsizetype>(0, n, length() - pos);
    if (n == 0)
        return QByteArrayView("", 0);
    const char *p = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(pos), long(n)));
    return QByteArrayView(p, n);
}

qsizetype TextControl::length() const
{
    return SendScintilla(SCI_GETLENGTH);
}

void TextControl::setText(QByteArrayView text)
{
    // A worker building style bytes for the text being replaced is too late;
    // the new text is set into a document that has them.
    if (cancelStyledLoad()) {
        setStyleBytes(true);
        emit styleBytesReady();
    }
    Batch batch(this);
    SendScintilla(SCI_CLEARALL);
    if (!text.isEmpty()) {
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(text.size() + roomFor(text.size())));
        SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(text.size()), text.data());
    }
    SendScintilla(SCI_SETEMPTYSELECTION, 0L);
    SendScintilla(SCI_SCROLLCARET);
}

void TextControl::setText(const QString &text)
{
    int replaced = 0;
    const QByteArray bytes = encode(text, &replaced);
    setText(QByteArrayView(bytes));
    reportReplaced(replaced);
}

qsizetype TextControl::selStart() const
{
    return SendScintilla(SCI_GETSELECTIONSTART);
}

void TextControl::setSelStart(qsizetype start)
{
    start = characterBoundary(qBound<qsizetype>(0, start, length()));
    SendScintilla(SCI_SETSEL, long(start), long(start));
}

qsizetype TextControl::selLength() const
{
    return SendScintilla(SCI_GETSELECTIONEND) - SendScintilla(SCI_GETSELECTIONSTART);
}

void TextControl::setSelLength(qsizetype n)
{
    const qsizetype start = selStart();
    const qsizetype end =
        characterBoundary(qBound<qsizetype>(start, start + qMax<qsizetype>(0, n), length()), true);
    SendScintilla(SCI_SETSEL, long(start), long(end));
}

QByteArray TextControl::selectedText() const
{
    const qsizetype start = selStart();
    const qsizetype n = selLength();
    if (n <= 0)
        return QByteArray();
    const char *p = static_cast<const char *>(reinterpret_cast<void *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(n))));
    return QByteArray(p, n);
}

void TextControl::replaceSelection(QByteArrayView text)
{
    const qsizetype start = selStart();
    replaceRange(start, selLength(), text);
}

void TextControl::replaceSelection(const QString &text)
{
    int replaced = 0;
    const QByteArray bytes = encode(text, &replaced);
    replaceSelection(QByteArrayView(bytes));
    reportReplaced(replaced);
}

void TextControl::replaceRange(qsizetype pos, qsizetype n, QByteArrayView text)
{
    Batch batch(this);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(pos), long(pos + n));
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()), text.isEmpty() ? "" : text.data());
    SendScintilla(SCI_SETEMPTYSELECTION, long(pos + text.size()));
    SendScintilla(SCI_SCROLLCARET);
}

void TextControl::replaceSpans(const std::vector<Edit> &edits)
{
    Batch batch(this);
    for (const Edit &e : edits) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(e.pos), long(e.pos + e.length));
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(e.with.size()),
                      e.with.isEmpty() ? "" : e.with.data());
    }
}

void TextControl::copyToClipboard()
{
    const QByteArray sel = selectedText();
    if (!sel.isEmpty())
        platform::clipboard().setText(decode(sel));
}

void TextControl::cutToClipboard()
{
    if (selLength() < 1)
        return;
    copyToClipboard();
    replaceSelection(QByteArrayView());
}

void TextControl::pasteFromClipboard()
{
    if (isReadOnly() || !platform::clipboard().hasText())
        return;
    replaceSelection(platform::clipboard().text());
}

void TextControl::deleteSelection()
{
    if (selLength() > 0)
        replaceSelection(QByteArrayView());
}

void TextControl::selectAllText()
{
    setSelStart(0);
    setSelLength(length());
}

bool TextControl::overtype() const
{
    return SendScintilla(SCI_GETOVERTYPE) != 0;
}

void TextControl::unbindKeys(const QList<QKeySequence> &keys)
{
    for (const QKeySequence &seq : keys) {
        if (seq.isEmpty())
            continue;
        const QKeyCombination combo = seq[0];
        int mods = 0;
        const int key = commandKey(int(combo.key()), mods);
        if (key == 0)
            continue;
        SendScintilla(SCI_CLEARCMDKEY, long(key + (scintillaModifiers(combo.keyboardModifiers()) << 16)));
    }
}

void TextControl::onModified(int position, int type, const char *, int length, int, int, int, int, int, int)
{
    // The notifications after an edit are there for QScintilla's accessibility
    // only; styling and the like are never changes.
    if (!(type & TextControlAccessibility::kBefore) || length <= 0)
        return;
    const bool utf8 = m_format.isUtf8();
    countInserted();
    if (type & SC_MOD_BEFOREDELETE) {
        if (!utf8)
            m_characters -= length;
        else if (position == 0 && length == this->length())
            m_characters = 0;
        if (m_editObserver || (utf8 && m_characters > 0)) {
            const char *p = reinterpret_cast<const char *>(
                SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), long(length)));
            if (utf8 && m_characters > 0)
                m_characters -= textcodec::countCharacters(QByteArrayView(p, length), Encoding::Utf8);
            if (m_editObserver)
                m_editObserver(position, QByteArrayView(p, length), 0);
        }
    } else {
        if (utf8 && m_knownInsert >= 0 && position == 0 && this->length() == 0) {
            // The whole opened text going into an empty document: counted already.
            m_characters += m_knownInsert;
            m_knownInsert = -1;
        } else if (utf8) {
            m_uncountedPos = position;
            m_uncountedLength = length;
        } else {
            m_characters += length;
        }
        if (m_editObserver)
            m_editObserver(position, QByteArrayView(), length);
    }
    ++m_changeCount;
    m_pendingChange = true;
    // The writes of this class and Scintilla's own key handling announce the
    // change when they return; an edit made straight through the engine is
    // announced as soon as the event loop runs.
    if (m_batch == 0 && !m_announceQueued) {
        m_announceQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_announceQueued = false;
                announceChange();
            },
            Qt::QueuedConnection);
    }
}

void TextControl::reportReplaced(int count)
{
    if (count <= 0)
        return;
    platform::message(textcodec::replacedNotice(count), platform::Buttons::Ok, platform::Icon::Exclamation);
}

void TextControl::insertTyped(QByteArrayView bytes, bool mayOverwrite)
{
    if (mayOverwrite && overtype() && selLength() == 0) {
        const qsizetype pos = selStart();
        const qsizetype end =
            SendScintilla(SCI_GETLINEENDPOSITION, SendScintilla(SCI_LINEFROMPOSITION, long(pos)));
        if (pos < end) {
            // The whole character under the caret goes, however many bytes it has.
            replaceRange(pos, characterBoundary(pos + 1, true) - pos, bytes);
            return;
        }
    }
    replaceSelection(bytes);
}

void TextControl::typeCharacters(const QString &text)
{
    // In Latin-1, one character outside it typed alone is refused with a beep;
    // a longer piece (an input method's commit) is kept with "?" and reported.
    const bool single = text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate());
    const bool utf8 = m_format.isUtf8();
    QByteArray out;
    int characters = 0;
    int replaced = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t u = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        // The hook sees every character first: one it drops (character
        // mode drops all outside its table) is neither typed nor replaced.
        const int code = m_keyHook ? m_keyHook(int(u)) : int(u);
        if (code <= 0)
            continue;
        ++characters;
        if (utf8) {
            out += textcodec::encodeCharacter(char32_t(code), Encoding::Utf8);
            continue;
        }
        if (code > 0xff) {
            if (single) {
                platform::beep();
                return;
            }
            out += '?';
            ++replaced;
            continue;
        }
        out += char(code);
    }
    if (!out.isEmpty())
        insertTyped(out, characters == 1);
    reportReplaced(replaced);
}

void TextControl::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const int key = e->key();

    // Clipboard keys run the same code as the Edit menu, with no line-end conversion.
    const bool ctrl = mods == Qt::ControlModifier;
    const bool shift = mods == Qt::ShiftModifier;
    if ((ctrl && key == Qt::Key_C) || (ctrl && key == Qt::Key_Insert)) {
        copyToClipboard();
        e->accept();
        return;
    }
    if ((ctrl && key == Qt::Key_X) || (shift && key == Qt::Key_Delete)) {
        if (!isReadOnly())
            cutToClipboard();
        e->accept();
        return;
    }
    if ((ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert)) {
        pasteFromClipboard();
        e->accept();
        return;
    }
    if (isReadOnly()) {
        Batch batch(this);
        QsciScintillaBase::keyPressEvent(e);
        return;
    }

    int code = -1;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (mods == Qt::NoModifier || mods == Qt::ShiftModifier))
        code = 13;
    else if (key == Qt::Key_Backspace && (mods == Qt::NoModifier || mods == Qt::ShiftModifier))
        code = 8;
    else if (key == Qt::Key_Tab && mods == Qt::NoModifier)
        code = 9;

    if (code == -1) {
        const QString text = e->text();
        const bool typing = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (typing && !text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7f) {
            typeCharacters(text);
            e->accept();
            return;
        }
        // Alt with a letter is a menu access key, never text.
        if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !text.isEmpty() &&
            text[0].isPrint()) {
            e->ignore();
            return;
        }
        Batch batch(this);
        QsciScintillaBase::keyPressEvent(e);
        return;
    }

    const int result = m_keyHook ? m_keyHook(code) : code;
    e->accept();
    if (result <= 0 || (result > 255 && !m_format.isUtf8()))
        return;
    if (result == 8 && code == 8) {
        Batch batch(this);
        QsciScintillaBase::keyPressEvent(e);
        return;
    }
    if (result == 13 && code == 13) {
        insertTyped(m_format.lineEndBytes(), false);
        return;
    }
    if (result == 9 && code == 9 && m_tabSpaces) {
        const long width = qMax(1L, long(SendScintilla(SCI_GETTABWIDTH)));
        const long column = SendScintilla(SCI_GETCOLUMN, static_cast<unsigned long>(selStart()));
        insertTyped(QByteArray(width - column % width, ' '), false);
        return;
    }
    insertTyped(textcodec::encodeCharacter(char32_t(result), m_format.encoding), result != 9);
}

void TextControl::inputMethodEvent(QInputMethodEvent *e)
{
    const QString commit = e->commitString();
    if (!isReadOnly() && !commit.isEmpty()) {
        typeCharacters(commit);
        QInputMethodEvent rest(e->preeditString(), e->attributes());
        Batch batch(this);
        QsciScintillaBase::inputMethodEvent(&rest);
        e->accept();
        return;
    }
    Batch batch(this);
    QsciScintillaBase::inputMethodEvent(e);
}

void TextControl::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu menu(this);
    const bool hasSel = selLength() > 0;
    const bool ro = isReadOnly();
    menu.addAction(tr("Cu&t"), this, &TextControl::cutToClipboard)->setEnabled(hasSel && !ro);
    menu.addAction(tr("&Copy"), this, &TextControl::copyToClipboard)->setEnabled(hasSel);
    menu.addAction(tr("&Paste"), this, &TextControl::pasteFromClipboard)
        ->setEnabled(!ro && platform::clipboard().hasText());
    menu.addAction(tr("&Delete"), this, &TextControl::deleteSelection)->setEnabled(hasSel && !ro);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, &TextControl::selectAllText)->setEnabled(length() > 0);
    menu.exec(e->globalPos());
}

QStringList TextControl::localFiles(const QMimeData *data) const
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return QStringList();
        paths << QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return paths;
}

bool TextControl::canInsertFromMimeData(const QMimeData *) const
{
    // Dragged text is never dropped into the document; only files are taken.
    return false;
}

void TextControl::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->source() != this && !localFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void TextControl::dragMoveEvent(QDragMoveEvent *e)
{
    if (e->source() != this && !localFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void TextControl::dropEvent(QDropEvent *e)
{
    const QStringList paths = e->source() == this ? QStringList() : localFiles(e->mimeData());
    if (paths.isEmpty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    emit filesDropped(paths);
}

void TextControl::mousePressEvent(QMouseEvent *e)
{
    // The X11 selection paste goes through the same Latin-1 path as Paste.
    if (e->button() == Qt::MiddleButton) {
        QClipboard *cb = QApplication::clipboard();
        if (!isReadOnly() && cb->supportsSelection() && !cb->text(QClipboard::Selection).isEmpty()) {
            const long pos =
                SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(e->position().x()),
                              long(e->position().y()));
            setSelStart(pos);
            replaceSelection(cb->text(QClipboard::Selection));
        }
        e->accept();
        return;
    }
    // Alt+drag would start a rectangular selection: keep selections plain.
    if (e->modifiers() & Qt::AltModifier) {
        QMouseEvent plain(e->type(), e->position(), e->scenePosition(), e->globalPosition(), e->button(),
                          e->buttons(), e->modifiers() & ~Qt::AltModifier);
        QsciScintillaBase::mousePressEvent(&plain);
        return;
    }
    QsciScintillaBase::mousePressEvent(e);
}

void TextControl::mouseMoveEvent(QMouseEvent *e)
{
    if (e->modifiers() & Qt::AltModifier) {
        QMouseEvent plain(e->type(), e->position(), e->scenePosition(), e->globalPosition(), e->button(),
                          e->buttons(), e->modifiers() & ~Qt::AltModifier);
        QsciScintillaBase::mouseMoveEvent(&plain);
        return;
    }
    QsciScintillaBase::mouseMoveEvent(e);
}
