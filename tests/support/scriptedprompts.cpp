#include "scriptedprompts.h"

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
    for (const Asked &a : asked)
        if (a.kind == Kind::Message)
            out << a;
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
    int n = 0;
    for (const Asked &a : asked)
        n += a.kind == Kind::Beep;
    return n;
}

void ScriptedPrompts::clear()
{
    asked.clear();
    unexpected.clear();
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
}

platform::Answer ScriptedPrompts::message(const QString &text, platform::Buttons buttons, platform::Icon icon,
                                          const QString &caption)
{
    Asked a{Kind::Message, text, caption, QString(), buttons, icon, {}, 0};
    asked << a;
    if (onAsk)
        onAsk(a);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (buttons == platform::Buttons::Ok)
        return platform::Answer::Ok; // a plain notice needs no script
    unexpected << text;
    switch (buttons) {
    case platform::Buttons::YesNo:
        return platform::Answer::No;
    case platform::Buttons::YesNoCancel:
        return platform::Answer::Cancel;
    case platform::Buttons::AbortRetryIgnore:
        return platform::Answer::Abort;
    default:
        return platform::Answer::Ok;
    }
}

QString ScriptedPrompts::input(const QString &prompt, const QString &title, const QString &initial)
{
    Asked a{Kind::Input, prompt, title, initial, platform::Buttons::Ok, platform::Icon::None, {}, 0};
    asked << a;
    if (onAsk)
        onAsk(a);
    if (!m_inputs.isEmpty())
        return m_inputs.dequeue();
    unexpected << prompt;
    return QString();
}

void ScriptedPrompts::beep()
{
    Asked a{Kind::Beep, {}, {}, {}, platform::Buttons::Ok, platform::Icon::None, {}, 0};
    asked << a;
    if (onAsk)
        onAsk(a);
}

QString ScriptedPrompts::chooseFile(platform::FileMode mode, const QStringList &nameFilters, int flags,
                                    const QString &lastName)
{
    Asked a{mode == platform::FileMode::Open ? Kind::OpenFile : Kind::SaveFile,
            {},
            {},
            lastName,
            platform::Buttons::Ok,
            platform::Icon::None,
            nameFilters,
            flags};
    asked << a;
    if (onAsk)
        onAsk(a);
    if (!m_files.isEmpty())
        return m_files.dequeue();
    unexpected << QStringLiteral("file dialog");
    return QString();
}
