#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QNetworkReply;

// Asks a map tile server for one tile, so that the map can say when its tiles cannot be loaded:
// QtLocation's tile fetcher reports no failure. The address is the map plugin's tile address
// ("%z", "%x" and "%y" in it); the probe asks for the one tile of zoom level 0. Anything but an
// image is a failure, after which the probe asks again every retryInterval ms; so is a reply larger
// than any tile, cut off as it arrives. It asks through the blocks' shared network manager. GUI
// thread only.
class TileServerProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString tileAddress READ tileAddress WRITE setTileAddress NOTIFY tileAddressChanged)
    Q_PROPERTY(int retryInterval READ retryInterval WRITE setRetryInterval NOTIFY retryIntervalChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)

public:
    enum class Status { Unknown, Reachable, Unreachable };
    Q_ENUM(Status)

    explicit TileServerProbe(QObject *parent = nullptr);
    ~TileServerProbe() override;

    QString tileAddress() const { return m_tileAddress; }
    // A new address is asked at once; an empty one leaves the status Unknown.
    void setTileAddress(const QString &address);
    int retryInterval() const { return m_retryTimer.interval(); }
    void setRetryInterval(int ms);
    Status status() const { return m_status; }

signals:
    void tileAddressChanged();
    void retryIntervalChanged();
    void statusChanged();

private:
    void probe();
    // Forgets the request on its way; its answer is never read.
    void dropReply();
    void onFinished(QNetworkReply *reply);
    void setStatus(Status status);

    QPointer<QNetworkReply> m_reply;
    QTimer m_retryTimer;
    QString m_tileAddress;
    Status m_status = Status::Unknown;
};
