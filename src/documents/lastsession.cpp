#include "documents/lastsession.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace lastsession {

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("LastSession");
constexpr int kNamedInMessage = 20;

QStringList openPaths()
{
    QStringList out;
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot = 1; slot <= reg.docCount(); ++slot)
        if (reg.record(slot).InUse && !reg.record(slot).Path.isEmpty())
            out << reg.record(slot).Path;
    return out;
}

void restorePosition(const Entry &e)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot = 1; slot <= reg.docCount(); ++slot) {
        if (!reg.record(slot).InUse || reg.record(slot).Path != e.path)
            continue;
        DocumentWindow *w = reg.window(slot);
        TextControl *t = w ? w->textControl() : nullptr;
        if (!t)
            return;
        // The file may have changed since: positions past its end go to the end.
        const qsizetype caret = t->characterBoundary(qBound<qsizetype>(0, e.caret, t->length()));
        t->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(caret));
        const long lines = t->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
        const long first =
            t->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE,
                             static_cast<unsigned long>(qBound(qint64(0), e.firstLine, qint64(lines - 1))));
        t->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(first));
        return;
    }
}

} // namespace

QString encode(const QList<Entry> &entries)
{
    QJsonArray list;
    for (const Entry &e : entries)
        list.append(QJsonObject{{QStringLiteral("path"), e.path},
                                {QStringLiteral("caret"), double(e.caret)},
                                {QStringLiteral("line"), double(e.firstLine)}});
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

QList<Entry> decode(const QString &text)
{
    QList<Entry> out;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    if (!doc.isArray())
        return out;
    for (const QJsonValue &v : doc.array()) {
        const QJsonObject o = v.toObject();
        Entry e;
        e.path = o.value(QStringLiteral("path")).toString();
        e.caret = qint64(qMax(0.0, o.value(QStringLiteral("caret")).toDouble()));
        e.firstLine = qint64(qMax(0.0, o.value(QStringLiteral("line")).toDouble()));
        if (!e.path.isEmpty())
            out << e;
    }
    return out;
}

QList<Entry> read()
{
    return decode(platform::settings().read(platform::appTitle(), kSection, kKey));
}

void write(const QList<Entry> &entries)
{
    platform::settings().write(platform::appTitle(), kSection, kKey,
                               entries.isEmpty() ? QString() : encode(entries));
}

Sorted sortOut(const QList<Entry> &entries, const QStringList &alreadyOpen, int most)
{
    Sorted out;
    QSet<QString> seen(alreadyOpen.cbegin(), alreadyOpen.cend());
    for (const Entry &e : entries) {
        if (seen.contains(e.path))
            continue;
        seen.insert(e.path);
        const QFileInfo info(e.path);
        if (!info.isFile() || out.open.size() >= most)
            out.skipped << e.path;
        else
            out.open << e;
    }
    return out;
}

Entry entryFor(int slot)
{
    Entry e;
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(slot) || !reg.record(slot).InUse)
        return e;
    DocumentWindow *w = reg.window(slot);
    TextControl *t = w ? w->textControl() : nullptr;
    if (!t)
        return e;
    e.path = reg.record(slot).Path;
    e.caret = t->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    e.firstLine = t->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE,
                                   t->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
    return e;
}

void Reopen()
{
    const Sorted sorted = sortOut(read(), openPaths());
    for (const Entry &e : sorted.open) {
        fileops::OpenFile(e.path);
        restorePosition(e);
    }
    if (sorted.skipped.isEmpty())
        return;
    QString text = QStringLiteral("These documents of the last session could not be reopened:\r\n");
    for (qsizetype i = 0; i < sorted.skipped.size() && i < kNamedInMessage; ++i)
        text += QStringLiteral("\r\n") + sorted.skipped[i];
    if (sorted.skipped.size() > kNamedInMessage)
        text += QStringLiteral("\r\n... and %1 more").arg(sorted.skipped.size() - kNamedInMessage);
    platform::message(text, platform::Buttons::Ok, platform::Icon::Exclamation);
}

} // namespace lastsession
