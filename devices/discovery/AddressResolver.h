#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

class AddressResolverWorker;

namespace mdns {
class AbstractServer;
} // namespace mdns

// Resolves the host name of one discovered service in a thread of its own, for at most
// TimeoutMs (SettleMs once settled); then it reports `timeout` and its owner deletes it. Lives in the GUI thread.
// Deleting it waits until its thread has ended.
class AddressResolver : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 10000;
    // How long a resolver that knows one address family still waits for the other: a host
    // with IPv4 only must not hold a thread for the full time-out.
    static constexpr int SettleMs = 500;

    // With an empty host name nothing is started and nothing is ever reported.
    AddressResolver(mdns::AbstractServer *server, const QByteArray &hostname, const QString &serviceId,
                    QObject *parent = nullptr);
    ~AddressResolver() override;

    QByteArray hostname() const { return m_hostname; }
    QString serviceId() const { return m_serviceId; }
    bool isRunning() const { return m_thread.isRunning(); }
    // One family is known: time out within SettleMs (never later than already due).
    void settle();

public slots:
    void stopResolve();

signals:
    void resolved(const QString &serviceId, const QString &address, bool flagIPv4);
    void timeout(const QString &serviceId);

private:
    AddressResolverWorker *m_worker;
    QThread m_thread;
    QByteArray m_hostname;
    QString m_serviceId;
    QTimer m_timer;
    int m_interval = TimeoutMs;
    bool m_started = false;
};
