// Character mode: a stream of key presses, input-method commits and mode
// switches typed into a text control whose typing hook is character mode's.
// While the mode stays on from the start, nothing but the table's characters,
// spaces and line breaks may enter the text.

#include "fuzzsupport.h"

#include "editor/charactertable.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <bitset>

namespace {

TextControl *g_control = nullptr;
fuzzsupport::QuietPrompts *g_prompts = nullptr;
bool g_on = true;
std::bitset<256> g_allowed;

void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
{
    QKeyEvent ev(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(g_control, &ev);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(g_control, &up);
}

void typeByte(uchar c)
{
    const QChar ch(c);
    const int key =
        c >= 'a' && c <= 'z' ? c - 'a' + Qt::Key_A : (c < 0x7f && c >= 0x20 ? int(c) : int(Qt::Key_unknown));
    press(key, Qt::NoModifier, QString(ch));
}

void commit(const uint8_t *p, size_t n)
{
    QString s;
    for (size_t i = 0; i + 1 < n; i += 2)
        s += QChar(char16_t(p[i] | (p[i + 1] << 8)));
    QInputMethodEvent ev;
    ev.setCommitString(s);
    QApplication::sendEvent(g_control, &ev);
}

void navigate(uchar how)
{
    static const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,   Qt::Key_End,
                               Qt::Key_Up,   Qt::Key_Down,  Qt::Key_Delete, Qt::Key_PageUp};
    press(keys[how % 8], how & 0x80 ? Qt::ShiftModifier : Qt::NoModifier);
}

QString show(QByteArrayView b)
{
    return QString::fromLatin1(b.first(qMin<qsizetype>(b.size(), 200)).toByteArray().toPercentEncoding());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init(fuzzsupport::App::Widgets);
    g_prompts = new fuzzsupport::QuietPrompts;
    platform::setPrompts(g_prompts);
    g_control = new TextControl;
    g_control->resize(400, 300);
    g_control->show();
    g_control->setKeyHook([](int code) { return charactermode::typedCode(g_on, code); });
    for (int i = 0; i < charactermode::TableSize; ++i)
        g_allowed.set(size_t(charactermode::table()[i].code));
    g_allowed.set(' ').set('\r').set('\n');
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    g_control->setText(QByteArrayView());
    g_control->SendScintilla(QsciScintillaBase::SCI_SETOVERTYPE, 0UL);
    g_on = true;
    bool onThroughout = true;

    for (size_t i = 0; i < size;) {
        const uchar op = data[i++];
        const uchar arg = i < size ? data[i] : 0;
        switch (op % 8) {
        case 0:
            typeByte(arg);
            ++i;
            break;
        case 1:
            press(Qt::Key_Return);
            break;
        case 2:
            press(Qt::Key_Backspace);
            break;
        case 3:
            press(Qt::Key_Tab);
            break;
        case 4:
            g_on = !g_on;
            onThroughout = onThroughout && g_on;
            break;
        case 5:
            navigate(arg);
            ++i;
            break;
        case 6: {
            const size_t n = qMin<size_t>(arg % 16, size - qMin(size, i + 1));
            commit(data + i + 1, n);
            i += 1 + n;
            break;
        }
        case 7:
            press(Qt::Key_Insert);
            break;
        }
        if (onThroughout) {
            const QByteArrayView text = g_control->bytes();
            for (const char c : text)
                FUZZ_CHECK(g_allowed.test(uchar(c)), show(text));
        }
    }
    return 0;
}
