#pragma once

#include "devices/entries/NetworkDevice.h"
#include "devices/mdns/Server.h"
#include "devices/mdns/Service.h"
#include "devices/models/ListModelBase.h"
#include "devices/models/TrackedIndex.h"

#include <QModelIndex>
#include <QPersistentModelIndex>

#include <deque>
#include <vector>

class AddressResolver;

namespace mdns {
class Browser;
class Cache;
class Transport;
} // namespace mdns

// The devices that announce themselves on the local network by mDNS service discovery: one
// row per announced service, its host name resolved in a worker thread (AddressResolver),
// and for the product's own blocks the announcement's text attributes turned into name,
// host type, interfaces and a one-line description. Browsing starts with refresh(); until
// then no socket is opened. GUI thread only.
class NetworkDeviceModel : public ListModelBase<NetworkDevice>
{
    Q_OBJECT
    Q_PROPERTY(QModelIndex currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QModelIndex loginIndex READ loginIndex WRITE setLoginIndex NOTIFY loginIndexChanged)
    Q_PROPERTY(NetworkDevice currentDevice READ currentDevice WRITE setCurrentDevice)
    Q_PROPERTY(NetworkDevice lastDevice READ lastDevice WRITE setLastDevice)
    Q_PROPERTY(bool pageFlag READ pageFlag WRITE setPageFlag NOTIFY pageFlagChanged)
    Q_PROPERTY(bool reconnectFlag READ reconnectFlag WRITE setReconnectFlag NOTIFY reconnectFlagChanged)
    Q_PROPERTY(int dataCount READ dataCount WRITE setDataCount NOTIFY dataCountChanged)

public:
    enum DisplayRoles { NameRole = 0, AddressRole = 1, DeviceRole = 2 };
    Q_ENUM(DisplayRoles)
    enum NetworkDeviceType { Orva = 0, Unknown = 1 };
    Q_ENUM(NetworkDeviceType)

    // More interface rows than this are not built, whatever a peer announces.
    static constexpr int MaxInterfaces = 256;

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
    Q_INVOKABLE QString keyString(Qt::Key key, bool trim = false) const;
    Q_INVOKABLE Qt::Key keyEnum(const QString &text) const;
    Q_INVOKABLE QString modifiersString(Qt::KeyboardModifiers modifiers, bool trim = false) const;
    Q_INVOKABLE Qt::KeyboardModifiers modifiersEnum(const QString &text) const;

    QModelIndex currentIndex() const { return m_currentIndex.index(); }
    QModelIndex loginIndex() const { return m_loginIndex.index(); }
    NetworkDevice currentDevice() const { return m_currentDevice; }
    NetworkDevice lastDevice() const { return m_lastDevice; }
    bool pageFlag() const { return m_pageFlag; }
    bool reconnectFlag() const { return m_reconnectFlag; }
    int dataCount() const { return m_dataCount; }

public slots:
    void setCurrentIndex(const QModelIndex &index = QModelIndex());
    void setLoginIndex(const QModelIndex &index = QModelIndex());
    void setCurrentDevice(const NetworkDevice &device = NetworkDevice());
    void setLastDevice(const NetworkDevice &device = NetworkDevice());
    void setPageFlag(bool flag);
    void setReconnectFlag(bool flag);
    void setDataCount(int count);

signals:
    void currentIndexChanged();
    void loginIndexChanged();
    void pageFlagChanged();
    void reconnectFlagChanged();
    void dataCountChanged();
    // The model emits the four-argument form; `device` carries the row's name.
    void autoconnect(const QString &address, const QString &username = QString(), const QString &password = QString(),
                     const QString &device = QString());

private slots:
    void onServiceAdded(const mdns::Service &service);
    void onServiceUpdated(const mdns::Service &service);
    void onServiceRemoved(const mdns::Service &service);
    void onAddressResolved(const QString &serviceId, const QString &address, bool flagIPv4);
    void stopResolver(const QString &serviceId);

private:
    void announceStoredIndexes();
    static QString serviceIdOf(const mdns::Service &service);
    QModelIndex findRow(const QString &serviceId) const;
    void fillAttributes(NetworkDevice &device, const mdns::Service &service) const;
    void stopResolvers();
    void startResolver(const QByteArray &hostname, const QString &serviceId);
    void startPendingResolvers();
    void dropBrowser();

    int m_lastId = 0;
    // Persistent: rows come and go while QML keeps its choice (an entry is removed, a service
    // leaves); a stored index follows its row or becomes invalid with it, never naming another.
    TrackedIndex m_currentIndex;
    TrackedIndex m_loginIndex;
    // What QML was last told, to announce a stored index that moved or went away.
    NetworkDevice m_currentDevice;
    NetworkDevice m_lastDevice;
    bool m_pageFlag = false;
    bool m_reconnectFlag = false;
    int m_dataCount = 0;
    QString m_serviceType;
    mdns::Server m_server;
    mdns::Cache *m_cache = nullptr;
    mdns::Browser *m_browser = nullptr;
    std::vector<AddressResolver *> m_resolvers;
    // Services waiting for a resolver thread: a flood of announcements must not start
    // thousands of threads at once.
    std::deque<std::pair<QByteArray, QString>> m_pendingResolvers;
};
