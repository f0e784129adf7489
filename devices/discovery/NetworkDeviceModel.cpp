#include "devices/discovery/NetworkDeviceModel.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/TimeConverter.h"
#include "devices/discovery/AddressResolver.h"
#include "devices/entries/FavoriteDevice.h"
#include "devices/mdns/Browser.h"
#include "devices/mdns/Cache.h"
#include "devices/mdns/MulticastTransport.h"

#include <algorithm>

namespace {

// Resolver threads alive at once; further services wait for a free one.
constexpr size_t kMaxResolvers = 64;

QString text(const QMap<QByteArray, QByteArray> &attributes, const QByteArray &key)
{
    return QString::fromUtf8(attributes.value(key));
}

qint64 number(const QMap<QByteArray, QByteArray> &attributes, const QByteArray &key)
{
    bool ok = false;
    const qint64 value = attributes.value(key).toLongLong(&ok);
    return ok ? value : 0;
}

} // namespace

NetworkDeviceModel::NetworkDeviceModel(const QString &serviceType, QObject *parent)
    : NetworkDeviceModel(serviceType, new mdns::MulticastTransport, parent)
{
}

NetworkDeviceModel::NetworkDeviceModel(const QString &serviceType, mdns::Transport *transport, QObject *parent)
    : ListModelBase<NetworkDevice>(parent)
    , m_serviceType(serviceType)
    , m_server(transport)
{
    // Whoever changes the rows, the count follows.
    auto syncCount = [this]() { setDataCount(rowCount()); };
    connect(this, &QAbstractItemModel::rowsInserted, this, syncCount);
    connect(this, &QAbstractItemModel::rowsRemoved, this, syncCount);
    connect(this, &QAbstractItemModel::modelReset, this, syncCount);
    // A stored index that moved or went away with its row is announced.
    connect(this, &QAbstractItemModel::rowsInserted, this, &NetworkDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &NetworkDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsMoved, this, &NetworkDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::modelReset, this, &NetworkDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::layoutChanged, this, &NetworkDeviceModel::announceStoredIndexes);
}

NetworkDeviceModel::~NetworkDeviceModel()
{
    dropBrowser();
    // Before the server goes: the workers' mDNS resolvers use it.
    stopResolvers();
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
    stopResolvers();
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
    stopResolvers();
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
    setDataCount(rowCount());
    return entry.id();
}

void NetworkDeviceModel::removeDevice(const QModelIndex &index)
{
    remove(index);
    setDataCount(rowCount());
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
    // Only the suggestion separator " - " splits: service and host names often carry a "-"
    // ("ORVA-Gate-3", "block-01.local") and must stay whole.
    QStringList pieces;
    for (const QString &piece : pattern.split(QStringLiteral(" - "))) {
        if (piece.isEmpty())
            continue;
        QString cleaned = piece.trimmed();
        if (cleaned.endsWith(QLatin1Char(')'))) {
            cleaned.chop(1);
            cleaned = cleaned.trimmed();
        }
        if (!cleaned.isEmpty())
            pieces.append(cleaned);
    }
    for (const NetworkDevice &device : m_items) {
        if (pieces.contains(device.address()) || pieces.contains(device.name()))
            return device.address();
    }
    return pattern;
}

QString NetworkDeviceModel::keyString(Qt::Key key, bool trim) const
{
    return FavoriteDevice::keyText(key, trim);
}

Qt::Key NetworkDeviceModel::keyEnum(const QString &text) const
{
    return FavoriteDevice::keyFromString(text);
}

QString NetworkDeviceModel::modifiersString(Qt::KeyboardModifiers modifiers, bool trim) const
{
    return FavoriteDevice::modifiersText(modifiers, trim);
}

Qt::KeyboardModifiers NetworkDeviceModel::modifiersEnum(const QString &text) const
{
    return FavoriteDevice::modifiersFromString(text);
}

void NetworkDeviceModel::setCurrentIndex(const QModelIndex &index)
{
    if (m_currentIndex.set(index))
        emit currentIndexChanged();
}

void NetworkDeviceModel::setLoginIndex(const QModelIndex &index)
{
    if (m_loginIndex.set(index))
        emit loginIndexChanged();
}

void NetworkDeviceModel::announceStoredIndexes()
{
    if (m_currentIndex.announce())
        emit currentIndexChanged();
    if (m_loginIndex.announce())
        emit loginIndexChanged();
}

void NetworkDeviceModel::setCurrentDevice(const NetworkDevice &device)
{
    m_currentDevice = device;
}

void NetworkDeviceModel::setLastDevice(const NetworkDevice &device)
{
    m_lastDevice = device;
}

void NetworkDeviceModel::setPageFlag(bool flag)
{
    if (m_pageFlag == flag)
        return;
    m_pageFlag = flag;
    emit pageFlagChanged();
}

void NetworkDeviceModel::setReconnectFlag(bool flag)
{
    if (m_reconnectFlag == flag)
        return;
    m_reconnectFlag = flag;
    emit reconnectFlagChanged();
}

void NetworkDeviceModel::setDataCount(int count)
{
    if (m_dataCount == count)
        return;
    m_dataCount = count;
    emit dataCountChanged();
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
    fillAttributes(device, service);
    addDevice(device);

    startResolver(service.hostname(), serviceId);
}

