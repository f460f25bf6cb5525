#include "platform/settingsstore.h"

#include "platform/settingsguard.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace platform {

namespace {

class IniSettings : public SettingsStore
{
public:
    QString read(const QString &app, const QString &section, const QString &key) override
    {
        const QString path = settingsFilePath(app);
        if (!settingsguard::dropSerializedObjects(path))
            return QString();
        QSettings s(path, QSettings::IniFormat);
        const QVariant v = s.value(section + QLatin1Char('/') + key);
        // A hand-edited value with commas reads back as a list; keep what was written.
        if (v.typeId() == QMetaType::QStringList)
            return v.toStringList().join(QLatin1Char(','));
        return v.toString();
    }

    bool write(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        const QString path = settingsFilePath(app);
        if (!settingsguard::dropSerializedObjects(path))
            return false;
        QSettings s(path, QSettings::IniFormat);
        s.setValue(section + QLatin1Char('/') + key, value);
        s.sync();
        return s.status() == QSettings::NoError;
    }
};

SettingsStore *g_override = nullptr;

} // namespace

QString settingsFilePath(const QString &app)
{
    // Looked up on every use, so the folder follows $XDG_CONFIG_HOME.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app +
           QLatin1String(".ini");
}

SettingsStore &settings()
{
    static IniSettings real;
    return g_override ? *g_override : real;
}

void setSettings(SettingsStore *s)
{
    g_override = s;
}

} // namespace platform
