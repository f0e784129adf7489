#pragma once

#include "core/tracker/CMClient.h"
#include "core/tracker/FrameDecodeLog.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QVector>

#include <memory>

class QTimer;

namespace kvr::QMTClient {

// The frame receiver's work, in the receiver's own thread: owns the node client, maps the
// requested source definitions to the node's source ids and asks for their frame formats.
// Every method and handler runs in that thread; nothing here is touched from another. Frames
// leave undecoded, marked with the size their stream is shown at (CMClient::Frame::setDecodeSize).
class SourceFrameReceiverWorker : public QObject
{
    Q_OBJECT

public:
    struct FrameFormatStruct
    {
        // The largest of the shown sizes; empty when any request wants the decoded size.
        QSize decodeSize() const;

        kvr::tracker::common::SourceFrameFormatDefinition frameFormat;
        int useCount = 1;
        // A cube format whose first continuing frame came and which now streams time stamps.
        bool timeRequested = false;
        // One per use: the size each requester shows the frames at.
        QVector<QSize> shownSizes;
        // The stream's decoding warnings, shared with its frames.
        std::shared_ptr<kvr::tracker::net::FrameDecodeLog> decodeLog =
            std::make_shared<kvr::tracker::net::FrameDecodeLog>();
    };

    struct SourceDefinitionFrameFormatStruct
    {
        SourceDefinitionFrameFormatStruct() = default;
        SourceDefinitionFrameFormatStruct(std::shared_ptr<kvr::tracker::common::SourceDefinition> definition,
                                          const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat,
                                          const QSize &shownSize);

        // False when an equal format was there already (its use count grew).
        bool addFrameFormat(const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat,
                            const QSize &shownSize);
        // The erased format, or an empty one when none fell below one use.
        kvr::tracker::common::SourceFrameFormatDefinition
        removeFrameFormat(const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat,
                          const QSize &shownSize);
        FrameFormatStruct *findFrameFormat(const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat);

        quint64 internalId = 0;
        std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition;
        QVector<FrameFormatStruct> frameFormats;
        bool isCubeSource = false;
        // A copy that only leaves with signals: consumers in other threads never read the
        // object this worker compares.
        std::shared_ptr<kvr::tracker::common::SourceDefinition> publishedDefinition;
    };

    SourceFrameReceiverWorker(const QHostAddress &address, quint16 port);

    void connect();
    void disconnect();
    void startRequest(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                      const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat, const QSize &shownSize);
    void stopRequest(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                     const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat, const QSize &shownSize);
    void changeShownSize(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                         const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat, const QSize &from,
                         const QSize &to);
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
    void onSourcesDataTimer();
    void onUnauthorized();
    void onDisconnected();
    void onConnected();
    void onAuthorized();
    void onSourceStatusReceived(uint sourceID, const QString &sourceStatus, const QString &sourceStateInfo);
    void onErrorReceived(uint sourceID, const QString &errorMessage);
    void onSourcesDataReceived(const QMap<quint32, QHash<QString, QVariant>> &sourcesData);
    void onImageReceived(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
    void onSourceTimestampReceived(std::shared_ptr<kvr::tracker::common::SourceTimestamp> srcTimestamp);

    void sendFormat(const QString &cmd, const kvr::tracker::common::SourceFrameFormatDefinition &frameFormat);
    void requestFrames(SourceDefinitionFrameFormatStruct &entry, qint64 sourceId);
    SourceDefinitionFrameFormatStruct *
    findSourceDefinitionStruct(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition);
    SourceDefinitionFrameFormatStruct *findSourceDefinitionStructBySourceId(qint64 sourceId);
    std::shared_ptr<kvr::tracker::net::CMClient::Frame> findLastSourceFrameBySourceId(qint64 sourceId) const;
    // Forgets a struct and every mapping that still names it.
    void eraseStruct(int internalId);

    kvr::tracker::net::CMClient *m_client;
    bool m_authorized = false;
    QTimer *m_sourcesDataTimer;
    QMap<int, int> m_sourceIdToInternalId;
    QSet<int> m_pendingInternalIds;
    QMap<int, SourceDefinitionFrameFormatStruct> m_sourceDefinitionStructs;
    // The last frame of each cube source, re-sent under every time stamp.
    QMap<int, std::shared_ptr<kvr::tracker::net::CMClient::Frame>> m_lastFrames;
};

} // namespace kvr::QMTClient
