#include "platform/apphelpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include <unistd.h>

namespace platform {

namespace {
QString g_appFolder;
std::function<bool(const QString &)> g_writableCheck;
} // namespace

QString AppFolder()
{
    QString folder = g_appFolder;
    if (folder.isEmpty()) {
        const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        folder = exe.isEmpty() ? QCoreApplication::applicationDirPath() : QFileInfo(exe).absolutePath();
    }
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString dataFolder()
{
    // Named here rather than by the application name, so tests and the
    // program share one layout.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/quillpad/");
}

void setAppFolderOverride(const QString &folder)
{
    g_appFolder = folder;
}

bool folderWritable(const QString &folder)
{
    if (g_writableCheck)
        return g_writableCheck(folder);
    // access() also knows read-only mounts, which permission bits do not show.
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

void setFolderWritableCheck(std::function<bool(const QString &)> check)
{
    g_writableCheck = std::move(check);
}

QString ownFolder(const QString &name)
{
    const QString inProgram = AppFolder() + name;
    const QFileInfo info(inProgram);
    // A folder already there serves when it can be written; otherwise one can
    // be made there only when the program folder itself can be written.
    const bool usable = info.isDir() ? folderWritable(inProgram)
                                     : !info.exists() && !info.isSymLink() && folderWritable(AppFolder());
    return usable ? inProgram : dataFolder() + name;
}

bool EnsureFolder(const QString &name)
{
    const QString path = ownFolder(name);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return true;
    return QDir().mkpath(path);
}

QWidget *frameWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("mdiMain"))
            return w;
    return nullptr;
}

void CenterWindow(QWidget *window)
{
    if (!window)
        return;
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size =
        window->frameGeometry().size().isValid() ? window->frameGeometry().size() : window->size();
    window->move(area.x() + area.width() / 2 - size.width() / 2,
                 area.y() + area.height() / 2 - size.height() / 2);
}

} // namespace platform
