#pragma once

#include <QString>
#include <QStringList>

// The last 15 files opened or saved, newest first, kept in the settings store
// under "Quillpad Basic" / "Settings" / "RecentItem1".."RecentItem15".
namespace recentfiles {

constexpr int Count = 15;

QString key(int position); // "RecentItem" + position

void AddRecentFile(const QString &path);

// The values of positions 1 to 15 as stored ("" where empty).
QStringList positions();
// The filled entries in order, as the menus show them.
QStringList entries();

} // namespace recentfiles
