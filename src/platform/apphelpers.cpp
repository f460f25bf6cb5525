#include "platform/apphelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace platform {

namespace {
QString g_appFolder;
}

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

QString DataFolder()
{
    // Named here rather than by the application name, so tests and the
    // program share one layout.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/quillpad/");
}

void setAppFolderOverride(const QString &folder) { g_appFolder = folder; }

bool EnsureFolder(const QString &name)
{
    const QString path = AppFolder() + name;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return true;
    return QDir().mkpath(path);
}

void CenterWindow(QWidget *window)
{
    if (!window)
        return;
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size().isValid() ? window->frameGeometry().size()
                                                                 : window->size();
    window->move(area.x() + area.width() / 2 - size.width() / 2,
                 area.y() + area.height() / 2 - size.height() / 2);
}

} // namespace platform
