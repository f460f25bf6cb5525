#include "fuzzsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace fuzzsupport {

namespace {

QString g_folder;
int g_argc = 1;
char g_name[] = "fuzz";
char *g_argv[] = {g_name, nullptr};

void removeFolder()
{
    if (!g_folder.isEmpty())
        QDir(g_folder).removeRecursively();
}

} // namespace

void init(App kind)
{
    if (QCoreApplication::instance())
        return;
    // Settings and project saves sync to disk on every write; in memory they
    // cost microseconds instead of milliseconds, so the fuzzer runs far more inputs.
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    QByteArray tmpl = QFile::encodeName(base) + "/qpfuzz-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        fail("mkdtemp");
    g_folder = QString::fromLocal8Bit(tmpl);
    std::atexit(removeFolder);
    for (const char *sub : {"config", "data", "runtime"})
        QDir().mkpath(g_folder + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(g_folder + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_folder + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(g_folder + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(g_folder + QStringLiteral("/runtime")));
    // Lives until the program ends; libFuzzer leaves through exit().
    switch (kind) {
    case App::Core:
        new QCoreApplication(g_argc, g_argv);
        break;
    case App::Gui:
        new QGuiApplication(g_argc, g_argv);
        break;
    case App::Widgets:
        new QApplication(g_argc, g_argv);
        break;
    }
}

QString folder()
{
    return g_folder;
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = g_folder + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write the input file", path);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read a file back", path);
    return f.readAll();
}

platform::Answer QuietPrompts::message(const QString &text, platform::Buttons, platform::Icon,
                                       const QString &)
{
    ++asked;
    lastText = text;
    return answer;
}

QString QuietPrompts::input(const QString &prompt, const QString &, const QString &)
{
    ++asked;
    lastText = prompt;
    return inputAnswer;
}

QString QuietPrompts::chooseFile(platform::FileMode, const QStringList &, int, const QString &)
{
    ++asked;
    return QString();
}

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, qPrintable(detail));
    removeFolder(); // abort() skips the exit handlers
    std::abort();
}

} // namespace fuzzsupport
