// The markup-tag pass over a document's text: any bytes, tags nested, cut
// short or overlapping, with answers that put new tags into the text.

#include "fuzzsupport.h"

#include "templates/tagpass.h"

#include <QByteArrayMatcher>

namespace {

// A document as a plain buffer. Answers come from a fixed round, some of
// them tags themselves, some outside Latin-1.
class BufferHost : public templates::TagHost
{
public:
    QByteArray buffer;
    quint64 version = 0;
    QString docTitle = QStringLiteral("Untitled");
    int messages = 0;
    int inputs = 0;
    int opened = 0;

    QByteArray text() const override { return buffer; }
    void setText(QByteArrayView t) override
    {
        buffer = t.toByteArray();
        ++version;
    }
    quint64 textVersion() const override { return version; }
    QString title() const override { return docTitle; }
    void setTitle(const QString &t) override { docTitle = t; }
    void message(const QString &text, platform::Icon) override
    {
        ++messages;
        FUZZ_CHECK(text.size() <= 3 * templates::BoxTextLimit + 100, QString::number(text.size()));
    }
    QString inputBox(const QString &prompt, const QString &, const QString &initial) override
    {
        FUZZ_CHECK(prompt.size() <= templates::BoxTextLimit + 200, QString::number(prompt.size()));
        static const QString round[] = {QStringLiteral("value"),
                                        QString(),
                                        QStringLiteral("<QPLPROMPT>z</QPLPROMPT>"),
                                        QStringLiteral("\u00e9\u20ac\U0001F600"),
                                        QStringLiteral("<QPLMESSAGE>"),
                                        QStringLiteral("</QPLPROMPT>")};
        const int i = inputs++;
        return i % 7 == 6 ? initial : round[i % 7 % 6];
    }
    bool fileExists(const QString &path) const override { return templates::isRegularFile(path); }
    void openFile(const QString &) override { ++opened; }
};

// How many elements of a tag the pass carries out over an unchanging text:
// one per opening tag with a closing tag somewhere after it.
int completeElements(const QByteArray &text, const char *name)
{
    const QByteArray opening = QByteArray("<") + name + '>';
    const QByteArray closing = QByteArray("</") + name + '>';
    const qsizetype lastClosing = text.lastIndexOf(closing);
    int n = 0;
    for (qsizetype p = text.indexOf(opening); p >= 0 && p < lastClosing; p = text.indexOf(opening, p + 1))
        ++n;
    return n;
}

// The content of the last complete title element, or null when there is none.
QByteArray lastTitle(const QByteArray &text)
{
    const QByteArray opening("<QPLTITLE>"), closing("</QPLTITLE>");
    const qsizetype lastClosing = text.lastIndexOf(closing);
    qsizetype last = -1;
    for (qsizetype p = text.indexOf(opening); p >= 0 && p < lastClosing; p = text.indexOf(opening, p + 1))
        last = p;
    if (last < 0)
        return QByteArray();
    const qsizetype start = last + opening.size();
    const qsizetype end = text.indexOf(closing, start);
    return text.mid(start, end - start);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init(fuzzsupport::App::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BufferHost host;
    host.buffer = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray original = host.buffer;

    templates::RunTagPass(host);

    const QByteArray title = lastTitle(original);
    if (!title.isNull())
        FUZZ_CHECK(host.docTitle == QString::fromLatin1(title), host.docTitle);
    else
        FUZZ_CHECK(host.docTitle == QStringLiteral("Untitled"), host.docTitle);

    if (host.inputs == 0) {
        // Nothing asked, so nothing changed the text: every message and link
        // element was carried out exactly once.
        FUZZ_CHECK(host.buffer == original, QStringLiteral("text changed without a prompt"));
        const int want = completeElements(original, "QPLMESSAGE") + completeElements(original, "QPLLINK");
        FUZZ_CHECK(host.messages + host.opened == want, QStringLiteral("%1 messages, %2 opened, %3 elements")
                                                            .arg(host.messages)
                                                            .arg(host.opened)
                                                            .arg(want));
    }
    return 0;
}
