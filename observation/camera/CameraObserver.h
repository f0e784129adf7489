#pragma once

#include "core/tracker/CMClient.h"
#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"
#include "observation/camera/CubeCameraDefinition.h"
#include "observation/camera/SourceLocation.h"
#include "observation/status/SourceInfo.h"
#include "observation/video/FrameConvertor.h"
#include "observation/video/FrameData.h"

#include <QAbstractSocket>
#include <QHostInfo>
#include <QImage>
#include <QJsonObject>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <QVector>

#include <memory>

namespace kvr::QMTClient {

class FrameReceiver;

// One camera of a cube: what the block says about it, its runtime status, and its live
// frames. Frames come from the receiver shared by all cameras of the camera's tracker node
// (from FrameReceiverFactory) and go through this camera's FrameConvertor, which converts them
// in the shared FramePool and keeps at most one waiting. Lives in the GUI thread. While it
// requests no frames the camera holds none: its last frame goes with its last request.
class CameraObserver : public QObject
{
    Q_OBJECT
    Q_PROPERTY(SourceLocation cameraLocation READ cameraLocation WRITE setCameraLocation NOTIFY cameraLocationChanged)
    Q_PROPERTY(QString vellorinNodeServerAddress READ vellorinNodeServerAddress WRITE setVellorinNodeServerAddress
                   NOTIFY vellorinNodeServerAddressChanged)
    Q_PROPERTY(int vellorinNodeServerPort READ vellorinNodeServerPort WRITE setVellorinNodeServerPort
                   NOTIFY vellorinNodeServerPortChanged)
    Q_PROPERTY(bool nodeConnected READ nodeConnected WRITE setNodeConnected NOTIFY nodeConnectedChanged)
    Q_PROPERTY(QAbstractSocket::SocketError nodeConnectionError READ nodeConnectionError WRITE setNodeConnectionError
                   NOTIFY nodeConnectionErrorChanged)
    Q_PROPERTY(QString nodeConnectionErrorString READ nodeConnectionErrorString WRITE setNodeConnectionErrorString
                   NOTIFY nodeConnectionErrorStringChanged)
    Q_PROPERTY(SourceInfo *sourceInfo READ sourceInfo CONSTANT)
    Q_PROPERTY(kvr::tracker::common::SourceVIDEODefinition sourceVIDEODefinition READ sourceVIDEODefinition
                   NOTIFY sourceDefinitionChanged)
    Q_PROPERTY(kvr::tracker::common::SourceCUBEDefinition sourceCUBEDefinition READ sourceCUBEDefinition
                   NOTIFY sourceDefinitionChanged)
    Q_PROPERTY(kvr::tracker::common::SourceDefinition::SourceDefinitionType sourceDefinitionType
                   READ sourceDefinitionType NOTIFY sourceDefinitionChanged)
    Q_PROPERTY(bool sourceDefinitionValid READ sourceDefinitionValid NOTIFY sourceDefinitionChanged)
    Q_PROPERTY(bool isOnvifPTZ READ isOnvifPTZ NOTIFY sourceDefinitionChanged)
    Q_PROPERTY(bool videoStalled READ videoStalled NOTIFY videoStalledChanged)

public:
    static constexpr quint16 DefaultNodePort = 5556;
    // ms without a new picture, while frames are requested, after which the video is stalled.
    static constexpr int StallPeriod = 3000;

    explicit CameraObserver(const QJsonObject &camera);
    // Stops this camera's outstanding frame requests; a frame in conversion is dropped.
    ~CameraObserver() override;

    void readFromJson(const QJsonObject &camera);
    // The node is the camera's own address, else blockHost; its port `port`, else the
    // camera's, replaced by a non-zero override. A host name is looked up first.
    void connectToNode(const QString &blockHost, quint16 port);
    void initializeTrackerConnection();
    void startRequestingFrames();
    void stopRequestingFrames(bool disconnectImages);
    void setNodePortOverride(quint16 port) { m_nodePortOverride = port; }
    // Converted frames get this size; an empty size keeps the decoded one. The node's frames
    // are decoded no larger than the largest size its cameras ask for.
    void setResizeSize(const QSize &size);
    // The box, in device pixels, the camera's frames are shown in: each frame is then converted
    // to the largest size of its picture's aspect that fits the box (through setResizeSize),
    // and never beyond the picture's own size. Empty: the size is left to setResizeSize.
    void setShownSize(const QSize &box);
    void updateSourceInfo(const QJsonObject &object);
    std::shared_ptr<FrameData> lastFrame() const { return m_lastFrame; }

    QString nodeHostAddress() const { return m_nodeHostAddress; }
    int nodePort() const { return m_nodePort; }
    FrameReceiver *frameReceiver() const { return m_frameReceiver; }
    const FrameConvertor &frameConvertor() const { return m_frameConvertor; }
    std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition() const
    {
        return m_cameraDefinition.sourceDefinition();
    }

