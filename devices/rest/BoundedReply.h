#pragma once

#include <QByteArray>
#include <QNetworkReply>

// The reply BoundedNetworkAccessManager hands out in place of Qt's own: it takes the body from
// Qt's reply as it arrives, so that Qt's HTTP thread holds no more than a small window, keeps it
// for its reader, and aborts the transfer once the body passes the limit or the headers declare
// more. Headers, attributes, errors and signals are Qt's reply's. GUI thread only.
class BoundedReply : public QNetworkReply
{
    Q_OBJECT

public:
    // What Qt's HTTP thread may read ahead of this reply.
    static constexpr qint64 WindowBytes = 1024 * 1024;

    // Takes over `inner` and owns it.
    BoundedReply(QNetworkReply *inner, qint64 limit, QObject *parent = nullptr);
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
    void copyMetaData();
    void take();
    void exceed();
    void finish();

    QNetworkReply *const m_inner;
    const qint64 m_limit;
    qint64 m_received = 0;
    // Unread body from m_offset on.
    QByteArray m_body;
    qint64 m_offset = 0;
    bool m_exceeded = false;
};
