#include "devices/mdns/MulticastSocketWorker.h"

#include "core/log/Log.h"

#include <QNetworkDatagram>

#include <algorithm>
#include <atomic>
#include <utility>

namespace mdns {

namespace {

constexpr quint16 MdnsPort = 5353;
const QHostAddress Ipv4Group(QStringLiteral("224.0.0.251"));
const QHostAddress Ipv6Group(QStringLiteral("ff02::fb"));
// Read at a time before the thread goes back to its event loop, so that a flood does not keep
// its sends and rejoins waiting.
constexpr int MaxReadsAtOnce = 1024;

std::atomic<int> rejoinIntervalMs{MulticastSocketWorker::RejoinIntervalMs};

bool hasAddressOf(const QNetworkInterface &interface, QAbstractSocket::NetworkLayerProtocol protocol)
{
    for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
        if (entry.ip().protocol() == protocol)
            return true;
    }
    return false;
}

} // namespace

MulticastSocketWorker::MulticastSocketWorker(QObject *parent)
    : QObject(parent)
    , m_ipv4(this)
    , m_ipv6(this)
    , m_rejoinTimer(this)
{
    m_rejoinTimer.setInterval(rejoinIntervalMs.load());
    connect(&m_rejoinTimer, &QTimer::timeout, this, &MulticastSocketWorker::rejoin);
    connect(&m_ipv4, &QUdpSocket::readyRead, this, [this]() { readPending(m_ipv4); });
    connect(&m_ipv6, &QUdpSocket::readyRead, this, [this]() { readPending(m_ipv6); });
}

void MulticastSocketWorker::setRejoinInterval(int ms)
{
    rejoinIntervalMs.store(ms);
}

bool MulticastSocketWorker::open()
{
    if (m_ipv4.state() != QAbstractSocket::BoundState)
        bindSocket(m_ipv4, QHostAddress::AnyIPv4);
    if (m_ipv6.state() != QAbstractSocket::BoundState)
        bindSocket(m_ipv6, QHostAddress::AnyIPv6);
    if (m_ipv4.state() != QAbstractSocket::BoundState && m_ipv6.state() != QAbstractSocket::BoundState) {
        if (!m_failureReported) {
            LOG_WRN(QStringLiteral("[mDNS] Cannot open UDP port %1; devices on the network cannot be found.")
                        .arg(MdnsPort));
            m_failureReported = true;
        }
        return false;
    }
    rejoin();
    m_rejoinTimer.start();
    return true;
}

bool MulticastSocketWorker::bindSocket(QUdpSocket &socket, const QHostAddress &any)
{
    if (!socket.bind(any, MdnsPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        LOG_DBG0(QStringLiteral("[mDNS] Cannot bind %1 port %2: %3")
                     .arg(any.toString())
                     .arg(MdnsPort)
                     .arg(socket.errorString()));
        return false;
    }
    // RFC 6762 11: sent with IP TTL 255; looped back so responders on this machine hear us.
    socket.setSocketOption(QAbstractSocket::MulticastTtlOption, 255);
    socket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    // A burst of goodbyes outruns even this thread for a moment.
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBufferBytes);
    LOG_DBG0(QStringLiteral("[mDNS] Receive buffer of %1: %2 bytes (asked %3).")
                 .arg(any.toString())
                 .arg(socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt())
                 .arg(ReceiveBufferBytes));
    return true;
}

void MulticastSocketWorker::rejoin()
{
    if (m_ipv4.state() == QAbstractSocket::BoundState)
        joinAll(m_ipv4, Ipv4Group, m_ipv4Interfaces);
    if (m_ipv6.state() == QAbstractSocket::BoundState)
        joinAll(m_ipv6, Ipv6Group, m_ipv6Interfaces);
}

void MulticastSocketWorker::joinAll(QUdpSocket &socket, const QHostAddress &group, QList<QNetworkInterface> &joined)
{
    const QAbstractSocket::NetworkLayerProtocol protocol = group.protocol();
    QList<QNetworkInterface> current;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || !(flags & QNetworkInterface::CanMulticast) || !hasAddressOf(interface, protocol)) {
            continue;
        }
        // Joining again fails harmlessly where the membership still stands; where an
        // interface went away and came back it restores the membership.
        const bool wasJoined = std::any_of(joined.cbegin(), joined.cend(), [&](const QNetworkInterface &known) {
            return known.index() == interface.index();
        });
        if (socket.joinMulticastGroup(group, interface) || wasJoined) {
            current.append(interface);
        } else {
            LOG_DBG0(QStringLiteral("[mDNS] Cannot join %1 on %2: %3")
                         .arg(group.toString(), interface.name(), socket.errorString()));
        }
    }
    joined = current;
}

