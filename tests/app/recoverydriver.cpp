// Runs the real program's start-up offscreen, types into document windows,
// waits until each is journaled, says "journaled" on stdout and then waits to
// be killed. Arguments: --app FOLDER, then any of --new TEXT and
// --open PATH TEXT; a "|" in TEXT is typed as Enter. With --exit it then
// ends the way the frame's File > Exit does instead.

#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recoveryjournal.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QtTest>

#include <cstdio>

namespace {

void typeInto(FrmDoc *doc, const QString &text)
{
    TextControl *control = doc->textControl();
    control->setFocus();
    // Typed at the end, as a user adding to the document would.
    control->setSelStart(control->length());
    const QStringList lines = text.split(QLatin1Char('|'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClicks(control, lines[i]);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QList<int> typedSlots;
    MdiMain *frame = nullptr;
    bool exit = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--exit")) {
            exit = true;
            continue;
        }
        if (args[i] == QLatin1String("--app") && i + 1 < args.size()) {
            platform::setAppFolderOverride(args[++i]);
            continue;
        }
        if (!frame)
            frame = Startup(QString());
        if (args[i] == QLatin1String("--new") && i + 1 < args.size()) {
            frame->frameAction(QStringLiteral("mnuNew"))->trigger();
            FrmDoc *doc = frame->menuOwner();
            typeInto(doc, args[++i]);
            typedSlots << doc->slot();
        } else if (args[i] == QLatin1String("--open") && i + 2 < args.size()) {
            fileops::OpenFile(args[++i]);
            FrmDoc *doc = frame->menuOwner();
            typeInto(doc, args[++i]);
            typedSlots << doc->slot();
        }
    }
    if (!frame)
        frame = Startup(QString());

    // The keeper's own timer journals the documents; wait until every journal
    // on disk holds its window's text.
    recovery::Keeper &keeper = recovery::Keeper::instance();
    const bool journaled = QTest::qWaitFor(
        [&] {
            for (int slot : typedSlots) {
                recovery::Journal j;
                const QString file = keeper.journalFile(slot);
                if (file.isEmpty() || !recovery::readJournal(file, &j)
                    || j.text != DocumentRegistry::instance().window(slot)->textControl()->text())
                    return false;
            }
            return true;
        },
        30000);
    std::printf("%s %s\n", journaled ? "journaled" : "failed", qPrintable(keeper.folder().path()));
    std::fflush(stdout);
    if (exit)
        QTimer::singleShot(0, frame, [frame] { frame->frameAction(QStringLiteral("mnuExit"))->trigger(); });
    return app.exec();
}
