#include "core/net/TCPConnection.h"

#include "core/log/Log.h"

#include <QTcpSocket>
#include <QTimer>

namespace kvr::net {

TCPConnection::TCPConnection(std::shared_ptr<const PacketReader> reader)
    : m_decoder(std::move(reader))
{
}

TCPConnection::~TCPConnection() = default;

void TCPConnection::ensureSocket()
{
    if (m_socket)
        return;
    m_socket = new QTcpSocket(this);
    // The decoder takes packets only once they are whole, so the socket never needs to hold
    // more than one packet; a peer that sends faster just waits in its own buffers.
    m_socket->setReadBufferSize(PacketFraming::HeaderSize + qint64(m_decoder.maxBodySize()));
    QObject::connect(m_socket, &QTcpSocket::connected, this, &TCPConnection::onConnected);
    QObject::connect(m_socket, &QTcpSocket::disconnected, this, &TCPConnection::onDisconnected);
    QObject::connect(m_socket, &QTcpSocket::readyRead, this, &TCPConnection::onReadyRead);
    QObject::connect(m_socket, &QAbstractSocket::errorOccurred,
                     this, &TCPConnection::onSocketError);

    m_connectTimer = new QTimer(this);
    m_connectTimer->setSingleShot(true);
    QObject::connect(m_connectTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Connection to %1:%2 timed out after %3 ms.")
                 .arg(m_address.toString())
                 .arg(m_port)
                 .arg(m_timeouts.connect));
    });

    m_sendIdleTimer = new QTimer(this);
    m_sendIdleTimer->setSingleShot(true);
    QObject::connect(m_sendIdleTimer, &QTimer::timeout, this, [this] {
        write(PacketFraming::header(PacketFraming::KeepAliveType, 0));
    });

    m_receiveIdleTimer = new QTimer(this);
    m_receiveIdleTimer->setSingleShot(true);
    QObject::connect(m_receiveIdleTimer, &QTimer::timeout, this, [this] {
        // While reading is paused the node is held back by us, not dead.
        if (m_inFlight.load() >= MaxPacketsInFlight) {
            m_receiveIdleTimer->start(m_timeouts.keepAliveTimeout);
            return;
        }
        fail(QStringLiteral("Nothing received for %1 ms, the connection is dead.").arg(m_timeouts.keepAliveTimeout));
    });
}

void TCPConnection::configure(int connectTimeout, int keepAliveInterval, int keepAliveTimeout,
                              const QByteArray &partyInformation)
{
    m_partyInformation = partyInformation;
    m_timeouts.connect = connectTimeout;
    m_timeouts.keepAliveInterval = keepAliveInterval;
    m_timeouts.keepAliveTimeout = keepAliveTimeout;
}

void TCPConnection::connectToHost(const QHostAddress &address, quint16 port)
{
    ensureSocket();
    m_socket->abort();
    m_address = address;
    m_port = port;
    LOG_DBG1(QStringLiteral("Connecting to %1:%2.").arg(address.toString()).arg(port));
    if (m_timeouts.connect > 0)
        m_connectTimer->start(m_timeouts.connect);
    m_socket->connectToHost(address, port);
}

void TCPConnection::disconnectFromHost()
{
    if (!m_socket)
        return;
    m_connectTimer->stop();
    m_sendIdleTimer->stop();
    m_receiveIdleTimer->stop();
    m_socket->disconnectFromHost();
}

void TCPConnection::abort()
{
    if (!m_socket)
        return;
    m_connectTimer->stop();
    m_sendIdleTimer->stop();
    m_receiveIdleTimer->stop();
    m_socket->abort();
}

void TCPConnection::shutdown()
{
    abort();
    delete m_socket;
    m_socket = nullptr;
}

bool TCPConnection::packetHandled()
{
    return m_inFlight.fetch_sub(1) == MaxPacketsInFlight;
}

void TCPConnection::resumeReading()
{
    if (m_socket && m_socket->bytesAvailable() > 0)
        onReadyRead();
}

void TCPConnection::sendPacket(quint16 type, const QByteArray &body)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        LOG_WRN(QStringLiteral("Not connected, packet of type %1 dropped.").arg(type));
        return;
    }
    write(PacketFraming::header(type, quint32(body.size())));
    write(body);
}

void TCPConnection::write(const QByteArray &bytes)
{
    m_socket->write(bytes);
    if (m_timeouts.keepAliveInterval > 0)
        m_sendIdleTimer->start(m_timeouts.keepAliveInterval);
}

void TCPConnection::onConnected()
{
    m_connectTimer->stop();
    LOG_DBG1(QStringLiteral("Connected to %1:%2.").arg(m_socket->peerAddress().toString()).arg(m_socket->peerPort()));
    sendPacket(PacketFraming::PartyInformationType, m_partyInformation);
    if (m_timeouts.keepAliveTimeout > 0)
        m_receiveIdleTimer->start(m_timeouts.keepAliveTimeout);
    emit connected();
}

void TCPConnection::onDisconnected()
{
    m_connectTimer->stop();
    m_sendIdleTimer->stop();
    m_receiveIdleTimer->stop();
    emit disconnected();
}

void TCPConnection::onSocketError()
{
    const qint64 pending = m_socket->bytesAvailable();
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError && pending > 0) {
        fail(QStringLiteral("Connection closed in the middle of a packet, %1 bytes dropped.").arg(pending));
        return;
    }
    fail(m_socket->errorString());
}

void TCPConnection::fail(const QString &errorString)
{
    m_connectTimer->stop();
    m_sendIdleTimer->stop();
    m_receiveIdleTimer->stop();
    emit errorOccurred(errorString);
    m_socket->abort();
}

void TCPConnection::onReadyRead()
{
    const qint64 limit = m_socket->readBufferSize();
    if (limit > 0 && m_socket->bytesAvailable() >= limit)
        m_bufferFilled = true;
    if (m_timeouts.keepAliveTimeout > 0)
        m_receiveIdleTimer->start(m_timeouts.keepAliveTimeout);
    while (m_socket->state() == QAbstractSocket::ConnectedState && m_inFlight.load() < MaxPacketsInFlight) {
        Packet packet;
        QString error;
        switch (m_decoder.next(*m_socket, packet, error)) {
        case PacketDecoder::Result::NeedMore:
            keepReading();
            return;
        case PacketDecoder::Result::Error:
            fail(error);
            return;
        case PacketDecoder::Result::Packet:
            if (packet.type != PacketFraming::KeepAliveType) {
                ++m_inFlight;
                emit packetReceived(packet.type, packet.value);
            }
            break;
        }
    }
}

void TCPConnection::keepReading()
{
    // A socket whose read buffer filled up stops reading until a read reaches past the
    // buffer, which the decoder never does: it waits for whole packets. Setting the limit
    // again lets the socket read on, or the link would stall and be taken for dead.
    if (!m_bufferFilled)
        return;
    m_bufferFilled = false;
    const qint64 limit = m_socket->readBufferSize();
    m_socket->setReadBufferSize(0);
    m_socket->setReadBufferSize(limit);
}

} // namespace kvr::net
