#include "documents/textfile.h"

#include <cstring>

QByteArray textFromFileBytes(QByteArray bytes)
{
    // The last line's end is not part of the text.
    qsizetype n = bytes.size();
    if (n >= 2 && bytes[n - 2] == '\r' && bytes[n - 1] == '\n')
        n -= 2;
    else if (n >= 1 && bytes[n - 1] == '\r')
        n -= 1;

    // Count lone CRs: each becomes CR LF.
    qsizetype lone = 0;
    const char *p = bytes.constData();
    const char *end = p + n;
    for (const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(n))); cr;
         cr = static_cast<const char *>(std::memchr(cr + 1, '\r', size_t(end - cr - 1)))) {
        if (cr + 1 == end || cr[1] != '\n')
            ++lone;
        if (cr + 1 == end)
            break;
    }
    if (lone == 0) {
        bytes.truncate(n);
        return bytes;
    }

    QByteArray out(n + lone, Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        *dst++ = c;
        if (c == '\r' && (i + 1 == n || p[i + 1] != '\n'))
            *dst++ = '\n';
    }
    return out;
}
