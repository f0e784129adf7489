#pragma once

#include "devices/login/BlockSession.h"
#include "devices/rest/BlockConnectionManager.h"
#include "observation/observers/ObservedDevice.h"
#include "observation/status/BlockStatusInfo.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

namespace kvr::QMTClient {
class CubeObserver;
}

// Watches one favourite block: logs in with the favourite's credentials through a BlockSession
// (HTTPS as given, asking again where an operator would be told), reads its cube list in the
// session's follow-up step and then polls status (2000 ms), cube analytics (500 ms) and cube
// cameras (3000 ms) with single-shot timers that each reply re-arms (an unanswered poll ends
// after BlockConnectionManager::PollTimeout).
// GUI thread only; no parent, always owned by a std::shared_ptr.
//
// loginStatus holds BlockSession::Status values (QML compares them with Client.LoggedIn and the
// like); visiblePage and loginPageState values of the launcher's Page and LoginPageState
// enumerations (the launcher sits above this library), blockDeviceType a
// Configuration::DeviceType value.
class DeviceObserver : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ObservedDevice observedDevice READ observedDevice CONSTANT)
    Q_PROPERTY(int visiblePage READ visiblePage WRITE setVisiblePage NOTIFY visiblePageChanged)
    Q_PROPERTY(QString currentVersionNumber READ currentVersionNumber WRITE setCurrentVersionNumber
                   NOTIFY currentVersionNumberChanged)
    Q_PROPERTY(QString autoLogin READ autoLogin WRITE setAutoLogin NOTIFY autoLoginChanged)
    Q_PROPERTY(QString serverURI READ serverURI WRITE setServerURI NOTIFY serverURIChanged)
    Q_PROPERTY(QString loginUsername READ loginUsername WRITE setLoginUsername NOTIFY loginUsernameChanged)
    Q_PROPERTY(QString loginServerAddress READ loginServerAddress WRITE setLoginServerAddress
                   NOTIFY loginServerAddressChanged)
    Q_PROPERTY(QString loginErrorMessage READ loginErrorMessage WRITE setLoginErrorMessage
                   NOTIFY loginErrorMessageChanged)
    Q_PROPERTY(int loginStatus READ loginStatus WRITE setLoginStatus NOTIFY loginStatusChanged)
    Q_PROPERTY(int loginPageState READ loginPageState WRITE setLoginPageState NOTIFY loginPageStateChanged)
    Q_PROPERTY(bool loginButtonAvailable READ loginButtonAvailable WRITE setLoginButtonAvailable
                   NOTIFY loginButtonAvailableChanged)
    Q_PROPERTY(int blockDeviceType READ blockDeviceType WRITE setBlockDeviceType NOTIFY blockDeviceTypeChanged)
    Q_PROPERTY(QString orvaSerialNumber READ orvaSerialNumber WRITE setOrvaSerialNumber
                   NOTIFY orvaSerialNumberChanged)
    Q_PROPERTY(kvr::BlockStatusInfo *blockStatus READ blockStatus CONSTANT)

public:
    enum ObservationState { Observing = 0, NotObserving = 3 };

    explicit DeviceObserver(const ObservedDevice &device);
    ~DeviceObserver() override;

    ObservedDevice observedDevice() const { return m_observedDevice; }
    int visiblePage() const { return m_visiblePage; }
    QString currentVersionNumber() const { return m_currentVersionNumber; }
    QString autoLogin() const { return m_autoLogin; }
    QString serverURI() const { return m_serverURI; }
    QString loginUsername() const { return m_loginUsername; }
    QString loginServerAddress() const { return m_loginServerAddress; }
    QString loginErrorMessage() const { return m_loginErrorMessage; }
    int loginStatus() const { return m_loginStatus; }
    int loginPageState() const { return m_loginPageState; }
    bool loginButtonAvailable() const { return m_loginButtonAvailable; }
    int blockDeviceType() const { return m_blockDeviceType; }
    QString orvaSerialNumber() const { return m_orvaSerialNumber; }
    kvr::BlockStatusInfo *blockStatus() const { return m_blockStatus.get(); }

    // A BlockSession::Phase value; FollowUp while the cube list is read.
    int loginPhase() const { return int(m_session.phase()); }
    int observationState() const { return m_observationState; }
    int restPort() const { return m_session.restPort(); }
    int nodePort() const { return m_nodePort; }
    QString host() const { return m_session.host(); }
    QString sessionIdentifier() const { return m_session.sessionIdentifier(); }
    // True while a timer may still send a request: the log-in's tick or a poll.
    bool timersActive() const;
    // The REST client, to follow requests in flight.
    const BlockConnectionManager &blockConnection() const { return *m_session.restClient(); }
    // The block's cubes by id, ascending.
    QMap<qint32, std::shared_ptr<kvr::QMTClient::CubeObserver>> cubes() const { return m_cubes; }

    Q_INVOKABLE void requestBlockInfo(const QString &serverAddress, int serverPort);
    Q_INVOKABLE void requestLoginValidation(const QString &userName, const QString &password);
    Q_INVOKABLE void startBlockConnection();
    Q_INVOKABLE void connectToBlock(const QString &serverAddress, const QString &userName, const QString &password);
    Q_INVOKABLE void logIn();
    Q_INVOKABLE bool reconnectToBlockEnabled() { return false; }
    Q_INVOKABLE void confirmServerAddress(const QString &serverAddress);
    Q_INVOKABLE void cancelLogin();
    Q_INVOKABLE void logout(bool force);
    Q_INVOKABLE void logout() { logout(false); }

    void setVisiblePage(int page);
    void setCurrentVersionNumber(const QString &version);
    void setAutoLogin(const QString &autoLogin);
    void setServerURI(const QString &uri);
    void setLoginUsername(const QString &userName);
    void setLoginServerAddress(const QString &address);
    void setLoginErrorMessage(const QString &message);
    void setLoginStatus(int status);
    void setLoginPageState(int state);
    void setLoginButtonAvailable(bool available);
    void setBlockDeviceType(int type);
    void setOrvaSerialNumber(const QString &serialNumber);

    // The poll periods; tests and benchmarks may shorten them.
    void setPollIntervals(int blockStatusMs, int analyticsMs, int camerasMs);

