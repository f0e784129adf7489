#pragma once

#include "observation/maps/MapsManagerBase.h"

#include <QGeoCoordinate>

// The launcher's own map settings: the base keys as the "host" keys, a tile layer and a
// "use the host key" switch per provider, and the map view's centre and zoom. The switches and
// tile layers are only kept and stored; the centre and zoom are stored but never read back, so
// every start begins from the defaults.
class PlainHostMapsManager : public MapsManagerBase
{
    Q_OBJECT
    Q_PROPERTY(QString hostGoogleApiKey READ googleApiKey WRITE setHostGoogleApiKey NOTIFY hostGoogleApiKeyChanged)
    Q_PROPERTY(QString hostGoogleApiKeyTileLayer READ hostGoogleApiKeyTileLayer WRITE setHostGoogleApiKeyTileLayer
                   NOTIFY hostGoogleApiKeyTileLayerChanged)
    Q_PROPERTY(QString hostOpenStreetMapApiKey READ openStreetMapApiKey WRITE setHostOpenStreetMapApiKey NOTIFY
                   hostOpenStreetMapApiKeyChanged)
    Q_PROPERTY(QString hostOpenStreetMapApiKeyTileLayer READ hostOpenStreetMapApiKeyTileLayer WRITE
                   setHostOpenStreetMapApiKeyTileLayer NOTIFY hostOpenStreetMapApiKeyTileLayerChanged)
    Q_PROPERTY(bool useHostGoogleApiKey READ useHostGoogleApiKey WRITE setUseHostGoogleApiKey NOTIFY
                   useHostGoogleApiKeyChanged)
    Q_PROPERTY(bool useHostOpenStreetMapApiKey READ useHostOpenStreetMapApiKey WRITE setUseHostOpenStreetMapApiKey
                   NOTIFY useHostOpenStreetMapApiKeyChanged)
    Q_PROPERTY(QGeoCoordinate mapViewCoordinate READ mapViewCoordinate WRITE setMapViewCoordinate NOTIFY
                   mapViewCoordinateChanged)
    Q_PROPERTY(double mapViewZoomLevel READ mapViewZoomLevel WRITE setMapViewZoomLevel NOTIFY mapViewZoomLevelChanged)
    Q_PROPERTY(QString openStreetMapTileServer READ openStreetMapTileServer WRITE setOpenStreetMapTileServer NOTIFY
                   openStreetMapTileServerChanged)

public:
    // Where the OpenStreetMap view fetches its tiles unless "openStreetMapTileServer" names
    // another server (a closed network's own, or a test's).
    static const QString kDefaultOpenStreetMapTileServer;

    explicit PlainHostMapsManager(QObject *parent = nullptr);

    QString hostGoogleApiKeyTileLayer() const { return m_hostGoogleApiKeyTileLayer; }
    QString hostOpenStreetMapApiKeyTileLayer() const { return m_hostOpenStreetMapApiKeyTileLayer; }
    bool useHostGoogleApiKey() const { return m_useHostGoogleApiKey; }
    bool useHostOpenStreetMapApiKey() const { return m_useHostOpenStreetMapApiKey; }
    QGeoCoordinate mapViewCoordinate() const { return m_mapViewCoordinate; }
    double mapViewZoomLevel() const { return m_mapViewZoomLevel; }
    // The tile service's base address, ending in "/".
    QString openStreetMapTileServer() const { return m_openStreetMapTileServer; }

    // Also takes the keys of older files ("googleApiKey", "openStreetMapApiKey") when the host
    // keys are absent; the next store moves them to the host names.
    void loadSettings(const QString &settingsFilePath) override;
    void storeSettings(const QString &settingsFilePath) override;

    // Removes the files of every OpenStreetMap tile cache of QtLocation, so that tiles of a
    // changed tile layer are fetched again. Folders stay.
    Q_INVOKABLE void clearOpenStreetMapTileCache();

public slots:
    void setHostGoogleApiKey(const QString &key);
    void setHostGoogleApiKeyTileLayer(const QString &layer);
    void setHostOpenStreetMapApiKey(const QString &key);
    void setHostOpenStreetMapApiKeyTileLayer(const QString &layer);
    void setUseHostGoogleApiKey(bool use);
    void setUseHostOpenStreetMapApiKey(bool use);
    void setMapViewCoordinate(const QGeoCoordinate &coordinate);
    void setMapViewZoomLevel(double level);
    // An empty address means the default; "/" is added when missing.
    void setOpenStreetMapTileServer(const QString &address);

signals:
    void hostGoogleApiKeyChanged();
    void hostGoogleApiKeyTileLayerChanged();
    void hostOpenStreetMapApiKeyChanged();
    void hostOpenStreetMapApiKeyTileLayerChanged();
    void useHostGoogleApiKeyChanged();
    void useHostOpenStreetMapApiKeyChanged();
    void mapViewCoordinateChanged();
    void mapViewZoomLevelChanged();
    void openStreetMapTileServerChanged();

protected:
    QString googleApiKeySettingsKey() const override;
    QString openStreetMapApiKeySettingsKey() const override;

private:
    QString m_hostGoogleApiKeyTileLayer;
    QString m_hostOpenStreetMapApiKeyTileLayer;
    bool m_useHostGoogleApiKey = false;
    bool m_useHostOpenStreetMapApiKey = false;
    QGeoCoordinate m_mapViewCoordinate;
    double m_mapViewZoomLevel = 8.0;
    QString m_openStreetMapTileServer = kDefaultOpenStreetMapTileServer;
};
