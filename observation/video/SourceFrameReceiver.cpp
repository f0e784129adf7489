#include "observation/video/SourceFrameReceiver.h"

#include "core/tracker/CMClientFrame.h"
#include "observation/video/SourceFrameReceiverWorker.h"


namespace kvr::QMTClient {

using kvr::tracker::common::SourceDefinition;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::net::CMClient;

namespace {

void registerMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<std::shared_ptr<SourceDefinition>>("std::shared_ptr<kvr::tracker::common::SourceDefinition>");
        qRegisterMetaType<SourceFrameFormatDefinition>("kvr::tracker::common::SourceFrameFormatDefinition");
        qRegisterMetaType<std::shared_ptr<CMClient::Frame>>("std::shared_ptr<kvr::tracker::net::CMClient::Frame>");
        qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace

SourceFrameReceiver::SourceFrameReceiver(const QHostAddress &address, quint16 port, QObject *parent)
    : QObject(parent)
{
    registerMetaTypes();
    m_worker = new SourceFrameReceiverWorker(address, port);
    m_thread.setObjectName(QStringLiteral("SourceFrameReceiver"));
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);

    QObject::connect(m_worker, &SourceFrameReceiverWorker::connected, this, &SourceFrameReceiver::connected);
    QObject::connect(m_worker, &SourceFrameReceiverWorker::disconnected, this, &SourceFrameReceiver::disconnected);
    QObject::connect(m_worker, &SourceFrameReceiverWorker::error, this, &SourceFrameReceiver::error);
    QObject::connect(m_worker, &SourceFrameReceiverWorker::errorString, this, &SourceFrameReceiver::errorString);
    QObject::connect(m_worker, &SourceFrameReceiverWorker::errorReceived, this, &SourceFrameReceiver::errorReceived);
    QObject::connect(m_worker, &SourceFrameReceiverWorker::statusReceived, this, &SourceFrameReceiver::statusReceived);
    // Direct: the frame is parked in the worker's thread and fetched by one queued call, so
    // a slow consumer here never makes decoded frames queue up in this thread.
    QObject::connect(m_worker, &SourceFrameReceiverWorker::imageReceived, this, &SourceFrameReceiver::queueFrame,
                     Qt::DirectConnection);

    m_thread.start(QThread::InheritPriority);
}

SourceFrameReceiver::~SourceFrameReceiver()
{
    m_thread.quit();
    m_thread.wait();
}

void SourceFrameReceiver::connect()
{
    QMetaObject::invokeMethod(m_worker, "connect", Qt::AutoConnection);
}

void SourceFrameReceiver::disconnect()
{
    QMetaObject::invokeMethod(m_worker, "disconnect", Qt::AutoConnection);
}

void SourceFrameReceiver::startRequest(std::shared_ptr<SourceDefinition> sourceDefinition,
                                       SourceFrameFormatDefinition frameFormat)
{
    forwardRequest("startRequest", sourceDefinition, frameFormat);
}

void SourceFrameReceiver::stopRequest(std::shared_ptr<SourceDefinition> sourceDefinition,
                                      SourceFrameFormatDefinition frameFormat)
{
    forwardRequest("stopRequest", sourceDefinition, frameFormat);
}

void SourceFrameReceiver::forwardRequest(const char *method, const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                         const SourceFrameFormatDefinition &frameFormat)
{
    // A copy made from the definition's values: the worker never shares the caller's object.
    const std::shared_ptr<SourceDefinition> copy =
        sourceDefinition ? SourceDefinition::createFromQVariant(QVariant(sourceDefinition->valueMap())) : nullptr;
    QMetaObject::invokeMethod(m_worker, method, Qt::AutoConnection,
                              Q_ARG(std::shared_ptr<kvr::tracker::common::SourceDefinition>, copy),
                              Q_ARG(kvr::tracker::common::SourceFrameFormatDefinition, frameFormat));
}

void SourceFrameReceiver::stopRequest()
{
    QMetaObject::invokeMethod(m_worker, "stopRequest", Qt::AutoConnection);
}

void SourceFrameReceiver::queueFrame(const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                     const std::shared_ptr<CMClient::Frame> &frame)
{
    std::lock_guard<std::mutex> locker(m_pendingMutex);
    // The format's map is the one the node sent with every frame of its stream, so a plain
    // map comparison finds the waiting frame of the same stream.
    const bool continuing = frame->getImageDataBandwidthParams().getFrameLengthMul() != 0;
    if (continuing) {
        for (PendingFrame &pending : m_pendingFrames) {
            if (pending.sourceDefinition == sourceDefinition
                && pending.frame->getFrameFormat().valueMap() == frame->getFrameFormat().valueMap()) {
                pending.frame = frame;
                return;
            }
        }
    }
    m_pendingFrames.append({sourceDefinition, frame});
    if (!m_deliveryQueued) {
        m_deliveryQueued = true;
        QMetaObject::invokeMethod(this, "deliverFrames", Qt::QueuedConnection);
    }
}

void SourceFrameReceiver::deliverFrames()
{
    QVector<PendingFrame> frames;
    {
        std::lock_guard<std::mutex> locker(m_pendingMutex);
        frames.swap(m_pendingFrames);
        m_deliveryQueued = false;
    }
    for (const PendingFrame &pending : qAsConst(frames))
        emit imageReceived(pending.sourceDefinition, pending.frame);
}

} // namespace kvr::QMTClient
