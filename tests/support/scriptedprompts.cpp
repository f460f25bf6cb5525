#include "scriptedprompts.h"

#include <algorithm>
#include <array>

using platform::Answer;

ScriptedPrompts::ScriptedPrompts()
{
    platform::setPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    platform::setPrompts(nullptr);
}

QList<ScriptedPrompts::Asked> ScriptedPrompts::messages() const
{
    QList<Asked> out;
    std::copy_if(asked.begin(), asked.end(), std::back_inserter(out),
                 [](const Asked &a) { return a.kind == Kind::Message; });
    return out;
}

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList out;
    for (const Asked &a : messages())
        out << a.text;
    return out;
}

int ScriptedPrompts::beeps() const
{
    return int(
        std::count_if(asked.begin(), asked.end(), [](const Asked &a) { return a.kind == Kind::Beep; }));
}

void ScriptedPrompts::clear()
{
    asked.clear();
    unexpected.clear();
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
}

void ScriptedPrompts::note(const Asked &a)
{
    asked << a;
    if (onAsk)
        onAsk(a);
}

Answer ScriptedPrompts::message(const QString &text, platform::Buttons buttons, platform::Icon icon,
                                const QString &caption)
{
    note({Kind::Message, text, caption, QString(), buttons, icon});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (buttons != platform::Buttons::Ok) // a plain notice needs no script
        unexpected << text;
    // Unscripted, by Buttons: OK, No, Cancel, Abort.
    return std::array{Answer::Ok, Answer::No, Answer::Cancel, Answer::Abort}[size_t(buttons)];
}

QString ScriptedPrompts::input(const QString &prompt, const QString &title, const QString &initial)
{
    note({Kind::Input, prompt, title, initial});
    if (!m_inputs.isEmpty())
        return m_inputs.dequeue();
    unexpected << prompt;
    return QString();
}

void ScriptedPrompts::beep()
{
    note({Kind::Beep});
}

QString ScriptedPrompts::chooseFile(platform::FileMode mode, const QStringList &nameFilters, int flags,
                                    const QString &lastName)
{
    const Kind kind = mode == platform::FileMode::Open ? Kind::OpenFile : Kind::SaveFile;
    note({kind, {}, {}, lastName, platform::Buttons::Ok, platform::Icon::None, nameFilters, flags});
    if (!m_files.isEmpty())
        return m_files.dequeue();
    unexpected << QStringLiteral("file dialog");
    return QString();
}
