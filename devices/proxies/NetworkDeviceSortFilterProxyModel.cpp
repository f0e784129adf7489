#include "devices/proxies/NetworkDeviceSortFilterProxyModel.h"

#include "app/services/BrandConfiguration.h"
#include "devices/entries/NetworkDevice.h"

NetworkDeviceSortFilterProxyModel::NetworkDeviceSortFilterProxyModel(QObject *parent)
    : DeviceSortFilterProxyModel(parent)
{
    const QString productOnly = tr("Only %1 devices").arg(BrandConfiguration::instance()->productName());
    setTypes({{0, productOnly}}, {tr("All devices"), productOnly});
}

bool NetworkDeviceSortFilterProxyModel::acceptsDevice(const QModelIndex &sourceIndex) const
{
    const NetworkDevice device = sourceIndex.data(DeviceRole).value<NetworkDevice>();
    bool accept = true;
    if (filteredType() >= 0)
        accept = device.orvaUnit() ? filteredType() == 0 : filteredType() != 0;

    const QString text = filteredString();
    if (!text.isEmpty()) {
        auto holds = [&text](const QString &field) { return field.contains(text, Qt::CaseInsensitive); };
        bool found = holds(device.name()) || holds(device.address()) || holds(device.addressIPv6());
        const QList<ORVAmDNSDeviceInterface> interfaces = device.interfaces();
        for (int i = 0; !found && i < interfaces.size(); ++i)
            found = holds(interfaces.at(i).ipv4) || holds(interfaces.at(i).ipv6);
        if (!found)
            accept = false;
    }
    return accept;
}

bool NetworkDeviceSortFilterProxyModel::lessString(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const
{
    const bool leftProduct = sourceLeft.data(DeviceRole).value<NetworkDevice>().orvaUnit();
    const bool rightProduct = sourceRight.data(DeviceRole).value<NetworkDevice>().orvaUnit();
    // Descending order swaps the arguments: answering with the direction keeps blocks first in both.
    if (leftProduct != rightProduct)
        return leftProduct ? ascending() : !ascending();
    return DeviceSortFilterProxyModel::lessString(sourceLeft, sourceRight);
}
