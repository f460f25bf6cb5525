#include "editor/viewercommand.h"

#include "editor/viewertable.h"
#include "platform/blanks.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace viewers {

namespace {

bool namesExecutable(const QString &path)
{
    // A bare name is looked up on PATH, the way the program will be started.
    if (!path.contains(QLatin1Char('/')))
        return !QStandardPaths::findExecutable(path).isEmpty();
    const QFileInfo fi(path);
    return fi.isFile() && fi.isExecutable();
}

} // namespace

ViewerCommand buildViewerCommand(const QString &entryPath, const QString &documentPath)
{
    ViewerCommand cmd;
    const QString whole = platform::trimBlanks(entryPath);
    if (whole.isEmpty())
        return cmd;
    if (namesExecutable(whole)) {
        cmd.program = whole;
    } else {
        QStringList parts = QProcess::splitCommand(whole);
        if (parts.isEmpty())
            return cmd;
        cmd.program = parts.takeFirst();
        cmd.arguments = parts;
    }
    const QFileInfo doc(documentPath);
    cmd.arguments << (doc.isRelative() ? doc.absoluteFilePath() : documentPath);
    return cmd;
}

} // namespace viewers