void NetworkDeviceModel::startResolver(const QByteArray &hostname, const QString &serviceId)
{
    if (m_resolvers.size() >= kMaxResolvers) {
        m_pendingResolvers.emplace_back(hostname, serviceId);
        return;
    }
    auto *resolver = new AddressResolver(&m_server, hostname, serviceId, this);
    connect(resolver, &AddressResolver::resolved, this, &NetworkDeviceModel::onAddressResolved);
    connect(resolver, &AddressResolver::timeout, this, &NetworkDeviceModel::stopResolver);
    m_resolvers.push_back(resolver);
}

void NetworkDeviceModel::startPendingResolvers()
{
    while (m_resolvers.size() < kMaxResolvers && !m_pendingResolvers.empty()) {
        const auto [hostname, serviceId] = m_pendingResolvers.front();
        m_pendingResolvers.pop_front();
        if (findRow(serviceId).isValid())
            startResolver(hostname, serviceId);
    }
}

void NetworkDeviceModel::onServiceUpdated(const mdns::Service &service)
{
    const QModelIndex index = findRow(serviceIdOf(service));
    if (!index.isValid())
        return;
    fillAttributes(m_items[index.row()], service);
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
        stopResolver(serviceId);
    emit dataChanged(index, index, {DeviceRole});
}

void NetworkDeviceModel::stopResolver(const QString &serviceId)
{
    const auto it = std::find_if(m_resolvers.begin(), m_resolvers.end(), [&serviceId](AddressResolver *resolver) {
        return resolver->serviceId() == serviceId;
    });
    if (it == m_resolvers.end()) {
        m_pendingResolvers.erase(std::remove_if(m_pendingResolvers.begin(), m_pendingResolvers.end(),
                                                [&serviceId](const auto &pending) { return pending.second == serviceId; }),
                                 m_pendingResolvers.end());
        return;
    }
    AddressResolver *resolver = *it;
    m_resolvers.erase(it);
    disconnect(resolver, nullptr, this, nullptr);
    delete resolver;
    startPendingResolvers();
}

void NetworkDeviceModel::stopResolvers()
{
    m_pendingResolvers.clear();
    const std::vector<AddressResolver *> resolvers = std::move(m_resolvers);
    m_resolvers.clear();
    for (AddressResolver *resolver : resolvers) {
        disconnect(resolver, nullptr, this, nullptr);
        delete resolver;
    }
}

void NetworkDeviceModel::fillAttributes(NetworkDevice &device, const mdns::Service &service) const
{
    const QMap<QByteArray, QByteArray> attributes = service.attributes();
    if (!service.name().startsWith("ORVA")) {
        // QMap keeps its keys in ascending byte order.
        QStringList rows;
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
            if (!it.value().isEmpty())
                rows.append(QString::fromUtf8(it.key()) + QStringLiteral(": ") + QString::fromUtf8(it.value()));
        }
        device.setOrvaUnit(false);
        device.setAttributes(rows.join(QStringLiteral(", ")));
        return;
    }

    const QString blockName = text(attributes, "block_name");
    if (!blockName.isEmpty())
        device.setBlockName(blockName);
    const QString hostType = text(attributes, "host_type");
    if (!hostType.isEmpty())
        device.setHostType(hostType);

    const BrandConfiguration *brand = BrandConfiguration::instance();
    QStringList rows;
    const QString hostId = text(attributes, "host_id");
    if (!hostId.isEmpty())
        rows.append(tr("host id") + QStringLiteral(": \u2026") + hostId.right(5));
    const qint64 hostUptime = number(attributes, "host_uptime");
    if (hostUptime > 0)
        rows.append(tr("host uptime") + QStringLiteral(": ")
                    + utils::gui::TimeConverter::millisecondsToDHMS(hostUptime, false));
    const QString version = text(attributes, "orva_version");
    if (!version.isEmpty())
        rows.append(brand->deviceName().toLower() + QLatin1Char(' ') + tr("version") + QStringLiteral(": ")
                    + brand->productName() + QLatin1Char(' ') + version);
    const qint64 blockUptime = number(attributes, "block_uptime");
    if (blockUptime > 0)
        rows.append(brand->deviceName().toLower() + QLatin1Char(' ') + tr("uptime") + QStringLiteral(": ")
                    + utils::gui::TimeConverter::millisecondsToDHMS(blockUptime, false));
    device.setOrvaUnit(true);
    device.setAttributes(rows.join(QStringLiteral(", ")));

    // A peer may announce any count; rows beyond what a TXT record can describe are not built.
    const int count = int(qBound<qint64>(0, number(attributes, "interfaces\\size"), MaxInterfaces));
    QList<ORVAmDNSDeviceInterface> interfaces;
    for (int i = 0; i < count; ++i) {
        const QByteArray prefix = "interfaces\\" + QByteArray::number(i) + '\\';
        ORVAmDNSDeviceInterface interface;
        interface.name = text(attributes, prefix + "name");
        interface.ipv4 = text(attributes, prefix + "ipv4");
        interface.ipv6 = text(attributes, prefix + "ipv6");
        interface.mac = text(attributes, prefix + "mac");
        interfaces.append(interface);
    }
    device.setInterfaces(interfaces);
}
