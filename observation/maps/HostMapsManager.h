#pragma once

#include "observation/maps/PlainHostMapsManager.h"

#include <QObject>
#include <QString>

// What the map views read: the provider, the launcher's keys and the key to use for each
// provider. Owns the launcher's PlainHostMapsManager, which the key settings page edits.
// GUI thread only.
class HostMapsManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(MapType mapType READ mapType WRITE setMapType NOTIFY mapTypeChanged)
    Q_PROPERTY(QString hostGoogleApiKey READ hostGoogleApiKey WRITE setHostGoogleApiKey NOTIFY hostGoogleApiKeyChanged)
    Q_PROPERTY(QString hostOpenStreetMapApiKey READ hostOpenStreetMapApiKey WRITE setHostOpenStreetMapApiKey NOTIFY
                   hostOpenStreetMapApiKeyChanged)
    Q_PROPERTY(bool useHostGoogleApiKey READ useHostGoogleApiKey WRITE setUseHostGoogleApiKey NOTIFY
                   useHostGoogleApiKeyChanged)
    Q_PROPERTY(bool useHostOpenStreetMapApiKey READ useHostOpenStreetMapApiKey WRITE setUseHostOpenStreetMapApiKey
                   NOTIFY useHostOpenStreetMapApiKeyChanged)
    Q_PROPERTY(bool googleApiKeyAvailable READ googleApiKeyAvailable NOTIFY googleApiKeysChanged)
    Q_PROPERTY(bool openStreetMapApiKeyAvailable READ openStreetMapApiKeyAvailable NOTIFY openStreetMapApiKeysChanged)
    Q_PROPERTY(QString preferredGoogleApiKey READ preferredGoogleApiKey NOTIFY googleApiKeysChanged)
    Q_PROPERTY(QString preferredOpenStreetMapApiKey READ preferredOpenStreetMapApiKey NOTIFY openStreetMapApiKeysChanged)
    Q_PROPERTY(QString preferredMapApiKey READ preferredMapApiKey NOTIFY apiKeysChanged)

public:
    // The same numbers as MapsManagerBase::MapType.
    enum MapType { UnknownMap = -1, GoogleMaps = 0, OpenStreetMap = 1 };
    Q_ENUM(MapType)

    explicit HostMapsManager(QObject *parent = nullptr);

    PlainHostMapsManager *hostManager() { return &m_hostManager; }

    MapType mapType() const { return MapType(m_hostManager.mapType()); }
    QString hostGoogleApiKey() const { return m_hostManager.googleApiKey(); }
    QString hostOpenStreetMapApiKey() const { return m_hostManager.openStreetMapApiKey(); }
    bool useHostGoogleApiKey() const { return m_hostManager.useHostGoogleApiKey(); }
    bool useHostOpenStreetMapApiKey() const { return m_hostManager.useHostOpenStreetMapApiKey(); }

    virtual bool googleApiKeyAvailable() const;
    virtual bool openStreetMapApiKeyAvailable() const;
    virtual QString preferredGoogleApiKey() const;
    virtual QString preferredOpenStreetMapApiKey() const;
    virtual void loadSettings(const QString &settingsFilePath);
    virtual void storeSettings(const QString &settingsFilePath);

    // The key of the chosen provider; without one, the Google Maps key when there is one.
    QString preferredMapApiKey() const;

public slots:
    void setMapType(MapType type);
    void setHostGoogleApiKey(const QString &key);
    void setHostOpenStreetMapApiKey(const QString &key);
    void setUseHostGoogleApiKey(bool use);
    void setUseHostOpenStreetMapApiKey(bool use);

signals:
    void mapTypeChanged();
    void hostGoogleApiKeyChanged();
    void hostOpenStreetMapApiKeyChanged();
    void useHostGoogleApiKeyChanged();
    void useHostOpenStreetMapApiKeyChanged();
    void googleApiKeysChanged();
    void openStreetMapApiKeysChanged();
    void apiKeysChanged();

private:
    PlainHostMapsManager m_hostManager;
};
