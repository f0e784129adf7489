#pragma once

#include "devices/login/BlockSession.h"

#include <QList>
#include <QObject>
#include <QString>

class BlockConnectionManager;
class FavoriteDeviceModel;
class User;

// The shell's log-in to a block: checks what the operator typed, runs a BlockSession that
// probes the scheme, and turns its events into the states and texts of the log-in page; a log-in
// writes the block's kind to the favourites and its versions to the launcher's settings. The
// shell's `Launcher` publishes it to QML. GUI thread only.
class BlockLogin : public QObject
{
    Q_OBJECT

public:
    // Published to QML as `Launcher::LoginStatus` and `Launcher::LoginPageState`.
    using Status = BlockSession::Status;
    enum PageState { EnteringAddress = 0, EnteringUploadPath = 1, EnteringUserName = 2, EnteringPassword = 3 };
    using Timings = BlockSession::Timings;

    // `favorites` learns the kind of the block and its address rule; it must outlive this.
    explicit BlockLogin(FavoriteDeviceModel *favorites, QObject *parent = nullptr);
    ~BlockLogin() override;

    Timings timings() const { return m_session->timings(); }
    void setTimings(const Timings &timings) { m_session->setTimings(timings); }
    // The REST ports probed when the typed address names none; 8088 and 8080 in the product.
    void setPorts(const QList<int> &ports) { m_session->setPorts(ports); }
    QList<int> ports() const { return m_session->ports(); }

    Status status() const { return m_status; }
    bool inProgress() const { return m_session->isActive(); }
    PageState pageState() const { return m_pageState; }
    void setPageState(PageState state);
    QString errorMessage() const { return m_errorMessage; }
    QString serverAddress() const { return m_serverAddress; }
    QString username() const { return m_username; }
    QString password() const { return m_session->password(); }
    QString host() const { return m_session->host(); }
    int restPort() const { return m_session->restPort(); }
    QString blockVersion() const { return m_blockVersion; }
    QString blockApiVersion() const { return m_session->apiVersion(); }
    QString sessionIdentifier() const { return m_session->sessionIdentifier(); }
    User *user() const { return m_session->user(); }
    BlockConnectionManager *blockConnection() const { return m_session->restClient(); }

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
    void onBlockSilent(BlockSession::Silence silence);
    void onBlockInfoRead();
    void onRefused(BlockSession::Refusal refusal, int httpStatus);
    void onLoggedIn();
    void finish(Status status, const QString &message);
    void reportNoResponse();
    void setStatus(Status status);
    void setErrorMessage(const QString &message);
    QString noResponseText() const;

    FavoriteDeviceModel *m_favorites;
    BlockSession *m_session;
    Status m_status = BlockSession::NotLoggedIn;
    PageState m_pageState = EnteringAddress;
    QString m_errorMessage;
    QString m_serverAddress;
    QString m_username;
    QString m_blockVersion;
};
