#pragma once

#include "observation/maps/GeoTableModel.h"
#include "observation/maps/MapGroupProxyCubeModel.h"
#include "observation/xdev/XDevObjectModel.h"

#include <QGeoPath>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QVariantList>

// Folds the map's cube and device markers that come within 100 view pixels of each other into
// group markers with counts per state, keeps totals per kind and state, and computes the region
// the map is fitted to. The map view reports positions and states; every report recomputes
// everything from what was reported. GUI thread only.
class MapGroupManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(MapGroupProxyCubeModel *model READ model CONSTANT)
    Q_PROPERTY(GeoTableModel *sourceModel READ sourceModel WRITE setSourceModel)
    Q_PROPERTY(XDevObjectModel *objectModel READ objectModel WRITE setObjectModel)
    Q_PROPERTY(QVariantList nodeIndices READ nodeIndices WRITE setNodeIndices NOTIFY nodeIndicesChanged)
    Q_PROPERTY(QGeoPath focusRegion READ focusRegion WRITE setFocusRegion NOTIFY focusRegionChanged)
    Q_PROPERTY(int streamCount READ streamCount WRITE setStreamCount NOTIFY streamCountChanged)
    Q_PROPERTY(int nodeCount READ nodeCount WRITE setNodeCount NOTIFY nodeCountChanged)
    Q_PROPERTY(int runningCount READ runningCount WRITE setRunningCount NOTIFY runningCountChanged)
    Q_PROPERTY(int failureCount READ failureCount WRITE setFailureCount NOTIFY failureCountChanged)
    Q_PROPERTY(int disabledCount READ disabledCount WRITE setDisabledCount NOTIFY disabledCountChanged)
    Q_PROPERTY(int runningNodeCount READ runningNodeCount WRITE setRunningNodeCount NOTIFY runningNodeCountChanged)
    Q_PROPERTY(int failureNodeCount READ failureNodeCount WRITE setFailureNodeCount NOTIFY failureNodeCountChanged)
    Q_PROPERTY(int disabledNodeCount READ disabledNodeCount WRITE setDisabledNodeCount NOTIFY
                   disabledNodeCountChanged)

public:
    // View pixels within which two markers are drawn as one group.
    static constexpr double kGroupingDistance = 100.0;

    explicit MapGroupManager(QObject *parent = nullptr);

    // One group per node, then merged while two groups' first positions are within distance,
    // pairs taken in node order; a merged group is still measured from its first node.
    static QVector<MapGroup> groupNodes(const QVector<MapGroupNode> &nodes, double distance);

    MapGroupProxyCubeModel *model() { return &m_model; }
    GeoTableModel *sourceModel() const { return m_sourceModel; }
    void setSourceModel(GeoTableModel *model) { m_sourceModel = model; }
    XDevObjectModel *objectModel() const { return m_objectModel; }
    void setObjectModel(XDevObjectModel *model) { m_objectModel = model; }

    QVariantList nodeIndices() const { return m_nodeIndices; }
    void setNodeIndices(const QVariantList &indices);
    QGeoPath focusRegion() const { return m_focusRegion; }
    // Always emits: the map re-fits even to an unchanged region.
    void setFocusRegion(const QGeoPath &region);
    int streamCount() const { return m_streamCount; }
    void setStreamCount(int count);
    int nodeCount() const { return m_nodeCount; }
    void setNodeCount(int count);
    int runningCount() const { return m_runningCount; }
    void setRunningCount(int count);
    int failureCount() const { return m_failureCount; }
    void setFailureCount(int count);
    int disabledCount() const { return m_disabledCount; }
    void setDisabledCount(int count);
    int runningNodeCount() const { return m_runningNodeCount; }
    void setRunningNodeCount(int count);
    int failureNodeCount() const { return m_failureNodeCount; }
    void setFailureNodeCount(int count);
    int disabledNodeCount() const { return m_disabledNodeCount; }
    void setDisabledNodeCount(int count);

    // Ignored without a source model; a cube the table does not hold is placed at (0, 0).
    Q_INVOKABLE void updateMapCubePosition(int cubeId, bool visible, QPointF position);
    // Ignored without an object model or for an object it does not hold.
    Q_INVOKABLE void updateMapObjectPosition(int objectId, bool visible, QPointF position);
    Q_INVOKABLE void updateCubeState(int cubeId, const QString &stateColor);
    Q_INVOKABLE void updateObjectState(int objectId, const QString &stateColor);

    // Focus on every cube and device (cubes at latitude or longitude 0.0 and cubes without a
    // position are left out).
    Q_INVOKABLE void updateMapFocus();
    // The same, restricted to the given cube and object ids.
    Q_INVOKABLE void updateViewportFocus(const QList<int> &visibleIndices);
    // Focus on the published group holding that id; false, leaving the focus, when none does.
    Q_INVOKABLE bool updateNodeFocus(int nodeId);
    Q_INVOKABLE void updateGroupFocus(const QModelIndex &groupIndex);

signals:
    void nodeIndicesChanged();
    void focusRegionChanged();
    void streamCountChanged();
    void nodeCountChanged();
    void runningCountChanged();
    void failureCountChanged();
    void disabledCountChanged();
    void runningNodeCountChanged();
    void failureNodeCountChanged();
    void disabledNodeCountChanged();

private:
    void rebuild();
    void focusOn(const QList<int> *ids);
    void focusOnGroup(const MapGroup &group);

    MapGroupProxyCubeModel m_model;
    QPointer<GeoTableModel> m_sourceModel;
    QPointer<XDevObjectModel> m_objectModel;
    QVariantList m_nodeIndices;
    QGeoPath m_focusRegion;
    int m_streamCount = 0;
    int m_nodeCount = 0;
    int m_runningCount = 0;
    int m_failureCount = 0;
    int m_disabledCount = 0;
    int m_runningNodeCount = 0;
    int m_failureNodeCount = 0;
    int m_disabledNodeCount = 0;
    QMap<int, QPointF> m_cubePositions;
    QMap<int, QPointF> m_cubeCoordinates;
    QMap<int, int> m_cubeStates;
    QMap<int, QPointF> m_objectPositions;
    QMap<int, QPointF> m_objectCoordinates;
    QMap<int, int> m_objectStates;
};