void MulticastSocketWorker::send(const QByteArray &datagram)
{
    const auto sendOn = [&datagram](QUdpSocket &socket, const QHostAddress &group,
                                    const QList<QNetworkInterface> &interfaces) {
        if (socket.state() != QAbstractSocket::BoundState)
            return;
        for (const QNetworkInterface &interface : interfaces) {
            socket.setMulticastInterface(interface);
            QHostAddress target = group;
            if (group.protocol() == QAbstractSocket::IPv6Protocol)
                target.setScopeId(interface.name());
            if (socket.writeDatagram(datagram, target, MdnsPort) < 0) {
                LOG_DBG1(QStringLiteral("[mDNS] Send on %1 failed: %2").arg(interface.name(), socket.errorString()));
            }
        }
    };
    sendOn(m_ipv4, Ipv4Group, m_ipv4Interfaces);
    sendOn(m_ipv6, Ipv6Group, m_ipv6Interfaces);
}

void MulticastSocketWorker::readPending(QUdpSocket &socket)
{
    QVector<Datagram> read;
    read.reserve(MaxBatch);
    int runts = 0;
    bool signal = false;
    int reads = 0;
    while (reads < MaxReadsAtOnce && socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram();
        if (!datagram.isValid())
            break;
        ++reads;
        if (datagram.data().size() < MinDatagramBytes) {
            ++runts;
            continue;
        }
        read.append({datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort())});
        if (read.size() == MaxBatch)
            signal = enqueue(read, std::exchange(runts, 0)) || signal;
    }
    // Left unread, the rest raises readyRead again once the event loop has had its turn.
    signal = enqueue(read, runts) || signal;
    if (signal)
        emit datagramsWaiting();
}

bool MulticastSocketWorker::enqueue(QVector<Datagram> &read, int runts)
{
    bool started = false;
    qint64 dropped = 0;
    {
        std::lock_guard<std::mutex> locker(m_receivedMutex);
        const bool wasEmpty = m_received.empty();
        m_read += quint64(read.size() + runts);
        for (Datagram &datagram : read) {
            const qint64 cost = costOf(datagram.data);
            if (m_receivedCost + cost > MaxWaitingCost) {
                ++dropped;
                continue;
            }
            m_receivedCost += cost;
            m_received.push_back(std::move(datagram));
        }
        m_dropped += quint64(dropped + runts);
        started = wasEmpty && !m_received.empty();
    }
    read.clear();
    static const QString full = QStringLiteral("[mDNS] Dropped a datagram: %1 MiB wait for the GUI thread already.")
                                    .arg(MaxWaitingCost / (1024 * 1024));
    KVR_LOG_LIMITED_TIMES(m_dropLog, kvr::log::WRN, full, dropped);
    KVR_LOG_LIMITED_TIMES(m_dropLog, kvr::log::DBG1, QStringLiteral("[mDNS] Dropped a datagram shorter than a DNS header."),
                          runts);
    return started;
}

QVector<MulticastSocketWorker::Datagram> MulticastSocketWorker::takeReceived(bool *more)
{
    QVector<Datagram> taken;
    std::lock_guard<std::mutex> locker(m_receivedMutex);
    const int count = int(std::min<size_t>(m_received.size(), MaxBatch));
    taken.reserve(count);
    for (int i = 0; i < count; ++i) {
        m_receivedCost -= costOf(m_received.front().data);
        taken.append(std::move(m_received.front()));
        m_received.pop_front();
    }
    if (more)
        *more = !m_received.empty();
    return taken;
}

MulticastSocketWorker::Backlog MulticastSocketWorker::backlog() const
{
    std::lock_guard<std::mutex> locker(m_receivedMutex);
    return {qint64(m_received.size()), m_receivedCost, m_read, m_dropped};
}

} // namespace mdns
