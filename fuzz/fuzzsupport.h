#pragma once

#include "platform/prompts.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz program shares: an offscreen application created once, a
// private folder for settings and files, and prompts that never wait.
namespace fuzzsupport {

enum class App { Core, Gui, Widgets };

// Sets up the environment (offscreen platform, XDG folders in a private
// folder removed at exit) and creates the application object once.
void init(App kind);
// The private folder, without a trailing slash.
QString folder();

// Writes bytes to a file in the private folder and returns its path.
QString writeFile(const QString &name, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Answers every question with one answer and counts them.
class QuietPrompts : public platform::Prompts
{
public:
    platform::Answer answer = platform::Answer::Ok;
    QString inputAnswer;
    int asked = 0;
    QString lastText;

    platform::Answer message(const QString &text, platform::Buttons, platform::Icon,
                             const QString &) override;
    QString input(const QString &prompt, const QString &, const QString &) override;
    void beep() override { ++asked; }
    QString chooseFile(platform::FileMode, const QStringList &, int, const QString &) override;
};

// Stops the program with a message; libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char *what, const QString &detail = QString());

} // namespace fuzzsupport

#define FUZZ_CHECK(cond, detail)                                                                             \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            fuzzsupport::fail(#cond, detail);                                                                \
    } while (0)
