#include "documents/newdocumentformat.h"

#include "platform/prompts.h"
#include "platform/settingsstore.h"

namespace documents {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("NewDocumentFormat");
} // namespace

TextFormat NewDocumentFormat()
{
    TextFormat f;
    const QString value = platform::settings().read(platform::appTitle(), kSection, kKey);
    // Anything unreadable, or a format only a file can have, means the classic one.
    if (!TextFormat::fromKey(value.toLatin1(), &f) || f.verbatim)
        return TextFormat::classic();
    return f;
}

void setNewDocumentFormat(const TextFormat &format)
{
    TextFormat f = format;
    f.verbatim = false;
    platform::settings().write(platform::appTitle(), kSection, kKey, QString::fromLatin1(f.key()));
}

} // namespace documents
