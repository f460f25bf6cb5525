#include "platform/printlayout.h"

namespace platform::printlayout {

namespace {

constexpr int kTabWidth = 8;

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

QString printable(QStringView line)
{
    QString out;
    out.reserve(line.size());
    for (const QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c == '\t') {
            const int spaces = kTabWidth - int(out.size() % kTabWidth);
            out.append(QString(spaces, QLatin1Char(' ')));
        } else if (isControl(c)) {
            out.append(QLatin1Char(' '));
        } else {
            out.append(ch);
        }
    }
    return out;
}

} // namespace

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << printable(QStringView(text).mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines << printable(QStringView(text).mid(start));
    return lines;
}

QStringList wrapLine(const QString &line, const CharWidth &width, qreal maxWidth)
{
    if (line.isEmpty())
        return {QString()};
    QStringList pieces;
    const qsizetype n = line.size();
    qsizetype start = 0;
    while (start < n) {
        qreal used = 0;
        qsizetype end = start;
        while (end < n) {
            const qreal w = width(line[end]);
            if (end > start && used + w > maxWidth)
                break;
            used += w;
            ++end;
        }
        if (end == n) {
            pieces << line.mid(start);
            break;
        }
        qsizetype next = end;
        if (line[end] == QLatin1Char(' ')) {
            // The break falls on blanks: they vanish at the end of the line.
            while (next < n && line[next] == QLatin1Char(' '))
                ++next;
        } else {
            const qsizetype blank = line.lastIndexOf(QLatin1Char(' '), end - 1);
            if (blank > start) {
                end = blank + 1;
                next = end;
            }
        }
        pieces << line.mid(start, end - start);
        start = next;
    }
    return pieces;
}

QList<QStringList> paginate(const QStringList &lines, int linesPerPage)
{
    const int per = qMax(1, linesPerPage);
    QList<QStringList> pages;
    for (qsizetype i = 0; i < lines.size(); i += per)
        pages << lines.mid(i, per);
    if (pages.isEmpty())
        pages << QStringList();
    return pages;
}

} // namespace platform::printlayout
