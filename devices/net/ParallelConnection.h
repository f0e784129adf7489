#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>

// One connection attempt of ConnectionTester: an address, a port and its own socket.
class ParallelConnection : public QObject
{
    Q_OBJECT

public:
    ParallelConnection(const QString &address, int port, QObject *parent = nullptr);
    ~ParallelConnection() override;

    QString address() const { return m_address; }
    int port() const { return m_port; }
    QTcpSocket &socket() { return m_socket; }

signals:
    void connected(int port);

public slots:
    void handleConnect();

private:
    QString m_address;
    qint32 m_port;
    QTcpSocket m_socket;
};
