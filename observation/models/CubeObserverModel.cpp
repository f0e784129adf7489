#include "observation/models/CubeObserverModel.h"

#include "core/log/Log.h"
#include "observation/camera/CameraObserver.h"
#include "observation/observers/CubeObserver.h"
#include "observation/status/SourceInfo.h"

#include <QGeoCoordinate>

using kvr::QMTClient::CameraObserver;
using kvr::QMTClient::CubeObserver;

CubeObserverModel::CubeObserverModel(QObject *parent)
    : ListModelBase<std::shared_ptr<CubeObserver>>(parent)
{
}

QVariant CubeObserverModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const std::shared_ptr<CubeObserver> &cube = m_items.at(index.row());
    if (!cube)
        return QVariant();
    const CameraObserver *camera = cube->currentCamera();
    switch (role) {
    case ObjectRole: return QVariant::fromValue(cube.get());
    case CubeIdRole: return cube->cubeId();
    case CubeNameRole: return cube->cubeName();
    case SourceInfoRole: return QVariant::fromValue(camera ? camera->sourceInfo() : static_cast<SourceInfo *>(nullptr));
    case AnalyticInfoRole: return QVariant::fromValue(cube->analyticInfo());
    case CubeEnabledRole: return cube->cubeEnabled();
    case SourceConnectedRole: return camera ? camera->nodeConnected() : false;
    case CubeLastFrameTimestampRole: return cube->lastImageTimestamp();
    case CubeIsOnvifPTZ: return camera ? camera->isOnvifPTZ() : false;
    case CubeCameraPositionLatitude: return camera ? QVariant(camera->cameraLocation().latitude()) : QVariant();
    case CubeCameraPositionLongitude: return camera ? QVariant(camera->cameraLocation().longitude()) : QVariant();
    case CubeSourceDefinitionType:
        return camera && camera->sourceDefinitionValid() ? QVariant(int(camera->sourceDefinitionType())) : QVariant();
    case ObserverIdRole: return cube->observerId();
    case ObserverOnlineRole: return cube->observerOnline();
    case ObservedTypeRole: return cube->observedDevice().type();
    case ObservedAddressRole: return cube->observedDevice().address();
    case ObservedNameRole: return cube->observedDevice().name();
    case ObservedDeviceRole: return QVariant::fromValue(cube->observedDevice());
    case CubeVideoStalledRole: return camera ? camera->videoStalled() : false;
    default: return QVariant();
    }
}

QHash<int, QByteArray> CubeObserverModel::roleNames() const
{
    return {{ObjectRole, "ObjectRole"},
            {CubeIdRole, "CubeIdRole"},
            {CubeNameRole, "CubeNameRole"},
            {SourceInfoRole, "SourceInfoRole"},
            {AnalyticInfoRole, "AnalyticInfoRole"},
            {CubeEnabledRole, "CubeEnabledRole"},
            {SourceConnectedRole, "SourceConnectedRole"},
            {CubeLastFrameTimestampRole, "CubeTimestampRole"},
            {CubeIsOnvifPTZ, "CubeIsOnvifPTZ"},
            {CubeCameraPositionLatitude, "CubeCameraPositionLatitude"},
            {CubeCameraPositionLongitude, "CubeCameraPositionLongitude"},
            {CubeSourceDefinitionType, "CubeSourceDefinitionType"},
            {ObserverIdRole, "ObserverIdRole"},
            {ObserverOnlineRole, "ObserverOnlineRole"},
            {ObservedTypeRole, "ObservedTypeRole"},
            {ObservedAddressRole, "ObservedAddressRole"},
            {ObservedNameRole, "ObservedNameRole"},
            {ObservedDeviceRole, "ObservedDeviceRole"},
            {CubeVideoStalledRole, "CubeVideoStalledRole"}};
}

void CubeObserverModel::append(const std::shared_ptr<CubeObserver> &cube)
{
    ListModelBase<std::shared_ptr<CubeObserver>>::append(cube);
    if (cube && !cube->isDummy())
        connectCubeSignals(cube);
}

