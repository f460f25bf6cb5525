#include "editor/formatcommands.h"

#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"

#include <QAction>
#include <QMenu>

namespace formatcommands {

namespace {

const QString kPanelMenu = QStringLiteral("mnuFormatPanel");

struct LineEndEntry
{
    const char *name;
    LineEnd lineEnd;
};
const LineEndEntry kLineEnds[] = {{"mnuLineEndsCRLF", LineEnd::CrLf}, {"mnuLineEndsLF", LineEnd::Lf}};

struct EncodingEntry
{
    const char *name;
    Encoding encoding;
};
const EncodingEntry kEncodings[] = {{"mnuEncodingLatin1", Encoding::Latin1},
                                    {"mnuEncodingUTF8", Encoding::Utf8},
                                    {"mnuEncodingUTF8BOM", Encoding::Utf8Bom}};
const EncodingEntry kReopen[] = {{"mnuReopenLatin1", Encoding::Latin1}, {"mnuReopenUTF8", Encoding::Utf8}};

QAction *entry(const FrmDoc &window, const char *name)
{
    return window.action(QString::fromLatin1(name));
}

// The check marks follow the format; reopening needs a file to read.
void sync(FrmDoc &window)
{
    const TextFormat f = window.textControl()->format();
    for (const LineEndEntry &e : kLineEnds)
        if (QAction *a = entry(window, e.name))
            a->setChecked(f.lineEnd == e.lineEnd);
    for (const EncodingEntry &e : kEncodings)
        if (QAction *a = entry(window, e.name))
            a->setChecked(f.encoding == e.encoding);
    DocumentRegistry &reg = DocumentRegistry::instance();
    const bool hasFile =
        reg.isValidSlot(window.slot()) && !reg.record(window.slot()).Path.trimmed().isEmpty();
    for (const EncodingEntry &e : kReopen)
        if (QAction *a = entry(window, e.name))
            a->setEnabled(hasFile);
}

// The whole text in its new format, as one change: what was typed before it
// is recorded first, so the conversion is an undo step of its own.
void replaceConverted(FrmDoc &window, const QByteArray &bytes, const TextFormat &format)
{
    TextControl *t = window.textControl();
    window.undoTick();
    const long line = t->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(t->selStart()));
    const qsizetype column = t->selStart() - t->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    const long firstLine = t->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);

    t->setFormat(format);
    if (t->bytes() != QByteArrayView(bytes)) {
        t->replaceRange(0, t->length(), bytes);
        // The caret stays on its line, as near its column as the line allows.
        const qsizetype start = t->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        const qsizetype end = t->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
        t->setSelStart(qMin(start + column, end));
        t->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    }
    // A new format is a change of the file even where no byte of the text moved.
    window.markChanged();
    window.undoTick();
}

} // namespace

void changeLineEnd(FrmDoc &window, LineEnd lineEnd)
{
    TextControl *t = window.textControl();
    TextFormat f = t->format();
    if (f.lineEnd == lineEnd) {
        sync(window);
        return;
    }
    f.lineEnd = lineEnd;
    f.verbatim = false;
    replaceConverted(window, textcodec::unifyLineEnds(t->bytes(), f.lineEndBytes()), f);
}

void changeEncoding(FrmDoc &window, Encoding encoding)
{
    TextControl *t = window.textControl();
    TextFormat f = t->format();
    if (f.encoding == encoding) {
        sync(window);
        return;
    }
    int replaced = 0;
    const QByteArray bytes = textcodec::reencode(t->bytes(), f.encoding, encoding, &replaced);
    if (replaced > 0 &&
        platform::message(QStringLiteral("%1 character(s) of this document cannot be held in %2.\r\n"
                                         "Convert it anyway and turn them into \"?\"?")
                              .arg(replaced)
                              .arg(TextFormat::encodingName(encoding)),
                          platform::Buttons::YesNo, platform::Icon::Exclamation) != platform::Answer::Yes) {
        sync(window);
        return;
    }
    f.encoding = encoding;
    f.verbatim = false;
    replaceConverted(window, bytes, f);
}

QMenu *formatMenu(FrmDoc &window)
{
    return window.findChild<QMenu *>(kPanelMenu);
}

void attach(FrmDoc &window)
{
    FrmDoc *w = &window;
    for (const LineEndEntry &e : kLineEnds)
        platform::wire(w, e.name, [w, le = e.lineEnd] { changeLineEnd(*w, le); });
    for (const EncodingEntry &e : kEncodings)
        platform::wire(w, e.name, [w, enc = e.encoding] { changeEncoding(*w, enc); });
    for (const EncodingEntry &e : kReopen)
        platform::wire(w, e.name, [w, enc = e.encoding] {
            fileops::ReopenWithEncoding(w->slot(), enc);
            sync(*w);
        });

    // One set of submenus, reached from the Options menu and from the panel.
    auto *panelMenu = new QMenu(w);
    panelMenu->setObjectName(kPanelMenu);
    for (const char *name : {"mnuOptionsLineEnds", "mnuOptionsEncoding", "mnuOptionsReopen"}) {
        auto *sub = w->findChild<QMenu *>(QString::fromLatin1(name));
        if (!sub)
            continue;
        panelMenu->addMenu(sub);
        QObject::connect(sub, &QMenu::aboutToShow, w, [w] { sync(*w); });
    }
    QObject::connect(panelMenu, &QMenu::aboutToShow, w, [w] { sync(*w); });
    QObject::connect(w->textControl(), &TextControl::formatChanged, w, [w] { sync(*w); });
    sync(window);
}

} // namespace formatcommands
