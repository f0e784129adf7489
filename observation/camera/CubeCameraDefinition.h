#pragma once

#include "observation/camera/SourceLocation.h"
#include "observation/camera/StateWatcherMapping.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

#include <memory>

namespace kvr::tracker::common {
class SourceDefinition;
}

// What one object of a cube's "cameras" array says about the camera's source: its tracker
// node, source definition, workspace, state watchers, location and georeferencing.
class CubeCameraDefinition
{
public:
    CubeCameraDefinition() = default;

    // Never fails: missing or mistyped keys take their absent values. The node, definition,
    // workspace, thresholds and watcher lists are replaced on every read; location and
    // georeferencing only when their objects are present. `resolveHeavyData` is handed to the
    // definition factory.
    void read(const QJsonObject &camera, bool resolveHeavyData = false);

    const QString &nodeServerAddress() const { return m_nodeServerAddress; }
    int nodeServerPort() const { return m_nodeServerPort; }
    // Null until the first read.
    std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition() const { return m_sourceDefinition; }
    void setSourceDefinition(std::shared_ptr<kvr::tracker::common::SourceDefinition> definition)
    {
        m_sourceDefinition = std::move(definition);
    }
    int workspaceWidth() const { return m_workspaceWidth; }
    int workspaceHeight() const { return m_workspaceHeight; }
    float stationaryIouThreshold() const { return m_stationaryIouThreshold; }
    float angleMinWorkspaceDistance() const { return m_angleMinWorkspaceDistance; }
    const SourceLocation &cameraLocation() const { return m_cameraLocation; }
    void setCameraLocation(const SourceLocation &location) { m_cameraLocation = location; }
    int georeferencingZone() const { return m_georeferencingZone; }
    bool georeferencingNorthern() const { return m_georeferencingNorthern; }
    const QVector<StateWatcherMapping> &trafficLightsMapping() const { return m_trafficLightsMapping; }
    const QVector<StateWatcherMapping> &foregroundDetectorMapping() const { return m_foregroundDetectorMapping; }
    const QVector<StateWatcherMapping> &cortexWatcherMapping() const { return m_cortexWatcherMapping; }

private:
    QString m_nodeServerAddress = QStringLiteral("127.0.0.1");
    int m_nodeServerPort = 5556;
    std::shared_ptr<kvr::tracker::common::SourceDefinition> m_sourceDefinition;
    int m_workspaceWidth = 100;
    int m_workspaceHeight = 50;
    float m_stationaryIouThreshold = 0.7f;
    float m_angleMinWorkspaceDistance = 3.0f;
    SourceLocation m_cameraLocation;
    int m_georeferencingZone = 0;
    bool m_georeferencingNorthern = false;
    QVector<StateWatcherMapping> m_trafficLightsMapping;
    QVector<StateWatcherMapping> m_foregroundDetectorMapping;
    QVector<StateWatcherMapping> m_cortexWatcherMapping;
};
