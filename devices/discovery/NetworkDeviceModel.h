#pragma once

#include "devices/discovery/AnnouncementReader.h"
#include "devices/entries/NetworkDevice.h"
#include "devices/mdns/Server.h"
#include "devices/mdns/Service.h"
#include "devices/models/DeviceListModel.h"
#include "devices/models/ListModelBase.h"

#include <QModelIndex>

class AddressResolverPool;

namespace mdns {
class Browser;
class Cache;
class Transport;
} // namespace mdns

// The devices that announce themselves on the local network by mDNS service discovery: one
// row per announced service, its host name resolved in a worker thread (AddressResolverPool),
// and for the product's own blocks the announcement's text attributes turned into name,
// host type, interfaces and a one-line description (AnnouncementReader). Browsing starts
// with refresh(); until then no socket is opened. GUI thread only.
class NetworkDeviceModel : public ListModelBase<NetworkDevice, DeviceListModel>
{
    Q_OBJECT
    Q_PROPERTY(NetworkDevice currentDevice READ currentDevice WRITE setCurrentDevice)
    Q_PROPERTY(NetworkDevice lastDevice READ lastDevice WRITE setLastDevice)

public:
    enum DisplayRoles { NameRole = 0, AddressRole = 1, DeviceRole = 2 };
    Q_ENUM(DisplayRoles)
    enum NetworkDeviceType { Orva = 0, Unknown = 1 };
    Q_ENUM(NetworkDeviceType)

    static constexpr int MaxInterfaces = AnnouncementReader::MaxInterfaces;

    // The default service type lets QML create the model; the shell passes it too.
    explicit NetworkDeviceModel(const QString &serviceType = QStringLiteral("_services._dns-sd._udp.local."),
                                QObject *parent = nullptr);
    // Carries mDNS over the given transport (owned) instead of the multicast sockets.
    NetworkDeviceModel(const QString &serviceType, mdns::Transport *transport, QObject *parent = nullptr);
    ~NetworkDeviceModel() override;

    QVariant data(const QModelIndex &index, int role) const override;
    // Replaces a whole row from DeviceRole with a NetworkDevice value; anything else is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE void refresh(bool force = false);
    Q_INVOKABLE void stop();
    Q_INVOKABLE NetworkDevice createDevice(const QString &address = QString(),
                                           const QString &addressIPv6 = QString()) const;
    Q_INVOKABLE int addDevice(const NetworkDevice &device);
    Q_INVOKABLE void removeDevice(const QModelIndex &index);
    Q_INVOKABLE void acceptDevice(const QModelIndex &index);
    Q_INVOKABLE QString parseAddress(const QString &pattern) const;

    NetworkDevice currentDevice() const { return m_currentDevice; }
    NetworkDevice lastDevice() const { return m_lastDevice; }

public slots:
    void setCurrentDevice(const NetworkDevice &device = NetworkDevice());
    void setLastDevice(const NetworkDevice &device = NetworkDevice());

private slots:
    void onServiceAdded(const mdns::Service &service);
    void onServiceUpdated(const mdns::Service &service);
    void onServiceRemoved(const mdns::Service &service);
    void onAddressResolved(const QString &serviceId, const QString &address, bool flagIPv4);
    void stopResolver(const QString &serviceId);

private:
    static QString serviceIdOf(const mdns::Service &service);
    QModelIndex findRow(const QString &serviceId) const;
    void takeCachedAddresses(const QByteArray &hostname, const QString &serviceId);
    void dropBrowser();

    int m_lastId = 0;
    NetworkDevice m_currentDevice;
    NetworkDevice m_lastDevice;
    QString m_serviceType;
    mdns::Server m_server;
    mdns::Cache *m_cache = nullptr;
    mdns::Browser *m_browser = nullptr;
    AddressResolverPool *m_resolvers;
};
