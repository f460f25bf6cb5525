#pragma once

#include <QString>
#include <QStringList>

// Starts other programs: one program with its own arguments, never through a
// shell, so nothing in an argument is ever run as a command.
namespace platform {

class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program without waiting for it. Returns false, with the
    // system's description in *error, when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments, QString *error) = 0;
};

// The launcher in use; the real one unless a test installed its own.
ProcessLauncher &processLauncher();
void setProcessLauncher(ProcessLauncher *launcher); // nullptr restores the real one

} // namespace platform
