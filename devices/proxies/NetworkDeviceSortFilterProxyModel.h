#pragma once

#include "devices/proxies/DeviceSortFilterProxyModel.h"

// The network page's proxy over NetworkDeviceModel (roles NameRole 0, AddressRole 1,
// DeviceRole 2): one type filter that keeps the product's blocks only; the search also looks
// at IPv6 and every announced interface address; the product's blocks sort first either way.
class NetworkDeviceSortFilterProxyModel : public DeviceSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit NetworkDeviceSortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool acceptsDevice(const QModelIndex &sourceIndex) const override;
    bool lessString(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const override;
};
