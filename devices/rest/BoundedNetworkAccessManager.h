#pragma once

#include "core/log/RepeatLimiter.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

class BoundedReply;
class QNetworkReply;

// A QNetworkAccessManager whose replies cannot hold more than a limit: a peer that sends without
// end (an IP camera's video stream on the port typed for a block, say) or declares a length
// beyond it has its reply aborted, by the headers or while the body arrives. Its replies are
// BoundedReply objects, which take the body from Qt's as it comes, so that a reply holds at most
// its limit and Qt's HTTP thread a small window besides. A cut-off reply finishes with
// OperationCanceledError and exceededLimit() true; one line per address says why, its repeats
// counted.
//
// Requests ask for the identity encoding where they name none: Qt inflates a compressed body
// on its HTTP thread, before any bound sees it, and a megabyte of gzip inflates to a gigabyte.
// A body compressed all the same reaches the reader as it came. GUI thread only.
class BoundedNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    // What a block's reply may hold. The largest a block sends (the cubes and cameras of a full
    // block) are a few MB; this is ten times that, and far below what would hurt the launcher.
    static constexpr qint64 DefaultReplyLimit = 32 * 1024 * 1024;
    // A request's own limit in bytes (a qint64), where it is not the default.
    static constexpr QNetworkRequest::Attribute ReplyLimitAttribute = QNetworkRequest::User;

    explicit BoundedNetworkAccessManager(QObject *parent = nullptr);

    static bool exceededLimit(const QNetworkReply *reply);

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    friend class BoundedReply;

    // One transfer of a bounded reply, as Qt makes it.
    QNetworkReply *startTransfer(Operation operation, const QNetworkRequest &request, QIODevice *outgoingData);
    void logCutOff(const BoundedReply &reply);

    kvr::log::RepeatLimiter m_log;
};
