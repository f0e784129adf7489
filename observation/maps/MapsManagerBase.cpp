#include "observation/maps/MapsManagerBase.h"

#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"

#include <QSettings>

MapsManagerBase::MapsManagerBase(QObject *parent)
    : QObject(parent)
{
}

QString MapsManagerBase::mapTypeName(int type, int style)
{
    QString name;
    switch (type) {
    case GoogleMaps: name = QStringLiteral("google_maps"); break;
    case OpenStreetMap: name = QStringLiteral("open_street_map"); break;
    default: name = QStringLiteral("unknown"); break;
    }
    return convertKeyCase(name, style);
}

void MapsManagerBase::loadSettings(const QString &settingsFilePath)
{
    QSettings settings(settingsFilePath, QSettings::IniFormat);
    settings.sync();
    settings.beginGroup(settingsGroupName());

    const QString mapTypeKey = QStringLiteral("mapType");
    if (settings.contains(mapTypeKey)) {
        // Hand-edited files may spell the type "Open Street Map" or in capitals.
        const QString text = convertKeyCase(settings.value(mapTypeKey).toString(), 0);
        MapType type = UnknownMap;
        for (MapType candidate : {UnknownMap, GoogleMaps, OpenStreetMap}) {
            if (text.compare(mapTypeName(candidate, 0), Qt::CaseInsensitive) == 0) {
                type = candidate;
                break;
            }
        }
        setMapType(type);
    }

    if (!loadApiKey(settings, googleApiKeySettingsKey(), GoogleMaps, &MapsManagerBase::setGoogleApiKey)) {
        LOG_ERR(QStringLiteral("Failed to decode Google Maps key from settings."));
        settings.endGroup();
        return;
    }
    if (!loadApiKey(settings, openStreetMapApiKeySettingsKey(), OpenStreetMap, &MapsManagerBase::setOpenStreetMapApiKey)) {
        LOG_ERR(QStringLiteral("Failed to decode OpenStreetMap key from settings."));
        settings.endGroup();
        return;
    }

    settings.endGroup();
    LOG_DBG0(QStringLiteral("[MAPS] Successful load of the maps configuration."));
}

bool MapsManagerBase::loadApiKey(const QSettings &settings, const QString &settingsKey, int provider,
                                 void (MapsManagerBase::*setKey)(const QString &))
{
    if (!settings.contains(settingsKey)) {
        (this->*setKey)(QString());
        return true;
    }
    QString key;
    if (!decodeApiKey(settings.value(settingsKey).toString(), key, provider))
        return false;
    (this->*setKey)(key);
    return true;
}

void MapsManagerBase::storeSettings(const QString &settingsFilePath)
{
    QSettings settings(settingsFilePath, QSettings::IniFormat);
    settings.beginGroup(settingsGroupName());
    settings.setValue(QStringLiteral("mapType"), mapTypeName(m_mapType, 0));
    settings.setValue(googleApiKeySettingsKey(), encodeApiKey(m_googleApiKey, GoogleMaps));
    settings.setValue(openStreetMapApiKeySettingsKey(), encodeApiKey(m_openStreetMapApiKey, OpenStreetMap));
    settings.endGroup();
    settings.sync();
    LOG_DBG0(QStringLiteral("[MAPS] Successful save of the maps configuration."));
}

void MapsManagerBase::setMapType(MapType type)
{
    assignProperty(this, m_mapType, type, &MapsManagerBase::mapTypeChanged);
}

void MapsManagerBase::setGoogleApiKey(const QString &key)
{
    assignProperty(this, m_googleApiKey, key, &MapsManagerBase::googleApiKeyChanged);
}

void MapsManagerBase::setOpenStreetMapApiKey(const QString &key)
{
    assignProperty(this, m_openStreetMapApiKey, key, &MapsManagerBase::openStreetMapApiKeyChanged);
}

QString MapsManagerBase::settingsGroupName() const
{
    return QStringLiteral("MapsSettings");
}

QString MapsManagerBase::encodeApiKey(const QString &key, int provider) const
{
    Q_UNUSED(provider)
    return key;
}

bool MapsManagerBase::decodeApiKey(const QString &stored, QString &key, int provider) const
{
    Q_UNUSED(provider)
    key = stored;
    return true;
}
