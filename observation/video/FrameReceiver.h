#pragma once

#include "core/tracker/CMClient.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QAbstractSocket>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

namespace kvr::QMTClient {

// What a camera asks of the connection to its tracker node; SourceFrameReceiver is the real
// one, and tests put a fake in its place through FrameReceiverFactory. Called and signalling
// in the GUI thread. A request names the size its camera shows frames at (empty: the decoded
// size), so that a stream is decoded no larger than its largest viewer needs.
class FrameReceiver : public QObject
{
    Q_OBJECT

public:
    explicit FrameReceiver(QObject *parent = nullptr);

public slots:
    // (Re)starts the link to the node; every request is then made again.
    virtual void connect() = 0;
    virtual void startRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                              kvr::tracker::common::SourceFrameFormatDefinition frameFormat,
                              QSize shownSize = QSize()) = 0;
    virtual void stopRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                             kvr::tracker::common::SourceFrameFormatDefinition frameFormat,
                             QSize shownSize = QSize()) = 0;
    // One request started with `from` shows its frames at `to` from now on.
    virtual void changeShownSize(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                                 kvr::tracker::common::SourceFrameFormatDefinition frameFormat, QSize from,
                                 QSize to) = 0;

signals:
    void connected();
    void disconnected();
    void error(QAbstractSocket::SocketError socketError);
    void errorString(QString errorString);
    void errorReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition, QString errorString);
    void statusReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition, QString status);
    // Every frame of the node, undecoded: each camera picks those of its own source.
    void imageReceived(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                       std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
};

} // namespace kvr::QMTClient
