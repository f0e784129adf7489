#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <vector>

class AddressResolver;

namespace mdns {
class AbstractServer;
} // namespace mdns

// The address resolvers of the discovered services, at most one per service and at most
// MaxRunning at once: a flood of announcements must not start thousands of threads, so
// further services wait in arrival order. A resolver ends when its owner stops it, when it
// times out, or soon after settle() (one family known), so that its thread goes to the next
// waiting service. Lives in the GUI thread; the resolvers are its children.
class AddressResolverPool : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRunning = 64;

    // The server is not owned and must outlive the pool.
    explicit AddressResolverPool(mdns::AbstractServer *server, QObject *parent = nullptr);
    ~AddressResolverPool() override;

    void start(const QByteArray &hostname, const QString &serviceId);
    // One address family of the service is known: its resolver waits only a short time more
    // for the other (AddressResolver::SettleMs), also when it is still waiting to start.
    void settle(const QString &serviceId);
    // Running or waiting, the service's resolver goes; a thread it frees goes to the next one.
    void stop(const QString &serviceId);
    void stopAll();

signals:
    void resolved(const QString &serviceId, const QString &address, bool flagIPv4);

private:
    struct Waiting
    {
        QByteArray hostname;
        QString serviceId;
        bool settled = false;
    };

    AddressResolver *run(const Waiting &waiting);
    void release(AddressResolver *resolver);
    void startWaiting();

    mdns::AbstractServer *m_server;
    std::vector<AddressResolver *> m_running;
    std::deque<Waiting> m_waiting;
};
