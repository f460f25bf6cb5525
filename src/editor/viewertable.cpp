#include "editor/viewertable.h"

#include "platform/blanks.h"
#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace viewers {

namespace {

ViewerRows g_table;

const QString &section()
{
    static const QString s = QStringLiteral("settings");
    return s;
}

QString pathKey(int i)
{
    return QStringLiteral("path") + QString::number(i);
}
QString titleKey(int i)
{
    return QStringLiteral("title") + QString::number(i);
}

} // namespace

bool ViewerEntry::isSet() const
{
    return !platform::trimBlanks(title).isEmpty();
}

QString settingsAppName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

const ViewerEntry &entry(int index)
{
    static const ViewerEntry none;
    return index >= 0 && index < Count ? g_table[size_t(index)] : none;
}

const ViewerRows &table()
{
    return g_table;
}

void LoadViewerSettings()
{
    platform::SettingsStore &store = platform::settings();
    const QString app = settingsAppName();
    for (int i = 0; i < Count; ++i) {
        g_table[size_t(i)].path = store.read(app, section(), pathKey(i));
        g_table[size_t(i)].title = store.read(app, section(), titleKey(i));
    }
}

void saveViewerSettings()
{
    platform::SettingsStore &store = platform::settings();
    const QString app = settingsAppName();
    for (int i = 0; i < Count; ++i) {
        store.write(app, section(), pathKey(i), g_table[size_t(i)].path);
        store.write(app, section(), titleKey(i), g_table[size_t(i)].title);
    }
}

void applyViewerRows(const ViewerRows &rows)
{
    for (int i = 0; i < Count; ++i) {
        const QString p = platform::trimBlanks(rows[size_t(i)].path);
        const QString t = platform::trimBlanks(rows[size_t(i)].title);
        if (!p.isEmpty() || !t.isEmpty())
            g_table[size_t(i)] = ViewerEntry{p, t};
    }
    saveViewerSettings();
}

QString viewEntryCaption(const ViewerEntry &e)
{
    return e.isSet() ? e.title : QStringLiteral("[UNSET]");
}

} // namespace viewers
