#include "devices/discovery/AddressResolver.h"

#include "devices/discovery/AddressResolverWorker.h"

AddressResolver::AddressResolver(mdns::AbstractServer *server, const QByteArray &hostname, const QString &serviceId,
                                 QObject *parent)
    : QObject(parent)
    , m_worker(new AddressResolverWorker(server))
    , m_hostname(hostname)
    , m_serviceId(serviceId)
{
    m_thread.setObjectName(QStringLiteral("AddressResolverWorker"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &AddressResolverWorker::resolved, this, &AddressResolver::resolved);
    m_timer.setSingleShot(true);
    m_timer.setInterval(m_interval);
    // Queued: the owner deletes this resolver on `timeout`, which must not happen inside
    // the timer's own signal; a pending call dies with the resolver.
    connect(&m_timer, &QTimer::timeout, this, &AddressResolver::stopResolve, Qt::QueuedConnection);
    if (m_hostname.isEmpty())
        return;
    m_thread.start(QThread::InheritPriority);
    m_started = true;
    const QByteArray name = m_hostname;
    const QString id = m_serviceId;
    AddressResolverWorker *worker = m_worker;
    QMetaObject::invokeMethod(
        m_worker, [worker, name, id]() { worker->startResolve(name, id); }, Qt::QueuedConnection);
    m_timer.start();
}

AddressResolver::~AddressResolver()
{
    m_timer.stop();
    disconnect(m_worker, nullptr, this, nullptr);
    if (m_started) {
        // The worker is deleted in its thread as the thread finishes.
        m_thread.quit();
        m_thread.wait();
    } else {
        delete m_worker;
    }
}

void AddressResolver::settle()
{
    if (!m_started || (m_timer.isActive() && m_timer.remainingTime() <= SettleMs))
        return;
    m_timer.start(SettleMs);
}

void AddressResolver::stopResolve()
{
    emit timeout(m_serviceId);
}
