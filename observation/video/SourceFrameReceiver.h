#pragma once

#include "core/tracker/CMClient.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QThread>
#include <QVector>

#include <memory>
#include <mutex>

namespace kvr::QMTClient {

class SourceFrameReceiverWorker;

// The connection to one tracker node, shared by every camera on that node (see
// FrameReceiverRegistry). A facade in its creator's thread: each slot is queued into the
// worker's thread "SourceFrameReceiver" and returns at once; signals arrive in this thread.
// Frames never pile up here: while this thread has not taken the last frame of a source and
// format, a newer one replaces it (single-shot frames are all kept).
class SourceFrameReceiver : public QObject
{
    Q_OBJECT

public:
    SourceFrameReceiver(const QHostAddress &address, quint16 port, QObject *parent = nullptr);
    // Stops the thread and waits for it; the worker and its node client go with it.
    ~SourceFrameReceiver() override;

public slots:
    void connect();
    void disconnect();
    void startRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                      kvr::tracker::common::SourceFrameFormatDefinition frameFormat);
    void stopRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                     kvr::tracker::common::SourceFrameFormatDefinition frameFormat);
    void stopRequest();

signals:
    void connected();
    void disconnected();
    void error(QAbstractSocket::SocketError socketError);
    void errorString(QString errorString);
    void errorReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition, QString errorString);
    void statusReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition, QString status);
    void imageReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                       std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);

private:
    struct PendingFrame
    {
        std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition;
        std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame;
    };

    // Runs in the worker's thread.
    void queueFrame(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                    const std::shared_ptr<kvr::tracker::net::CMClient::Frame> &frame);
    Q_INVOKABLE void deliverFrames();
    void forwardRequest(const char *method,
                        const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                        const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat);

    SourceFrameReceiverWorker *m_worker;
    QThread m_thread;
    std::mutex m_pendingMutex; // a standard mutex, so that race detectors see it
    QVector<PendingFrame> m_pendingFrames;
    bool m_deliveryQueued = false;
};

} // namespace kvr::QMTClient
