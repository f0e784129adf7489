#include "observation/observers/DeviceObserver.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "devices/entries/Configuration.h"
#include "devices/rest/User.h"
#include "observation/camera/CameraObserver.h"
#include "observation/observers/CubeObserver.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/CMClientInfoWrapper.h"
#include "observation/status/SourceInfo.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQmlEngine>

namespace {

const int kConnectionTickMs = 1000;
const int kTesterTimeoutMs = 3000;
const int kDefaultRestPort = 8088;
const int kFallbackRestPort = 8080;
const int kDefaultNodePort = 5556;

// The reply body as a JSON object; null with the handlers' "[FATAL]" warning when it is none.
const QJsonDocument *replyJson(const restservice::BlockResponse &response, const char *function)
{
    const QJsonDocument *document = response.responseDataToJson();
    if (!document || !document->isObject()) {
        qWarning().noquote() << "[FATAL]" << function << "Cannot convert data to JSON!";
        return nullptr;
    }
    return document;
}

} // namespace

DeviceObserver::DeviceObserver(const ObservedDevice &device)
    : m_observedDevice(device),
      m_blockStatus(std::make_shared<kvr::BlockStatusInfo>()),
      m_connectionTester(kTesterTimeoutMs)
{
    qRegisterMetaType<QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>>>(
        "QVector<std::shared_ptr<kvr::QMTClient::CubeObserver> >");
    // QML reads these through raw pointers; its garbage collector must never take them.
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_blockStatus.get(), QQmlEngine::CppOwnership);

    m_connectionTimer.setInterval(kConnectionTickMs);
    m_connectionTimer.setSingleShot(false);
    connect(&m_connectionTimer, &QTimer::timeout, this, &DeviceObserver::connectionTick);

    connect(this, &DeviceObserver::userLoginSuccess, this, [this]() {
        m_loginPhase = CubeList;
        requestCubes();
    });
    connect(this, &DeviceObserver::userLoginValidationFailed, this, [this]() {
        m_loginPhase = Idle;
        setLoginStatus(IncorrectPasswordOrUsername);
        setLoginButtonAvailable(true);
    });
    connect(this, &DeviceObserver::userLoginExpiredAccount, this, [this]() {
        m_loginPhase = Idle;
        setLoginStatus(ExpiredAccount);
        setLoginButtonAvailable(true);
    });
    connect(this, &DeviceObserver::userLoginValidationTimeout, this, [this]() { m_connectionTimer.start(); });
    // Posting the same credentials again changes nothing for an account the block keeps out.
    connect(this, &DeviceObserver::userLoginForbidden, this, [this]() {
        endLogin(NotLoggedIn, tr("The user %1 is not allowed to log in to this %2.")
                                  .arg(m_loginUsername, BrandConfiguration::instance()->deviceName()));
    });

    connect(&m_connectionTester, &ConnectionTester::connected, this, &DeviceObserver::onTesterConnected);
    connect(&m_connectionTester, &ConnectionTester::timeout, this, &DeviceObserver::onTesterTimeout);

    // A coarse timer may fire up to 5 % early; a block is never asked again sooner than its period.
    for (QTimer *poll : {&m_blockStatusTimer, &m_analyticsTimer, &m_camerasTimer})
        poll->setTimerType(Qt::PreciseTimer);
    m_blockStatusTimer.setSingleShot(true);
    m_blockStatusTimer.setInterval(m_blockStatusInterval);
    m_analyticsTimer.setSingleShot(true);
    m_analyticsTimer.setInterval(500);
    m_camerasTimer.setSingleShot(true);
    m_camerasTimer.setInterval(3000);
    connect(&m_blockStatusTimer, &QTimer::timeout, &m_blockConnection, &BlockConnectionManager::requestBlockStatusInfo);
    connect(&m_analyticsTimer, &QTimer::timeout, this, &DeviceObserver::requestCubesAnalyticsInfo);
    connect(&m_camerasTimer, &QTimer::timeout, this, &DeviceObserver::requestCubesCamerasInfo);
}

