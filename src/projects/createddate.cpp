#include "projects/createddate.h"

#include "projects/projectentry.h"

#include <QFileInfo>

namespace projects {

QString formatCreatedDate(const QDateTime &birth, const QDateTime &changed, const QLocale &locale)
{
    const QDateTime when = birth.isValid() ? birth : changed;
    if (!when.isValid())
        return QString();
    return locale.toString(when.date(), QStringLiteral("dd MMM yyyy"));
}

QString dateCreated(const QString &path, const QLocale &locale)
{
    if (!fileExists(path))
        return QString();
    const QFileInfo info(path);
    QDateTime changed = info.metadataChangeTime();
    if (!changed.isValid())
        changed = info.lastModified();
    return formatCreatedDate(info.birthTime(), changed, locale);
}

} // namespace projects
