#pragma once

#include "core/net/PacketReader.h"

#include <QHostAddress>
#include <QObject>
#include <QThread>

#include <memory>

class QTimer;

namespace kvr::net {

class TCPConnection;

// A framed-packet TCP client. The client lives in its owner's thread; its socket lives in a
// TCPConnection inside a thread of the client's own, named "TCPConnection". Signals are
// emitted in the client's thread. After a socket error the client reconnects by itself every
// ReconnectInterval ms while the reconnect-on-error flag is set and disconnect() was not called.
class TCPClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReconnectInterval = 1000; // ms

    explicit TCPClient(QObject *parent = nullptr);
    ~TCPClient() override;

    QHostAddress hostAddress() const { return m_hostAddress; }
    void setHostAddress(const QHostAddress &address) { m_hostAddress = address; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    bool reconnectOnError() const { return m_reconnectOnError; }
    void setReconnectOnError(bool reconnect);

    // Milliseconds; taken at the next connect(). Zero turns keep-alive sending or watching off.
    int connectTimeout() const { return m_connectTimeout; }
    void setConnectTimeout(int ms) { m_connectTimeout = ms; }
    int keepAliveInterval() const { return m_keepAliveInterval; }
    void setKeepAliveInterval(int ms) { m_keepAliveInterval = ms; }
    int keepAliveTimeout() const { return m_keepAliveTimeout; }
    void setKeepAliveTimeout(int ms) { m_keepAliveTimeout = ms; }

public slots:
    // Drops the current connection (blocking) and connects to the stored address and port.
    virtual void connect();
    // Closes the connection (blocking), stops reconnecting and aborts what is left.
    virtual void disconnect();

signals:
    void connected();
    void disconnected();
    void errorString(const QString &errorString);

protected:
    TCPClient(std::shared_ptr<const PacketReader> reader, QObject *parent);

    // Hands one packet to the connection thread and returns once it is written to the socket.
    void sendPacket(quint16 type, const QByteArray &body);
    // Called in the client's thread for every packet; the base ignores them.
    virtual void packetReceived(quint16 type, const QVariant &value);

    // Body of the party-information packet that opens every connection.
    virtual QByteArray partyInformation() const;

private:
    void onError(const QString &errorString);
    void onPacketReceived(quint16 type, const QVariant &value);

    QHostAddress m_hostAddress;
    quint16 m_port = 0;
    bool m_reconnectOnError = true;
    bool m_wanted = false;
    int m_connectTimeout;
    int m_keepAliveInterval;
    int m_keepAliveTimeout;
    QThread m_thread;
    TCPConnection *m_connection = nullptr;
    QTimer *m_reconnectTimer = nullptr;
};

} // namespace kvr::net
