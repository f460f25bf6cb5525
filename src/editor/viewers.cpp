#include "editor/viewers.h"

#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "editor/menutree.h"
#include "editor/viewercommand.h"
#include "editor/viewertable.h"
#include "platform/blanks.h"
#include "platform/processlauncher.h"
#include "platform/prompts.h"

#include <QAction>

namespace viewers {

namespace {

const char *const kCaption = "viewerCaption";

QString entryCaption(const FrmDoc &window, int index)
{
    // The caption this window shows, which may be older than the table.
    const QAction *a = window.action(QStringLiteral("mnuViewProgram"), index);
    const QVariant v = a ? a->property(kCaption) : QVariant();
    return v.isValid() ? v.toString() : viewEntryCaption(entry(index));
}

} // namespace

void SetUpViewEntries(FrmDoc &window)
{
    for (int i = 0; i < Count; ++i) {
        QAction *a = window.action(QStringLiteral("mnuViewProgram"), i);
        if (!a)
            continue;
        const QString caption = viewEntryCaption(entry(i));
        a->setProperty(kCaption, caption);
        a->setText(menutree::escapeAmpersands(caption));
        a->setEnabled(entry(i).isSet());
    }
}

void LaunchViewer(FrmDoc &window, int index)
{
    if (index < 0 || index >= Count)
        return;
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(window.slot()))
        return;
    const QString path = reg.record(window.slot()).Path;
    const QString caption = entryCaption(window, index);
    if (platform::trimBlanks(path).isEmpty()) {
        platform::message(
            QStringLiteral("You must save your document before you can preview it using ") + caption,
            platform::Buttons::Ok, platform::Icon::Exclamation, QStringLiteral("Document Not Saved"));
        platform::beep();
        return;
    }
    const ViewerCommand cmd = buildViewerCommand(entry(index).path, path);
    if (cmd.program.isEmpty()) {
        platform::message(QStringLiteral("No program is set for the viewer \"%1\".\r\n"
                                         "Choose one with Options > Set Viewers.")
                              .arg(caption),
                          platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    QString error;
    if (!platform::processLauncher().startDetached(cmd.program, cmd.arguments, &error))
        platform::message(
            QStringLiteral("The program \"%1\" of the viewer \"%2\" could not be started.\r\n%3")
                .arg(cmd.program, caption, error),
            platform::Buttons::Ok, platform::Icon::Exclamation);
}

} // namespace viewers
