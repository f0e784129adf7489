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
// TimeoutMs; then it reports `timeout` and its owner deletes it. Lives in the GUI thread.
// Deleting it waits until its thread has ended.
class AddressResolver : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 10000;

    // With an empty host name nothing is started and nothing is ever reported.
    AddressResolver(mdns::AbstractServer *server, const QByteArray &hostname, const QString &serviceId,
                    QObject *parent = nullptr);
    ~AddressResolver() override;

    QByteArray hostname() const { return m_hostname; }
    QString serviceId() const { return m_serviceId; }
    bool isRunning() const { return m_thread.isRunning(); }

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
