#pragma once

#include <QString>

// The per-user settings store: string values addressed by application name,
// section and key. A missing key reads as "".
namespace platform {

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &app, const QString &section, const QString &key) = 0;
    // Returns false when the value could not be stored; callers carry on regardless.
    virtual bool write(const QString &app, const QString &section, const QString &key,
                       const QString &value) = 0;
};

SettingsStore &settings();
void setSettings(SettingsStore *s); // nullptr restores the real store

// Where the real store keeps an application's values: an INI file in the
// user's configuration folder ($XDG_CONFIG_HOME).
QString settingsFilePath(const QString &app);

} // namespace platform
