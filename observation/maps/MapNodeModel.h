#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/maps/MapGroupNode.h"

// A flat list of single markers, for views that show markers without grouping.
class MapNodeModel : public ListModelBase<MapGroupNode>
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum DisplayRoles { IdRole = 0, NameRole, PositionRole, CoordinateRole, StateRole };
    Q_ENUM(DisplayRoles)

    explicit MapNodeModel(QObject *parent = nullptr);

    int count() const { return rowCount(); }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void countChanged();
};