DeviceObserver::~DeviceObserver() = default;

bool DeviceObserver::timersActive() const
{
    return m_connectionTimer.isActive() || m_blockStatusTimer.isActive() || m_analyticsTimer.isActive()
           || m_camerasTimer.isActive();
}

void DeviceObserver::setPollIntervals(int blockStatusMs, int analyticsMs, int camerasMs)
{
    m_blockStatusInterval = blockStatusMs;
    m_blockStatusTimer.setInterval(blockStatusMs);
    m_analyticsTimer.setInterval(analyticsMs);
    m_camerasTimer.setInterval(camerasMs);
}

QString DeviceObserver::noResponseText() const
{
    return tr("No response from the ORVA Block. Check the entered block address and the availability of TCP port ")
           + QString::number(m_noResponsePort) + tr(" on the Block's machine.");
}

void DeviceObserver::requestBlockInfo(const QString &serverAddress, int serverPort)
{
    m_blockConnection.setUrl(serverAddress, serverPort, m_useHttps);
    m_blockConnection.requestBlockInfo();
}

void DeviceObserver::requestLoginValidation(const QString &userName, const QString &password)
{
    m_authRequestBody.insert(QStringLiteral("username"), userName);
    m_authRequestBody.insert(QStringLiteral("password"), password);
    m_loginPhase = LoginRequest;
    m_blockConnection.requestUserValidation(m_authRequestBody);
}

void DeviceObserver::startBlockConnection()
{
    if (m_connectionTester.enabled() && m_connectionTester.storedPort(m_host) >= 0)
        m_restPort = m_connectionTester.storedPort(m_host);
    m_connectionTester.setAddress(m_host);
    if (m_connectionTester.enabled()) {
        m_connectionTester.addConnection(kDefaultRestPort);
        m_connectionTester.addConnection(kFallbackRestPort);
    }
    m_blockConnection.setUrl(m_host, m_restPort, m_useHttps);
    m_blockConnection.requestBlockInfo();
    // Also without ports to probe: its time-out reports a block that does not answer.
    m_connectionTester.start();
}

void DeviceObserver::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    m_restPort = kDefaultRestPort;
    m_noResponsePort = kDefaultRestPort;
    m_host = serverAddress.trimmed();
    m_loginUsername = userName.trimmed();
    m_password = password;

    disconnect(&m_blockConnection, nullptr, this, nullptr);
    connect(&m_blockConnection, &BlockConnectionManager::blockInfoReceived, this, &DeviceObserver::processBlockInfo);
    connect(&m_blockConnection, &BlockConnectionManager::blockStatusInfoReceived, this,
            &DeviceObserver::processBlockStatusInfo);
    connect(&m_blockConnection, &BlockConnectionManager::userInfoResponseReceived, this,
            &DeviceObserver::processUserInfoResponse);
    connect(&m_blockConnection, &BlockConnectionManager::cubesResponseReceived, this, &DeviceObserver::processCubes);
    connect(&m_blockConnection, &BlockConnectionManager::cubesAnalyticsInfoResponseReceived, this,
            &DeviceObserver::processCubesAnalyticsInfoResponse);
    connect(&m_blockConnection, &BlockConnectionManager::cubesCamerasInfoResponseReceived, this,
            &DeviceObserver::processCubesSourcesInfoResponse);
    connect(&m_blockConnection, &BlockConnectionManager::noBlockServerResponse, this,
            &DeviceObserver::onServerDisconnected);

    m_nodePort = kDefaultNodePort;
    // "host:rest:node": an address that names its ports is used as it is, without probing.
    int unusedPort = 0;
    const bool namesPorts = splitAddressPorts(m_host, &m_restPort, &m_nodePort, &unusedPort);
    m_connectionTester.setEnabled(!namesPorts);
    setServerURI(m_host);
    setLoginErrorMessage(QString());

    stopObservation();
    setLoginStatus(NotLoggedIn);
    m_loginPhase = BlockInformation;
    setLoginButtonAvailable(true);

    startBlockConnection();
}

