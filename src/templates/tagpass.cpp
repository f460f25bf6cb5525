#include "templates/tagpass.h"

#include "platform/textcodec.h"

#include <QByteArrayMatcher>
#include <QFile>

#include <climits>

#include <sys/stat.h>

namespace templates {

namespace {

const QByteArray Crlf = QByteArrayLiteral("\r\n");

// A box cannot show megabytes of text (laying it out alone takes minutes), so
// content beyond what fits on a screen is cut and marked with "...".
QString forBox(const QString &text)
{
    return text.size() <= BoxTextLimit ? text : text.first(BoxTextLimit) + QStringLiteral("...");
}

QString forBox(const TagHost &host, QByteArrayView content)
{
    // Four bytes a character at most, so the cut still leaves enough to show.
    QString text = host.decode(content.first(qMin(content.size(), 4 * (BoxTextLimit + 1))));
    return forBox(text);
}

} // namespace

QString TagHost::decode(QByteArrayView bytes) const
{
    return textcodec::decode(bytes, Encoding::Latin1);
}

QByteArray TagHost::encode(const QString &text, int *replaced) const
{
    return textcodec::encode(text, Encoding::Latin1, replaced);
}

QByteArray TagName(QByteArrayView openingTag)
{
    const qsizetype lt = openingTag.indexOf('<');
    if (lt < 0)
        return QByteArray();
    const qsizetype gt = openingTag.indexOf('>', lt + 1);
    const qsizetype end = gt < 0 ? openingTag.size() : gt;
    return openingTag.sliced(lt + 1, end - lt - 1).toByteArray();
}

qsizetype replaceAll(QByteArray &text, QByteArrayView from, QByteArrayView to)
{
    if (from.isEmpty())
        return 0;
    const QByteArrayMatcher matcher(from);
    qsizetype at = matcher.indexIn(QByteArrayView(text), 0);
    if (at < 0)
        return 0;
    QByteArray out;
    out.reserve(text.size());
    qsizetype done = 0;
    qsizetype count = 0;
    while (at >= 0) {
        out.append(text.constData() + done, at - done);
        out.append(to);
        done = at + from.size();
        ++count;
        at = matcher.indexIn(QByteArrayView(text), done);
    }
    out.append(text.constData() + done, text.size() - done);
    text = std::move(out);
    return count;
}

bool isRegularFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void PromptForField(TagHost &host, QByteArrayView field)
{
    const QString name = forBox(host, field);
    const QString answer = host.inputBox(
        QStringLiteral("You've been requested to provide information for any field(s) with quote {") + name +
            QStringLiteral("}\r\n Please enter a data to replace all fields with"),
        QStringLiteral("Fields ") + name, host.decode(field));
    if (answer.isEmpty() || !host.isAlive())
        return;

    int replaced = 0;
    const QByteArray value = host.encode(answer, &replaced);
    QByteArray element = QByteArrayLiteral("<QPLPROMPT>");
    element.append(field).append("</QPLPROMPT>");
    QByteArray text = host.text();
    replaceAll(text, element, value);
    host.setText(text);
    if (replaced > 0)
        host.message(textcodec::replacedNotice(replaced), platform::Icon::Exclamation);
}

void HandleTag(TagHost &host, QByteArrayView openingTag, QByteArrayView content)
{
    const QByteArray name = TagName(openingTag);
    if (name == "QPLTITLE") {
        host.setTitle(host.decode(content));
    } else if (name == "QPLPROMPT") {
        PromptForField(host, content);
    } else if (name == "QPLMESSAGE") {
        host.message(forBox(host.title()) + QStringLiteral(": ") + QString::fromLatin1(Crlf) +
                     forBox(host, content));
    } else if (name == "QPLLINK") {
        // No file has a path longer than the system allows; such content is
        // not converted at all.
        if (content.size() <= PATH_MAX && host.fileExists(host.decode(content)))
            host.openFile(host.decode(content));
        else
            host.message(QStringLiteral("Link File: ") + forBox(host, content) + QString::fromLatin1(Crlf) +
                         QStringLiteral("Not Found"));
    }
    // "QPLIMAGE" and anything else: nothing.
}

void RunTagPass(TagHost &host)
{
    // The text is read again only when a handler changed it; the pass keeps
    // its own copy meanwhile, so the views handed to HandleTag stay valid.
    QByteArray text;
    quint64 version = 0;
    bool haveText = false;

    for (const char *tag : TagTable) {
        const QByteArray name(tag);
        const QByteArray opening = '<' + name + '>';
        const QByteArray closing = "</" + name + '>';
        const QByteArrayMatcher openingMatcher(opening);
        const QByteArrayMatcher closingMatcher(closing);
        // Titles change nothing but the record, and only the last one stands,
        // so it alone is carried out; many titles nested in a long text would
        // otherwise copy their long contents over and over.
        const bool onlyLastCounts = name == "QPLTITLE";
        qsizetype lastStart = -1;
        qsizetype lastEnd = -1;

        qsizetype from = 0;
        // The first closing tag at or after closingFrom (-1: none), remembered
        // while the text stays the same, so each closing tag is searched once.
        qsizetype closingAt = -1;
        qsizetype closingFrom = -1;
        for (;;) {
            if (!host.isAlive())
                return;
            const quint64 v = host.textVersion();
            if (!haveText || v != version) {
                text = host.text();
                version = v;
                haveText = true;
                closingFrom = -1;
            }
            const QByteArrayView all(text);
            const qsizetype p = openingMatcher.indexIn(all, from);
            if (p < 0)
                break;
            if (closingFrom < 0 || closingFrom > p || (closingAt >= 0 && closingAt < p)) {
                closingAt = closingMatcher.indexIn(all, p);
                closingFrom = p;
            }
            // Without a closing tag after this opening tag, none of the later
            // opening tags has one either: each would be skipped.
            if (closingAt < 0)
                break;
            const qsizetype start = p + opening.size();
            if (onlyLastCounts) {
                lastStart = start;
                lastEnd = closingAt;
            } else {
                HandleTag(host, all.sliced(p, opening.size()), all.sliced(start, closingAt - start));
            }
            from = p + 1;
        }
        if (lastStart >= 0)
            HandleTag(host, opening, QByteArrayView(text).sliced(lastStart, lastEnd - lastStart));
    }
}

} // namespace templates
