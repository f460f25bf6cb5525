// Opening a file: the bytes on disk go through the program's own open command
// (reader, format detection, line-end rules, a document window's text control,
// the record and the recent list) and must come out as the document text the
// rules promise; saving it unedited must write back what the rules promise.

#include "fuzzsupport.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"

#include <QHash>
#include <QStringDecoder>

namespace {

// A document window with nothing but its text control.
class BareWindow : public DocumentWindow
{
public:
    explicit BareWindow(int slot) : m_slot(slot) {}
    int slot() const override { return m_slot; }
    void setSlot(int slot) override { m_slot = slot; }
    TextControl *textControl() override { return &m_text; }
    QWidget *widget() override { return &m_text; }
    QString caption() const override { return QString(); }
    void showDocument() override {}
    void hideDocument() override {}
    void resetForNewDocument() override { m_text.setText(QByteArrayView()); }
    void rebuildMenus() override {}
    QAction *action(const QString &, int) const override { return nullptr; }

private:
    int m_slot;
    TextControl m_text;
};

// Keeps the recent list in memory: this target is about the file, and an INI
// write per input would be most of its time (fuzz_settings covers the store).
class MemorySettings : public platform::SettingsStore
{
public:
    QString read(const QString &app, const QString &section, const QString &key) override
    {
        return m_values.value(app + '/' + section + '/' + key);
    }
    bool write(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        m_values.insert(app + '/' + section + '/' + key, value);
        return true;
    }

private:
    QHash<QString, QString> m_values;
};

fuzzsupport::QuietPrompts *g_prompts = nullptr;

// The classic reading, written the slow and obvious way: lines end at CR LF
// or a lone CR, a lone LF is text, lines are joined with CR LF and the last
// line has no line end.
QByteArray classicText(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    QByteArray line;
    bool open = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines << line;
            line.clear();
            open = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += bytes[i];
            open = true;
        }
    }
    if (open)
        lines << line;
    return lines.join("\r\n");
}

bool validUtf8(const QByteArray &b)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString s = utf8(b);
    return !utf8.hasError() && s.toUtf8() == b;
}

// What the open should make of the bytes, and what an unedited save writes.
struct Expected
{
    QByteArray text;
    QByteArray saved;
    bool notice = false; // a file in an encoding shown byte by byte
    bool utf8 = false;
};

Expected expected(const QByteArray &bytes)
{
    Expected e;
    for (const char *mark : {"\xFF\xFE", "\xFE\xFF", "\x00\x00\xFE\xFF"}) {
        if (bytes.startsWith(QByteArray(mark, mark[0] ? 2 : 4))) {
            e.text = e.saved = bytes;
            e.notice = true;
            return e;
        }
    }
    const QByteArray bom("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(bom) && validUtf8(bytes.mid(3));
    const QByteArray body = marked ? bytes.mid(3) : bytes;
    const bool lf = bytes.contains('\n') && !bytes.contains('\r');
    e.utf8 = marked || (validUtf8(bytes) && (lf || std::any_of(bytes.begin(), bytes.end(),
                                                               [](char c) { return uchar(c) >= 0x80; })));
    e.text = lf ? body : classicText(body);
    QByteArray ending = "\r\n";
    if (lf)
        ending = e.text.isEmpty() || e.text.endsWith('\n') ? "" : "\n";
    e.saved = (marked ? bom : QByteArray()) + e.text + ending;
    return e;
}
QString show(const QByteArray &b)
{
    return QString::fromLatin1(b.left(200).toPercentEncoding());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init(fuzzsupport::App::Widgets);
    g_prompts = new fuzzsupport::QuietPrompts;
    g_prompts->answer = platform::Answer::Abort;
    platform::setPrompts(g_prompts);
    platform::setSettings(new MemorySettings);
    DocumentRegistry::instance().setWindowFactory([](int slot) { return new BareWindow(slot); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = fuzzsupport::writeFile(QStringLiteral("input.txt"), bytes);
    g_prompts->asked = 0;

    fileops::OpenFile(path);
    const Expected want = expected(bytes);

    DocumentRegistry &reg = DocumentRegistry::instance();
    FUZZ_CHECK(g_prompts->asked == (want.notice ? 1 : 0), g_prompts->lastText);
    g_prompts->asked = 0;
    FUZZ_CHECK(reg.docCount() == 1, QString::number(reg.docCount()));
    const DocumentRecord &rec = reg.record(1);
    FUZZ_CHECK(rec.InUse && rec.Path == path && !rec.Changed, rec.Path);
    FUZZ_CHECK(recentfiles::positions().value(0) == path, recentfiles::positions().value(0));
    DocumentWindow *w = reg.window(1);
    const QByteArray text = w->textControl()->text();
    FUZZ_CHECK(text == want.text, show(text) + QStringLiteral("\nwanted\n") + show(want.text));
    FUZZ_CHECK(w->textControl()->format().isUtf8() == want.utf8, w->textControl()->format().label());

    // Saved unedited, the file holds what it held (a final line end aside).
    FUZZ_CHECK(fileops::SaveDocument(1), QStringLiteral("save failed"));
    const QByteArray saved = fuzzsupport::readFile(path);
    FUZZ_CHECK(saved == want.saved, show(saved) + QStringLiteral("\nwanted\n") + show(want.saved));
    FUZZ_CHECK(g_prompts->asked == 0, g_prompts->lastText);

    // Closing an unchanged document asks nothing and frees the slot for the next input.
    FUZZ_CHECK(!documents::CloseDocument(w), QStringLiteral("close refused"));
    FUZZ_CHECK(g_prompts->asked == 0, g_prompts->lastText);
    return 0;
}
