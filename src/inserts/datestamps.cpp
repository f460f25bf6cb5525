#include "inserts/datestamps.h"

namespace inserts {

namespace {

bool isFieldLetter(QChar c)
{
    return c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y');
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString dateSeparator(const QLocale &locale)
{
    // Split the short format into fields (runs of one field letter) and the
    // literal text between them; the separator is the literal between the
    // first two fields that are both numbers.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    bool previousNumeric = false;
    bool seenField = false;
    QString literal;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (quoted || !isFieldLetter(c)) {
            // Marks such as the right-to-left mark only steer the display.
            if (c.category() != QChar::Other_Format)
                literal += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i < format.size() && format[i] == c) {
            ++run;
            ++i;
        }
        // "MMM" and "ddd" and longer are names, not numbers.
        const bool numeric = c == QLatin1Char('y') || run <= 2;
        if (seenField && previousNumeric && numeric && !literal.isEmpty())
            return literal;
        seenField = true;
        previousNumeric = numeric;
        literal.clear();
    }
    return QStringLiteral("/");
}

QStringList dateStamps(const QDate &date, const QLocale &locale)
{
    const QString sep = dateSeparator(locale);
    const QString day = QString::number(date.day());
    const QString year = QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    const QString longDay = locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
    const QString shortDay = locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
    // After a day number a month takes the form a date uses; before one (and
    // at the start) it is the month's own name. They differ only in languages
    // with a genitive month form.
    const QString shortMonthAfterDay = locale.monthName(date.month(), QLocale::ShortFormat);
    const QString longMonth = locale.standaloneMonthName(date.month(), QLocale::LongFormat);
    const QString shortMonth = locale.standaloneMonthName(date.month(), QLocale::ShortFormat);
    const QString dayYear = QLatin1Char(' ') + day + QStringLiteral(", ") + year;

    return {
        twoDigits(date.day()) + sep + twoDigits(date.month()) + sep + year,
        twoDigits(date.day()) + sep + shortMonthAfterDay + sep + year,
        longDay + QLatin1Char(' ') + longMonth + dayYear,
        longMonth + dayYear,
        shortDay + QLatin1Char(' ') + shortMonth + dayYear,
    };
}

} // namespace inserts
