#include "platform/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace platform {

namespace {

// Boxes show CR LF as one line break.
QString forDisplay(const QString &s)
{
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QWidget *dialogParent()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    return w;
}

class DialogPrompts : public Prompts
{
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &caption) override
    {
        QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                        forDisplay(text), QMessageBox::NoButton, dialogParent());
        box.setTextFormat(Qt::PlainText);
        switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case Buttons::AbortRetryIgnore:
            box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            // Escape or the close box: the safest answer of the set.
            switch (buttons) {
            case Buttons::Ok:
                return Answer::Ok;
            case Buttons::YesNo:
                return Answer::No;
            case Buttons::YesNoCancel:
                return Answer::Cancel;
            case Buttons::AbortRetryIgnore:
                return Answer::Abort;
            }
        }
        return Answer::Cancel;
    }

    QString input(const QString &prompt, const QString &title, const QString &initial) override
    {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(dialogParent(), title, forDisplay(prompt), QLineEdit::Normal, initial, &ok);
        return ok ? answer : QString();
    }

    void beep() override { QApplication::beep(); }

    QString chooseFile(FileMode mode, const QStringList &nameFilters, int flags,
                       const QString &lastName) override
    {
        QFileDialog dlg(dialogParent());
        dlg.setNameFilters(nameFilters);
        if (!lastName.isEmpty())
            dlg.selectFile(lastName);
        if (mode == FileMode::Folder) {
            dlg.setFileMode(QFileDialog::Directory);
            dlg.setOption(QFileDialog::ShowDirsOnly);
            dlg.setDirectory(lastName);
        } else if (mode == FileMode::Save) {
            dlg.setAcceptMode(QFileDialog::AcceptSave);
            dlg.setFileMode(QFileDialog::AnyFile);
            // 2 asks before replacing an existing file.
            dlg.setOption(QFileDialog::DontConfirmOverwrite, !(flags & 2));
        } else {
            dlg.setAcceptMode(QFileDialog::AcceptOpen);
            // 2048: the typed path must exist.
            dlg.setFileMode((flags & 2048) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        }
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    }
};

Prompts *g_override = nullptr;

} // namespace

Prompts &prompts()
{
    static DialogPrompts real;
    return g_override ? *g_override : real;
}

void setPrompts(Prompts *p)
{
    g_override = p;
}

QString appTitle()
{
    return QStringLiteral("Quillpad Basic");
}

Answer message(const QString &text, Buttons buttons, Icon icon, const QString &caption)
{
    return prompts().message(text, buttons, icon, caption.isEmpty() ? appTitle() : caption);
}

QString inputBox(const QString &prompt, const QString &title, const QString &initial)
{
    return prompts().input(prompt, title, initial);
}

void beep()
{
    prompts().beep();
}

} // namespace platform
