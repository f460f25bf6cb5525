#include "testmain.h"

#include "platform/apphelpers.h"

namespace testsupport {

static QTemporaryDir *g_root = nullptr;

QString root()
{
    return g_root->path();
}

void prepareEnvironment()
{
    g_root = new QTemporaryDir;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::pair<const char *, const char *> folders[] = {
        {"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/data"}, {"XDG_RUNTIME_DIR", "/runtime"}};
    for (const auto &[variable, folder] : folders) {
        QDir().mkpath(root() + QLatin1String(folder));
        qputenv(variable, QFile::encodeName(root() + QLatin1String(folder)));
    }
    QFile::setPermissions(root() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(root() + QStringLiteral("/app"));
    platform::setAppFolderOverride(root() + QStringLiteral("/app/"));
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QTest::qVerify(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "writeBytes",
                   qPrintable(path), __FILE__, __LINE__);
    return path;
}

int run(QObject *test, int argc, char **argv)
{
    const int rc = QTest::qExec(test, argc, argv);
    delete std::exchange(g_root, nullptr);
    return rc;
}

} // namespace testsupport
