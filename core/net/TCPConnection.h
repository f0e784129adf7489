#pragma once

#include "core/net/PacketDecoder.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QVariant>

#include <atomic>
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

    // Packets handed to the client and not yet handled there; reading pauses at this many, so
    // that a busy client slows the node down through TCP instead of queueing without end.
    static constexpr int MaxPacketsInFlight = 16;

    explicit TCPConnection(std::shared_ptr<const PacketReader> reader);
    ~TCPConnection() override;

    // Called from the client's thread once per packetReceived; true when reading must resume.
    bool packetHandled();

public slots:
    // Taken by the next connection.
    void configure(int connectTimeout, int keepAliveInterval, int keepAliveTimeout, const QByteArray &partyInformation);
    void connectToHost(const QHostAddress &address, quint16 port);
    void disconnectFromHost();
    void abort();
    void sendPacket(quint16 type, const QByteArray &body);
    // Closes the socket and frees it in this thread before the thread ends.
    void shutdown();
    void resumeReading();

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
    void keepReading();
    void fail(const QString &errorString);
    void write(const QByteArray &bytes);

    PacketDecoder m_decoder;
    QByteArray m_partyInformation;
    Timeouts m_timeouts;
    QHostAddress m_address;
    quint16 m_port = 0;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QTimer *m_sendIdleTimer = nullptr;
    QTimer *m_receiveIdleTimer = nullptr;
    bool m_bufferFilled = false; // the socket stopped reading at its buffer limit
    std::atomic<int> m_inFlight{0};
};

} // namespace kvr::net
