#pragma once

#include <QObject>
#include <QString>

// What the launcher knows of the connected block and how it runs. Process-wide; GUI thread.
class LauncherConfig : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString appVersion READ appVersion WRITE setAppVersion NOTIFY appVersionChanged)
    Q_PROPERTY(QString apiVersion READ apiVersion WRITE setApiVersion NOTIFY apiVersionChanged)
    Q_PROPERTY(int deviceType READ deviceType WRITE setDeviceType NOTIFY deviceTypeChanged)
    Q_PROPERTY(ClientMode clientMode READ clientMode WRITE setClientMode NOTIFY clientModeChanged)
    Q_PROPERTY(bool showAll READ showAll WRITE setShowAll NOTIFY showAllChanged)
    Q_PROPERTY(bool mapsEnabled READ mapsEnabled WRITE setMapsEnabled NOTIFY mapsEnabledChanged)

public:
    enum ClientMode { Normal = 0, Demo = 1 };
    Q_ENUM(ClientMode)

    static LauncherConfig *instance();

    QString appVersion() const { return m_appVersion; }
    void setAppVersion(const QString &version);
    QString apiVersion() const { return m_apiVersion; }
    void setApiVersion(const QString &version);
    int deviceType() const { return m_deviceType; }
    void setDeviceType(int type);
    ClientMode clientMode() const { return m_clientMode; }
    void setClientMode(ClientMode mode);
    bool showAll() const { return m_showAll; }
    void setShowAll(bool on);
    bool mapsEnabled() const { return m_mapsEnabled; }
    void setMapsEnabled(bool on);

    // Compares major.minor only; false for an empty version.
    Q_INVOKABLE static bool isVersionAtLeast(const QString &version, const QString &minimum);

signals:
    void appVersionChanged();
    void apiVersionChanged();
    void deviceTypeChanged();
    void clientModeChanged();
    void showAllChanged();
    void mapsEnabledChanged();

private:
    explicit LauncherConfig(QObject *parent = nullptr);

    QString m_appVersion;
    QString m_apiVersion;
    int m_deviceType = 0;
    ClientMode m_clientMode = Normal;
    bool m_showAll = false;
    bool m_mapsEnabled = true;
};
