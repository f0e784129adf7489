#include "observation/maps/MapNodeModel.h"

MapNodeModel::MapNodeModel(QObject *parent)
    : ListModelBase<MapGroupNode>(parent)
{
    connect(this, &QAbstractItemModel::modelReset, this, &MapNodeModel::countChanged);
    connect(this, &QAbstractItemModel::rowsInserted, this, &MapNodeModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &MapNodeModel::countChanged);
}

QVariant MapNodeModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const MapGroupNode &node = m_items.at(index.row());
    switch (role) {
    case IdRole: return node.id;
    case NameRole: return node.name;
    case PositionRole: return node.position;
    case CoordinateRole: return node.coordinate;
    case StateRole: return node.state;
    default: return QVariant();
    }
}

QHash<int, QByteArray> MapNodeModel::roleNames() const
{
    return {{IdRole, "IdRole"}, {NameRole, "NameRole"}, {PositionRole, "PositionRole"},
            {CoordinateRole, "CoordinateRole"}, {StateRole, "StateRole"}};
}
