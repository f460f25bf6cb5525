// One save of a big document through the program's own save code, for the
// kill drill: savedrill TARGET RECOVERY_ROOT A|B [BYTES]. Writes the lines of
// pattern A or B (see drillBytes) over TARGET, saying "saving" just before
// and "saved <microseconds>" after. Killed meanwhile, it leaves its recovery
// folder and save ledger behind for the next start to sweep.

#include "documents/recoveryfolder.h"
#include "documents/safesave.h"
#include "documents/saveledger.h"
#include "drillbytes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const qsizetype size = args.size() > 4 ? args[4].toLongLong() : 50LL * 1024 * 1024;
    const QByteArray text = drillBytes(args[3] == QLatin1String("A") ? 'A' : 'B', size);

    recovery::InstanceFolder folder;
    if (!folder.open(args[2]))
        return 3;
    saveledger::setFolder(folder.path());

    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    platform::FileError err;
    if (!safesave::writeFile(args[1], QByteArrayView(), text, QByteArrayView(), &err)) {
        std::printf("failed %s\n", qPrintable(err.description));
        return 1;
    }
    std::printf("saved %lld\n", static_cast<long long>(clock.nsecsElapsed() / 1000));
    std::fflush(stdout);
    folder.removeAll();
    return 0;
}
