// Runs the real program's start-up offscreen, types into document windows,
// waits until each is journaled, says "journaled" on stdout and then waits to
// be killed or signalled. Arguments: --app FOLDER, then any of --new TEXT and
// --open PATH TEXT; a "|" in TEXT is typed as Enter. --more TEXT types TEXT
// into the last window after the journals were written (and says "typed").
// With --exit ANSWER it then chooses the frame's File > Exit, answering every
// question with ANSWER (yes, no or cancel).

#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/recoveryjournal.h"
#include "documents/recoverykeeper.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
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
        for (const QChar c : lines[i]) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(control, c.toLatin1());
                continue;
            }
            // Qt Test's key table stops at ASCII: such a key comes as its text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(control, &press);
        }
    }
}

// Answers every question the same way, as a user who always clicks one button.
class SameAnswer : public platform::Prompts
{
public:
    explicit SameAnswer(platform::Answer a) : m_answer(a) {}
    platform::Answer message(const QString &, platform::Buttons, platform::Icon, const QString &) override
    {
        return m_answer;
    }
    QString input(const QString &, const QString &, const QString &) override { return QString(); }
    void beep() override {}
    QString chooseFile(platform::FileMode, const QStringList &, int, const QString &) override
    {
        return QString();
    }

private:
    platform::Answer m_answer;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QList<int> typedSlots;
    MdiMain *frame = nullptr;
    bool exit = false;
    QString more;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--exit") && i + 1 < args.size()) {
            exit = true;
            const QString a = args[++i];
            platform::setPrompts(new SameAnswer(a == QLatin1String("yes")  ? platform::Answer::Yes
                                                : a == QLatin1String("no") ? platform::Answer::No
                                                                           : platform::Answer::Cancel));
            continue;
        }
        if (args[i] == QLatin1String("--more") && i + 1 < args.size()) {
            more = args[++i];
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
                if (file.isEmpty() || !recovery::readJournal(file, &j) ||
                    j.text != DocumentRegistry::instance().window(slot)->textControl()->text())
                    return false;
            }
            return true;
        },
        30000);
    std::printf("%s %s\n", journaled ? "journaled" : "failed", qPrintable(keeper.folder().path()));
    std::fflush(stdout);
    if (!more.isEmpty() && !typedSlots.isEmpty()) {
        typeInto(dynamic_cast<FrmDoc *>(DocumentRegistry::instance().window(typedSlots.last())), more);
        std::printf("typed\n");
        std::fflush(stdout);
    }
    if (exit)
        QTimer::singleShot(0, frame, [frame] { frame->frameAction(QStringLiteral("mnuExit"))->trigger(); });
    return app.exec();
}
