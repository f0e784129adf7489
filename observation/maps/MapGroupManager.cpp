#include "observation/maps/MapGroupManager.h"

#include "core/property/AssignProperty.h"

#include <QLineF>
#include <QPolygonF>

#include <cmath>

namespace {

QPointF latitudeLongitude(const QGeoCoordinate &coordinate)
{
    return QPointF(coordinate.latitude(), coordinate.longitude());
}

// A cube without a camera has no position; it must not pull the map to nowhere.
void appendPosition(QGeoPath &path, double latitude, double longitude)
{
    if (!std::isnan(latitude) && !std::isnan(longitude))
        path.addCoordinate(QGeoCoordinate(latitude, longitude));
}

template <typename Map>
void collectNodes(QVector<MapGroupNode> &nodes, int kind, const QMap<int, QPointF> &positions,
                  const QMap<int, QPointF> &coordinates, const Map &states)
{
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        MapGroupNode node;
        node.id = it.key();
        node.position = it.value();
        node.coordinate = coordinates.value(it.key(), QPointF(0.0, 0.0));
        node.kind = kind;
        node.state = states.value(it.key(), MapGroupNode::Running);
        nodes.append(node);
    }
}

} // namespace

MapGroupManager::MapGroupManager(QObject *parent)
    : QObject(parent)
{
}

QVector<MapGroup> MapGroupManager::groupNodes(const QVector<MapGroupNode> &nodes, double distance)
{
    QVector<MapGroup> groups;
    groups.reserve(nodes.size());
    for (const MapGroupNode &node : nodes) {
        MapGroup group;
        group.nodes.append(node);
        group.setPosition(node.position);
        groups.append(group);
    }

    // Positions stay those of step one and a merge only removes a group, so every pair before
    // the merged one still fails: going on from the merged pair finds what a scan restarted from
    // the first pair would, in O(n^2) instead of O(n^3) per report.
    for (int i = 0; i < groups.size(); ++i) {
        for (int j = i + 1; j < groups.size();) {
            if (QLineF(groups.at(i).position(), groups.at(j).position()).length() <= distance) {
                groups[i].nodes += groups.at(j).nodes;
                groups.remove(j);
            } else {
                ++j;
            }
        }
    }

    for (MapGroup &group : groups) {
        if (group.nodes.size() == 2) {
            group.setPosition((group.nodes.at(0).position + group.nodes.at(1).position) / 2.0);
            continue;
        }
        QPolygonF points;
        for (const MapGroupNode &node : qAsConst(group.nodes))
            points.append(node.position);
        group.setPosition(points.boundingRect().center());
    }
    return groups;
}

void MapGroupManager::updateMapCubePosition(int cubeId, bool visible, QPointF position)
{
    if (!m_sourceModel)
        return;
    if (visible) {
        m_cubePositions.insert(cubeId, position);
        m_cubeCoordinates.insert(cubeId, latitudeLongitude(m_sourceModel->itemById(cubeId).coordinate));
    } else {
        m_cubePositions.remove(cubeId);
        m_cubeCoordinates.remove(cubeId);
    }
    rebuild();
}

void MapGroupManager::updateMapObjectPosition(int objectId, bool visible, QPointF position)
{
    if (!m_objectModel)
        return;
    const XDevObject object = m_objectModel->objectById(objectId);
    if (object.id < 0)
        return;
    if (visible) {
        m_objectPositions.insert(objectId, position);
        m_objectCoordinates.insert(objectId, QPointF(object.state.lat, object.state.lon));
    } else {
        m_objectPositions.remove(objectId);
        m_objectCoordinates.remove(objectId);
    }
    rebuild();
}

void MapGroupManager::updateCubeState(int cubeId, const QString &stateColor)
{
    m_cubeStates.insert(cubeId, MapGroupNode::stateFromColor(stateColor));
    rebuild();
}

void MapGroupManager::updateObjectState(int objectId, const QString &stateColor)
{
    m_objectStates.insert(objectId, MapGroupNode::stateFromColor(stateColor));
    rebuild();
}

