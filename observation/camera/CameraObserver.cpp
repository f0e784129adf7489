#include "observation/camera/CameraObserver.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "core/tracker/CMClientFrame.h"
#include "observation/video/FramePool.h"
#include "observation/video/FrameReceiver.h"
#include "observation/video/FrameReceiverFactory.h"
#include "observation/video/SourceMatch.h"

#include <QHostAddress>

namespace kvr::QMTClient {

using kvr::tracker::common::CompareParams;
using kvr::tracker::common::SourceCUBEDefinition;
using kvr::tracker::common::SourceDefinition;
using kvr::tracker::common::SourceVIDEODefinition;
using kvr::tracker::net::CMClient;

namespace {

const QString kVellorinNodeServerAddress = QStringLiteral("vellorin_node_server_address");
const QString kVellorinNodeServerPort = QStringLiteral("vellorin_node_server_port");

// Enough for the sources of a few nodes; past it the list starts over.
constexpr int MaxRememberedDefinitions = 32;

} // namespace

CameraObserver::CameraObserver(const QJsonObject &camera)
    : m_sourceInfo(std::make_shared<SourceInfo>())
{
    qRegisterMetaType<std::shared_ptr<CMClient::Frame>>("std::shared_ptr<kvr::tracker::net::CMClient::Frame>");
    qRegisterMetaType<std::shared_ptr<SourceDefinition>>("std::shared_ptr<kvr::tracker::common::SourceDefinition>");
    qRegisterMetaType<std::shared_ptr<FrameData>>("std::shared_ptr<FrameData>");

    connect(&m_frameConvertor, &FrameConvertor::newImage, this, &CameraObserver::onFrameConverted);
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(StallPeriod);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] { setVideoStalled(m_requestedFrames > 0); });
    readFromJson(camera);
}

CameraObserver::~CameraObserver()
{
    // The node would otherwise go on streaming this camera's frames to nobody.
    if (m_frameReceiver && m_requestedFrames > 0) {
        for (; m_requestedFrames > 0; --m_requestedFrames)
            m_frameReceiver->stopRequest(m_cameraDefinition.sourceDefinition(), m_frameFormat, m_resizeSize);
        FramePool::releaseIdleMemory();
    }
}

void CameraObserver::readFromJson(const QJsonObject &camera)
{
    CubeCameraDefinition definition;
    definition.read(camera, false);

    if (definition.cameraLocation() != m_cameraDefinition.cameraLocation()) {
        m_cameraDefinition.setCameraLocation(definition.cameraLocation());
        emit cameraLocationChanged();
    }

    if (const std::shared_ptr<SourceDefinition> current = m_cameraDefinition.sourceDefinition()) {
        const std::shared_ptr<SourceDefinition> incoming = definition.sourceDefinition();
        if (!current->compare(*incoming, CompareParams::logic(true)).equal) {
            LOG_INF(QStringLiteral("Received new source definition, updating..."));
            m_cameraDefinition.read(camera, false);
        }
    } else {
        LOG_INF(QStringLiteral(
            "No source definition loaded yet, assigning pointer and notifying about source definition changed."));
        m_cameraDefinition.setSourceDefinition(definition.sourceDefinition());
    }
    m_acceptedDefinition.reset();
    m_rejectedDefinitions.clear();

    if (camera.contains(kVellorinNodeServerAddress))
        setVellorinNodeServerAddress(camera.value(kVellorinNodeServerAddress).toString());
    if (camera.contains(kVellorinNodeServerPort))
        setVellorinNodeServerPort(camera.value(kVellorinNodeServerPort).toInt());

    emit sourceDefinitionChanged();
}

void CameraObserver::connectToNode(const QString &blockHost, quint16 port)
{
    m_nodeHostAddress = m_vellorinNodeServerAddress.isEmpty() ? blockHost : m_vellorinNodeServerAddress;
    m_nodePort = port != 0 ? port : m_vellorinNodeServerPort;
    if (m_nodePortOverride != 0)
        m_nodePort = m_nodePortOverride;

    if (QHostAddress(m_nodeHostAddress).isNull()) {
        m_hostLookupPending = true;
        QHostInfo::lookupHost(m_nodeHostAddress, this,
                              [this](const QHostInfo &hostInfo) { processCameraNODEHostLookup(hostInfo); });
    } else {
        initializeTrackerConnection();
    }
}

void CameraObserver::processCameraNODEHostLookup(const QHostInfo &hostInfo)
{
    bool found = false;
    for (const QHostAddress &address : hostInfo.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            m_nodeHostAddress = address.toString();
            found = true;
            break;
        }
    }
    if (!found) {
        qDebug("[ERROR] %s unable to lookup IPv4 address of NODE from domain address: %s", Q_FUNC_INFO,
               qPrintable(m_nodeHostAddress));
    }

    if (m_nodePort == -1)
        m_nodePort = m_vellorinNodeServerPort;
    if (m_nodePortOverride != 0)
        m_nodePort = m_nodePortOverride;

    initializeTrackerConnection();

    m_hostLookupPending = false;
    if (m_startPendingAfterLookup) {
        m_startPendingAfterLookup = false;
        startRequestingFrames();
    }
}

