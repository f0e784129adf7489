#pragma once

#include "core/log/RepeatLimiter.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <QVector>

#include <deque>
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
    // A DNS message has at least its header; anything shorter never waits.
    static constexpr int MinDatagramBytes = 12;
    // What a waiting datagram costs besides its payload: its slot in the list, its sender's
    // address, and the headers of their allocations.
    static constexpr qint64 DatagramOverheadBytes = 256;
    // What may wait for a GUI thread that does not come back, payloads and overheads together:
    // a real burst (the goodbyes of hundreds of services) is a fraction of it. Beyond it the
    // newest is dropped, as the kernel would.
    static constexpr qint64 MaxWaitingCost = 4 * 1024 * 1024;
    // Handed over at a time, so that one hand-over holds the GUI thread for a moment only.
    static constexpr int MaxBatch = 64;

    struct Datagram
    {
        QByteArray data;
        QHostAddress sender;
        quint16 port = 0;
    };

    // What waits, and what was read and dropped since the worker was made.
    struct Backlog
    {
        qint64 datagrams = 0;
        qint64 cost = 0;
        quint64 read = 0;
        quint64 dropped = 0;
    };

    explicit MulticastSocketWorker(QObject *parent = nullptr);

    static qint64 costOf(const QByteArray &payload) { return payload.size() + DatagramOverheadBytes; }
    // For workers made afterwards; tests shorten it to see interfaces that come up later joined.
    static void setRejoinInterval(int ms);

    // On the socket thread.
    bool open();
    void send(const QByteArray &datagram);

    // From any thread: the oldest waiting datagrams, at most MaxBatch, in the order they came;
    // `more` tells whether others still wait.
    QVector<Datagram> takeReceived(bool *more);
    Backlog backlog() const;

signals:
    // Emitted when datagrams start waiting; the next ones wait without a signal until
    // takeReceived() has emptied the list.
    void datagramsWaiting();

private:
    void readPending(QUdpSocket &socket);
    // Adds what was read, within the bound, and counts `runts` too short to wait. True when the
    // list was empty before and is not now.
    bool enqueue(QVector<Datagram> &read, int runts);
    void rejoin();
    bool bindSocket(QUdpSocket &socket, const QHostAddress &any);
    void joinAll(QUdpSocket &socket, const QHostAddress &group, QList<QNetworkInterface> &joined);

    QUdpSocket m_ipv4;
    QUdpSocket m_ipv6;
    QList<QNetworkInterface> m_ipv4Interfaces;
    QList<QNetworkInterface> m_ipv6Interfaces;
    QTimer m_rejoinTimer;
    bool m_failureReported = false;
    // Drops are counted, not written one by one.
    kvr::log::RepeatLimiter m_dropLog;

    // A standard mutex, which ThreadSanitizer understands (it does not see QMutex).
    mutable std::mutex m_receivedMutex;
    std::deque<Datagram> m_received;
    qint64 m_receivedCost = 0;
    quint64 m_read = 0;
    quint64 m_dropped = 0;
};

} // namespace mdns
