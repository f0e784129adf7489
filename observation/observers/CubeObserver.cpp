#include "observation/observers/CubeObserver.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "observation/camera/CameraObserver.h"
#include "observation/status/SourceInfo.h"

#include <QJsonArray>
#include <QQmlEngine>
#include <QVideoFrame>

namespace kvr::QMTClient {

CubeObserver::CubeObserver(const ObservedDevice &device, const QJsonObject &cube)
    : m_observedDevice(device), m_analyticInfo(std::make_shared<AnalyticInfo>())
{
    qRegisterMetaType<CubeObserver *>("kvr::QMTClient::CubeObserver*");
    qRegisterMetaType<AnalyticInfo *>("AnalyticInfo*");
    // QML reaches these through raw pointers; they belong to their shared owners.
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_analyticInfo.get(), QQmlEngine::CppOwnership);
    readCameras(cube);
    setCurrentCamera(m_cameras.isEmpty() ? nullptr : m_cameras.first());
    // Every camera of the cube is shown in the same tile.
    connect(&m_videoSourceManager, &VideoSourceManager::shownSizeChanged, this, [this](QSize size) {
        for (const auto &camera : qAsConst(m_cameras))
            camera->setShownSize(size);
    });
}

CubeObserver::~CubeObserver()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_cameraConnections))
        disconnect(connection);
}

void CubeObserver::readCameras(const QJsonObject &cube)
{
    setCubeId(cube.value(QStringLiteral("id")).toInt(0));
    setCubeName(cube.value(QStringLiteral("name")).toString());
    setCubeEnabled(cube.value(QStringLiteral("enabled")).toBool(true));
    m_cameras.resize(0);
    const QJsonArray cameras = cube.value(QStringLiteral("cameras")).toArray();
    for (const QJsonValue &camera : cameras) {
        auto observer = std::make_shared<CameraObserver>(camera.toObject());
        observer->setShownSize(m_videoSourceManager.shownSize());
        QQmlEngine::setObjectOwnership(observer.get(), QQmlEngine::CppOwnership);
        if (observer->sourceInfo())
            QQmlEngine::setObjectOwnership(observer->sourceInfo(), QQmlEngine::CppOwnership);
        m_cameras.append(observer);
    }
}

void CubeObserver::connectCamerasToNodes(quint16 port)
{
    for (const auto &camera : qAsConst(m_cameras)) {
        camera->setNodePortOverride(port);
        camera->connectToNode(m_blockHostAddress, port);
    }
}

void CubeObserver::processAnalyticInfo(const QJsonObject &object)
{
    static const char *const required[] = {"cache_capacity", "cache_count", "cache_start_timestamp",
                                           "first_cached_trajectory_timestamp", "georegistered",
                                           "last_cached_trajectory_timestamp", "state", "timestamp"};
    for (const char *key : required) {
        if (!object.contains(QLatin1String(key))) {
            LOG_ERR(QStringLiteral("Wrong payload in JSON"));
            return;
        }
    }
    m_analyticInfo->read(object);
    emit analyticInfoChanged();
}

void CubeObserver::updateCameraSourceInfo(const QJsonObject &object)
{
    if (m_currentCamera)
        m_currentCamera->updateSourceInfo(object);
}

void CubeObserver::setCurrentCamera(const std::shared_ptr<CameraObserver> &camera)
{
    for (const QMetaObject::Connection &connection : qAsConst(m_cameraConnections))
        disconnect(connection);
    m_cameraConnections.clear();
    m_currentCamera = camera;
    emit currentCameraChanged();
    if (!camera)
        return;
    if (const std::shared_ptr<FrameData> frame = camera->lastFrame())
        updateDelegateFrame(frame);
    m_cameraConnections = {
        connect(camera.get(), &CameraObserver::rawFrameChanged, this, &CubeObserver::updateDelegateFrame),
        connect(camera.get(), &CameraObserver::nodeFrameTimestampChanged, this,
                [this](qulonglong timestamp) { setLastImageTimestamp(qlonglong(timestamp)); }),
        connect(camera.get(), &CameraObserver::cameraLocationChanged, this, &CubeObserver::cameraLocationChanged),
    };
}

void CubeObserver::updateDelegateFrame(std::shared_ptr<FrameData> frame)
{
    publishImage(frame, false);
}

void CubeObserver::publishImage(const std::shared_ptr<FrameData> &frame, bool clearWhenEmpty)
{
    if (frame && frame->timestamp != -1 && !frame->image.isNull())
        m_videoSourceManager.publishFrame(QVideoFrame(frame->image));
    else if (clearWhenEmpty)
        m_videoSourceManager.publishFrame(QVideoFrame(QImage()));
}

void CubeObserver::setVideoSource(VideoSource *source)
{
    m_videoSourceManager.setVideoSource(source);
    if (source && m_currentCamera)
        publishImage(m_currentCamera->lastFrame(), true);
}

void CubeObserver::startRequestingFrames()
{
    for (const auto &camera : qAsConst(m_cameras))
        camera->startRequestingFrames();
    m_requestingFrames = true;
}

void CubeObserver::stopRequestingFrames()
{
    for (const auto &camera : qAsConst(m_cameras))
        camera->stopRequestingFrames(true);
    m_requestingFrames = false;
    // The surface would otherwise hold the last picture for as long as the tile lives.
    m_videoSourceManager.clearFrame();
}

void CubeObserver::setObserverId(int id)
{
    assignProperty(this, m_observerId, id, &CubeObserver::observerIdChanged);
}

void CubeObserver::setObserverOnline(bool online)
{
    assignProperty(this, m_observerOnline, online, &CubeObserver::observerOnlineChanged);
}

void CubeObserver::setCubeId(int id)
{
    assignProperty(this, m_cubeId, id, &CubeObserver::cubeIdChanged);
}

void CubeObserver::setCubeName(const QString &name)
{
    assignProperty(this, m_cubeName, name, &CubeObserver::cubeNameChanged);
}

void CubeObserver::setCubeEnabled(bool enabled)
{
    assignProperty(this, m_cubeEnabled, enabled, &CubeObserver::cubeEnabledChanged);
}

void CubeObserver::setLastImageTimestamp(qlonglong timestamp)
{
    assignProperty(this, m_lastImageTimestamp, qint64(timestamp), &CubeObserver::lastImageTimestampChanged);
}

} // namespace kvr::QMTClient
