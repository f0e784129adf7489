#include "observation/maps/MapGroupProxyCubeModel.h"

MapGroupProxyCubeModel::MapGroupProxyCubeModel(QObject *parent)
    : ListModelBase<MapGroup>(parent)
{
    // QML iterates the node ids of NodesRole.
    qRegisterMetaType<QList<int>>();
    connect(this, &QAbstractItemModel::modelReset, this, &MapGroupProxyCubeModel::countChanged);
    connect(this, &QAbstractItemModel::rowsInserted, this, &MapGroupProxyCubeModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &MapGroupProxyCubeModel::countChanged);
}

QVariant MapGroupProxyCubeModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const MapGroup &group = m_items.at(index.row());
    switch (role) {
    case IdRole: return -1;
    case NameRole: return QString();
    case PositionRole: return group.position();
    case NodesRole: {
        QList<int> ids;
        for (const MapGroupNode &node : group.nodes)
            ids.append(node.id);
        return QVariant::fromValue(ids);
    }
    case VisibleRole: return group.visible;
    case CountRole: return group.count(MapGroupNode::Cube);
    case RunningRole: return group.count(MapGroupNode::Cube, MapGroupNode::Running);
    case FailureRole: return group.count(MapGroupNode::Cube, MapGroupNode::Failure);
    case DisabledRole: return group.count(MapGroupNode::Cube, MapGroupNode::Disabled);
    case NodeCountRole: return group.count(MapGroupNode::Object);
    case RunningNodeRole: return group.count(MapGroupNode::Object, MapGroupNode::Running);
    case FailureNodeRole: return group.count(MapGroupNode::Object, MapGroupNode::Failure);
    case DisabledNodeRole: return group.count(MapGroupNode::Object, MapGroupNode::Disabled);
    default: return QVariant();
    }
}

QHash<int, QByteArray> MapGroupProxyCubeModel::roleNames() const
{
    return {
        {IdRole, "IdRole"},
        {NameRole, "NameRole"},
        {PositionRole, "PositionRole"},
        {NodesRole, "NodesRole"},
        {VisibleRole, "VisibleRole"},
        {CountRole, "CountRole"},
        {RunningRole, "RunningRole"},
        {FailureRole, "FailureRole"},
        {DisabledRole, "DisabledRole"},
        {NodeCountRole, "NodeCountRole"},
        {RunningNodeRole, "RunningNodeRole"},
        {FailureNodeRole, "FailureNodeRole"},
        {DisabledNodeRole, "DisabledNodeRole"},
    };
}

void MapGroupProxyCubeModel::update(const QVector<MapGroup> &groups)
{
    const int rows = m_items.size();
    for (int i = 0; i < groups.size(); ++i) {
        if (i >= rows) {
            append(groups.at(i));
            continue;
        }
        MapGroup &row = m_items[i];
        row.nodes = groups.at(i).nodes;
        row.setPosition(groups.at(i).position());
        row.visible = true;
        emit dataChanged(index(i, 0), index(i, 0), {});
    }
    for (int i = rows - 1; i >= groups.size(); --i) {
        m_items[i].visible = false;
        m_items[i].nodes.clear();
        emit dataChanged(index(i, 0), index(i, 0), {VisibleRole});
    }
}

void MapGroupProxyCubeModel::updateNodeState(int cubeId, const QString &stateColor)
{
    [&] {
        for (MapGroup &group : m_items) {
            for (MapGroupNode &node : group.nodes) {
                if (node.id == cubeId) {
                    node.state = MapGroupNode::stateFromColor(stateColor);
                    return;
                }
            }
        }
    }();
    if (m_items.isEmpty())
        return;
    emit dataChanged(index(0, 0), index(m_items.size() - 1, 0), {RunningRole, FailureRole, DisabledRole});
}
