#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <QVector>

#include <mutex>

namespace mdns {

// The sockets of a MulticastTransport, on the transport's socket thread: binds, joins,
// sends, and reads every datagram as soon as it arrives, so that the kernel's buffer never
// fills while the GUI thread is busy. What it reads waits here until the transport takes it.
class MulticastSocketWorker : public QObject
{
    Q_OBJECT

public:
    static constexpr int RejoinIntervalMs = 60000;
    // Asked of the kernel for each socket; it may grant less.
    static constexpr int ReceiveBufferBytes = 1024 * 1024;
    // What may wait for a GUI thread that does not come back; beyond it the newest is dropped,
    // as the kernel would.
    static constexpr qint64 MaxWaitingBytes = 8 * 1024 * 1024;

    struct Datagram
    {
        QByteArray data;
        QHostAddress sender;
        quint16 port = 0;
    };

    explicit MulticastSocketWorker(QObject *parent = nullptr);

    // On the socket thread.
    bool open();
    void send(const QByteArray &datagram);

    // From any thread: every datagram read since the last call, oldest first.
    QVector<Datagram> takeReceived();

signals:
    // Emitted when datagrams start waiting; the next ones wait without a signal until
    // takeReceived() has emptied the list.
    void datagramsWaiting();

private:
    void readPending(QUdpSocket &socket);
    void rejoin();
    bool bindSocket(QUdpSocket &socket, const QHostAddress &any);
    void joinAll(QUdpSocket &socket, const QHostAddress &group, QList<QNetworkInterface> &joined);

    QUdpSocket m_ipv4;
    QUdpSocket m_ipv6;
    QList<QNetworkInterface> m_ipv4Interfaces;
    QList<QNetworkInterface> m_ipv6Interfaces;
    QTimer m_rejoinTimer;
    bool m_failureReported = false;

    // A standard mutex, which ThreadSanitizer understands (it does not see QMutex).
    std::mutex m_receivedMutex;
    QVector<Datagram> m_received;
    qint64 m_receivedBytes = 0;
};

} // namespace mdns
