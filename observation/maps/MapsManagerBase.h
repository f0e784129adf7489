#pragma once

#include <QObject>
#include <QString>

class QSettings;

// Map provider and one access key per provider, kept in the "MapsSettings" group of the INI
// settings file. Derived managers name the settings keys and may encode the stored keys.
// GUI thread only; nothing reaches the file before storeSettings.
class MapsManagerBase : public QObject
{
    Q_OBJECT
    Q_PROPERTY(MapType mapType READ mapType WRITE setMapType NOTIFY mapTypeChanged)
    Q_PROPERTY(QString googleApiKey READ googleApiKey WRITE setGoogleApiKey NOTIFY googleApiKeyChanged)
    Q_PROPERTY(QString openStreetMapApiKey READ openStreetMapApiKey WRITE setOpenStreetMapApiKey NOTIFY
                   openStreetMapApiKeyChanged)

public:
    // The numbers double as the provider index of the key encoding hooks.
    enum MapType { UnknownMap = -1, GoogleMaps = 0, OpenStreetMap = 1 };
    Q_ENUM(MapType)

    explicit MapsManagerBase(QObject *parent = nullptr);

    // "google_maps", "open_street_map" or "unknown", passed through convertKeyCase(style).
    static QString mapTypeName(int type, int style);

    MapType mapType() const { return MapType(m_mapType); }
    QString googleApiKey() const { return m_googleApiKey; }
    QString openStreetMapApiKey() const { return m_openStreetMapApiKey; }

    virtual void loadSettings(const QString &settingsFilePath);
    virtual void storeSettings(const QString &settingsFilePath);

public slots:
    void setMapType(MapType type);
    virtual void setGoogleApiKey(const QString &key);
    virtual void setOpenStreetMapApiKey(const QString &key);

signals:
    void mapTypeChanged();
    void googleApiKeyChanged();
    void openStreetMapApiKeyChanged();

protected:
    virtual QString settingsGroupName() const;
    virtual QString googleApiKeySettingsKey() const = 0;
    virtual QString openStreetMapApiKeySettingsKey() const = 0;
    // The stored form of a key; provider is a MapType number. Unchanged here: the keys are
    // kept in the file as typed.
    virtual QString encodeApiKey(const QString &key, int provider) const;
    // False when the stored text is not a key; the load then stops there.
    virtual bool decodeApiKey(const QString &stored, QString &key, int provider) const;

private:
    // An absent key empties the field; false when the stored text does not decode.
    bool loadApiKey(const QSettings &settings, const QString &settingsKey, int provider,
                    void (MapsManagerBase::*setKey)(const QString &));

    int m_mapType = OpenStreetMap;
    QString m_googleApiKey;
    QString m_openStreetMapApiKey;
};
