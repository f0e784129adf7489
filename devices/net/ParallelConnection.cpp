#include "devices/net/ParallelConnection.h"

ParallelConnection::ParallelConnection(const QString &address, int port, QObject *parent)
    : QObject(parent), m_address(address), m_port(port)
{
    connect(&m_socket, &QTcpSocket::connected, this, &ParallelConnection::handleConnect);
}

ParallelConnection::~ParallelConnection()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.disconnectFromHost();
}

void ParallelConnection::handleConnect()
{
    emit connected(m_port);
}
