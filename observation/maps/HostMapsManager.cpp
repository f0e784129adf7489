#include "observation/maps/HostMapsManager.h"

HostMapsManager::HostMapsManager(QObject *parent)
    : QObject(parent)
{
    // Every key change also changes what the views prefer; relays emit in the order QML expects.
    connect(&m_hostManager, &MapsManagerBase::mapTypeChanged, this, [this] {
        emit mapTypeChanged();
        emit apiKeysChanged();
    });
    connect(&m_hostManager, &PlainHostMapsManager::hostGoogleApiKeyChanged, this, [this] {
        emit hostGoogleApiKeyChanged();
        emit googleApiKeysChanged();
        emit apiKeysChanged();
    });
    connect(&m_hostManager, &PlainHostMapsManager::hostOpenStreetMapApiKeyChanged, this, [this] {
        emit hostOpenStreetMapApiKeyChanged();
        emit openStreetMapApiKeysChanged();
        emit apiKeysChanged();
    });
    connect(&m_hostManager, &PlainHostMapsManager::useHostGoogleApiKeyChanged, this, [this] {
        emit useHostGoogleApiKeyChanged();
        emit googleApiKeysChanged();
        emit apiKeysChanged();
    });
    connect(&m_hostManager, &PlainHostMapsManager::useHostOpenStreetMapApiKeyChanged, this, [this] {
        emit useHostOpenStreetMapApiKeyChanged();
        emit openStreetMapApiKeysChanged();
        emit apiKeysChanged();
    });
}

bool HostMapsManager::googleApiKeyAvailable() const
{
    return !m_hostManager.googleApiKey().isEmpty();
}

bool HostMapsManager::openStreetMapApiKeyAvailable() const
{
    return !m_hostManager.openStreetMapApiKey().isEmpty();
}

QString HostMapsManager::preferredGoogleApiKey() const
{
    return m_hostManager.googleApiKey();
}

QString HostMapsManager::preferredOpenStreetMapApiKey() const
{
    return m_hostManager.openStreetMapApiKey();
}

void HostMapsManager::loadSettings(const QString &settingsFilePath)
{
    m_hostManager.loadSettings(settingsFilePath);
}

void HostMapsManager::storeSettings(const QString &settingsFilePath)
{
    m_hostManager.storeSettings(settingsFilePath);
}

QString HostMapsManager::preferredMapApiKey() const
{
    switch (mapType()) {
    case GoogleMaps: return preferredGoogleApiKey();
    case OpenStreetMap: return preferredOpenStreetMapApiKey();
    default: return googleApiKeyAvailable() ? preferredGoogleApiKey() : preferredOpenStreetMapApiKey();
    }
}

void HostMapsManager::setMapType(MapType type)
{
    m_hostManager.setMapType(MapsManagerBase::MapType(type));
}

void HostMapsManager::setHostGoogleApiKey(const QString &key)
{
    m_hostManager.setHostGoogleApiKey(key);
}

void HostMapsManager::setHostOpenStreetMapApiKey(const QString &key)
{
    m_hostManager.setHostOpenStreetMapApiKey(key);
}

void HostMapsManager::setUseHostGoogleApiKey(bool use)
{
    m_hostManager.setUseHostGoogleApiKey(use);
}

void HostMapsManager::setUseHostOpenStreetMapApiKey(bool use)
{
    m_hostManager.setUseHostOpenStreetMapApiKey(use);
}
