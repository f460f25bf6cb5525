#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace projects {

// "DD MMM YYYY": two-digit day, the month's short name in the locale's
// language, four-digit year. Uses the birth time, or the last change where the
// file system keeps no birth time; "" when neither is known.
QString formatCreatedDate(const QDateTime &birth, const QDateTime &changed,
                          const QLocale &locale = QLocale());

// The creation date of the file at path, formatted as above; "" when no file
// is there any longer.
QString dateCreated(const QString &path, const QLocale &locale = QLocale());

} // namespace projects
