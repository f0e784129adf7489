#pragma once

#include "devices/net/ConnectionTester.h"
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

// Watches one favourite block: finds its REST port, reads its information, logs in with the
// favourite's credentials, reads its cube list and then polls status (2000 ms), cube analytics
// (500 ms) and cube cameras (3000 ms) with single-shot timers that each reply re-arms.
// GUI thread only; no parent, always owned by a std::shared_ptr.
//
// visiblePage, loginStatus and loginPageState hold values of the launcher's Page, LoginStatus
// and LoginPageState enumerations (the launcher sits above this library; QML compares them with
// Client.LoggedIn and the like), blockDeviceType a Configuration::DeviceType value.
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
    // The launcher's LoginStatus values this class sets.
    enum LoginStatusValue {
        NotLoggedIn = 0,
        IncorrectPasswordOrUsername = 1,
        WaitingForResponse = 3,
        LoggedIn = 4,
        ExpiredAccount = 6,
    };
    // What the 1000 ms connection tick repeats.
    enum LoginPhase { LoginRequest = 0, BlockInformation = 1, CubeList = 3, Idle = 4 };
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

    int loginPhase() const { return m_loginPhase; }
    int observationState() const { return m_observationState; }
    int restPort() const { return m_restPort; }
    int nodePort() const { return m_nodePort; }
    QString host() const { return m_host; }
    QString sessionIdentifier() const { return m_sessionIdentifier; }
    // True while a timer may still send a request: the connection tick or a poll.
    bool timersActive() const;
    // The REST client, to follow requests in flight.
    const BlockConnectionManager &blockConnection() const { return m_blockConnection; }
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
    void connectionTick();
    void onTesterConnected();
    void onTesterTimeout();
    void processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response);
    void processUserInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response);
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
    // Ends a log-in that the block refused; the tick stops asking.
    void endLogin(int status, const QString &message);
    // Stops every poll and the tick (unless autoLogin keeps it); replies still in flight then
    // change nothing, because each handler checks the phase or state it was sent in.
    void stopObservation();

    ObservedDevice m_observedDevice;
    int m_visiblePage = 0;
    QString m_currentVersionNumber;
    QString m_autoLogin;
    QString m_serverURI;
    QString m_loginUsername;
    QString m_loginServerAddress;
    QString m_loginErrorMessage;
    int m_loginStatus = NotLoggedIn;
    int m_loginPageState = 0;
    bool m_loginButtonAvailable = true;
    int m_blockDeviceType = 32;
    QString m_orvaSerialNumber;
    std::shared_ptr<kvr::BlockStatusInfo> m_blockStatus;
    qint32 m_loginPhase = Idle;
    qint32 m_observationState = NotObserving;
    qint32 m_noResponsePort = 8088;
    ConnectionTester m_connectionTester;
    qint32 m_restPort = 8088;
    qint32 m_nodePort = -1;
    QString m_host;
    QString m_password;
    QJsonObject m_authRequestBody;
    bool m_useHttps = true;
    QString m_sessionIdentifier;
    QTimer m_connectionTimer;
    QTimer m_blockStatusTimer;
    qint32 m_blockStatusInterval = 2000;
    QTimer m_analyticsTimer;
    QTimer m_camerasTimer;
    BlockConnectionManager m_blockConnection;
    QMap<qint32, std::shared_ptr<kvr::QMTClient::CubeObserver>> m_cubes;
    bool m_cubesRequestOpen = false; // a "/cubes/all" is on its way; the tick does not ask again
};
