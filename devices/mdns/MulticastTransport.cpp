#include "devices/mdns/MulticastTransport.h"

#include "core/log/Log.h"
#include "devices/mdns/MulticastSocketWorker.h"

namespace mdns {

MulticastTransport::MulticastTransport(QObject *parent)
    : Transport(parent)
    , m_sockets(new MulticastSocketWorker)
{
    m_thread.setObjectName(QStringLiteral("MdnsSockets"));
    m_sockets->moveToThread(&m_thread);
    // The worker's sockets and timer must end in the thread that uses them.
    connect(&m_thread, &QThread::finished, m_sockets, &QObject::deleteLater);
    connect(m_sockets, &MulticastSocketWorker::datagramsWaiting, this, &MulticastTransport::deliverWaiting,
            Qt::QueuedConnection);
}

MulticastTransport::~MulticastTransport()
{
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    } else {
        delete m_sockets;
    }
}

bool MulticastTransport::open()
{
    if (m_open)
        return true;
    if (!m_thread.isRunning()) {
        m_thread.start();
        // The blocking call below would wait for ever on a thread that never ran.
        if (!m_thread.isRunning()) {
            if (!m_threadFailureReported) {
                LOG_WRN(QStringLiteral("[mDNS] Cannot start the socket thread; devices on the network cannot be found."));
                m_threadFailureReported = true;
            }
            return false;
        }
    }
    // Binding and joining take a few system calls; the caller needs their result.
    bool opened = false;
    QMetaObject::invokeMethod(m_sockets, [this, &opened]() { opened = m_sockets->open(); },
                              Qt::BlockingQueuedConnection);
    m_open = opened;
    return m_open;
}

bool MulticastTransport::isOpen() const
{
    return m_open;
}

void MulticastTransport::send(const QByteArray &datagram)
{
    MulticastSocketWorker *sockets = m_sockets;
    QMetaObject::invokeMethod(sockets, [sockets, datagram]() { sockets->send(datagram); }, Qt::QueuedConnection);
}

MulticastSocketWorker::Backlog MulticastTransport::backlog() const
{
    return m_sockets->backlog();
}

void MulticastTransport::deliverWaiting()
{
    bool more = false;
    const QVector<MulticastSocketWorker::Datagram> datagrams = m_sockets->takeReceived(&more);
    // The rest after the other events: the worker does not call again while any wait.
    if (more)
        QMetaObject::invokeMethod(this, &MulticastTransport::deliverWaiting, Qt::QueuedConnection);
    for (const MulticastSocketWorker::Datagram &datagram : datagrams)
        emit datagramReceived(datagram.data, datagram.sender, datagram.port);
}

} // namespace mdns
