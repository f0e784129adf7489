#pragma once

#include "observation/observers/ObservedDevice.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/video/FrameData.h"
#include "observation/video/VideoSource.h"
#include "observation/video/VideoSourceManager.h"

#include <QJsonObject>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>


namespace kvr::QMTClient {

class CameraObserver;

// The live view of one cube of an observed block: its identity and state, one camera observer
// per camera, and the current camera whose frames reach the attached video source.
// GUI thread only; no parent, owned by std::shared_ptr (device observer and cube model).
class CubeObserver : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ObservedDevice observedDevice READ observedDevice CONSTANT)
    Q_PROPERTY(int observerId READ observerId WRITE setObserverId NOTIFY observerIdChanged)
    Q_PROPERTY(bool observerOnline READ observerOnline WRITE setObserverOnline NOTIFY observerOnlineChanged)
    Q_PROPERTY(int cubeId READ cubeId WRITE setCubeId NOTIFY cubeIdChanged)
    Q_PROPERTY(QString cubeName READ cubeName WRITE setCubeName NOTIFY cubeNameChanged)
    Q_PROPERTY(bool cubeEnabled READ cubeEnabled WRITE setCubeEnabled NOTIFY cubeEnabledChanged)
    Q_PROPERTY(qlonglong lastImageTimestamp READ lastImageTimestamp WRITE setLastImageTimestamp
                   NOTIFY lastImageTimestampChanged)
    Q_PROPERTY(AnalyticInfo *analyticInfo READ analyticInfo CONSTANT)
    Q_PROPERTY(kvr::QMTClient::CameraObserver *currentCamera READ currentCamera NOTIFY currentCameraChanged)

public:
    CubeObserver(const ObservedDevice &device, const QJsonObject &cube);
    ~CubeObserver() override;

    ObservedDevice observedDevice() const { return m_observedDevice; }
    int observerId() const { return m_observerId; }
    bool observerOnline() const { return m_observerOnline; }
    int cubeId() const { return m_cubeId; }
    QString cubeName() const { return m_cubeName; }
    bool cubeEnabled() const { return m_cubeEnabled; }
    qlonglong lastImageTimestamp() const { return m_lastImageTimestamp; }
    AnalyticInfo *analyticInfo() const { return m_analyticInfo.get(); }
    CameraObserver *currentCamera() const { return m_currentCamera.get(); }
    std::shared_ptr<CameraObserver> currentCameraShared() const { return m_currentCamera; }
    QVector<std::shared_ptr<CameraObserver>> cameras() const { return m_cameras; }
    QString blockHostAddress() const { return m_blockHostAddress; }
    bool requestingFrames() const { return m_requestingFrames; }

    Q_INVOKABLE bool isDummy() const { return m_cubeId == -1; }

    void readCameras(const QJsonObject &cube);
    void setBlockHostAddress(const QString &address) { m_blockHostAddress = address; }
    void connectCamerasToNodes(quint16 port);
    void processAnalyticInfo(const QJsonObject &object);
    void updateCameraSourceInfo(const QJsonObject &object);
    void setCurrentCamera(const std::shared_ptr<CameraObserver> &camera);
    void setVideoSource(VideoSource *source);
    void startRequestingFrames();
    void stopRequestingFrames();

    void setObserverId(int id);
    void setObserverOnline(bool online);
    void setCubeId(int id);
    void setCubeName(const QString &name);
    void setCubeEnabled(bool enabled);
    void setLastImageTimestamp(qlonglong timestamp);

signals:
    void observerIdChanged();
    void observerOnlineChanged();
    void cubeIdChanged();
    void cubeNameChanged();
    void cubeEnabledChanged();
    void lastImageTimestampChanged();
    void analyticInfoChanged();
    void currentCameraChanged();
    void cameraLocationChanged();

protected slots:
    void updateDelegateFrame(std::shared_ptr<FrameData> frame);

private:
    void publishImage(const std::shared_ptr<FrameData> &frame, bool clearWhenEmpty);

    ObservedDevice m_observedDevice;
    int m_observerId = -1;
    bool m_observerOnline = true;
    int m_cubeId = -1;
    QString m_cubeName;
    bool m_cubeEnabled = false;
    qint64 m_lastImageTimestamp = 0;
    std::shared_ptr<AnalyticInfo> m_analyticInfo;
    bool m_requestingFrames = false;
    QString m_blockHostAddress;
    std::shared_ptr<CameraObserver> m_currentCamera;
    QVector<std::shared_ptr<CameraObserver>> m_cameras;
    VideoSourceManager m_videoSourceManager;
    QVector<QMetaObject::Connection> m_cameraConnections;
};

} // namespace kvr::QMTClient


Q_DECLARE_METATYPE(std::shared_ptr<kvr::QMTClient::CubeObserver>)
