#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class BlockConnectionManager;
class ConnectionTester;
class FavoriteDeviceModel;
class QJsonDocument;
class QTimer;
class User;

namespace restservice {
class BlockResponse;
}

// The log-in to a block: port test, scheme probes, block information, credentials, the
// retrying tick, refusals and the local or forced log-out. The shell's `Launcher` publishes it
// to QML. GUI thread only.
class BlockLogin : public QObject
{
    Q_OBJECT

public:
    // Published to QML as `Launcher::LoginStatus` and `Launcher::LoginPageState`.
    enum Status {
        NotLoggedIn = 0,
        IncorrectPasswordOrUsername = 1,
        InvalidServerAddress = 2,
        WaitingForResponse = 3,
        LoggedIn = 4,
        Demo = 5,
        ExpiredAccount = 6
    };
    enum PageState { EnteringAddress = 0, EnteringUploadPath = 1, EnteringUserName = 2, EnteringPassword = 3 };

    // What the tick repeats.
    enum class Phase { Authorization = 0, BlockInfo = 1, SslInfo = 2, Idle = 4 };

    // Milliseconds. Tests shorten them to prove a retry or an absence in a few ticks.
    struct Timings
    {
        int tick = 1000;
        int portTest = 3000;
        // A scheme probe unanswered this long is asked again, and a block that has answered
        // nothing this long is reported as not answering while the tick goes on.
        int request = 1500;
    };

    // `favorites` learns the kind of the block and its address rule; it must outlive this.
    explicit BlockLogin(FavoriteDeviceModel *favorites, QObject *parent = nullptr);
    ~BlockLogin() override;

    Timings timings() const { return m_timings; }
    void setTimings(const Timings &timings);
    // The REST ports probed when the typed address names none; 8088 and 8080 in the product.
    void setPorts(const QList<int> &ports) { m_ports = ports; }
    QList<int> ports() const { return m_ports; }

    Status status() const { return m_status; }
    bool inProgress() const { return m_phase != Phase::Idle; }
    PageState pageState() const { return m_pageState; }
    void setPageState(PageState state);
    QString errorMessage() const { return m_errorMessage; }
    QString serverAddress() const { return m_serverAddress; }
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    QString host() const { return m_host; }
    int restPort() const { return m_restPort; }
    QString blockVersion() const { return m_blockVersion; }
    QString blockApiVersion() const { return m_blockApiVersion; }
    QString sessionIdentifier() const { return m_sessionIdentifier; }
    User *user() const { return m_user.get(); }
    BlockConnectionManager *blockConnection() const { return m_blockConnection; }

    void connectToBlock(const QString &serverAddress, const QString &userName, const QString &password);
    void cancel();
    // Local log-out: forgets the user and the session; with `force` the block is told too.
    void logout(bool force);
    void confirmServerAddress(const QString &serverAddress);
    QString connectionString(const QString &serverAddress) const;

    // "user:password@address:port" of "--login": false when the text has no user part.
    static bool parseLoginArgument(const QString &text, QString *address, QString *username, QString *password);

signals:
    void statusChanged();
    void inProgressChanged();
    void pageStateChanged();
    void errorMessageChanged();
    void serverAddressChanged();
    void usernameChanged();
    void blockVersionChanged();
    void userChanged();
    // A new log-in left the input checks and waits for the block.
    void started();
    // The block took the credentials; emitted before the status turns LoggedIn, so that what
    // is recorded of the log-in is on disk when `succeeded` comes.
    void accepted();
    void succeeded();
    void validationFailed();
    void forbidden();
    void expiredAccount();
    void validationTimeout();
    // One beat of the retrying tick, after its request went out.
    void ticked();

private:
    void onTesterConnected();
    void onTesterTimeout();
    void onTick();
    void requestSslInfo();
    void dropSslProbes();
    void processBlockSslInfo(bool https);
    void processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response);
    void processUserInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response);
    const QJsonDocument *replyJson(const restservice::BlockResponse &response);
    void requestValidation();
    void finish(Status status, const QString &message);
    void reportNoResponse();
    void blockAnswered();
    void forgetUser();
    void setStatus(Status status);
    void setPhase(Phase phase);
    void setErrorMessage(const QString &message);
    QString noResponseText() const;

    FavoriteDeviceModel *m_favorites;
    Timings m_timings;
    BlockConnectionManager *m_blockConnection;
    ConnectionTester *m_connectionTester;
    QTimer *m_tick;
    QList<int> m_ports{8088, 8080};

    Phase m_phase = Phase::Idle;
    Status m_status = NotLoggedIn;
    PageState m_pageState = EnteringAddress;
    QString m_errorMessage;
    QString m_serverAddress;
    QString m_username;
    QString m_password;
    QString m_host;
    int m_restPort = 8088;
    QList<BlockConnectionManager *> m_sslProbes;
    QElapsedTimer m_sslProbeAge;
    // Since the block last answered anything (invalid until the first request goes out).
    QElapsedTimer m_silence;
    bool m_silenceReported = false;
    QString m_blockVersion;
    QString m_blockApiVersion;
    QString m_sessionIdentifier;
    std::shared_ptr<User> m_user;
};
