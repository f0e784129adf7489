#pragma once

#include "core/net/TCPClient.h"

#include <QHash>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>

namespace kvr::tracker::common {
class SourceTimestamp;
} // namespace kvr::tracker::common

namespace kvr::tracker::net {

// The launcher's client of a tracker node (docs/tracker-protocol.md). Lives in its owner's
// thread; every signal is emitted there, with registered meta-types so that they may be
// forwarded across threads.
class CMClient : public kvr::net::TCPClient
{
    Q_OBJECT

public:
    class Frame; // core/tracker/CMClientFrame.h

    explicit CMClient(QObject *parent = nullptr);

    static QByteArray commandBody(const QString &cmd, const QVariant &data);

public slots:
    // Sends one Command packet; returns once it is written to the socket. Answers come as
    // later packets.
    void command(const QString &cmd, const QVariant &data);

signals:
    void authorizedReceived();
    void unauthorizedReceived();
    void sourceStatusReceived(uint sourceID, const QString &sourceStatus, const QString &sourceStateInfo);
    void errorReceived(uint sourceID, const QString &errorMessage);
    void sourcesDataReceived(const QMap<quint32, QHash<QString, QVariant>> &sourcesData);
    void imageReceived(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
    void sourceTimestampReceived(std::shared_ptr<kvr::tracker::common::SourceTimestamp> srcTimestamp);

protected:
    void packetReceived(quint16 type, const QVariant &value) override;
};

} // namespace kvr::tracker::net

Q_DECLARE_METATYPE(std::shared_ptr<kvr::tracker::net::CMClient::Frame>)
Q_DECLARE_METATYPE(std::shared_ptr<kvr::tracker::common::SourceTimestamp>)
