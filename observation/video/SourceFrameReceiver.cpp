#include "observation/video/SourceFrameReceiver.h"

#include "core/log/Log.h"
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
    : FrameReceiver(parent)
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
    // a slow consumer here never makes frames queue up in this thread.
    QObject::connect(m_worker, &SourceFrameReceiverWorker::imageReceived, this, &SourceFrameReceiver::queueFrame,
                     Qt::DirectConnection);

    m_thread.start(QThread::InheritPriority);
}

SourceFrameReceiver::~SourceFrameReceiver()
{
    LOG_DBG1(QStringLiteral("Node frames delivered: %1, dropped waiting for delivery: %2.")
                 .arg(m_delivered.load())
                 .arg(m_dropped.load()));
    m_thread.quit();
    m_thread.wait();
}

void SourceFrameReceiver::connect()
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->connect(); });
}

void SourceFrameReceiver::disconnect()
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->disconnect(); });
}

std::shared_ptr<SourceDefinition> SourceFrameReceiver::workerCopy(const std::shared_ptr<SourceDefinition> &sourceDefinition)
{
    return sourceDefinition ? SourceDefinition::createFromQVariant(QVariant(sourceDefinition->valueMap())) : nullptr;
}

void SourceFrameReceiver::startRequest(std::shared_ptr<SourceDefinition> sourceDefinition,
                                       SourceFrameFormatDefinition frameFormat, QSize shownSize)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, definition = workerCopy(sourceDefinition), frameFormat,
                                         shownSize] { worker->startRequest(definition, frameFormat, shownSize); });
}

void SourceFrameReceiver::stopRequest(std::shared_ptr<SourceDefinition> sourceDefinition,
                                      SourceFrameFormatDefinition frameFormat, QSize shownSize)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, definition = workerCopy(sourceDefinition), frameFormat,
                                         shownSize] { worker->stopRequest(definition, frameFormat, shownSize); });
}

void SourceFrameReceiver::changeShownSize(std::shared_ptr<SourceDefinition> sourceDefinition,
                                          SourceFrameFormatDefinition frameFormat, QSize from, QSize to)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, definition = workerCopy(sourceDefinition), frameFormat,
                                         from, to] { worker->changeShownSize(definition, frameFormat, from, to); });
}

void SourceFrameReceiver::stopRequest()
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->stopRequest(); });
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
                ++m_dropped;
                return;
            }
        }
    }
    m_pendingFrames.append({sourceDefinition, frame});
    if (!m_deliveryQueued) {
        m_deliveryQueued = true;
        QMetaObject::invokeMethod(this, [this] { deliverFrames(); }, Qt::QueuedConnection);
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
    m_delivered += quint64(frames.size());
    for (const PendingFrame &pending : qAsConst(frames))
        emit imageReceived(pending.sourceDefinition, pending.frame);
}

} // namespace kvr::QMTClient
