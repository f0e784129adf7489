#pragma once

#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "support/SimulatedTrackerNode.h"

#include <QCoreApplication>

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSize>
#include <QVariant>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <memory>
#include <vector>

// Sources of a simulated node and frames for the frame path's tests. Needs ORVA_SOURCE_DIR and
// a test linked with the observation library.
namespace frametest {

constexpr quint32 VideoSourceIdA = 3;
constexpr quint32 VideoSourceIdB = 5;
constexpr quint32 CubeSourceId = 9;
const QSize FrameSize(64, 48);

inline QJsonObject definitionFixture(const char *name)
{
    QFile file(QStringLiteral(ORVA_SOURCE_DIR "/tests/datamodel/data/definitions/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Missing fixture %s", name);
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A valid video definition; definitions with different tags never compare equal.
inline QJsonObject videoDefinitionJson(const QString &tag)
{
    QJsonObject object = definitionFixture("camera_v2.json");
    QJsonObject data = object.value(QStringLiteral("data")).toObject();
    QJsonObject input = data.value(QStringLiteral("input_parameters")).toObject();
    QJsonObject inputData = input.value(QStringLiteral("data")).toObject();
    inputData.insert(QStringLiteral("connection_string"), QStringLiteral("rtsp://10.0.0.22:554/") + tag);
    data.remove(QStringLiteral("reference_frame_parameters"));
    input.insert(QStringLiteral("data"), inputData);
    data.insert(QStringLiteral("input_parameters"), input);
    object.insert(QStringLiteral("data"), data);
    return object;
}

inline std::shared_ptr<kvr::tracker::common::SourceDefinition> videoDefinition(const QString &tag)
{
    return kvr::tracker::common::SourceDefinition::createFromJson(videoDefinitionJson(tag));
}

inline std::shared_ptr<kvr::tracker::common::SourceDefinition> cubeDefinition()
{
    return kvr::tracker::common::SourceDefinition::createFromJson(definitionFixture("cube_3_cameras.json"));
}

// flength_mul 0 asks for a single frame, any other value for a stream.
inline kvr::tracker::common::SourceFrameFormatDefinition frameFormat(quint32 frameLengthMul)
{
    kvr::tracker::common::SourceImageDataBandwidthParams bandwidth;
    bandwidth.setFrameLengthMul(frameLengthMul);
    kvr::tracker::common::SourceFrameFormatDefinition format;
    format.setImageDataBandwidthParams(bandwidth);
    return format;
}

// Diagonal stripes, optionally with sensor-like noise so that a large picture compresses as
// poorly as a camera's would.
inline QByteArray jpeg(const QSize &size, double noise = 0)
{
    cv::Mat image(size.height(), size.width(), CV_8UC3);
    for (int y = 0; y < image.rows; ++y) {
        for (int x = 0; x < image.cols; ++x)
            image.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x * 4), uchar(y * 5), uchar((x + 2 * y) / 3));
    }
    if (noise > 0) {
        cv::Mat grain(image.size(), CV_8UC3);
        cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(noise));
        image += grain;
    }
    std::vector<uchar> encoded;
    cv::imencode(".jpg", image, encoded);
    return QByteArray(reinterpret_cast<const char *>(encoded.data()), int(encoded.size()));
}

inline QVariantMap jpegFrame(const QSize &size = FrameSize, double noise = 0)
{
    return {{QStringLiteral("data"), jpeg(size, noise)}, {QStringLiteral("size"), size}, {QStringLiteral("channels"), 3}};
}

inline QHash<QString, QVariant> nodeSource(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &definition)
{
    return {{QStringLiteral("source_definition"), definition->getQVariantData()}};
}

// Two cameras and a cube, under the ids above.
inline QMap<quint32, QHash<QString, QVariant>> nodeSources()
{
    return {{VideoSourceIdA, nodeSource(videoDefinition(QStringLiteral("a")))},
            {VideoSourceIdB, nodeSource(videoDefinition(QStringLiteral("b")))},
            {CubeSourceId, nodeSource(cubeDefinition())}};
}

// A node on 127.0.0.1 that knows the sources above and stamps every small JPEG frame it
// sends; null when it cannot listen.
inline SimulatedTrackerNode *startNode(QObject *parent = nullptr)
{
    auto *node = new SimulatedTrackerNode(parent);
    if (!node->listen()) {
        delete node;
        return nullptr;
    }
    node->setFrame(jpegFrame());
    node->setFrameTimestamps(true);
    node->setSourcesData(nodeSources());
    return node;
}

// Every frame receiver of the process deleted, with its thread and node client, now.
inline void releaseAllReceivers()
{
    kvr::QMTClient::releaseFrameReceivers(kvr::QMTClient::frameReceiverRegistry());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace frametest
