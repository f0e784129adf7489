#include "observation/observers/ObserverManager.h"

#include "core/property/AssignProperty.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/camera/CameraObserver.h"
#include "observation/observers/CubeObserver.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/SourceFrameReceiver.h"

#include <QSet>
#include <QtGlobal>

namespace {

// Every live manager, so that one going away keeps the receivers another still uses (during a
// page reload two managers observe the same nodes). GUI thread only.
QSet<const ObserverManager *> &liveManagers()
{
    static QSet<const ObserverManager *> managers;
    return managers;
}

} // namespace

ObserverManager::ObserverManager(QObject *parent)
    : QObject(parent)
{
    connect(this, &ObserverManager::sourceModelChanged, this, &ObserverManager::loadSourceModel);
    liveManagers().insert(this);
}

ObserverManager::~ObserverManager()
{
    liveManagers().remove(this);
    QSet<kvr::QMTClient::FrameReceiver *> released = frameReceivers();
    for (const ObserverManager *other : qAsConst(liveManagers()))
        released -= other->frameReceivers();
    // The cameras end their frame requests on receivers that still exist; only then do the
    // receivers go.
    m_cubeModel.clear();
    m_deviceModel.clear();
    releaseFrameReceivers(released);
}

QSet<kvr::QMTClient::FrameReceiver *> ObserverManager::frameReceivers() const
{
    QSet<kvr::QMTClient::FrameReceiver *> receivers;
    for (const auto &cube : m_cubeModel.items()) {
        for (const auto &camera : cube->cameras()) {
            if (camera->frameReceiver())
                receivers.insert(camera->frameReceiver());
        }
    }
    return receivers;
}

void ObserverManager::releaseFrameReceivers(const QSet<kvr::QMTClient::FrameReceiver *> &receivers)
{
    using namespace kvr::QMTClient;
    FrameReceiverRegistry &registry = frameReceiverRegistry();
    FrameReceiverRegistry released;
    for (auto it = registry.receivers.begin(); it != registry.receivers.end();) {
        if (receivers.contains(it.value())) {
            released.receivers.insert(it.key(), it.value());
            it = registry.receivers.erase(it);
        } else {
            ++it;
        }
    }
    kvr::QMTClient::releaseFrameReceivers(released);
}

void ObserverManager::setSourceModel(FavoriteDeviceModel *model)
{
    assignProperty(this, m_sourceModel, model, &ObserverManager::sourceModelChanged);
}

void ObserverManager::setCubeViewPosition(double position)
{
    assignProperty(this, m_cubeViewPosition, position,
                   &ObserverManager::cubeViewPositionChanged, fuzzyRelativeEqual);
}

void ObserverManager::setDeviceViewPosition(double position)
{
    assignProperty(this, m_deviceViewPosition, position,
                   &ObserverManager::deviceViewPositionChanged, fuzzyRelativeEqual);
}

void ObserverManager::setHighlightedCubeId(int id)
{
    assignProperty(this, m_highlightedCubeId, id, &ObserverManager::highlightedCubeIdChanged);
}

void ObserverManager::setObserverViewStyle(ObserverViewStyle style)
{
    assignProperty(this, m_observerViewStyle, style, &ObserverManager::observerViewStyleChanged);
}

void ObserverManager::setPollIntervals(int blockStatusMs, int analyticsMs, int camerasMs)
{
    m_pollIntervals[0] = blockStatusMs;
    m_pollIntervals[1] = analyticsMs;
    m_pollIntervals[2] = camerasMs;
}

void ObserverManager::loadSourceModel()
{
    m_cubeModel.clear();
    m_deviceModel.clear();
    if (!m_sourceModel)
        return;
    for (int row = 0; row < m_sourceModel->rowCount(); ++row) {
        const QModelIndex index = m_sourceModel->index(row, 0);
        addCubeObserver(m_sourceModel->at(index), index);
    }
}

void ObserverManager::addCubeObserver(const FavoriteDevice &favoriteDevice, const QModelIndex &sourceIndex)
{
    if (favoriteDevice.address().isEmpty() || favoriteDevice.username().isEmpty()
        || favoriteDevice.password().isEmpty())
        return;
    const int id = m_deviceModel.rowCount() + 1;
    auto observer = std::make_shared<DeviceObserver>(ObservedDevice(id, sourceIndex, favoriteDevice));
    observer->setPollIntervals(m_pollIntervals[0], m_pollIntervals[1], m_pollIntervals[2]);
    connect(observer.get(), &DeviceObserver::cubesReady, this, &ObserverManager::onCubesReady);
    connect(observer.get(), &DeviceObserver::loginStatusChanged, this, &ObserverManager::onLoginStatusChanged);
    connect(observer.get(), &DeviceObserver::currentVersionNumberChanged, this,
            &ObserverManager::onCurrentVersionNumberChanged);
    connect(observer.get(), &DeviceObserver::orvaSerialNumberChanged, this,
            &ObserverManager::onOrvaSerialNumberChanged);
    observer->confirmServerAddress(favoriteDevice.address());
    observer->connectToBlock(favoriteDevice.address(), favoriteDevice.username(), favoriteDevice.password());
    m_deviceModel.append(observer);
}

void ObserverManager::onCubesReady(QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>> cubes)
{
    for (const auto &cube : qAsConst(cubes)) {
        cube->setObserverId(m_cubeModel.rowCount() + 1);
        m_cubeModel.append(cube);
    }
}

void ObserverManager::onLoginStatusChanged()
{
    refreshRow(DeviceObserverModel::LoginStatusRole);
}

void ObserverManager::onCurrentVersionNumberChanged()
{
    refreshRow(DeviceObserverModel::VersionRole);
}

// The block's serial number arrives with its information, after the row was added.
void ObserverManager::onOrvaSerialNumberChanged()
{
    refreshRow(DeviceObserverModel::SerialNumberRole);
}

void ObserverManager::refreshRow(int role)
{
    const auto *observer = qobject_cast<DeviceObserver *>(sender());
    if (!observer)
        return;
    const QModelIndex index = m_deviceModel.indexOfObservedDevice(observer->observedDevice().id());
    if (index.isValid())
        emit m_deviceModel.dataChanged(index, index, {role});
}

void ObserverManager::logoutObservers()
{
    const auto observers = m_deviceModel.items();
    for (const auto &observer : observers)
        observer->logout(true);
}
