#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

// The five forms of the date stamp, in list order:
//   dd/MM/yyyy, dd/MMM/yyyy, "dddd MMMM d, yyyy", "MMMM d, yyyy", "ddd MMM d, yyyy"
// where "/" is the locale's date separator and names are the locale's.
// Numbers are written with the digits 0 to 9 whatever the locale.
namespace inserts {

QStringList dateStamps(const QDate &date, const QLocale &locale);

// The separator between the first two numbers of the locale's short date
// format ("/" when no two numbers stand side by side); invisible direction
// marks are dropped.
QString dateSeparator(const QLocale &locale);

} // namespace inserts
