#include "documents/fileprompts.h"

#include "platform/prompts.h"

namespace fileprompts {

QString questionText(Wording wording, const platform::FileError &err)
{
    const QString crlf = QStringLiteral("\r\n");
    switch (wording) {
    case Wording::Read:
        return QStringLiteral("There was an error in reading your file") + crlf + err.description + crlf +
               QStringLiteral("Would would you like to do");
    case Wording::ReadWithNumber:
        return QString::number(err.number) + QStringLiteral("> There was an error in reading your file") +
               crlf + err.description + crlf + QStringLiteral("Would would you like to do");
    case Wording::Save:
        return QStringLiteral("There was an error in saving to the file. ") + crlf + err.description + crlf +
               QStringLiteral("Would would you like to do");
    case Wording::InsertFile:
        return QStringLiteral("There was an error in reading your file") + crlf + err.description + crlf +
               QStringLiteral("What would you like to do");
    }
    return QString();
}

platform::Answer ask(Wording wording, const platform::FileError &err)
{
    return platform::message(questionText(wording, err), platform::Buttons::AbortRetryIgnore);
}

StepResult runStep(Wording wording, const std::function<bool(platform::FileError *)> &step)
{
    for (;;) {
        platform::FileError err;
        if (step(&err))
            return StepResult::Done;
        const platform::Answer a = ask(wording, err);
        if (a == platform::Answer::Retry)
            continue;
        return a == platform::Answer::Ignore ? StepResult::Ignored : StepResult::Aborted;
    }
}

} // namespace fileprompts
