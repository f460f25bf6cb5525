// Opening a file: the bytes on disk go through the program's own open command
// (reader, line-end rules, a document window's text control, the record and
// the recent list) and must come out as the document text the rules promise.

#include "fuzzsupport.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"

#include <QHash>

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

// The document text by the rules, written the slow and obvious way: lines end
// at CR LF or a lone CR, a lone LF is text, lines are joined with CR LF and
// the last line has no line end.
QByteArray expectedText(const QByteArray &bytes)
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

    DocumentRegistry &reg = DocumentRegistry::instance();
    FUZZ_CHECK(g_prompts->asked == 0, g_prompts->lastText);
    FUZZ_CHECK(reg.docCount() == 1, QString::number(reg.docCount()));
    const DocumentRecord &rec = reg.record(1);
    FUZZ_CHECK(rec.InUse && rec.Path == path && !rec.Changed, rec.Path);
    FUZZ_CHECK(recentfiles::positions().value(0) == path, recentfiles::positions().value(0));
    DocumentWindow *w = reg.window(1);
    const QByteArray text = w->textControl()->text();
    const QByteArray want = expectedText(bytes);
    FUZZ_CHECK(text == want, show(text) + QStringLiteral("\nwanted\n") + show(want));
    FUZZ_CHECK(w->textControl()->length() == want.size(), QString::number(w->textControl()->length()));

    // Closing an unchanged document asks nothing and frees the slot for the next input.
    FUZZ_CHECK(!documents::CloseDocument(w), QStringLiteral("close refused"));
    FUZZ_CHECK(g_prompts->asked == 0, g_prompts->lastText);
    return 0;
}
