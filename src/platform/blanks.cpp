#include "platform/blanks.h"

namespace platform {

namespace {

template <typename View> View blanksTrimmed(View v)
{
    qsizetype from = 0, to = v.size();
    while (from < to && v[from] == ' ')
        ++from;
    while (to > from && v[to - 1] == ' ')
        --to;
    return v.sliced(from, to - from);
}

} // namespace

QString trimBlanks(QStringView text)
{
    return blanksTrimmed(text).toString();
}

QByteArray trimBlanks(QByteArrayView bytes)
{
    return blanksTrimmed(bytes).toByteArray();
}

} // namespace platform
