#pragma once

#include "devices/models/ListModelBase.h"

#include <QGeoPath>
#include <QList>
#include <QVector>

#include <memory>

class VideoSource;

namespace kvr::QMTClient {
class CubeObserver;
}

// Every observed cube of every observed block, one row each; starts and stops a cube's frame
// requests when QML shows or hides its video. Roles are numbered from 0. The model's
// connections to a cube hold no reference to it: releasing the model's rows frees the cubes.
// GUI thread only.
class CubeObserverModel : public ListModelBase<std::shared_ptr<kvr::QMTClient::CubeObserver>>
{
    Q_OBJECT
    Q_PROPERTY(QList<int> observersIds READ observersIds CONSTANT)
    Q_PROPERTY(QGeoPath cubesCoordinates READ cubesCoordinates CONSTANT)

public:
    enum DisplayRoles {
        ObjectRole = 0,
        CubeIdRole,
        CubeNameRole,
        SourceInfoRole,
        AnalyticInfoRole,
        CubeEnabledRole,
        SourceConnectedRole,
        CubeLastFrameTimestampRole,
        CubeIsOnvifPTZ,
        CubeCameraPositionLatitude,
        CubeCameraPositionLongitude,
        CubeSourceDefinitionType,
        ObserverIdRole,
        ObserverOnlineRole,
        ObservedTypeRole,
        ObservedAddressRole,
        ObservedNameRole,
        ObservedDeviceRole,
        CubeVideoStalledRole,
    };
    Q_ENUM(DisplayRoles)

    explicit CubeObserverModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    void append(const std::shared_ptr<kvr::QMTClient::CubeObserver> &cube) override;

    QList<int> observersIds() const;
    QGeoPath cubesCoordinates() const;

    Q_INVOKABLE void setAnalyticsVisibleInGUI(int observerId, bool visible, bool startCameras);
    Q_INVOKABLE void setAnalyticsVisibleInGUI(int observerId, bool visible)
    {
        setAnalyticsVisibleInGUI(observerId, visible, true);
    }
    Q_INVOKABLE void updateCubeObserverVideoSource(int observerId, VideoSource *source);

    void startCube(int observerId, bool startCameras);
    void stopCube(int observerId, bool hide);
    void stopCubeFromRequestingFrames(int observerId);
    // dataChanged for the cube's row, or for every row with observerId -1.
    void notifyRoleChanged(int observerId, const QVector<int> &roles);

private:
    void connectCubeSignals(const std::shared_ptr<kvr::QMTClient::CubeObserver> &cube);
    std::shared_ptr<kvr::QMTClient::CubeObserver> findCube(int observerId) const;
};
