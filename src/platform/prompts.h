#pragma once

#include <QString>
#include <QStringList>

// Message boxes, input boxes, the beep and file choices: every question the
// program asks goes through one Prompts object, so tests can answer them.
namespace platform {

enum class Buttons { Ok, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Icon { None, Exclamation };
enum class Answer { Ok, Yes, No, Cancel, Abort, Retry, Ignore };
enum class FileMode { Open, Save, Folder };

class Prompts
{
public:
    virtual ~Prompts() = default;
    // caption is never empty here: the helpers below fill in the application title.
    virtual Answer message(const QString &text, Buttons buttons, Icon icon, const QString &caption) = 0;
    // Returns the edited text on OK and "" on Cancel.
    virtual QString input(const QString &prompt, const QString &title, const QString &initial) = 0;
    virtual void beep() = 0;
    // nameFilters are Qt filters ("Text Files (*.txt)"); flags as the file dialog
    // object holds them. Returns the full path, or "" when the user cancelled.
    virtual QString chooseFile(FileMode mode, const QStringList &nameFilters, int flags,
                               const QString &lastName) = 0;
};

// The prompts in use; the real dialogs unless a test installed its own.
Prompts &prompts();
void setPrompts(Prompts *p); // nullptr restores the real dialogs

// The application title: caption of the frame and of every box given none.
QString appTitle();

Answer message(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
               const QString &caption = QString());
QString inputBox(const QString &prompt, const QString &title, const QString &initial = QString());
void beep();

} // namespace platform
