#include "observation/maps/PlainHostMapsManager.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kGroup = QStringLiteral("MapsSettings");
const QString kUseHostGoogleApiKey = QStringLiteral("useHostGoogleApiKey");
const QString kUseHostOpenStreetMapApiKey = QStringLiteral("useHostOpenStreetMapApiKey");
const QString kHostGoogleApiKeyTileLayer = QStringLiteral("hostGoogleApiKeyTileLayer");
const QString kHostOpenStreetMapApiKeyTileLayer = QStringLiteral("hostOpenStreetMapApiKeyTileLayer");
const QString kHostGoogleApiKey = QStringLiteral("hostGoogleApiKey");
const QString kHostOpenStreetMapApiKey = QStringLiteral("hostOpenStreetMapApiKey");
const QString kOldGoogleApiKey = QStringLiteral("googleApiKey");
const QString kOldOpenStreetMapApiKey = QStringLiteral("openStreetMapApiKey");
const QString kOpenStreetMapTileServer = QStringLiteral("openStreetMapTileServer");

} // namespace

const QString PlainHostMapsManager::kDefaultOpenStreetMapTileServer = QStringLiteral("https://tile.thunderforest.com/");

PlainHostMapsManager::PlainHostMapsManager(QObject *parent)
    : MapsManagerBase(parent)
{
    connect(this, &MapsManagerBase::googleApiKeyChanged, this, &PlainHostMapsManager::hostGoogleApiKeyChanged);
    connect(this, &MapsManagerBase::openStreetMapApiKeyChanged, this,
            &PlainHostMapsManager::hostOpenStreetMapApiKeyChanged);
}

void PlainHostMapsManager::loadSettings(const QString &settingsFilePath)
{
    MapsManagerBase::loadSettings(settingsFilePath);

    QSettings settings(settingsFilePath, QSettings::IniFormat);
    settings.sync();
    settings.beginGroup(kGroup);
    setUseHostGoogleApiKey(settings.value(kUseHostGoogleApiKey, false).toBool());
    setUseHostOpenStreetMapApiKey(settings.value(kUseHostOpenStreetMapApiKey, false).toBool());
    setHostGoogleApiKeyTileLayer(settings.value(kHostGoogleApiKeyTileLayer, QString()).toString());
    setHostOpenStreetMapApiKeyTileLayer(settings.value(kHostOpenStreetMapApiKeyTileLayer, QString()).toString());
    setOpenStreetMapTileServer(settings.value(kOpenStreetMapTileServer, QString()).toString());
    if (!settings.contains(kHostGoogleApiKey) && settings.contains(kOldGoogleApiKey))
        setGoogleApiKey(settings.value(kOldGoogleApiKey).toString());
    if (!settings.contains(kHostOpenStreetMapApiKey) && settings.contains(kOldOpenStreetMapApiKey))
        setOpenStreetMapApiKey(settings.value(kOldOpenStreetMapApiKey).toString());
    settings.endGroup();
}

void PlainHostMapsManager::storeSettings(const QString &settingsFilePath)
{
    QSettings settings(settingsFilePath, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("mapType"), mapTypeName(mapType(), 0));
    settings.setValue(kUseHostGoogleApiKey, m_useHostGoogleApiKey);
    settings.setValue(kUseHostOpenStreetMapApiKey, m_useHostOpenStreetMapApiKey);
    settings.setValue(kHostGoogleApiKeyTileLayer, m_hostGoogleApiKeyTileLayer);
    settings.setValue(kHostOpenStreetMapApiKeyTileLayer, m_hostOpenStreetMapApiKeyTileLayer);
    settings.setValue(QStringLiteral("mapCoordinateLatitude"), m_mapViewCoordinate.latitude());
    settings.setValue(QStringLiteral("mapCoordinateLongitude"), m_mapViewCoordinate.longitude());
    settings.setValue(QStringLiteral("mapZoomLevel"), m_mapViewZoomLevel);
    settings.setValue(kHostGoogleApiKey, encodeApiKey(googleApiKey(), GoogleMaps));
    settings.setValue(kHostOpenStreetMapApiKey, encodeApiKey(openStreetMapApiKey(), OpenStreetMap));
    // Written only when it is not the default, so that a later default reaches older files.
    if (m_openStreetMapTileServer == kDefaultOpenStreetMapTileServer)
        settings.remove(kOpenStreetMapTileServer);
    else
        settings.setValue(kOpenStreetMapTileServer, m_openStreetMapTileServer);
    settings.remove(kOldGoogleApiKey);
    settings.remove(kOldOpenStreetMapApiKey);
    settings.endGroup();
    settings.sync();
    LOG_DBG0(QStringLiteral("[MAPS] Successful save of the maps configuration."));
}