void DeviceObserver::logIn()
{
    if (m_loginStatus == WaitingForResponse)
        return;
    setLoginStatus(WaitingForResponse);
    requestLoginValidation(m_loginUsername, m_password);
}

void DeviceObserver::confirmServerAddress(const QString &serverAddress)
{
    m_loginServerAddress = serverAddress;
    setLoginPageState(2);
}

void DeviceObserver::stopObservation()
{
    m_blockStatusTimer.stop();
    if (m_autoLogin.isEmpty())
        m_connectionTimer.stop();
    m_analyticsTimer.stop();
    m_camerasTimer.stop();
    m_observationState = NotObserving;
    m_cubesRequestOpen = false;
}

void DeviceObserver::cancelLogin()
{
    stopObservation();
    setLoginStatus(NotLoggedIn);
    m_loginPhase = Idle;
    setLoginButtonAvailable(true);
}

void DeviceObserver::logout(bool force)
{
    // Only a session the block gave us can be ended there.
    if (force && !m_sessionIdentifier.isEmpty()) {
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), m_sessionIdentifier);
        m_blockConnection.requestUserLogout(body);
        m_sessionIdentifier.clear();
    }
    setLoginStatus(NotLoggedIn);
    setLoginButtonAvailable(true);
    stopObservation();
    // A log-in reply still on its way must not log in again behind the operator's back.
    m_loginPhase = Idle;
    m_blockConnection.setAccessToken(QString());
    LOG_INF(QStringLiteral("[INFO] Logout has finished."));
}

void DeviceObserver::endLogin(int status, const QString &message)
{
    m_loginPhase = Idle;
    m_connectionTimer.stop();
    m_connectionTester.stop();
    setLoginErrorMessage(message);
    setLoginStatus(status);
    setLoginButtonAvailable(true);
}

void DeviceObserver::onTesterConnected()
{
    if (!m_connectionTester.enabled() || m_connectionTester.activePort() < 0 || m_loginPhase != BlockInformation
        || m_connectionTimer.isActive())
        return;
    m_restPort = m_connectionTester.activePort();
    requestBlockInfo(m_host, m_restPort);
    m_connectionTimer.start();
}

void DeviceObserver::onTesterTimeout()
{
    if (m_loginPhase != BlockInformation || m_connectionTimer.isActive())
        return;
    setLoginErrorMessage(noResponseText());
    m_connectionTimer.start();
    if (!m_connectionTester.processed())
        m_connectionTester.setProcessed(true);
}

void DeviceObserver::connectionTick()
{
    switch (m_loginPhase) {
    case LoginRequest:
        m_blockConnection.requestUserValidation(m_authRequestBody);
        break;
    case BlockInformation:
        if (m_connectionTester.enabled()) {
            if (m_connectionTester.selectActivePort()) {
                m_restPort = m_connectionTester.activePort();
                m_blockConnection.setUrl(m_host, m_restPort, m_useHttps);
            }
            m_connectionTester.stop();
            m_connectionTester.start();
        }
        m_blockConnection.requestBlockInfo();
        break;
    case CubeList:
        // A cube list that failed is asked for again; one on its way is waited for.
        if (!m_cubesRequestOpen)
            requestCubes();
        break;
    case Idle:
        m_connectionTimer.stop();
        break;
    default:
        break;
    }
}

