#pragma once

#include "observation/video/FrameReceiver.h"

#include <QHostAddress>
#include <QThread>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>

namespace kvr::QMTClient {

class SourceFrameReceiverWorker;

// The connection to one tracker node, shared by every camera on that node (see
// FrameReceiverRegistry). A facade in its creator's thread: each slot is queued into the
// worker's thread "SourceFrameReceiver" and returns at once; signals arrive in this thread.
// Frames reach this thread undecoded (see FrameConvertor for the whole road) and never pile
// up here: while this thread has not taken the last frame of a source and format, a newer one
// replaces it and the older one counts as dropped (single-shot frames are all kept).
class SourceFrameReceiver : public FrameReceiver
{
    Q_OBJECT

public:
    SourceFrameReceiver(const QHostAddress &address, quint16 port, QObject *parent = nullptr);
    // Stops the thread and waits for it; the worker and its node client go with it.
    ~SourceFrameReceiver() override;

    // Frames replaced before this thread took them, and frames handed out. Any thread.
    quint64 droppedFrames() const { return m_dropped; }
    quint64 deliveredFrames() const { return m_delivered; }

public slots:
    void connect() override;
    void disconnect();
    void startRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                      kvr::tracker::common::SourceFrameFormatDefinition frameFormat,
                      QSize shownSize = QSize()) override;
    void stopRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                     kvr::tracker::common::SourceFrameFormatDefinition frameFormat,
                     QSize shownSize = QSize()) override;
    void changeShownSize(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                         kvr::tracker::common::SourceFrameFormatDefinition frameFormat, QSize from,
                         QSize to) override;
    void stopRequest();

private:
    struct PendingFrame
    {
        std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition;
        std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame;
    };

    // Runs in the worker's thread.
    void queueFrame(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                    const std::shared_ptr<kvr::tracker::net::CMClient::Frame> &frame);
    void deliverFrames();
    // A copy made from the definition's values: the worker never shares the caller's object.
    static std::shared_ptr<kvr::tracker::common::SourceDefinition>
    workerCopy(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition);

    SourceFrameReceiverWorker *m_worker;
    QThread m_thread;
    std::mutex m_pendingMutex; // a standard mutex, so that race detectors see it
    QVector<PendingFrame> m_pendingFrames;
    bool m_deliveryQueued = false;
    std::atomic<quint64> m_dropped{0};
    std::atomic<quint64> m_delivered{0};
};

} // namespace kvr::QMTClient