void CubeObserverModel::connectCubeSignals(const std::shared_ptr<CubeObserver> &cube)
{
    // The functors find the cube through the sender (its own signals) or a weak reference (its
    // camera's), so a cube the model has let go of is freed with its cameras.
    CubeObserver *const sender = cube.get();
    auto onCube = [this, sender](auto signal, QVector<int> roles) {
        connect(sender, signal, this, [this, sender, roles]() { notifyRoleChanged(sender->observerId(), roles); });
    };
    const std::weak_ptr<CubeObserver> weakCube = cube;
    auto notifyFromCamera = [this, weakCube](const QVector<int> &roles) {
        if (const auto alive = weakCube.lock())
            notifyRoleChanged(alive->observerId(), roles);
    };
    CameraObserver *camera = cube->currentCamera();
    if (camera)
        connect(camera, &CameraObserver::sourceDefinitionChanged, this,
                [notifyFromCamera]() { notifyFromCamera({CubeIsOnvifPTZ}); });
    onCube(&CubeObserver::cubeIdChanged, {CubeIdRole});
    onCube(&CubeObserver::cubeNameChanged, {CubeNameRole});
    onCube(&CubeObserver::cubeEnabledChanged, {CubeEnabledRole});
    onCube(&CubeObserver::lastImageTimestampChanged, {CubeLastFrameTimestampRole});
    onCube(&CubeObserver::cameraLocationChanged, {CubeCameraPositionLatitude, CubeCameraPositionLongitude});
    if (camera)
        connect(camera, &CameraObserver::nodeConnectedChanged, this,
                [notifyFromCamera](bool) { notifyFromCamera({SourceConnectedRole}); });
    onCube(&CubeObserver::analyticInfoChanged, {AnalyticInfoRole});
    if (camera) {
        connect(camera, &CameraObserver::sourceInfoChanged, this,
                [notifyFromCamera](SourceInfo *) { notifyFromCamera({SourceInfoRole}); });
        connect(camera, &CameraObserver::videoStalledChanged, this,
                [notifyFromCamera](bool) { notifyFromCamera({CubeVideoStalledRole}); });
    }
    onCube(&CubeObserver::observerOnlineChanged, {ObserverOnlineRole});
}

std::shared_ptr<CubeObserver> CubeObserverModel::findCube(int observerId) const
{
    for (const auto &cube : m_items) {
        if (cube && cube->observerId() == observerId)
            return cube;
    }
    return nullptr;
}

QList<int> CubeObserverModel::observersIds() const
{
    QList<int> ids;
    for (const auto &cube : m_items)
        ids.append(cube ? cube->observerId() : -1);
    return ids;
}

QGeoPath CubeObserverModel::cubesCoordinates() const
{
    QGeoPath path;
    for (const auto &cube : m_items) {
        if (cube && cube->currentCamera()) {
            const auto location = cube->currentCamera()->cameraLocation();
            path.addCoordinate(QGeoCoordinate(location.latitude(), location.longitude()));
        }
    }
    return path;
}

void CubeObserverModel::setAnalyticsVisibleInGUI(int observerId, bool visible, bool startCameras)
{
    if (visible) {
        const auto cube = findCube(observerId);
        if (cube && !cube->blockHostAddress().isEmpty())
            startCube(observerId, startCameras);
    } else if (!m_items.isEmpty()) {
        stopCube(observerId, false);
    }
}

void CubeObserverModel::updateCubeObserverVideoSource(int observerId, VideoSource *source)
{
    if (const auto cube = findCube(observerId))
        cube->setVideoSource(source);
}

void CubeObserverModel::startCube(int observerId, bool startCameras)
{
    const auto cube = findCube(observerId);
    if (!cube) {
        LOG_ERR(QStringLiteral("No such cube found!"));
        return;
    }
    if (cube->isDummy() || !cube->cubeEnabled())
        return;
    LOG_DBG0(QStringLiteral("Started cube %1 requests").arg(observerId));
    if (startCameras && !cube->requestingFrames())
        cube->startRequestingFrames();
}

void CubeObserverModel::stopCube(int observerId, bool hide)
{
    const auto cube = findCube(observerId);
    if (!cube) {
        LOG_ERR(QStringLiteral("No such cube found!"));
        return;
    }
    if (cube->isDummy())
        return;
    if (hide)
        LOG_DBG0(QStringLiteral("Stopped cube %1 requests").arg(observerId));
    stopCubeFromRequestingFrames(observerId);
}

void CubeObserverModel::stopCubeFromRequestingFrames(int observerId)
{
    const auto cube = findCube(observerId);
    if (!cube) {
        LOG_ERR(QStringLiteral("No such cube found!"));
        return;
    }
    if (cube->requestingFrames())
        cube->stopRequestingFrames();
}

void CubeObserverModel::notifyRoleChanged(int observerId, const QVector<int> &roles)
{
    if (m_items.isEmpty())
        return;
    if (observerId == -1) {
        emit dataChanged(index(0, 0), index(m_items.size() - 1, 0), roles);
        return;
    }
    for (int row = 0; row < m_items.size(); ++row) {
        if (m_items.at(row) && m_items.at(row)->observerId() == observerId) {
            emit dataChanged(index(row, 0), index(row, 0), roles);
            return;
        }
    }
}
