#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class BlockConnectionManager;
class ConnectionTester;
class QJsonDocument;
class QTimer;
class User;

namespace restservice {
class BlockResponse;
}

// One log-in to a block over its REST interface: the port test, the scheme probe, the block
// information, the credentials, the retrying tick, refusals and the local or forced log-out.
// It owns the REST client that carries the session's token. Its owners (the shell's log-in, each
// device observer) turn its signals into their own states and texts; it never calls upward.
// GUI thread only.
class BlockSession : public QObject
{
    Q_OBJECT

public:
    // The log-in states under the values QML knows (Client.LoggedIn, ...): the shell publishes
    // them, a device observer holds them as integers.
    enum Status {
        NotLoggedIn = 0,
        IncorrectPasswordOrUsername = 1,
        InvalidServerAddress = 2,
        WaitingForResponse = 3,
        LoggedIn = 4,
        Demo = 5,
        ExpiredAccount = 6
    };

    // What the tick repeats. FollowUp is the owner's own step after the credentials.
    enum class Phase { Authorization = 0, BlockInfo = 1, SslInfo = 2, FollowUp = 3, Idle = 4 };

    enum class Silence {
        // No port took the connection within the port test's time-out, or the scheme probes
        // got no HTTP answer within the request time-out.
        NotAnswering,
        // Neither scheme's probe got through.
        Unreachable,
        // The request of the current phase ended without an answer.
        NoReply,
        // The device at the address sent more than a block ever does (a video stream, say):
        // its reply was cut off. It is there, but most likely no block.
        AnsweredTooMuch
    };

    enum class Refusal {
        WrongCredentials, // 401 "auth_error"
        Forbidden,        // 403 "forbidden"
        ExpiredAccount,   // 410 "expired_account"
        NoAccess,         // any other answer without access tokens
        Unreadable        // a reply that is no JSON object (only where the log-in does not keep asking)
    };

    // Milliseconds. Tests shorten them to prove a retry or an absence in a few ticks.
    struct Timings
    {
        int tick = 1000;
        int portTest = 3000;
        // A scheme probe unanswered this long is asked again, and a block that has answered
        // nothing this long is reported as not answering while the tick goes on.
        int request = 1500;
    };

    struct Options
    {
        // Asks "/block_ssl_info" over HTTPS and HTTP once a port answers. Without it the block
        // speaks HTTPS, and "/block_info" is asked at once on the given, remembered or first
        // port while the port test runs beside it.
        bool probeScheme = true;
        // An unreadable reply, or a failure on the block's side to the credentials, is asked
        // again by the tick instead of ending the log-in (nobody is there to read a message).
        bool keepAsking = false;
        // After the credentials the log-in stays in Phase::FollowUp, beating followUpDue(),
        // until the owner calls completeLogin().
        bool followUp = false;
        // A local log-out keeps the session identifier, so that a forced one later still ends
        // the session on the block.
        bool localLogoutKeepsSession = false;
    };

    // For logIn(): no port given, the port test picks one of ports().
    static constexpr int TestPorts = -1;

    explicit BlockSession(const Options &options, QObject *parent = nullptr);
    ~BlockSession() override;

    Options options() const { return m_options; }
    Timings timings() const { return m_timings; }
    void setTimings(const Timings &timings);
    // The REST ports tested when the address names none; 8088 and 8080 in the product.
    QList<int> ports() const { return m_ports; }
    void setPorts(const QList<int> &ports) { m_ports = ports; }
    // While set, logIn(), cancel() and logout() leave the tick running: in an idle phase it
    // stops at its next beat.
    void setTickKept(bool kept) { m_tickKept = kept; }

    Phase phase() const { return m_phase; }
    bool isActive() const { return m_phase != Phase::Idle; }
    bool isTicking() const;
    QString host() const { return m_host; }
    int restPort() const { return m_restPort; }
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    // What the last "/block_info" said.
    QString blockVersion() const { return m_blockVersion; }
    QString apiVersion() const { return m_apiVersion; }
    int deviceKind() const { return m_deviceKind; }
    QString serialNumber() const { return m_serialNumber; }
    QString sessionIdentifier() const { return m_sessionIdentifier; }
    User *user() const { return m_user.get(); }
    BlockConnectionManager *restClient() const { return m_restClient; }

    // A new log-in: forgets the last user and starts the block connection. `port` is the REST
    // port, or TestPorts.
    void logIn(const QString &host, int port, const QString &username, const QString &password);
    // The first requests of a log-in: the port test and, without the scheme probe, the block
    // information.
    void startBlockConnection();
    void requestBlockInfo(const QString &host, int port);
    // Posts the credentials; the tick posts them again while the phase lasts.
    void requestCredentials(const QString &username, const QString &password);
    // Ends the follow-up step: the log-in is complete.
    void completeLogin();
    // (Re)starts the tick.
    void startTick();
    void cancel();
    // Local log-out: forgets the user and the session; with `force` the block is told too, by a
    // request that outlives this session.
    void logout(bool force);

signals:
    // isActive() changed.
    void activeChanged();
    void userChanged();
    void blockSilent(BlockSession::Silence silence);
    // "/block_info" was answered with an error status; the tick asks again.
    void blockInfoFailed(int httpStatus);
    // "/block_info" was read (see blockVersion() and the like); the credentials go next.
    void blockInfoRead();
    // The log-in ended without a user.
    void refused(BlockSession::Refusal refusal, int httpStatus);
    // The block took the credentials: user, token and session identifier are set.
    void accepted();
    // The log-in is complete and no longer in progress.
    void loggedIn();
    // One beat of the tick in Phase::FollowUp.
    void followUpDue();
    // One beat of the tick, after its request went out.
    void ticked();

private:
    Phase firstPhase() const { return m_options.probeScheme ? Phase::SslInfo : Phase::BlockInfo; }
    void onTesterConnected();
    void onTesterTimeout();
    void onTick();
    void rotatePort();
    void requestFirst();
    void requestSslInfo();
    void dropSslProbes();
    void processBlockSslInfo(bool https);
    void processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response);
    void processCredentials(const std::shared_ptr<restservice::BlockResponse> &response);
    const QJsonDocument *replyJson(const restservice::BlockResponse &response, const char *function);
    void unreadable(int httpStatus);
    void refuse(Refusal refusal, int httpStatus);
    void reportSilence(Silence silence);
    void blockAnswered();
    // A reply was cut off for its size: the device is there, but most likely no block.
    void deviceSentTooMuch();
    void askAgainLater();
    void end();
    void forgetUser();
    void setPhase(Phase phase);

    const Options m_options;
    Timings m_timings;
    QList<int> m_ports{8088, 8080};
    bool m_tickKept = false;
    BlockConnectionManager *m_restClient;
    ConnectionTester *m_tester;
    QTimer *m_tick;

    Phase m_phase = Phase::Idle;
    QString m_host;
    int m_restPort = 8088;
    bool m_portGiven = false;
    bool m_https = false;
    QString m_username;
    QString m_password;
    QList<BlockConnectionManager *> m_sslProbes;
    QElapsedTimer m_sslProbeAge;
    // A scheme probe of the current round was cut off for its size.
    bool m_probeSentTooMuch = false;
    // Since the first request the block has not answered (invalid while none waits).
    QElapsedTimer m_silence;
    bool m_silenceReported = false;
    QString m_blockVersion;
    QString m_apiVersion;
    int m_deviceKind = 0;
    QString m_serialNumber;
    QString m_sessionIdentifier;
    std::shared_ptr<User> m_user;
};
