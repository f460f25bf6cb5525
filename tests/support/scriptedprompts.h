#pragma once

#include "platform/prompts.h"

#include <QQueue>

#include <functional>

// Answers every question of the program from a script and records what was
// asked. Installs itself for its lifetime.
class ScriptedPrompts : public platform::Prompts
{
public:
    enum class Kind { Message, Input, Beep, OpenFile, SaveFile };
    struct Asked
    {
        Kind kind;
        QString text{};    // message text, or input prompt
        QString caption{}; // message caption, or input title
        QString initial{}; // input initial value, or the file dialog's last name
        platform::Buttons buttons = platform::Buttons::Ok;
        platform::Icon icon = platform::Icon::None;
        QStringList filters{}; // file dialogs
        int flags = 0;         // file dialogs
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, each used once, in the order the questions come.
    void answer(platform::Answer a) { m_answers.enqueue(a); }
    void answerInput(const QString &text) { m_inputs.enqueue(text); }
    void answerFile(const QString &path) { m_files.enqueue(path); } // "" cancels

    // Runs before each question is answered (to change the world meanwhile).
    std::function<void(const Asked &)> onAsk;

    QList<Asked> asked;
    // Questions that had no scripted answer; they got OK, No, Cancel, Abort or "".
    QStringList unexpected;

    QList<Asked> messages() const;
    QStringList messageTexts() const; // the texts of messages()
    int beeps() const;
    bool scriptUsedUp() const { return m_answers.isEmpty() && m_inputs.isEmpty() && m_files.isEmpty(); }
    void clear();

    platform::Answer message(const QString &text, platform::Buttons buttons, platform::Icon icon,
                             const QString &caption) override;
    QString input(const QString &prompt, const QString &title, const QString &initial) override;
    void beep() override;
    QString chooseFile(platform::FileMode mode, const QStringList &nameFilters, int flags,
                       const QString &lastName) override;

private:
    void note(const Asked &a); // records a question and runs onAsk
    QQueue<platform::Answer> m_answers;
    QQueue<QString> m_inputs;
    QQueue<QString> m_files;
};