void PlainHostMapsManager::clearOpenStreetMapTileCache()
{
    int removed = 0;
    const QStringList cacheFolders = QStandardPaths::standardLocations(QStandardPaths::GenericCacheLocation);
    for (const QString &cacheFolder : cacheFolders) {
        const QDir location(cacheFolder + QStringLiteral("/QtLocation"));
        if (!location.exists())
            continue;
        // One subfolder per QtLocation version; the OSM plugin keeps its tiles below each.
        const QStringList versions = location.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
        for (const QString &version : versions) {
            const QDir tiles(location.filePath(version) + QStringLiteral("/tiles/osm"));
            if (!tiles.exists())
                continue;
            const QStringList files = tiles.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
            for (const QString &file : files) {
                if (QFile::remove(tiles.filePath(file)))
                    ++removed;
            }
        }
    }
    LOG_DBG0(QStringLiteral("[MAPS] Cleared %1 OSM tile cache file(s).").arg(removed));
}

void PlainHostMapsManager::setHostGoogleApiKey(const QString &key)
{
    setGoogleApiKey(key);
}

void PlainHostMapsManager::setHostGoogleApiKeyTileLayer(const QString &layer)
{
    assignProperty(this, m_hostGoogleApiKeyTileLayer, layer,
                   &PlainHostMapsManager::hostGoogleApiKeyTileLayerChanged);
}

void PlainHostMapsManager::setHostOpenStreetMapApiKey(const QString &key)
{
    setOpenStreetMapApiKey(key);
}

void PlainHostMapsManager::setHostOpenStreetMapApiKeyTileLayer(const QString &layer)
{
    assignProperty(this, m_hostOpenStreetMapApiKeyTileLayer, layer,
                   &PlainHostMapsManager::hostOpenStreetMapApiKeyTileLayerChanged);
}

void PlainHostMapsManager::setUseHostGoogleApiKey(bool use)
{
    assignProperty(this, m_useHostGoogleApiKey, use, &PlainHostMapsManager::useHostGoogleApiKeyChanged);
}

void PlainHostMapsManager::setUseHostOpenStreetMapApiKey(bool use)
{
    assignProperty(this, m_useHostOpenStreetMapApiKey, use,
                   &PlainHostMapsManager::useHostOpenStreetMapApiKeyChanged);
}

void PlainHostMapsManager::setMapViewCoordinate(const QGeoCoordinate &coordinate)
{
    assignProperty(this, m_mapViewCoordinate, coordinate, &PlainHostMapsManager::mapViewCoordinateChanged);
}

void PlainHostMapsManager::setMapViewZoomLevel(double level)
{
    assignProperty(this, m_mapViewZoomLevel, level,
                   &PlainHostMapsManager::mapViewZoomLevelChanged, fuzzyRelativeEqual);
}

void PlainHostMapsManager::setOpenStreetMapTileServer(const QString &address)
{
    QString server = address.trimmed();
    if (server.isEmpty())
        server = kDefaultOpenStreetMapTileServer;
    else if (!server.endsWith(QLatin1Char('/')))
        server += QLatin1Char('/');
    assignProperty(this, m_openStreetMapTileServer, server,
                   &PlainHostMapsManager::openStreetMapTileServerChanged);
}

QString PlainHostMapsManager::googleApiKeySettingsKey() const
{
    return kHostGoogleApiKey;
}

QString PlainHostMapsManager::openStreetMapApiKeySettingsKey() const
{
    return kHostOpenStreetMapApiKey;
}
