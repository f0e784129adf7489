#include "app/services/LauncherConfig.h"

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
    if (m_appVersion == version)
        return;
    m_appVersion = version;
    emit appVersionChanged();
}

void LauncherConfig::setApiVersion(const QString &version)
{
    if (m_apiVersion == version)
        return;
    m_apiVersion = version;
    emit apiVersionChanged();
}

void LauncherConfig::setDeviceType(int type)
{
    if (m_deviceType == type)
        return;
    m_deviceType = type;
    emit deviceTypeChanged();
}

void LauncherConfig::setClientMode(ClientMode mode)
{
    if (m_clientMode == mode)
        return;
    m_clientMode = mode;
    emit clientModeChanged();
}

void LauncherConfig::setShowAll(bool on)
{
    if (m_showAll == on)
        return;
    m_showAll = on;
    emit showAllChanged();
}

void LauncherConfig::setMapsEnabled(bool on)
{
    if (m_mapsEnabled == on)
        return;
    m_mapsEnabled = on;
    emit mapsEnabledChanged();
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
