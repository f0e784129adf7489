#include "core/net/TCPClient.h"

#include "core/log/Log.h"
#include "core/net/PacketFraming.h"
#include "core/net/TCPConnection.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QTimer>
#include <QVariantMap>

namespace kvr::net {

TCPClient::TCPClient(QObject *parent)
    : TCPClient(std::make_shared<PacketReader>(), parent)
{
}

TCPClient::TCPClient(std::shared_ptr<const PacketReader> reader, QObject *parent)
    : QObject(parent)
    , m_connectTimeout(PacketFraming::DefaultConnectTimeout)
    , m_keepAliveInterval(PacketFraming::DefaultKeepAliveInterval)
    , m_keepAliveTimeout(PacketFraming::DefaultKeepAliveTimeout)
{
    qRegisterMetaType<QHostAddress>("QHostAddress");

    m_reconnectTimer = new QTimer(this);
    m_reconnectTimer->setSingleShot(true);
    m_reconnectTimer->setInterval(ReconnectInterval);
    QObject::connect(m_reconnectTimer, &QTimer::timeout, this, &TCPClient::connect);

    m_connection = new TCPConnection(std::move(reader));
    m_thread.setObjectName(QStringLiteral("TCPConnection"));
    m_connection->moveToThread(&m_thread);
    QObject::connect(m_connection, &TCPConnection::connected, this, &TCPClient::connected);
    QObject::connect(m_connection, &TCPConnection::disconnected, this, &TCPClient::disconnected);
    QObject::connect(m_connection, &TCPConnection::errorOccurred, this, &TCPClient::onError);
    QObject::connect(m_connection, &TCPConnection::packetReceived, this, &TCPClient::onPacketReceived);
    m_thread.start();
}

TCPClient::~TCPClient()
{
    m_reconnectTimer->stop();
    QMetaObject::invokeMethod(m_connection, "shutdown", Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_connection;
}

void TCPClient::setReconnectOnError(bool reconnect)
{
    m_reconnectOnError = reconnect;
    if (!reconnect)
        m_reconnectTimer->stop();
}

void TCPClient::connect()
{
    m_wanted = true;
    m_reconnectTimer->stop();
    QMetaObject::invokeMethod(m_connection, "abort", Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(m_connection, "configure", Qt::QueuedConnection, Q_ARG(int, m_connectTimeout),
                              Q_ARG(int, m_keepAliveInterval), Q_ARG(int, m_keepAliveTimeout),
                              Q_ARG(QByteArray, partyInformation()));
    QMetaObject::invokeMethod(m_connection, "connectToHost", Qt::QueuedConnection,
                              Q_ARG(QHostAddress, m_hostAddress), Q_ARG(quint16, m_port));
}

void TCPClient::disconnect()
{
    m_wanted = false;
    QMetaObject::invokeMethod(m_connection, "disconnectFromHost", Qt::BlockingQueuedConnection);
    m_reconnectTimer->stop();
    QMetaObject::invokeMethod(m_connection, "abort", Qt::QueuedConnection);
}

void TCPClient::sendPacket(quint16 type, const QByteArray &body)
{
    QMetaObject::invokeMethod(m_connection, "sendPacket", Qt::BlockingQueuedConnection, Q_ARG(quint16, type),
                              Q_ARG(QByteArray, body));
}

void TCPClient::packetReceived(quint16 type, const QVariant &value)
{
    Q_UNUSED(type)
    Q_UNUSED(value)
}

void TCPClient::onPacketReceived(quint16 type, const QVariant &value)
{
    packetReceived(type, value);
    if (m_connection->packetHandled())
        QMetaObject::invokeMethod(m_connection, "resumeReading", Qt::QueuedConnection);
}

void TCPClient::onError(const QString &errorString)
{
    LOG_ERR(errorString);
    emit this->errorString(errorString);
    // An error that was already queued when the owner disconnected must not bring the link back.
    if (m_reconnectOnError && m_wanted)
        m_reconnectTimer->start();
}

QByteArray TCPClient::partyInformation() const
{
    QVariantMap party;
    party.insert(QStringLiteral("application_name"), QCoreApplication::applicationName());
    party.insert(QStringLiteral("application_version"), QCoreApplication::applicationVersion());
    party.insert(QStringLiteral("protocol_version"), 1);
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    PacketFraming::prepare(stream);
    stream << party;
    return body;
}

} // namespace kvr::net
