#pragma once

#include "devices/proxies/ListSortFilterProxyModel.h"

// Filters the device observers by device kind; kinds that share a display name (camera and
// camera light, the embedded kinds) pass together.
class DeviceObserverSortFilterProxyModel : public ListSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit DeviceObserverSortFilterProxyModel(QObject *parent = nullptr);

protected:
    void buildTypeFilter() override;
    bool acceptsSourceIndex(const QModelIndex &sourceIndex) const override;
};
