#include "devices/net/ConnectionTester.h"

#include "core/property/AssignProperty.h"
#include "devices/net/ParallelConnection.h"

namespace {

// Users may start a new series from a slot of connected(), i.e. while the attempt's socket is
// still emitting; the attempt is therefore silenced at once and deleted later.
void releaseAttempt(ParallelConnection *attempt)
{
    attempt->disconnect();
    attempt->socket().disconnect();
    attempt->deleteLater();
}

} // namespace

ConnectionTester::ConnectionTester(int timeoutPeriod, QObject *parent)
    : QObject(parent), m_timeoutPeriod(timeoutPeriod)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ConnectionTester::handleTimeout);
}

ConnectionTester::~ConnectionTester() = default;

void ConnectionTester::setAddress(const QString &address)
{
    m_address = address;
    m_answeredPorts.clear();
    m_connections.clear();
    setProcessed(false);
}

void ConnectionTester::addConnection(int port)
{
    if (m_address.isEmpty())
        return;
    m_connections.append(std::shared_ptr<ParallelConnection>(new ParallelConnection(m_address, port),
                                                             releaseAttempt));
}

void ConnectionTester::start()
{
    m_timer.start(m_timeoutPeriod);
    for (const auto &attempt : qAsConst(m_connections)) {
        connect(attempt.get(), &ParallelConnection::connected, this, &ConnectionTester::handlePortConnected,
                Qt::UniqueConnection);
        QTcpSocket &socket = attempt->socket();
        if (socket.state() == QAbstractSocket::UnconnectedState)
            socket.connectToHost(m_address, quint16(attempt->port()), QIODevice::ReadOnly,
                                 QAbstractSocket::AnyIPProtocol);
    }
}

void ConnectionTester::stop()
{
    m_timer.stop();
    for (const auto &attempt : qAsConst(m_connections)) {
        disconnect(attempt.get(), &ParallelConnection::connected, this, &ConnectionTester::handlePortConnected);
        if (attempt->socket().state() == QAbstractSocket::ConnectedState)
            attempt->socket().disconnectFromHost();
    }
}

void ConnectionTester::storePort(const QString &address, int port)
{
    if (!address.isEmpty() && port >= 0)
        m_storedPorts[address] = port;
}

int ConnectionTester::storedPort(const QString &address) const
{
    return m_storedPorts.value(address, -1);
}

void ConnectionTester::acceptActivePort()
{
    if (!m_address.isEmpty() && m_activePort >= 0)
        m_storedPorts[m_address] = m_activePort;
    setProcessed(false);
    stop();
}

bool ConnectionTester::selectActivePort()
{
    if (m_answeredPorts.isEmpty())
        return false;
    if (m_answeredPorts.size() == 1) {
        m_activePort = m_answeredPorts.first();
        return true;
    }
    const int index = m_answeredPorts.indexOf(m_activePort);
    if (index < 0)
        return true;
    m_activePort = index == m_answeredPorts.size() - 1 ? m_answeredPorts.first() : m_answeredPorts.at(index + 1);
    return true;
}

void ConnectionTester::setEnabled(bool enabled)
{
    assignProperty(this, m_enabled, enabled, &ConnectionTester::enabledChanged);
}

void ConnectionTester::setProcessed(bool processed)
{
    assignProperty(this, m_processed, processed, &ConnectionTester::processedChanged);
}

void ConnectionTester::setActivePort(int port)
{
    assignProperty(this, m_activePort, port, &ConnectionTester::activePortChanged);
}

void ConnectionTester::setTimeoutPeriod(int milliseconds)
{
    m_timeoutPeriod = milliseconds;
}

void ConnectionTester::handlePortConnected(int port)
{
    if (m_answeredPorts.contains(port))
        return;
    m_answeredPorts.append(port);
    setActivePort(port);
    emit connected();
}

void ConnectionTester::handleTimeout()
{
    stop();
    emit timeout();
}
