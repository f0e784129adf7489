#include "devices/discovery/NetworkDeviceModel.h"

#include "devices/discovery/AddressResolverPool.h"
#include "devices/discovery/AddressResolverWorker.h"
#include "devices/mdns/Browser.h"
#include "devices/mdns/Cache.h"
#include "devices/mdns/MulticastTransport.h"
#include "devices/models/AddressPattern.h"

NetworkDeviceModel::NetworkDeviceModel(const QString &serviceType, QObject *parent)
    : NetworkDeviceModel(serviceType, new mdns::MulticastTransport, parent)
{
}

NetworkDeviceModel::NetworkDeviceModel(const QString &serviceType, mdns::Transport *transport, QObject *parent)
    : ListModelBase<NetworkDevice, DeviceListModel>(parent)
    , m_serviceType(serviceType)
    , m_server(transport)
    , m_resolvers(new AddressResolverPool(&m_server, this))
{
    connect(m_resolvers, &AddressResolverPool::resolved, this, &NetworkDeviceModel::onAddressResolved);
}

NetworkDeviceModel::~NetworkDeviceModel()
{
    dropBrowser();
    // Before the server goes: the workers' mDNS resolvers use it.
    m_resolvers->stopAll();
}

QVariant NetworkDeviceModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const NetworkDevice &device = m_items.at(index.row());
    switch (role) {
    case NameRole:
        return device.name();
    case AddressRole:
        return device.address();
    case DeviceRole:
        return QVariant::fromValue(device);
    default:
        return QVariant();
    }
}

bool NetworkDeviceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isRow(index) || role != DeviceRole || value.userType() != qMetaTypeId<NetworkDevice>())
        return false;
    m_items[index.row()] = value.value<NetworkDevice>();
    emit dataChanged(index, index, {DeviceRole});
    return true;
}

QHash<int, QByteArray> NetworkDeviceModel::roleNames() const
{
    return {{NameRole, QByteArrayLiteral("NameRole")},
            {AddressRole, QByteArrayLiteral("AddressRole")},
            {DeviceRole, QByteArrayLiteral("DeviceRole")}};
}

void NetworkDeviceModel::refresh(bool force)
{
    if (!force && rowCount() > 0)
        return;
    clear();
    m_resolvers->stopAll();
    dropBrowser();
    m_cache = new mdns::Cache;
    m_browser = new mdns::Browser(&m_server, m_serviceType.toUtf8(), m_cache);
    connect(m_browser, &mdns::Browser::serviceAdded, this, &NetworkDeviceModel::onServiceAdded);
    connect(m_browser, &mdns::Browser::serviceUpdated, this, &NetworkDeviceModel::onServiceUpdated);
    connect(m_browser, &mdns::Browser::serviceRemoved, this, &NetworkDeviceModel::onServiceRemoved);
}

void NetworkDeviceModel::dropBrowser()
{
    delete m_cache;
    m_cache = nullptr;
    if (m_browser) {
        disconnect(m_browser, nullptr, this, nullptr);
        delete m_browser;
        m_browser = nullptr;
    }
}

void NetworkDeviceModel::stop()
{
    m_resolvers->stopAll();
}

NetworkDevice NetworkDeviceModel::createDevice(const QString &address, const QString &addressIPv6) const
{
    return NetworkDevice(address, addressIPv6);
}

int NetworkDeviceModel::addDevice(const NetworkDevice &device)
{
    NetworkDevice entry = device;
    entry.setId(++m_lastId);
    append(entry);
    return entry.id();
}

void NetworkDeviceModel::removeDevice(const QModelIndex &index)
{
    if (!isRow(index))
        return;
    // A row that is gone needs no addresses: its resolver's thread goes to another service.
    m_resolvers->stop(m_items.at(index.row()).serviceId());
    remove(index);
}

void NetworkDeviceModel::acceptDevice(const QModelIndex &index)
{
    if (!isRow(index))
        return;
    const NetworkDevice &device = m_items.at(index.row());
    if (!device.address().isEmpty())
        emit autoconnect(device.address(), QString(), QString(), device.name());
    else if (!device.addressIPv6().isEmpty())
        emit autoconnect(device.addressIPv6(), QString(), QString(), device.name());
}

