#include "app/services/LauncherConfig.h"

#include "core/property/AssignProperty.h"

#include <QStringList>

LauncherConfig *LauncherConfig::instance()
{
    static LauncherConfig *config = new LauncherConfig;
    return config;
}

LauncherConfig::LauncherConfig(QObject *parent)
    : QObject(parent)
{
}

void LauncherConfig::setAppVersion(const QString &version)
{
    assignProperty(this, m_appVersion, version, &LauncherConfig::appVersionChanged);
}

void LauncherConfig::setApiVersion(const QString &version)
{
    assignProperty(this, m_apiVersion, version, &LauncherConfig::apiVersionChanged);
}

void LauncherConfig::setDeviceType(int type)
{
    assignProperty(this, m_deviceType, type, &LauncherConfig::deviceTypeChanged);
}

void LauncherConfig::setClientMode(ClientMode mode)
{
    assignProperty(this, m_clientMode, mode, &LauncherConfig::clientModeChanged);
}

void LauncherConfig::setShowAll(bool on)
{
    assignProperty(this, m_showAll, on, &LauncherConfig::showAllChanged);
}

void LauncherConfig::setMapsEnabled(bool on)
{
    assignProperty(this, m_mapsEnabled, on, &LauncherConfig::mapsEnabledChanged);
}

bool LauncherConfig::isVersionAtLeast(const QString &version, const QString &minimum)
{
    if (version.isEmpty())
        return false;
    const QStringList v = version.split(QLatin1Char('.'));
    const QStringList m = minimum.split(QLatin1Char('.'));
    const int vMajor = v.value(0).toInt();
    const int vMinor = v.value(1).toInt();
    const int mMajor = m.value(0).toInt();
    const int mMinor = m.value(1).toInt();
    return vMajor > mMajor || (vMajor == mMajor && vMinor >= mMinor);
}
