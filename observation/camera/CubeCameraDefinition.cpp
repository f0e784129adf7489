#include "observation/camera/CubeCameraDefinition.h"

#include "datamodel/definitions/SourceDefinition.h"

#include <QJsonArray>
#include <QJsonValue>

using kvr::tracker::common::SourceDataReadOptions;
using kvr::tracker::common::SourceDefinition;

namespace {

const QString kNodeServerAddress = QStringLiteral("block_node_server_address");
const QString kNodeServerPort = QStringLiteral("block_node_server_port");
const QString kSourceDefinition = QStringLiteral("source_definition");
const QString kWorkspaceWidth = QStringLiteral("workspace_width");
const QString kWorkspaceHeight = QStringLiteral("workspace_height");
const QString kStationaryIouThreshold = QStringLiteral("stationary_iou_threshold");
const QString kAngleMinWorkspaceDistance = QStringLiteral("angle_min_workspace_distance");
const QString kTrafficLightsMapping = QStringLiteral("traffic_lights_mapping");
const QString kForegroundDetectorMapping = QStringLiteral("foreground_detector_mapping");
const QString kCortexWatcherMapping = QStringLiteral("cortex_watcher_mapping");
const QString kCameraLocation = QStringLiteral("camera_location");
const QString kGeoreferencing = QStringLiteral("georeferencing");
const QString kZone = QStringLiteral("zone");
const QString kHemisphere = QStringLiteral("hemisphere");
const QString kName = QStringLiteral("name");
const QString kDefinition = QStringLiteral("definition");

// Every element counts, also one without a "definition" (its watcher reads an empty object).
QVector<StateWatcherMapping> mappingsFromJson(const QJsonArray &array)
{
    QVector<StateWatcherMapping> mappings;
    mappings.reserve(array.size());
    for (const QJsonValue &element : array) {
        const QJsonObject object = element.toObject();
        StateWatcherMapping mapping;
        mapping.name = object.value(kName).toString();
        mapping.definition.read(object.value(kDefinition).toObject());
        mappings.append(mapping);
    }
    return mappings;
}

} // namespace

void CubeCameraDefinition::read(const QJsonObject &camera, bool resolveHeavyData)
{
    m_nodeServerAddress = camera.value(kNodeServerAddress).toString();
    m_nodeServerPort = camera.value(kNodeServerPort).toInt();

    // Older blocks put the definition's keys on the camera object itself.
    SourceDataReadOptions options;
    options.heavyData = resolveHeavyData;
    const auto definition = camera.constFind(kSourceDefinition);
    m_sourceDefinition = SourceDefinition::createFromJson(
        definition != camera.constEnd() ? definition.value().toObject() : camera, options);

    m_workspaceWidth = camera.value(kWorkspaceWidth).toInt();
    m_workspaceHeight = camera.value(kWorkspaceHeight).toInt();
    m_stationaryIouThreshold = float(camera.value(kStationaryIouThreshold).toDouble(0.7));
    m_angleMinWorkspaceDistance = float(camera.value(kAngleMinWorkspaceDistance).toDouble(3.0));

    m_trafficLightsMapping = mappingsFromJson(camera.value(kTrafficLightsMapping).toArray());
    m_foregroundDetectorMapping = mappingsFromJson(camera.value(kForegroundDetectorMapping).toArray());
    m_cortexWatcherMapping = mappingsFromJson(camera.value(kCortexWatcherMapping).toArray());

    const auto location = camera.constFind(kCameraLocation);
    if (location != camera.constEnd())
        m_cameraLocation.read(location.value().toObject());

    const auto georeferencing = camera.constFind(kGeoreferencing);
    if (georeferencing != camera.constEnd()) {
        const QJsonObject object = georeferencing.value().toObject();
        m_georeferencingZone = object.value(kZone).toInt();
        m_georeferencingNorthern = object.value(kHemisphere).toString() == QLatin1String("northern");
    }
}
