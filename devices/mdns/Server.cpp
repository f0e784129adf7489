#include "devices/mdns/Server.h"

#include "core/log/Log.h"
#include "devices/mdns/MessageCodec.h"
#include "devices/mdns/MulticastTransport.h"
#include "devices/mdns/Transport.h"

#include <QThread>

namespace mdns {

namespace {
constexpr quint16 MdnsPort = 5353;
}

Server::Server(QObject *parent)
    : Server(new MulticastTransport, parent)
{
}

Server::Server(Transport *transport, QObject *parent)
    : AbstractServer(parent)
    , m_transport(transport)
{
    m_transport->setParent(this);
    connect(m_transport, &Transport::datagramReceived, this, &Server::onDatagramReceived);
}

Server::~Server() = default;

void Server::sendMessage(const Message &message)
{
    if (QThread::currentThread() != thread()) {
        // The sockets belong to the server's thread.
        QMetaObject::invokeMethod(this, [this, message]() { send(message); }, Qt::QueuedConnection);
        return;
    }
    send(message);
}

void Server::send(const Message &message)
{
    QByteArray datagram;
    if (!MessageCodec::encode(message, datagram)) {
        LOG_WRN(QStringLiteral("[mDNS] Message cannot be encoded, not sent."));
        return;
    }
    if (!m_transport->isOpen() && !m_transport->open())
        return;
    m_transport->send(datagram);
}

void Server::onDatagramReceived(const QByteArray &datagram, const QHostAddress &sender, quint16 port)
{
    Message message;
    if (!MessageCodec::decode(datagram, message)) {
        LOG_DBG2(QStringLiteral("[mDNS] Dropped a malformed datagram of %1 bytes from %2.")
                     .arg(datagram.size())
                     .arg(sender.toString()));
        return;
    }
    // RFC 6762 18.3, 18.11: other opcodes and non-zero response codes are ignored;
    // section 6: responses must come from port 5353.
    if (message.opcode() != 0 || message.responseCode() != 0)
        return;
    if (message.isResponse() && port != MdnsPort)
        return;
    message.setAddress(sender);
    message.setPort(port);
    emit messageReceived(message);
}

} // namespace mdns