void DeviceObserver::processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response)
{
    // A late answer (after a log-in went on, was cancelled or ended) starts nothing.
    if (m_loginPhase != BlockInformation)
        return;
    const int status = response->statusCode;
    if (status == 0) {
        setLoginErrorMessage(noResponseText());
        m_connectionTimer.start();
        if (!m_connectionTester.processed())
            m_connectionTester.setProcessed(true);
        return;
    }
    if (status != 200) {
        qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        m_connectionTimer.start();
        return;
    }
    m_connectionTester.acceptActivePort();
    setLoginErrorMessage(QString());
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document)
        return;
    const QJsonObject info = document->object();
    QString blockVersion;
    QString apiVersion;
    if (info.contains(QStringLiteral("Api_Version")) && info.contains(QStringLiteral("Block_Version"))) {
        blockVersion = info.value(QStringLiteral("Block_Version")).toString();
        apiVersion = info.value(QStringLiteral("Api_Version")).toString();
    } else {
        blockVersion = info.value(QStringLiteral("block_version")).toString();
        apiVersion = info.value(QStringLiteral("api_version")).toString();
    }
    setBlockDeviceType(deviceTypeFromString(info.value(QStringLiteral("block_host_device_type")).toString()));
    setCurrentVersionNumber(blockVersion);
    setOrvaSerialNumber(info.value(QStringLiteral("orva_serial_number")).toString());
    m_observedDevice.setCompatible(
        LauncherConfig::isVersionAtLeast(removeLastVersionPart(blockVersion), QStringLiteral("1.17")));
    m_blockConnection.setApiVersion(apiVersion);
    if (m_loginStatus != WaitingForResponse) {
        setLoginStatus(WaitingForResponse);
        requestLoginValidation(m_loginUsername, m_password);
    }
}

void DeviceObserver::processUserInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_loginPhase != LoginRequest)
        return;
    const int status = response->statusCode;
    // No answer, or a block that failed on its side: the tick posts the credentials again.
    if (status == 0 || (status != 200 && (status < 400 || status >= 500))) {
        if (status != 0)
            qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        if (!m_connectionTimer.isActive())
            m_connectionTimer.start();
        return;
    }
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document) {
        if (!m_connectionTimer.isActive())
            m_connectionTimer.start();
        return;
    }
    QString reason;
    response->extractErrorResponse(nullptr, &reason, nullptr);
    if (status == 401 && reason == QLatin1String("auth_error")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Unauthorized - auth_error";
        emit userLoginValidationFailed();
        return;
    }
    if (status == 403 && reason == QLatin1String("forbidden")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Forbidden";
        emit userLoginForbidden();
        return;
    }
    if (status == 410 && reason == QLatin1String("expired_account")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Gone";
        emit userLoginExpiredAccount();
        return;
    }
    // Only a successful answer carries a user; any other refusal is a failed log-in.
    const User user(status == 200 ? document->object() : QJsonObject());
    if (user.accessTokens().isEmpty()) {
        qWarning().noquote() << "[Warning]" << Q_FUNC_INFO << "Logged user has no access tokens! Can't login!";
        emit userLoginValidationFailed();
        return;
    }
    m_sessionIdentifier = document->object().value(QStringLiteral("session_identifier")).toString();
    m_blockConnection.setAccessToken(user.accessTokens().first());
    emit userLoginSuccess();
}

void DeviceObserver::requestCubes()
{
    m_cubesRequestOpen = true;
    m_blockConnection.requestCubes();
}

