#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace mdns {

class AbstractServer;
class Message;

// Finds the A and AAAA addresses of one host name. Each address is reported once.
// Queries are repeated at growing intervals (1 s doubling up to one minute) for as long
// as the resolver lives. It may live in another thread than its server.
class Resolver : public QObject
{
    Q_OBJECT

public:
    Resolver(AbstractServer *server, const QByteArray &name, QObject *parent = nullptr);

    QByteArray name() const { return m_name; }

signals:
    void resolved(const QHostAddress &address);

private slots:
    void query();
    void onMessageReceived(const mdns::Message &message);

private:
    AbstractServer *m_server;
    QByteArray m_name;
    QSet<QHostAddress> m_reported;
    QTimer m_timer;
    int m_interval;
};

} // namespace mdns