void CameraObserver::initializeTrackerConnection()
{
    if (m_nodeConnected) {
        LOG_ERR(QStringLiteral("Camera is already connected to the frame source."));
        return;
    }
    m_frameReceiver = FrameReceiverFactory::current().receiver(QHostAddress(m_nodeHostAddress), quint16(m_nodePort));
    connect(m_frameReceiver, &FrameReceiver::error, this,
            [this](QAbstractSocket::SocketError socketError) { setNodeConnectionError(socketError); });
    connect(m_frameReceiver, &FrameReceiver::errorString, this,
            [this](const QString &errorString) { setNodeConnectionErrorString(errorString); });
    connect(m_frameReceiver, &FrameReceiver::connected, this, [this] { setNodeConnected(true); });
    connect(m_frameReceiver, &FrameReceiver::disconnected, this, [this] { setNodeConnected(false); });
    m_frameReceiver->connect();
}

void CameraObserver::startRequestingFrames()
{
    if (!m_frameReceiver) {
        if (m_hostLookupPending)
            m_startPendingAfterLookup = true;
        else
            LOG_WRN(QStringLiteral("SourceFrameReceiver is not initialized."));
        return;
    }
    connect(m_frameReceiver, &FrameReceiver::imageReceived, this, &CameraObserver::onImageReceived,
            Qt::UniqueConnection);
    m_frameReceiver->startRequest(m_cameraDefinition.sourceDefinition(), m_frameFormat, m_resizeSize);
    if (++m_requestedFrames == 1)
        m_stallTimer.start();
}

void CameraObserver::stopRequestingFrames(bool disconnectImages)
{
    if (!m_frameReceiver) {
        if (m_hostLookupPending && m_startPendingAfterLookup)
            m_startPendingAfterLookup = false;
        else
            LOG_WRN(QStringLiteral("SourceFrameReceiver is not initialized."));
        return;
    }
    m_frameReceiver->stopRequest(m_cameraDefinition.sourceDefinition(), m_frameFormat, m_resizeSize);
    if (m_requestedFrames > 0)
        --m_requestedFrames;
    if (disconnectImages)
        disconnect(m_frameReceiver, &FrameReceiver::imageReceived, this, &CameraObserver::onImageReceived);
    if (m_requestedFrames == 0) {
        // A camera nobody watches keeps no pictures.
        LOG_DBG1(QStringLiteral("Camera frames converted: %1, dropped waiting for conversion: %2.")
                     .arg(m_frameConvertor.convertedFrames())
                     .arg(m_frameConvertor.droppedFrames()));
        m_frameConvertor.clear();
        m_lastFrame.reset();
        FramePool::releaseIdleMemory();
        m_stallTimer.stop();
        setVideoStalled(false);
    }
}

void CameraObserver::setResizeSize(const QSize &size)
{
    setRequestedSize(size);
    m_frameConvertor.setResizeSize(size);
}

void CameraObserver::setRequestedSize(const QSize &size)
{
    if (m_frameReceiver) {
        for (int i = 0; i < m_requestedFrames; ++i)
            m_frameReceiver->changeShownSize(m_cameraDefinition.sourceDefinition(), m_frameFormat, m_resizeSize, size);
    }
    m_resizeSize = size;
}

void CameraObserver::setShownSize(const QSize &box)
{
    m_shownBox = box;
    if (box.isEmpty())
        return;
    if (!m_pictureSize.isEmpty()) {
        fitToShownBox();
        return;
    }
    // Until a frame tells the picture's aspect, frames are decoded at a scale that covers the
    // box and shown as decoded, not at full size.
    setRequestedSize(box);
    m_frameConvertor.setResizeSize(QSize());
}

