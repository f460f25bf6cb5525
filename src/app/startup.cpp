#include "app/startup.h"

#include "app/mdimain.h"
#include "app/recoverystart.h"
#include "documents/fileops.h"
#include "documents/lastsession.h"
#include "documents/recoverykeeper.h"
#include "editor/extras.h"
#include "editor/preferences.h"
#include "platform/apphelpers.h"
#include "platform/terminationsignals.h"

#include <QCoreApplication>

MdiMain *Startup(const QString &argumentText)
{
    // A program folder that cannot be written must not stop the program.
    platform::EnsureFolder(QStringLiteral("tempfile"));
    extras::LoadViewerSettings();
    auto *frame = new MdiMain;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    // The argument text is one path, used as it stands (no splitting, quotes
    // kept); opening makes it absolute.
    if (!argumentText.trimmed().isEmpty())
        fileops::OpenFile(argumentText);
    frame->show();
    offerRecovery(frame);
    // Recovery has had its say first; a document it brought back is not opened twice.
    if (argumentText.trimmed().isEmpty() && preferences::current().reopenSession)
        lastsession::Reopen();
    // Ended from outside: the journals are brought up to date first and stay,
    // to be offered at the next start. exit(), unlike quit(), asks no window
    // to close: nobody is there to answer.
    platform::onTerminationSignal([] {
        recovery::Keeper::instance().keepForNextStart();
        QCoreApplication::exit(0);
    });
    return frame;
}