void DeviceObserver::processCubes(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_loginPhase != CubeList)
        return;
    m_cubesRequestOpen = false;
    const int status = response->statusCode;
    if (status == 0) {
        setLoginErrorMessage(noResponseText());
        m_connectionTimer.start();
        return;
    }
    if (status != 200) {
        qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        m_connectionTimer.start();
        return;
    }
    setLoginErrorMessage(QString());
    m_observationState = Observing;
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document) {
        m_observationState = NotObserving;
        m_connectionTimer.start();
        return;
    }
    QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>> added;
    const QJsonArray list = document->object().value(QStringLiteral("cubes")).toArray();
    for (const QJsonValue &entry : list) {
        const QJsonObject object = entry.toObject();
        const int id = object.value(QStringLiteral("id")).toInt(0);
        if (m_cubes.contains(id))
            continue;
        // A Brimvale block's first three cubes are its own processing units, not cameras' cubes.
        if (m_blockDeviceType == Configuration::Brimvale && id < 3)
            continue;
        auto cube = std::make_shared<kvr::QMTClient::CubeObserver>(m_observedDevice, object);
        cube->setBlockHostAddress(m_blockConnection.address());
        if (m_observedDevice.compatible())
            cube->connectCamerasToNodes(quint16(m_nodePort));
        added.append(cube);
        m_cubes.insert(cube->cubeId(), cube);
    }
    emit cubesReady(added);

    requestCubesAnalyticsInfo();
    requestCubesCamerasInfo();
    m_blockStatusTimer.start(m_blockStatusInterval);
    m_analyticsTimer.start();
    m_camerasTimer.start();

    m_loginPhase = Idle;
    m_connectionTimer.stop();
    setLoginStatus(LoggedIn);
    LOG_INF(QStringLiteral("[INFO] Login was successful."));
}

QJsonObject DeviceObserver::pollBody(const std::function<QString(const kvr::QMTClient::CubeObserver &)> &lastTimestamp) const
{
    QJsonArray list;
    for (auto it = m_cubes.cbegin(); it != m_cubes.cend(); ++it) {
        QJsonObject entry;
        entry.insert(QStringLiteral("id"), it.value()->cubeId());
        const QString stamp = lastTimestamp(*it.value());
        if (!stamp.isNull())
            entry.insert(QStringLiteral("last_timestamp"), stamp);
        list.append(entry);
    }
    QJsonObject body;
    body.insert(QStringLiteral("cubes"), list);
    return body;
}

void DeviceObserver::requestCubesAnalyticsInfo()
{
    m_blockConnection.requestCubesAnalyticsInfo(pollBody([](const kvr::QMTClient::CubeObserver &cube) {
        return QString::number(cube.analyticInfo()->timestamp());
    }));
}

void DeviceObserver::requestCubesCamerasInfo()
{
    // A cube whose camera has no status yet is listed by its id alone.
    m_blockConnection.requestCubesCamerasInfo(pollBody([](const kvr::QMTClient::CubeObserver &cube) {
        const kvr::QMTClient::CameraObserver *camera = cube.currentCamera();
        if (!camera || !camera->sourceInfo())
            return QString();
        return QString::number(camera->sourceInfo()->cmClientInfo()->cmClientInfo().sourceTimestamp().getDataTimestampMS());
    }));
}

void DeviceObserver::processBlockStatusInfo(const std::shared_ptr<restservice::BlockResponse> &response)
{
    // After a log-out or a new connection, a reply still on its way re-arms nothing.
    if (m_observationState != Observing)
        return;
    m_blockStatusTimer.start(m_blockStatusInterval);
    if (!m_loginButtonAvailable || response->statusCode != 200)
        return;
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (document)
        m_blockStatus->read(document->object());
}

QJsonArray DeviceObserver::polledCubes(const restservice::BlockResponse &response, const char *function) const
{
    const QString handler = kvr::log::functionName(function);
    if (response.statusCode != 200)
        KVR_LOG_AT(kvr::log::ERR, handler, QStringLiteral("Received error state %1").arg(response.statusCode));
    const QJsonDocument *document = response.data.kind == restservice::ResponseData::Json
                                        ? response.responseDataToJson() : nullptr;
    if (!document || !document->isObject()) {
        KVR_LOG_AT(kvr::log::WRN, handler, QStringLiteral("Cannot convert data to JSON!"));
        return QJsonArray();
    }
    return document->object().value(QStringLiteral("cubes")).toArray();
}

