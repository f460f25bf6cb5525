#pragma once

#include <QByteArray>

#include <cstring>

// The two contents the save drill swaps between: lines of 78 characters and
// CR LF; pattern B's are shifted so that every line differs from A's.
inline QByteArray drillBytes(char pattern, qsizetype size)
{
    char alphabet[90 + 78];
    for (int i = 0; i < int(sizeof alphabet); ++i)
        alphabet[i] = char('!' + i % 90);
    QByteArray line(80, '\n');
    QByteArray out(size, Qt::Uninitialized);
    char *p = out.data();
    const int shift = pattern == 'A' ? 0 : 13;
    for (qsizetype at = 0, l = 0; at < size; at += 80, ++l) {
        std::memcpy(line.data(), alphabet + (l + shift) % 90, 78);
        line[78] = '\r';
        std::memcpy(p + at, line.constData(), size_t(qMin<qsizetype>(80, size - at)));
    }
    return out;
}
