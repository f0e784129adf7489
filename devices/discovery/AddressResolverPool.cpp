#include "devices/discovery/AddressResolverPool.h"

#include "devices/discovery/AddressResolver.h"

#include <algorithm>

AddressResolverPool::AddressResolverPool(mdns::AbstractServer *server, QObject *parent)
    : QObject(parent)
    , m_server(server)
{
}

AddressResolverPool::~AddressResolverPool()
{
    stopAll();
}

void AddressResolverPool::start(const QByteArray &hostname, const QString &serviceId)
{
    const Waiting waiting{hostname, serviceId, false};
    if (m_running.size() >= size_t(MaxRunning))
        m_waiting.push_back(waiting);
    else
        run(waiting);
}

AddressResolver *AddressResolverPool::run(const Waiting &waiting)
{
    auto *resolver = new AddressResolver(m_server, waiting.hostname, waiting.serviceId, this);
    connect(resolver, &AddressResolver::resolved, this, &AddressResolverPool::resolved);
    connect(resolver, &AddressResolver::timeout, this, &AddressResolverPool::stop);
    m_running.push_back(resolver);
    if (waiting.settled)
        resolver->settle();
    return resolver;
}

void AddressResolverPool::settle(const QString &serviceId)
{
    for (AddressResolver *resolver : m_running) {
        if (resolver->serviceId() == serviceId) {
            resolver->settle();
            return;
        }
    }
    for (Waiting &waiting : m_waiting) {
        if (waiting.serviceId == serviceId)
            waiting.settled = true;
    }
}

void AddressResolverPool::stop(const QString &serviceId)
{
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&serviceId](AddressResolver *resolver) {
        return resolver->serviceId() == serviceId;
    });
    if (it == m_running.end()) {
        m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                       [&serviceId](const Waiting &waiting) { return waiting.serviceId == serviceId; }),
                        m_waiting.end());
        return;
    }
    AddressResolver *resolver = *it;
    m_running.erase(it);
    release(resolver);
    startWaiting();
}

void AddressResolverPool::stopAll()
{
    m_waiting.clear();
    const std::vector<AddressResolver *> running = std::move(m_running);
    m_running.clear();
    for (AddressResolver *resolver : running)
        release(resolver);
}

void AddressResolverPool::release(AddressResolver *resolver)
{
    disconnect(resolver, nullptr, this, nullptr);
    // Waits for the resolver's thread to end.
    delete resolver;
}

void AddressResolverPool::startWaiting()
{
    while (m_running.size() < size_t(MaxRunning) && !m_waiting.empty()) {
        const Waiting waiting = m_waiting.front();
        m_waiting.pop_front();
        run(waiting);
    }
}
