#include "editor/printing.h"

#include "editor/frmdoc.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

namespace printing {

void PrintDocument(FrmDoc &window)
{
    TextControl *control = window.textControl();
    if (!control)
        return;
    bool selectionOnly = false;
    if (control->selLength() >= 1) {
        selectionOnly = platform::message(QStringLiteral("Do you wish to only print the highlighted text?"),
                                          platform::Buttons::YesNo, platform::Icon::None,
                                          QStringLiteral("Print your selection?")) == platform::Answer::Yes;
    }
    const QString text = selectionOnly ? control->selectedString() : control->textString();
    QString error;
    if (!platform::printer().printText(window.caption(), text, &error))
        platform::message(QStringLiteral("there was an error in printing your document: ") + error);
}

} // namespace printing
