#include "observation/maps/TileServerProbe.h"

#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/BoundedNetworkAccessManager.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// A server that takes the connection but never answers counts as unreachable after this long.
constexpr int kTimeoutMs = 15000;
constexpr int kDefaultRetryMs = 30000;
// No tile comes near it: a 512 x 512 tile is 1 MiB even as an uncompressed bitmap.
constexpr qint64 kMaxTileBytes = 2 * 1024 * 1024;

} // namespace

TileServerProbe::TileServerProbe(QObject *parent)
    : QObject(parent)
{
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(kDefaultRetryMs);
    connect(&m_retryTimer, &QTimer::timeout, this, &TileServerProbe::probe);
}

TileServerProbe::~TileServerProbe()
{
    dropReply();
}

void TileServerProbe::setTileAddress(const QString &address)
{
    if (m_tileAddress == address)
        return;
    m_tileAddress = address;
    emit tileAddressChanged();
    probe();
}

void TileServerProbe::setRetryInterval(int ms)
{
    if (m_retryTimer.interval() == ms)
        return;
    m_retryTimer.setInterval(ms);
    emit retryIntervalChanged();
}

void TileServerProbe::probe()
{
    m_retryTimer.stop();
    dropReply();
    if (m_tileAddress.isEmpty()) {
        setStatus(Status::Unknown);
        return;
    }
    QString address = m_tileAddress;
    address.replace(QLatin1String("%z"), QLatin1String("0"))
        .replace(QLatin1String("%x"), QLatin1String("0"))
        .replace(QLatin1String("%y"), QLatin1String("0"));
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(BoundedNetworkAccessManager::ReplyLimitAttribute, kMaxTileBytes);
    // One tile now and then needs no HTTP thread and connection pool of its own. The probe sends
    // nothing of a block's and only looks for an image, so a connection it might share with a
    // block (same scheme, host and port, whose certificate is not checked) costs nothing.
    m_reply = BlockConnectionManager::sharedNetworkManager()->get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply]() { onFinished(reply); });
}

void TileServerProbe::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void TileServerProbe::onFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    // A captive portal or an error page answers 200 with text: only an image is a tile.
    const bool tile = reply->error() == QNetworkReply::NoError && !QImage::fromData(reply->readAll()).isNull();
    setStatus(tile ? Status::Reachable : Status::Unreachable);
    if (!tile && m_retryTimer.interval() > 0)
        m_retryTimer.start();
}

void TileServerProbe::setStatus(Status status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged();
}