void CameraObserver::fitToShownBox()
{
    // A picture that fits the box as it is stays at its decoded size: the screen scales it up.
    QSize fitted;
    if (m_pictureSize.width() > m_shownBox.width() || m_pictureSize.height() > m_shownBox.height())
        fitted = m_pictureSize.scaled(m_shownBox, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (fitted != m_resizeSize || fitted != m_frameConvertor.resizeSize())
        setResizeSize(fitted);
}

void CameraObserver::updateSourceInfo(const QJsonObject &object)
{
    m_sourceInfo->read(object);
    emit sourceInfoChanged(m_sourceInfo.get());
}

bool CameraObserver::isOwnSource(const std::shared_ptr<SourceDefinition> &sourceDefinition)
{
    if (!sourceDefinition)
        return false;
    if (sourceDefinition == m_acceptedDefinition)
        return true;
    if (m_rejectedDefinitions.contains(sourceDefinition))
        return false;
    const bool own = SourceMatch::sameDefinition(m_cameraDefinition.sourceDefinition(), sourceDefinition);
    if (own) {
        m_acceptedDefinition = sourceDefinition;
    } else {
        if (m_rejectedDefinitions.size() >= MaxRememberedDefinitions)
            m_rejectedDefinitions.clear();
        m_rejectedDefinitions.append(sourceDefinition);
    }
    return own;
}

void CameraObserver::onImageReceived(const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                     const std::shared_ptr<CMClient::Frame> &frame)
{
    if (!frame || m_requestedFrames == 0 || !isOwnSource(sourceDefinition))
        return;
    const qint64 timestamp = frame->getSourceFrame().getTimestamp().getDataTimestampMS();
    if (!m_shownBox.isEmpty()) {
        // The header names the picture's size; a stream may change it at any frame.
        QSize picture;
        if (!CMClient::Frame::encodedSize(frame->getSourceFrame().getData(), picture))
            picture = frame->getSourceFrame().getSize();
        if (!picture.isEmpty() && picture != m_pictureSize) {
            m_pictureSize = picture;
            fitToShownBox();
        }
    }
    m_frameConvertor.convertImage(frame);
    emit nodeFrameTimestampChanged(qulonglong(timestamp));
}

void CameraObserver::onFrameConverted(const QImage &image, qulonglong timestamp)
{
    // Converted after the last request ended: nobody shows it.
    if (m_requestedFrames == 0)
        return;
    if (!image.isNull()) {
        m_stallTimer.start();
        setVideoStalled(false);
    }
    m_lastFrame = std::make_shared<FrameData>(qint64(timestamp), image);
    emit rawFrameChanged(m_lastFrame);
}

void CameraObserver::setVideoStalled(bool stalled)
{
    assignProperty(this, m_videoStalled, stalled, &CameraObserver::videoStalledChanged);
}

SourceVIDEODefinition CameraObserver::sourceVIDEODefinition() const
{
    const std::shared_ptr<SourceDefinition> definition = m_cameraDefinition.sourceDefinition();
    if (definition && definition->getType() == SourceDefinition::SourceDefinitionType::Video) {
        if (const auto video = definition->toVIDEODefinitionPtr())
            return *video;
    }
    return SourceVIDEODefinition();
}

SourceCUBEDefinition CameraObserver::sourceCUBEDefinition() const
{
    const std::shared_ptr<SourceDefinition> definition = m_cameraDefinition.sourceDefinition();
    if (definition && definition->getType() == SourceDefinition::SourceDefinitionType::Cube) {
        if (const auto cube = definition->toCUBEDefinitionPtr())
            return *cube;
    }
    return SourceCUBEDefinition();
}

SourceDefinition::SourceDefinitionType CameraObserver::sourceDefinitionType() const
{
    const std::shared_ptr<SourceDefinition> definition = m_cameraDefinition.sourceDefinition();
    return definition ? definition->getType() : SourceDefinition::SourceDefinitionType(-1);
}

bool CameraObserver::isOnvifPTZ() const
{
    return sourceVIDEODefinition().getPTZParams().getEnabled();
}

void CameraObserver::setCameraLocation(const SourceLocation &cameraLocation)
{
    if (m_cameraDefinition.cameraLocation() == cameraLocation)
        return;
    m_cameraDefinition.setCameraLocation(cameraLocation);
    emit cameraLocationChanged();
}

void CameraObserver::setVellorinNodeServerAddress(const QString &vellorinNodeServerAddress)
{
    assignProperty(this, m_vellorinNodeServerAddress, vellorinNodeServerAddress,
                   &CameraObserver::vellorinNodeServerAddressChanged);
}

void CameraObserver::setVellorinNodeServerPort(int vellorinNodeServerPort)
{
    assignProperty(this, m_vellorinNodeServerPort, quint16(vellorinNodeServerPort),
                   &CameraObserver::vellorinNodeServerPortChanged);
}

void CameraObserver::setNodeConnected(bool nodeConnected)
{
    assignProperty(this, m_nodeConnected, nodeConnected, &CameraObserver::nodeConnectedChanged);
}

void CameraObserver::setNodeConnectionError(QAbstractSocket::SocketError nodeConnectionError)
{
    assignProperty(this, m_nodeConnectionError, nodeConnectionError, &CameraObserver::nodeConnectionErrorChanged);
}

void CameraObserver::setNodeConnectionErrorString(const QString &nodeConnectionErrorString)
{
    assignProperty(this, m_nodeConnectionErrorString, nodeConnectionErrorString,
                   &CameraObserver::nodeConnectionErrorStringChanged);
}

} // namespace kvr::QMTClient
