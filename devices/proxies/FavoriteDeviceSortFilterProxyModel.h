#pragma once

#include "devices/proxies/DeviceSortFilterProxyModel.h"

// The favourites page's proxy over FavoriteDeviceModel: kinds grouped under "Camera",
// "Tarnvale", "Enterprise" and "Aerial"; the search looks at name and address.
class FavoriteDeviceSortFilterProxyModel : public DeviceSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FavoriteDeviceSortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool acceptsDevice(const QModelIndex &sourceIndex) const override;
};
