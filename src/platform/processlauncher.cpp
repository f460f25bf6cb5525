#include "platform/processlauncher.h"

#include <QProcess>

namespace platform {

namespace {

class DetachedLauncher : public ProcessLauncher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        // The viewer must not read what the user types into our terminal.
        process.setStandardInputFile(QProcess::nullDevice());
        qint64 pid = 0;
        if (process.startDetached(&pid))
            return true;
        if (error)
            *error = process.errorString();
        return false;
    }
};

ProcessLauncher *g_override = nullptr;

} // namespace

ProcessLauncher &processLauncher()
{
    static DetachedLauncher real;
    return g_override ? *g_override : real;
}

void setProcessLauncher(ProcessLauncher *launcher)
{
    g_override = launcher;
}

} // namespace platform
