#include "app/settings/LauncherSettings.h"

#include "app/settings/ConfigDirectory.h"

#include <QFileInfo>
#include <QSettings>

namespace {

struct Entry
{
    LauncherSettings::Key key;
    const char *group;
    const char *name;
    QVariant defaultValue;
};

// The whole file. Defaults here are what a missing key reads as; the built-in copy
// (resources/config.ini) writes the same values out on the first start.
const Entry &entry(LauncherSettings::Key key)
{
    using Key = LauncherSettings::Key;
    static const Entry table[] = {
        {Key::FullScreen, "Window", "fullscreen", false},
        {Key::LastAddress, "LoginSettings", "last_address", QString()},
        {Key::LastUsername, "LoginSettings", "last_username", QString()},
        {Key::AutoLogoutPeriod, "LoginSettings", "auto_logout_period", 0},
        {Key::VersionCheckPeriod, "VersionSettings", "version_check_period", 86400},
        {Key::SelectedVersionPath, "VersionSettings", "selected_version_path", QString()},
        {Key::Language, "LanguageSettings", "language", QString()},
    };
    for (const Entry &e : table) {
        if (e.key == key)
            return e;
    }
    Q_UNREACHABLE();
    return table[0];
}

} // namespace

LauncherSettings::LauncherSettings(const QString &path)
    : m_path(path)
{
}

QString LauncherSettings::fileName()
{
    return QStringLiteral("config.ini");
}

QString LauncherSettings::builtInCopy()
{
    return QStringLiteral(":/config.ini");
}

QString LauncherSettings::group(Key key)
{
    return QLatin1String(entry(key).group);
}

QString LauncherSettings::name(Key key)
{
    return QLatin1String(entry(key).name);
}

QVariant LauncherSettings::defaultValue(Key key)
{
    return entry(key).defaultValue;
}

QVariant LauncherSettings::value(Key key) const
{
    if (m_path.isEmpty())
        return defaultValue(key);
    QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(group(key) + QLatin1Char('/') + name(key), defaultValue(key));
}

void LauncherSettings::setValue(Key key, const QVariant &value)
{
    if (m_path.isEmpty())
        return;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(group(key) + QLatin1Char('/') + name(key), value);
}

bool LauncherSettings::isReadable() const
{
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile())
        return false;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.allKeys(); // the status tells of the file only once it has been read
    return settings.status() == QSettings::NoError;
}

bool LauncherSettings::createIfMissing() const
{
    return ConfigDirectory::createFromBuiltIn(m_path, builtInCopy(),
                                              {QStringLiteral("[SETTINGS] Settings file: %1"),
                                               QStringLiteral("[SETTINGS] Settings file was not found. Creating ..."),
                                               QStringLiteral("[ERROR] %1 Failed to create new settings file.")});
}
