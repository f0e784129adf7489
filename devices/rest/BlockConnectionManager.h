#pragma once

#include "devices/rest/BlockResponse.h"
#include "devices/rest/RestService.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// REST client of one block. GUI thread only. Every request is answered exactly once on its own
// signal with the record created for it, also when the block did not answer (status 0).
// Requests go through one QNetworkAccessManager shared by every client (one HTTP thread and one
// connection pool for all blocks); each request carries its client's address, token,
// certificate rule and transfer time-out. Replies still in flight when the client is destroyed
// are aborted and dropped without a signal, except log-outs: PendingLogouts sees them through.
class BlockConnectionManager : public QObject
{
    Q_OBJECT

public:
    // Diagnostic switches; all off in the product.
    struct Diagnostics
    {
        bool logEveryRequest = false;
        bool logSuccessfulReplies = false;
        bool requestStatistics = false; // open requests per operation, logged every 1000 ms
        bool trafficMonitoring = false; // bytes sent and received, logged every 1000 ms
        // The caller expects failures and handles them (a probe): replies log nothing.
        bool quietReplies = false;
    };

    explicit BlockConnectionManager(QObject *parent = nullptr, QString accessToken = QString());
    BlockConnectionManager(QObject *parent, QString accessToken, const Diagnostics &diagnostics);
    ~BlockConnectionManager() override;

    QString address() const { return m_address; }
    int port() const { return m_port; }
    bool useHttps() const { return m_useHttps; }
    QString accessToken() const { return m_accessToken; }
    QString apiVersion() const { return m_apiVersion; }
    QString baseAddress() const { return m_baseAddress; }
    // Requests of one operation sent and not yet handled.
    int openRequests(restservice::Operation operation) const { return m_openRequests.value(operation, 0); }
    // Milliseconds without traffic after which a request ends with status 0; 0: never. For the
    // requests sent afterwards. Polls (block status, cube analytics and cameras) and log-outs
    // have shorter limits of their own, which a shorter time-out here still shortens.
    int transferTimeout() const { return m_transferTimeout; }
    void setTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }

    // The manager every client sends through, made on first use and owned by the application.
    // For blocks' REST requests and the map's tile probe only: it pools connections by scheme,
    // host and port, whatever certificate rule a later request brings. A reply that grows past
    // BoundedNetworkAccessManager's limit is answered with status 0 and `tooLarge` set.
    static QNetworkAccessManager *sharedNetworkManager();

    // A poll unanswered this long ends with status 0, so that a silent block is shown offline
    // within a poll period more and polled again; longer than a slow block takes to answer.
    static constexpr int PollTimeout = 4000;
    // A log-out outlives its client, and a program that quits waits for it this long at most.
    static constexpr int LogoutTimeout = 2000;

signals:
    void accessTokenChanged(QString accessToken);
    void addressChanged(QString address);
    void serverAvailable(bool available);
    void blockInfoReceived(std::shared_ptr<restservice::BlockResponse> response);
    void blockStatusInfoReceived(std::shared_ptr<restservice::BlockResponse> response);
    void blockSslInfoResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void cubesResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void cubesAnalyticsInfoResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void cubesCamerasInfoResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void userInfoResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void userLogoutResponseReceived(std::shared_ptr<restservice::BlockResponse> response);
    void noBlockServerResponse();

public slots:
    void setAccessToken(const QString &token);
    void setApiVersion(const QString &version);
    // HTTPS: "https://address:port/api", certificates of this client's requests not verified
    // (the block signs its own); HTTP: "http://address:port".
    void setUrl(const QString &address, int port, bool useHttps);
    void requestBlockInfo();
    void requestBlockStatusInfo();
    void requestBlockSslInfo();
    void requestCubes();
    void requestCubesAnalyticsInfo(const QJsonObject &json);
    void requestCubesCamerasInfo(const QJsonObject &json);
    void requestUserValidation(const QJsonObject &object);
    // Outlives this client (see PendingLogouts); with `reported` its end is logged there.
    void requestUserLogout(const QJsonObject &json, bool reported = false);

private slots:
    void incrementRequest(restservice::Operation operation);
    void decrementRequest(restservice::Operation operation);
    void processMonitoringData();

private:
    using ResponseSignal = void (BlockConnectionManager::*)(std::shared_ptr<restservice::BlockResponse>);

    // The reply, owned by the shared manager, goes once it has been answered.
    QNetworkReply *sendRequest(const char *functionName, restservice::Operation operation, const QString &path,
                               const QJsonObject *body, ResponseSignal answer, bool reportsAvailability);
    bool processReply(QNetworkReply *reply, const std::shared_ptr<restservice::BlockResponse> &response,
                      const char *functionName, bool reportNoResponse);
    void printError(const char *functionName, int code, int cubeId, int analyticId, const QString &reason,
                    const QString &message);
    void logRequestStatistics();

    // Null once the application took the shared manager, and with it the replies, away.
    QPointer<QNetworkAccessManager> m_network;
    // Sent and not yet finished, oldest first: the shared manager owns them, this client
    // answers them.
    QList<QNetworkReply *> m_replies;
    int m_transferTimeout;
    quint32 m_nextRequestId = 0;
    QMap<restservice::Operation, qint32> m_openRequests;
    bool m_logEveryRequest = false;
    bool m_quietReplies = false;
    bool m_logSuccessfulReplies = false;
    bool m_requestStatistics = false;
    bool m_trafficMonitoring = false;
    QTimer m_statisticsTimer;
    QString m_address;
    qint32 m_port = 0;
    bool m_useHttps = false;
    QString m_accessToken;
    QString m_apiVersion;
    QString m_baseAddress;
    QString m_scheme;
    QTimer m_trafficTimer;
    qint32 m_bytesReceived = 0;
    qint32 m_bytesSent = 0;
    QMap<QString, QList<qint32>> m_trafficHistory;
    // Relaxed copy, applied to HTTPS requests of this client only. Made by the first HTTPS
    // address: an empty QSslConfiguration already loads and initialises OpenSSL.
    std::optional<QSslConfiguration> m_sslConfiguration;
};