    SourceLocation cameraLocation() const { return m_cameraDefinition.cameraLocation(); }
    QString vellorinNodeServerAddress() const { return m_vellorinNodeServerAddress; }
    int vellorinNodeServerPort() const { return m_vellorinNodeServerPort; }
    bool nodeConnected() const { return m_nodeConnected; }
    QAbstractSocket::SocketError nodeConnectionError() const { return m_nodeConnectionError; }
    QString nodeConnectionErrorString() const { return m_nodeConnectionErrorString; }
    SourceInfo *sourceInfo() const { return m_sourceInfo.get(); }
    kvr::tracker::common::SourceVIDEODefinition sourceVIDEODefinition() const;
    kvr::tracker::common::SourceCUBEDefinition sourceCUBEDefinition() const;
    // -1 without a definition.
    kvr::tracker::common::SourceDefinition::SourceDefinitionType sourceDefinitionType() const;
    bool sourceDefinitionValid() const { return m_cameraDefinition.sourceDefinition() != nullptr; }
    bool isOnvifPTZ() const;
    // Frames are requested, yet no new picture came for the stall period: the frames stopped
    // coming, or none of them decodes. Cleared by the next picture and by the last stop.
    bool videoStalled() const { return m_videoStalled; }
    void setStallPeriod(int ms) { m_stallTimer.setInterval(ms); }

public slots:
    void setCameraLocation(const SourceLocation &cameraLocation);
    void setVellorinNodeServerAddress(const QString &vellorinNodeServerAddress);
    void setVellorinNodeServerPort(int vellorinNodeServerPort);
    void setNodeConnected(bool nodeConnected);
    void setNodeConnectionError(QAbstractSocket::SocketError nodeConnectionError);
    void setNodeConnectionErrorString(const QString &nodeConnectionErrorString);

signals:
    void cameraLocationChanged();
    void vellorinNodeServerAddressChanged(QString vellorinNodeServerAddress);
    void vellorinNodeServerPortChanged(int vellorinNodeServerPort);
    void nodeConnectedChanged(bool nodeConnected);
    void nodeConnectionErrorChanged(QAbstractSocket::SocketError nodeConnectionError);
    void nodeConnectionErrorStringChanged(QString nodeConnectionErrorString);
    void sourceInfoChanged(SourceInfo *sourceInfo);
    void requestStaticBackgroundFrame(int cameraId);
    void rawFrameChanged(std::shared_ptr<FrameData> frame);
    void nodeFrameTimestampChanged(qulonglong timestamp);
    void sourceDefinitionChanged();
    void videoStalledChanged(bool videoStalled);

private:
    void processCameraNODEHostLookup(const QHostInfo &hostInfo);
    void onImageReceived(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                         const std::shared_ptr<kvr::tracker::net::CMClient::Frame> &frame);
    void onFrameConverted(const QImage &image, qulonglong timestamp);
    bool isOwnSource(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition);
    void setVideoStalled(bool stalled);
    void fitToShownBox();
    // The size the receiver is told this camera shows; the converter's is set apart.
    void setRequestedSize(const QSize &size);

    FrameConvertor m_frameConvertor;
    QString m_vellorinNodeServerAddress;
    QString m_nodeHostAddress;
    quint16 m_vellorinNodeServerPort = DefaultNodePort;
    QAbstractSocket::SocketError m_nodeConnectionError = QAbstractSocket::UnknownSocketError;
    QString m_nodeConnectionErrorString;
    std::shared_ptr<SourceInfo> m_sourceInfo;
    bool m_hostLookupPending = false;
    bool m_startPendingAfterLookup = false;
    bool m_nodeConnected = false;
    quint16 m_nodePortOverride = 0;
    int m_nodePort = -1;
    kvr::tracker::common::SourceFrameFormatDefinition m_frameFormat;
    FrameReceiver *m_frameReceiver = nullptr;
    CubeCameraDefinition m_cameraDefinition;
    std::shared_ptr<FrameData> m_lastFrame;
    // Restarted by every new picture while frames are requested.
    QTimer m_stallTimer;
    bool m_videoStalled = false;

    // Starts not yet matched by a stop: stopped on destruction so the node stops streaming.
    int m_requestedFrames = 0;
    // The size the outstanding requests told the receiver.
    QSize m_resizeSize;
    QSize m_shownBox;
    // Of the last frame's picture, as its header or its format tells.
    QSize m_pictureSize;
    // Definitions arrive as the receiver's own immutable copies, so once judged they are
    // known by identity; a shared node sends the frames of every camera to every camera.
    std::shared_ptr<kvr::tracker::common::SourceDefinition> m_acceptedDefinition;
    QVector<std::shared_ptr<kvr::tracker::common::SourceDefinition>> m_rejectedDefinitions;
};

} // namespace kvr::QMTClient
