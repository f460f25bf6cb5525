// The helper program the recovery tests kill. It runs the real start-up offscreen: --app FOLDER,
// then --new TEXT and --open PATH TEXT type into windows; once all are journaled it says
// "journaled FOLDER"; --more TEXT is then typed into the last window ("typed"); --exit no|cancel
// then chooses File > Exit, giving every question that answer. --save TARGET RECOVERY_ROOT A|B
// writes 50 MB of the letter over TARGET by the program's own save code ("saving", "saved <us>").

#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recoveryfolder.h"
#include "documents/recoveryjournal.h"
#include "documents/recoverykeeper.h"
#include "documents/safesave.h"
#include "documents/saveledger.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Each character comes as a key press with its text, "|" as Enter.
void typeInto(FrmDoc *doc, const QString &text)
{
    TextControl *control = doc->textControl();
    control->setFocus();
    control->setSelStart(control->length()); // typed at the end, as a user adding to it
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == '|' ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                        c == '|' ? QString("\r") : QString(c));
        QApplication::sendEvent(control, &press);
    }
}

int saveDrill(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QByteArray text(50LL * 1024 * 1024, args.value(4) == "A" ? 'A' : 'B');
    recovery::InstanceFolder folder;
    if (!folder.open(args.value(3)))
        return 3;
    saveledger::setFolder(folder.path());
    std::puts("saving");
    QElapsedTimer clock;
    clock.start();
    if (platform::FileError err;
        !safesave::writeFile(args.value(2), QByteArrayView(), text, QByteArrayView(), &err))
        return 1;
    std::printf("saved %lld\n", static_cast<long long>(clock.nsecsElapsed() / 1000));
    folder.removeAll();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches the test at once
    if (argc > 1 && std::strcmp(argv[1], "--save") == 0)
        return saveDrill(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    platform::setAppFolderOverride(args.value(2)); // --app FOLDER comes first
    MdiMain *frame = Startup(QString());
    QList<int> typedSlots;
    std::optional<ScriptedPrompts> prompts;
    QString more;
    for (int i = 3; i + 1 < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "--exit") {
            prompts.emplace(); // unanswered, a question is cancelled
            if (args[++i] == "no")
                prompts->answer(platform::Answer::No);
        } else if (arg == "--more") {
            more = args[++i];
        } else {
            if (arg == "--new")
                frame->frameAction("mnuNew")->trigger();
            else if (arg == "--open" && i + 2 < args.size())
                fileops::OpenFile(args[++i]);
            typeInto(frame->menuOwner(), args[++i]);
            typedSlots << frame->menuOwner()->slot();
        }
    }

    // The keeper's own timer journals the documents; wait until every journal holds its window's text.
    recovery::Keeper &keeper = recovery::Keeper::instance();
    const bool journaled = QTest::qWaitFor(
        [&] {
            for (int slot : typedSlots) {
                recovery::Journal j;
                if (!recovery::readJournal(keeper.journalFile(slot), &j) ||
                    j.text != DocumentRegistry::instance().window(slot)->textControl()->text())
                    return false;
            }
            return true;
        },
        30000);
    std::printf("%s %s\n", journaled ? "journaled" : "failed", qPrintable(keeper.folder().path()));
    if (!more.isEmpty() && !typedSlots.isEmpty()) {
        typeInto(dynamic_cast<FrmDoc *>(DocumentRegistry::instance().window(typedSlots.last())), more);
        std::puts("typed");
    }
    if (prompts)
        QTimer::singleShot(0, frame, [frame] { frame->frameAction("mnuExit")->trigger(); });
    return app.exec();
}
