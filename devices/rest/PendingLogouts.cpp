#include "devices/rest/PendingLogouts.h"

#include "core/log/Log.h"
#include "devices/rest/BlockConnectionManager.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

namespace {

QPointer<PendingLogouts> &current()
{
    static QPointer<PendingLogouts> pending;
    return pending;
}

} // namespace

PendingLogouts::PendingLogouts(QObject *parent)
    : QObject(parent)
{
}

PendingLogouts *PendingLogouts::instance()
{
    QPointer<PendingLogouts> &pending = current();
    if (!pending)
        pending = new PendingLogouts(BlockConnectionManager::sharedNetworkManager());
    return pending;
}

bool PendingLogouts::waitForAll(int milliseconds)
{
    QPointer<PendingLogouts> pending = current();
    if (!pending || pending->count() == 0)
        return true;
    LOG_INF(QStringLiteral("[INFO] Waiting for %1 log-out(s) to reach their blocks.").arg(pending->count()));
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(pending, &PendingLogouts::drained, &loop, &QEventLoop::quit);
    deadline.start(milliseconds);
    loop.exec();
    if (!pending || pending->count() == 0)
        return true;
    // Each abort finishes its reply at once, which logs the failure and forgets it.
    const QList<QNetworkReply *> late = pending->m_replies.keys();
    for (QNetworkReply *reply : late)
        reply->abort();
    return false;
}

void PendingLogouts::add(QNetworkReply *reply, bool reported)
{
    m_replies.insert(reply, reported);
    connect(reply, &QNetworkReply::finished, this, [this, reply]() { onFinished(reply); });
    // The application may take the shared manager, and with it the reply, away first.
    connect(reply, &QObject::destroyed, this, [this, reply]() { forget(reply); });
}

void PendingLogouts::onFinished(QNetworkReply *reply)
{
    if (!m_replies.contains(reply))
        return;
    reply->deleteLater();
    if (!m_replies.value(reply)) {
        forget(reply);
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString block = reply->url().authority();
    if (status >= 200 && status < 300)
        LOG_INF(QStringLiteral("[INFO] Logout has finished."));
    else if (status != 0)
        LOG_WRN(QStringLiteral("[ERROR] Logout at %1 failed: HTTP status %2.").arg(block).arg(status));
    else
        LOG_WRN(QStringLiteral("[ERROR] Logout at %1 got no answer: %2.").arg(block, reply->errorString()));
    forget(reply);
}

void PendingLogouts::forget(QNetworkReply *reply)
{
    if (m_replies.remove(reply) && m_replies.isEmpty())
        emit drained();
}