signals:
    void visiblePageChanged();
    void currentVersionNumberChanged();
    void autoLoginChanged();
    void serverURIChanged();
    void loginUsernameChanged();
    void loginServerAddressChanged();
    void loginErrorMessageChanged();
    void loginStatusChanged();
    void loginPageStateChanged();
    void loginButtonAvailableChanged();
    void blockDeviceTypeChanged();
    void orvaSerialNumberChanged();
    void userLoginValidationFailed();
    void userLoginForbidden();
    void userLoginSuccess();
    void userLoginValidationTimeout();
    void userLoginExpiredAccount();
    void cubesReady(QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>> cubes);

private slots:
    void onServerDisconnected();

private:
    QString noResponseText() const;
    void onBlockSilent(BlockSession::Silence silence);
    void onBlockInfoRead();
    void onRefused(BlockSession::Refusal refusal);
    void processCubes(const std::shared_ptr<restservice::BlockResponse> &response);
    void processBlockStatusInfo(const std::shared_ptr<restservice::BlockResponse> &response);
    void processCubesAnalyticsInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response);
    void processCubesSourcesInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response);
    void requestCubes();
    // {"cubes": [{"id", "last_timestamp"}...]} in ascending id order; a null stamp is left out.
    QJsonObject pollBody(const std::function<QString(const kvr::QMTClient::CubeObserver &)> &lastTimestamp) const;
    // The "cubes" array of a poll reply; logs a failed status and a body that is no JSON
    // under the handler's name.
    QJsonArray polledCubes(const restservice::BlockResponse &response, const char *function) const;
    void requestCubesAnalyticsInfo();
    void requestCubesCamerasInfo();
    // Stops every poll; replies still in flight then change nothing, because each handler checks
    // the phase or state it was sent in.
    void stopObservation();
    BlockConnectionManager &rest() { return *m_session.restClient(); }

    ObservedDevice m_observedDevice;
    int m_visiblePage = 0;
    QString m_currentVersionNumber;
    QString m_autoLogin;
    QString m_serverURI;
    QString m_loginUsername;
    QString m_loginServerAddress;
    QString m_loginErrorMessage;
    int m_loginStatus = BlockSession::NotLoggedIn;
    int m_loginPageState = 0;
    bool m_loginButtonAvailable = true;
    int m_blockDeviceType = 32;
    QString m_orvaSerialNumber;
    std::shared_ptr<kvr::BlockStatusInfo> m_blockStatus;
    qint32 m_observationState = NotObserving;
    // The tick (autoLogin keeps it running), the port test and the REST client the polls share.
    BlockSession m_session;
    qint32 m_nodePort = -1;
    QTimer m_blockStatusTimer;
    qint32 m_blockStatusInterval = 2000;
    QTimer m_analyticsTimer;
    QTimer m_camerasTimer;
    QMap<qint32, std::shared_ptr<kvr::QMTClient::CubeObserver>> m_cubes;
    bool m_cubesRequestOpen = false; // a "/cubes/all" is on its way; the tick does not ask again
};
