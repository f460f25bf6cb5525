#include "platform/latin1.h"

namespace latin1 {

QByteArray fromUnicode(QStringView text, int *replaced)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    int bad = 0;
    const QChar *src = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = src[i].unicode();
        if (u < 0x100) {
            *dst++ = char(u);
            continue;
        }
        // A surrogate pair is one character, so it becomes one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(src[i + 1].unicode()))
            ++i;
        *dst++ = '?';
        ++bad;
    }
    out.truncate(dst - out.data());
    if (replaced)
        *replaced = bad;
    return out;
}

} // namespace latin1
