#pragma once

#include "devices/mdns/MulticastSocketWorker.h"
#include "devices/mdns/Transport.h"

#include <QThread>

namespace mdns {

// UDP port 5353 shared with the other responders on the machine, IPv4 group 224.0.0.251
// and, where the system allows, IPv6 group ff02::fb; joined on every up, multicast-capable
// interface and re-joined periodically so that interfaces that come up later are served.
//
// Threads: the transport lives in its server's thread (the GUI thread) and owns the thread
// "MdnsSockets", started by the first open(). That thread runs nothing but the
// MulticastSocketWorker, which owns both sockets: it binds and joins them, sends, and reads
// each datagram as it arrives, so that none is lost while the GUI thread is busy. The datagrams
// wait in the worker, within a bound that counts their whole cost, until the transport, woken by
// one queued call however many arrived, takes them in batches and emits datagramReceived for
// each, in order, in its own thread; other events run between batches. send() may be
// called from any thread; datagrams leave in the order they were sent. Destroying the
// transport ends the thread and deletes the worker in it; what was still waiting is dropped.
class MulticastTransport : public Transport
{
    Q_OBJECT

public:
    explicit MulticastTransport(QObject *parent = nullptr);
    ~MulticastTransport() override;

    // False also when the socket thread cannot be started.
    bool open() override;
    bool isOpen() const override;
    void send(const QByteArray &datagram) override;

    // What waits for this thread; any thread.
    MulticastSocketWorker::Backlog backlog() const;

private slots:
    void deliverWaiting();

private:
    QThread m_thread;
    MulticastSocketWorker *m_sockets;
    bool m_open = false;
    bool m_threadFailureReported = false;
};

} // namespace mdns
