#include "tools/openresult.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QFileInfo>

namespace tools {

namespace {

QString sameFileKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

int slotOf(const QString &key)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot : reg.slotsWithWindows()) {
        const DocumentRecord &rec = reg.record(slot);
        // A document that holds only part of a huge file has no path, but its title names the file.
        const QString path = rec.Path.isEmpty() ? rec.Title : rec.Path;
        if (rec.InUse && !path.isEmpty() && sameFileKey(path) == key)
            return slot;
    }
    return 0;
}

} // namespace

int openResult(const QString &path, qint64 line, qint64 byteColumn, qint64 byteLength)
{
    const QString key = sameFileKey(path);
    int slot = slotOf(key);
    if (slot == 0) {
        if (!QFileInfo(path).isFile()) {
            platform::message(QStringLiteral("The file \"%1\" is no longer there.").arg(path),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
            return 0;
        }
        fileops::OpenFile(path);
        slot = slotOf(key);
        if (slot == 0)
            return 0; // the open failed and asked its own questions
    }
    DocumentWindow *w = DocumentRegistry::instance().window(slot);
    w->showDocument();
    TextControl *t = w->textControl();
    using Sci = QsciScintillaBase;
    const long lines = t->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long l = long(qBound(qint64(0), qint64(line - 1), qint64(lines - 1)));
    const qint64 start = t->SendScintilla(Sci::SCI_POSITIONFROMLINE, (unsigned long)l);
    const qint64 end = t->SendScintilla(Sci::SCI_GETLINEENDPOSITION, (unsigned long)l);
    // The document may have changed since the search: the selection stays within the line.
    const qint64 from = qMin(end, start + byteColumn);
    t->setSelStart(from);
    t->setSelLength(qMin(byteLength, end - from));
    t->SendScintilla(Sci::SCI_SCROLLRANGE, (unsigned long)(from + qMin(byteLength, end - from)), long(from));
    t->setFocus();
    return slot;
}

} // namespace tools
