#include "documents/recentfiles.h"

#include "platform/prompts.h"
#include "platform/settingsstore.h"

namespace recentfiles {

namespace {
const QString kSection = QStringLiteral("Settings");

QString read(int pos)
{
    return platform::settings().read(platform::appTitle(), kSection, key(pos));
}
void write(int pos, const QString &v)
{
    platform::settings().write(platform::appTitle(), kSection, key(pos), v);
}
} // namespace

QString key(int position)
{
    return QStringLiteral("RecentItem") + QString::number(position);
}

void AddRecentFile(const QString &path)
{
    QStringList values = positions();
    int k = Count;
    for (int i = 1; i <= Count; ++i) {
        if (values[i - 1] == path) {
            values[i - 1].clear();
            write(i, QString());
            k = i;
            break;
        }
    }
    if (!values[0].isEmpty()) {
        for (int i = k - 1; i >= 1; --i)
            write(i + 1, values[i - 1]);
    }
    write(1, path);
}

QStringList positions()
{
    QStringList out;
    for (int i = 1; i <= Count; ++i)
        out << read(i);
    return out;
}

QStringList entries()
{
    QStringList out;
    for (const QString &v : positions())
        if (!v.isEmpty())
            out << v;
    return out;
}

} // namespace recentfiles
