#include "editor/gotoline.h"

#include "platform/prompts.h"
#include "platform/textcontrol.h"

namespace gotoline {

int parseLineNumber(const QString &input, int lineCount)
{
    const QString digits = input.trimmed();
    if (digits.isEmpty())
        return 0;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    bool ok = false;
    const qlonglong n = digits.toLongLong(&ok);
    return ok && n >= 1 && n <= lineCount ? int(n) : 0;
}

void GoToLine(TextControl &control)
{
    using Sci = QsciScintillaBase;
    const int lines = int(control.SendScintilla(Sci::SCI_GETLINECOUNT));
    const int current = int(control.SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                                  static_cast<unsigned long>(control.selStart()))) +
                        1;
    const QString answer = platform::inputBox(QStringLiteral("Line number (1 to %1):").arg(lines),
                                              QStringLiteral("Go To Line"), QString::number(current));
    if (answer.trimmed().isEmpty())
        return;
    const int line = parseLineNumber(answer, lines);
    if (line == 0) {
        platform::message(
            QStringLiteral("There is no line \"%1\" in this document. Enter a number from 1 to %2.")
                .arg(answer.trimmed())
                .arg(lines),
            platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    control.setSelStart(
        control.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1)));
    control.setFocus();
}

} // namespace gotoline