void DeviceObserver::processCubesAnalyticsInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_observationState != Observing)
        return;
    m_analyticsTimer.start();
    if (response->statusCode == 0) {
        LOG_ERR(QStringLiteral("Received error state %1").arg(response->statusCode));
        onServerDisconnected();
        return;
    }
    for (const QJsonValue &entry : polledCubes(*response, Q_FUNC_INFO)) {
        const QJsonObject object = entry.toObject();
        if (const auto cube = m_cubes.value(object.value(QStringLiteral("id")).toInt(-1))) {
            cube->setObserverOnline(true);
            cube->processAnalyticInfo(object.value(QStringLiteral("analytic_info")).toObject());
        }
    }
}

void DeviceObserver::processCubesSourcesInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_observationState != Observing)
        return;
    m_camerasTimer.start();
    if (response->statusCode == 0) {
        LOG_ERR(QStringLiteral("Received error state %1").arg(response->statusCode));
        return;
    }
    for (const QJsonValue &entry : polledCubes(*response, Q_FUNC_INFO)) {
        const QJsonObject object = entry.toObject();
        if (const auto cube = m_cubes.value(object.value(QStringLiteral("id")).toInt(-1)))
            cube->updateCameraSourceInfo(object.value(QStringLiteral("camera_info")).toObject());
    }
}

void DeviceObserver::onServerDisconnected()
{
    for (auto it = m_cubes.cbegin(); it != m_cubes.cend(); ++it) {
        it.value()->setObserverOnline(false);
        kvr::QMTClient::CameraObserver *camera = it.value()->currentCamera();
        if (camera && camera->sourceInfo())
            camera->sourceInfo()->cmClientInfo()->setSourceState(QStringLiteral("unknown"));
    }
}

void DeviceObserver::setVisiblePage(int page)
{
    if (m_visiblePage == page)
        return;
    m_visiblePage = page;
    emit visiblePageChanged();
}

void DeviceObserver::setCurrentVersionNumber(const QString &version)
{
    if (m_currentVersionNumber == version)
        return;
    m_currentVersionNumber = version;
    emit currentVersionNumberChanged();
}

void DeviceObserver::setAutoLogin(const QString &autoLogin)
{
    if (m_autoLogin == autoLogin)
        return;
    m_autoLogin = autoLogin;
    emit autoLoginChanged();
}

void DeviceObserver::setServerURI(const QString &uri)
{
    if (m_serverURI == uri)
        return;
    m_serverURI = uri;
    emit serverURIChanged();
}

void DeviceObserver::setLoginUsername(const QString &userName)
{
    if (m_loginUsername == userName)
        return;
    m_loginUsername = userName;
    emit loginUsernameChanged();
}

void DeviceObserver::setLoginServerAddress(const QString &address)
{
    if (m_loginServerAddress == address)
        return;
    m_loginServerAddress = address;
    emit loginServerAddressChanged();
}

void DeviceObserver::setLoginErrorMessage(const QString &message)
{
    if (m_loginErrorMessage == message)
        return;
    m_loginErrorMessage = message;
    emit loginErrorMessageChanged();
}

void DeviceObserver::setLoginStatus(int status)
{
    if (m_loginStatus == status)
        return;
    m_loginStatus = status;
    emit loginStatusChanged();
}

void DeviceObserver::setLoginPageState(int state)
{
    if (m_loginPageState == state)
        return;
    m_loginPageState = state;
    emit loginPageStateChanged();
}

void DeviceObserver::setLoginButtonAvailable(bool available)
{
    if (m_loginButtonAvailable == available)
        return;
    m_loginButtonAvailable = available;
    emit loginButtonAvailableChanged();
}

void DeviceObserver::setBlockDeviceType(int type)
{
    if (m_blockDeviceType == type)
        return;
    m_blockDeviceType = type;
    emit blockDeviceTypeChanged();
}

void DeviceObserver::setOrvaSerialNumber(const QString &serialNumber)
{
    if (m_orvaSerialNumber == serialNumber)
        return;
    m_orvaSerialNumber = serialNumber;
    emit orvaSerialNumberChanged();
}
