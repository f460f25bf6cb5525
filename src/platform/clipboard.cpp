#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {

class SystemClipboard : public Clipboard
{
public:
    bool hasText() override
    {
        const QMimeData *d = QGuiApplication::clipboard()->mimeData();
        return d && d->hasText();
    }
    QString text() override { return QGuiApplication::clipboard()->text(); }
    void setText(const QString &text) override { QGuiApplication::clipboard()->setText(text); }
};

Clipboard *g_override = nullptr;

} // namespace

Clipboard &clipboard()
{
    static SystemClipboard real;
    return g_override ? *g_override : real;
}

void setClipboard(Clipboard *c) { g_override = c; }

} // namespace platform
