#include "devices/rest/BoundedNetworkAccessManager.h"

#include "core/log/Log.h"
#include "devices/rest/BoundedReply.h"

#include <QLocale>
#include <QNetworkReply>

BoundedNetworkAccessManager::BoundedNetworkAccessManager(QObject *parent)
    : QNetworkAccessManager(parent)
{
}

bool BoundedNetworkAccessManager::exceededLimit(const QNetworkReply *reply)
{
    const auto *bounded = qobject_cast<const BoundedReply *>(reply);
    return bounded && bounded->exceededLimit();
}

QNetworkReply *BoundedNetworkAccessManager::createRequest(Operation operation, const QNetworkRequest &request,
                                                          QIODevice *outgoingData)
{
    const qint64 limit = request.attribute(ReplyLimitAttribute, DefaultReplyLimit).toLongLong();
    auto *reply = new BoundedReply(this, operation, request, outgoingData, limit);
    connect(reply, &BoundedReply::limitExceeded, this, [this, reply]() { logCutOff(*reply); });
    return reply;
}

QNetworkReply *BoundedNetworkAccessManager::startTransfer(Operation operation, const QNetworkRequest &request,
                                                          QIODevice *outgoingData)
{
    if (request.hasRawHeader("Accept-Encoding"))
        return QNetworkAccessManager::createRequest(operation, request, outgoingData);
    QNetworkRequest identity = request;
    identity.setRawHeader("Accept-Encoding", "identity");
    return QNetworkAccessManager::createRequest(operation, identity, outgoingData);
}

void BoundedNetworkAccessManager::logCutOff(const BoundedReply &reply)
{
    // The address without its path: a block's polls of several paths make one line.
    const QString address = reply.url().adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment
                                                 | QUrl::RemoveUserInfo).toString();
    LOG_WRN_LIMITED(m_log, QStringLiteral("[REST] %1 answered with more than %2; the reply was cut off.")
                               .arg(address, QLocale::c().formattedDataSize(reply.limit(), 0)));
}
