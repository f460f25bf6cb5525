#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {

class SystemClipboard : public Clipboard
{
public:
    // Asking another program's clipboard costs a round trip, and the states
    // ask often: remember the answer until the clipboard changes.
    bool hasText() override
    {
        if (!m_watching) {
            m_watching = true;
            QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                             [this] { m_known = false; });
        }
        if (!m_known) {
            const QMimeData *d = QGuiApplication::clipboard()->mimeData();
            m_hasText = d && d->hasText();
            m_known = true;
        }
        return m_hasText;
    }
    QString text() override { return QGuiApplication::clipboard()->text(); }
    void setText(const QString &text) override
    {
        m_known = false;
        QGuiApplication::clipboard()->setText(text);
    }

private:
    bool m_watching = false;
    bool m_known = false;
    bool m_hasText = false;
};

Clipboard *g_override = nullptr;

} // namespace

Clipboard &clipboard()
{
    static SystemClipboard real;
    return g_override ? *g_override : real;
}

void setClipboard(Clipboard *c)
{
    g_override = c;
}

} // namespace platform
