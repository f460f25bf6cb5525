#include "app/startup.h"

#include "app/mdimain.h"
#include "app/recoverystart.h"
#include "documents/fileops.h"
#include "editor/extras.h"
#include "platform/apphelpers.h"

MdiMain *Startup(const QString &argumentText)
{
    // A program folder that cannot be written must not stop the program.
    platform::EnsureFolder(QStringLiteral("tempfile"));
    extras::LoadViewerSettings();
    auto *frame = new MdiMain;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    // The argument text is one path, used as it stands: no splitting, quotes kept.
    if (!argumentText.trimmed().isEmpty())
        fileops::OpenFile(argumentText);
    frame->show();
    OfferRecovery(frame);
    return frame;
}
