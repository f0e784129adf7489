#pragma once

#include "core/net/PacketDecoder.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QVariant>

#include <memory>

class QTcpSocket;
class QTimer;

namespace kvr::net {

// The socket side of a TCPClient; lives in the client's "TCPConnection" thread and is only
// called there (queued or blocking-queued). Sends the party information first on every
// connection, frames and unframes packets, and watches the link with keep-alives.
class TCPConnection : public QObject
{
    Q_OBJECT

public:
    struct Timeouts
    {
        int connect = PacketFraming::DefaultConnectTimeout;
        int keepAliveInterval = PacketFraming::DefaultKeepAliveInterval;
        int keepAliveTimeout = PacketFraming::DefaultKeepAliveTimeout;
    };

    explicit TCPConnection(std::shared_ptr<const PacketReader> reader);
    ~TCPConnection() override;

public slots:
    // Taken by the next connection.
    void configure(int connectTimeout, int keepAliveInterval, int keepAliveTimeout, const QByteArray &partyInformation);
    void connectToHost(const QHostAddress &address, quint16 port);
    void disconnectFromHost();
    void abort();
    void sendPacket(quint16 type, const QByteArray &body);
    // Closes the socket and frees it in this thread before the thread ends.
    void shutdown();

signals:
    void connected();
    void disconnected();
    void errorOccurred(const QString &errorString);
    void packetReceived(quint16 type, const QVariant &value);

private:
    void ensureSocket();
    void onConnected();
    void onDisconnected();
    void onSocketError();
    void onReadyRead();
    void fail(const QString &errorString);
    void write(const QByteArray &bytes);

    PacketDecoder m_decoder;
    QByteArray m_partyInformation;
    Timeouts m_timeouts;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QTimer *m_sendIdleTimer = nullptr;
    QTimer *m_receiveIdleTimer = nullptr;
};

} // namespace kvr::net