void MapGroupManager::rebuild()
{
    QVector<MapGroupNode> nodes;
    collectNodes(nodes, MapGroupNode::Cube, m_cubePositions, m_cubeCoordinates, m_cubeStates);
    collectNodes(nodes, MapGroupNode::Object, m_objectPositions, m_objectCoordinates, m_objectStates);

    const QVector<MapGroup> groups = groupNodes(nodes, kGroupingDistance);
    QVector<MapGroup> published;
    QVariantList indices;
    for (const MapGroup &group : groups) {
        if (group.nodes.size() < 2)
            continue;
        published.append(group);
        for (const MapGroupNode &node : group.nodes)
            indices.append(node.id);
    }
    m_model.update(published);

    int counts[3][3] = {}; // [kind][state], kind 1 and 2 used
    for (const MapGroupNode &node : qAsConst(nodes)) {
        if (node.kind >= 1 && node.kind <= 2 && node.state >= 0 && node.state <= 2)
            ++counts[node.kind][node.state];
    }
    const int *cubes = counts[MapGroupNode::Cube];
    const int *objects = counts[MapGroupNode::Object];
    setStreamCount(cubes[0] + cubes[1] + cubes[2]);
    setNodeCount(objects[0] + objects[1] + objects[2]);
    setNodeIndices(indices);
    setRunningCount(cubes[MapGroupNode::Running]);
    setFailureCount(cubes[MapGroupNode::Failure]);
    setDisabledCount(cubes[MapGroupNode::Disabled]);
    setRunningNodeCount(objects[MapGroupNode::Running]);
    setFailureNodeCount(objects[MapGroupNode::Failure]);
    setDisabledNodeCount(objects[MapGroupNode::Disabled]);
}

void MapGroupManager::updateMapFocus()
{
    focusOn(nullptr);
}

void MapGroupManager::updateViewportFocus(const QList<int> &visibleIndices)
{
    focusOn(&visibleIndices);
}

void MapGroupManager::focusOn(const QList<int> *ids)
{
    QGeoPath path;
    if (m_sourceModel) {
        for (const GeoTableCoordinate &item : m_sourceModel->items()) {
            if (ids && !ids->contains(item.id))
                continue;
            // Kept from the first map views: a cube at exactly 0.0 counts as not placed.
            if (item.coordinate.latitude() == 0.0 || item.coordinate.longitude() == 0.0)
                continue;
            appendPosition(path, item.coordinate.latitude(), item.coordinate.longitude());
        }
    }
    if (m_objectModel) {
        for (const XDevObject &object : m_objectModel->items()) {
            if (!ids || ids->contains(object.id))
                appendPosition(path, object.state.lat, object.state.lon);
        }
    }
    setFocusRegion(path);
}

bool MapGroupManager::updateNodeFocus(int nodeId)
{
    const QVector<MapGroup> groups = m_model.items();
    for (const MapGroup &group : groups) {
        for (const MapGroupNode &node : group.nodes) {
            if (node.id == nodeId) {
                focusOnGroup(group);
                return true;
            }
        }
    }
    return false;
}

void MapGroupManager::updateGroupFocus(const QModelIndex &groupIndex)
{
    focusOnGroup(m_model.at(groupIndex));
}

void MapGroupManager::focusOnGroup(const MapGroup &group)
{
    QGeoPath path;
    for (const MapGroupNode &node : group.nodes)
        appendPosition(path, node.coordinate.x(), node.coordinate.y());
    setFocusRegion(path);
}

void MapGroupManager::setNodeIndices(const QVariantList &indices)
{
    assignProperty(this, m_nodeIndices, indices, &MapGroupManager::nodeIndicesChanged);
}

void MapGroupManager::setFocusRegion(const QGeoPath &region)
{
    m_focusRegion = region;
    emit focusRegionChanged();
}

void MapGroupManager::setStreamCount(int count)
{
    assignProperty(this, m_streamCount, count, &MapGroupManager::streamCountChanged);
}

void MapGroupManager::setNodeCount(int count)
{
    assignProperty(this, m_nodeCount, count, &MapGroupManager::nodeCountChanged);
}

void MapGroupManager::setRunningCount(int count)
{
    assignProperty(this, m_runningCount, count, &MapGroupManager::runningCountChanged);
}

void MapGroupManager::setFailureCount(int count)
{
    assignProperty(this, m_failureCount, count, &MapGroupManager::failureCountChanged);
}

void MapGroupManager::setDisabledCount(int count)
{
    assignProperty(this, m_disabledCount, count, &MapGroupManager::disabledCountChanged);
}

void MapGroupManager::setRunningNodeCount(int count)
{
    assignProperty(this, m_runningNodeCount, count, &MapGroupManager::runningNodeCountChanged);
}

void MapGroupManager::setFailureNodeCount(int count)
{
    assignProperty(this, m_failureNodeCount, count, &MapGroupManager::failureNodeCountChanged);
}

void MapGroupManager::setDisabledNodeCount(int count)
{
    assignProperty(this, m_disabledNodeCount, count, &MapGroupManager::disabledNodeCountChanged);
}
