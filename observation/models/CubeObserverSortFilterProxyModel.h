#pragma once

#include "devices/proxies/ListSortFilterProxyModel.h"

// Filters the observed cubes by state (online, offline, enabled, disabled, processing, idle)
// on top of the text filter of its base.
class CubeObserverSortFilterProxyModel : public ListSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CubeObserverSortFilterProxyModel(QObject *parent = nullptr);

    void initializeTypes();

protected:
    void buildTypeFilter() override { initializeTypes(); }
    bool acceptsSourceIndex(const QModelIndex &sourceIndex) const override;
};
