#include "testmain.h"

#include "platform/apphelpers.h"

#include <QStandardPaths>

namespace testsupport {

namespace {
QTemporaryDir *g_root = nullptr;
}

QString root()
{
    return g_root->path();
}

void prepareEnvironment()
{
    g_root = new QTemporaryDir;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_root->path() + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(g_root->path() + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(g_root->path() + QStringLiteral("/runtime")));
    QDir().mkpath(g_root->path() + QStringLiteral("/config"));
    QDir().mkpath(g_root->path() + QStringLiteral("/runtime"));
    QDir().mkpath(g_root->path() + QStringLiteral("/data"));
    QFile::setPermissions(g_root->path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void prepareApplication()
{
    QDir().mkpath(g_root->path() + QStringLiteral("/app"));
    platform::setAppFolderOverride(g_root->path() + QStringLiteral("/app/"));
}

void cleanUp()
{
    delete g_root;
    g_root = nullptr;
}

} // namespace testsupport