QString NetworkDeviceModel::parseAddress(const QString &pattern) const
{
    const QStringList pieces = AddressPattern::pieces(pattern, AddressPattern::Cut::AtEverySeparator);
    for (const NetworkDevice &device : m_items) {
        if (pieces.contains(device.address()) || pieces.contains(device.name()))
            return device.address();
    }
    return pattern;
}

void NetworkDeviceModel::setCurrentDevice(const NetworkDevice &device)
{
    m_currentDevice = device;
}

void NetworkDeviceModel::setLastDevice(const NetworkDevice &device)
{
    m_lastDevice = device;
}

QString NetworkDeviceModel::serviceIdOf(const mdns::Service &service)
{
    return QString::fromUtf8(service.name() + '.' + service.type());
}

QModelIndex NetworkDeviceModel::findRow(const QString &serviceId) const
{
    return findIndex([&serviceId](const NetworkDevice &device) { return device.serviceId() == serviceId; });
}

void NetworkDeviceModel::onServiceAdded(const mdns::Service &service)
{
    const QString serviceId = serviceIdOf(service);
    if (findRow(serviceId).isValid())
        return;
    NetworkDevice device{QString(), QString()};
    device.setServiceId(serviceId);
    device.setHostname(service.hostname());
    device.setName(QString::fromUtf8(service.name()));
    device.setDevice(QString::fromUtf8(service.type()));
    AnnouncementReader::fill(device, service);
    addDevice(device);

    // A resolver for no host ("." says the service has none) would hold a thread of the
    // pool and never report.
    if (service.hostname().isEmpty() || service.hostname() == ".")
        return;
    takeCachedAddresses(service.hostname(), serviceId);
    const NetworkDevice added = at(findRow(serviceId));
    if (!added.address().isEmpty() && !added.addressIPv6().isEmpty())
        return;
    m_resolvers->start(service.hostname(), serviceId);
    if (!added.address().isEmpty() || !added.addressIPv6().isEmpty())
        m_resolvers->settle(serviceId);
}

void NetworkDeviceModel::takeCachedAddresses(const QByteArray &hostname, const QString &serviceId)
{
    // Addresses that came with the announcement, or for another service of the host, are
    // known already; a responder does not repeat what it may assume is cached.
    if (!m_cache)
        return;
    for (const quint16 type : {mdns::A, mdns::AAAA}) {
        QList<mdns::Record> records;
        if (!m_cache->lookupRecords(hostname, type, records))
            continue;
        for (const mdns::Record &record : qAsConst(records)) {
            bool isIPv4 = false;
            const QString text = AddressResolverWorker::addressText(record.address(), &isIPv4);
            onAddressResolved(serviceId, text, isIPv4);
        }
    }
}

void NetworkDeviceModel::onServiceUpdated(const mdns::Service &service)
{
    const QModelIndex index = findRow(serviceIdOf(service));
    if (!index.isValid())
        return;
    AnnouncementReader::fill(m_items[index.row()], service);
    emit dataChanged(index, index, {DeviceRole});
}

void NetworkDeviceModel::onServiceRemoved(const mdns::Service &service)
{
    const QString serviceId = serviceIdOf(service);
    const QModelIndex index = findRow(serviceId);
    if (!index.isValid())
        return;
    stopResolver(serviceId);
    removeDevice(index);
}

void NetworkDeviceModel::onAddressResolved(const QString &serviceId, const QString &address, bool flagIPv4)
{
    const QModelIndex index = findRow(serviceId);
    if (!index.isValid())
        return;
    NetworkDevice &device = m_items[index.row()];
    if (flagIPv4) {
        if (device.address().isEmpty())
            device.setAddress(address);
    } else if (device.addressIPv6().isEmpty()) {
        device.setAddressIPv6(address);
    }
    if (!device.address().isEmpty() && !device.addressIPv6().isEmpty())
        m_resolvers->stop(serviceId);
    else
        m_resolvers->settle(serviceId);
    emit dataChanged(index, index, {DeviceRole});
}

void NetworkDeviceModel::stopResolver(const QString &serviceId)
{
    m_resolvers->stop(serviceId);
}
