#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslError>

class BoundedNetworkAccessManager;

// The reply BoundedNetworkAccessManager hands out in place of Qt's own: it takes the body from
// Qt's reply as it arrives, so that Qt's HTTP thread holds no more than a small window, keeps it
// for its reader, and aborts the transfer once the body passes the limit or the headers declare
// more. Headers, attributes, errors and signals are Qt's reply's.
//
// Redirects are followed here, each as a transfer of its own under the same window and limit:
// Qt 5.15 gives the transfer it starts after a redirect no read window, and an abort does not
// always reach it. The request's redirect policy (or the manager's) holds as in Qt, but a
// redirect that keeps a request body (307, 308) fails with ContentReSendError: nothing here posts
// where it would be redirected. close() cancels as abort() does, an upload with it. Whatever a
// receiver does from a signal, errorOccurred comes once (a cancel while it is emitted adds none)
// and finished once, last. GUI thread only.
class BoundedReply : public QNetworkReply
{
    Q_OBJECT

public:
    // What Qt's HTTP thread may read ahead of this reply.
    static constexpr qint64 WindowBytes = 1024 * 1024;

    // Starts the transfer at once; `manager` is also the parent.
    BoundedReply(BoundedNetworkAccessManager *manager, QNetworkAccessManager::Operation operation,
                 const QNetworkRequest &request, QIODevice *outgoingData, qint64 limit);
    ~BoundedReply() override;

    qint64 limit() const { return m_limit; }
    bool exceededLimit() const { return m_exceeded; }

    void abort() override;
    void close() override;
    void ignoreSslErrors() override;
    qint64 bytesAvailable() const override;

signals:
    // Emitted once, before the abort finishes the reply.
    void limitExceeded();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
#if QT_CONFIG(ssl)
    void sslConfigurationImplementation(QSslConfiguration &configuration) const override;
    void setSslConfigurationImplementation(const QSslConfiguration &configuration) override;
    void ignoreSslErrorsImplementation(const QList<QSslError> &errors) override;
#endif

private:
    void startTransfer();
    // Ends the running transfer; nothing of it reaches this reply any more.
    void dropTransfer();
    bool isRedirect() const;
    void redirect();
    // Ends the reply with `code` unless it has failed already.
    void fail(NetworkError code, const QString &text);
    void cancel();
    void copyMetaData();
    void take();
    void exceed();
    void finish();

    const QPointer<BoundedNetworkAccessManager> m_manager;
    // The running transfer; none between a redirect and the next.
    QNetworkReply *m_inner = nullptr;
    // What the next transfer asks for.
    QNetworkRequest m_request;
    QPointer<QIODevice> m_outgoingData;
    QNetworkRequest::RedirectPolicy m_redirectPolicy = QNetworkRequest::ManualRedirectPolicy;
    int m_redirectsLeft = 0;
    bool m_redirectPending = false;
#if QT_CONFIG(ssl)
    // For the transfers after a redirect too.
    bool m_ignoreAllSslErrors = false;
    QList<QSslError> m_ignoredSslErrors;
#endif
    const qint64 m_limit;
    qint64 m_received = 0;
    // Unread body from m_offset on.
    QByteArray m_body;
    qint64 m_offset = 0;
    bool m_exceeded = false;
};
