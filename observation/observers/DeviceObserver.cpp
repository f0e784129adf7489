#include "observation/observers/DeviceObserver.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/entries/Configuration.h"
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

const int kDefaultRestPort = 8088;
const int kDefaultNodePort = 5556;

// An observer logs in unattended: HTTPS as given, the block asked again where an operator would
// be told, its cube list read before the log-in counts as done; the observer page's log-out
// (forced) ends a session that a local one kept.
BlockSession::Options sessionOptions()
{
    BlockSession::Options options;
    options.probeScheme = false;
    options.keepAsking = true;
    options.followUp = true;
    options.localLogoutKeepsSession = true;
    return options;
}

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
      m_session(sessionOptions())
{
    qRegisterMetaType<QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>>>(
        "QVector<std::shared_ptr<kvr::QMTClient::CubeObserver> >");
    // QML reads these through raw pointers; its garbage collector must never take them.
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_blockStatus.get(), QQmlEngine::CppOwnership);

    connect(&m_session, &BlockSession::blockSilent, this, &DeviceObserver::onBlockSilent);
    connect(&m_session, &BlockSession::blockInfoRead, this, &DeviceObserver::onBlockInfoRead);
    connect(&m_session, &BlockSession::refused, this, &DeviceObserver::onRefused);
    connect(&m_session, &BlockSession::accepted, this, &DeviceObserver::userLoginSuccess);
    // A cube list that failed is asked for again; one on its way is waited for.
    connect(&m_session, &BlockSession::followUpDue, this, [this]() {
        if (!m_cubesRequestOpen)
            requestCubes();
    });
    connect(this, &DeviceObserver::userLoginSuccess, this, &DeviceObserver::requestCubes);
    connect(this, &DeviceObserver::userLoginValidationTimeout, &m_session, &BlockSession::startTick);

    BlockConnectionManager *client = m_session.restClient();
    connect(client, &BlockConnectionManager::blockStatusInfoReceived, this, &DeviceObserver::processBlockStatusInfo);
    connect(client, &BlockConnectionManager::cubesResponseReceived, this, &DeviceObserver::processCubes);
    connect(client, &BlockConnectionManager::cubesAnalyticsInfoResponseReceived, this,
            &DeviceObserver::processCubesAnalyticsInfoResponse);
    connect(client, &BlockConnectionManager::cubesCamerasInfoResponseReceived, this,
            &DeviceObserver::processCubesSourcesInfoResponse);
    connect(client, &BlockConnectionManager::noBlockServerResponse, this, &DeviceObserver::onServerDisconnected);

    // A coarse timer may fire up to 5 % early; a block is never asked again sooner than its period.
    for (QTimer *poll : {&m_blockStatusTimer, &m_analyticsTimer, &m_camerasTimer})
        poll->setTimerType(Qt::PreciseTimer);
    m_blockStatusTimer.setSingleShot(true);
    m_blockStatusTimer.setInterval(m_blockStatusInterval);
    m_analyticsTimer.setSingleShot(true);
    m_analyticsTimer.setInterval(500);
    m_camerasTimer.setSingleShot(true);
    m_camerasTimer.setInterval(3000);
    connect(&m_blockStatusTimer, &QTimer::timeout, client, &BlockConnectionManager::requestBlockStatusInfo);
    connect(&m_analyticsTimer, &QTimer::timeout, this, &DeviceObserver::requestCubesAnalyticsInfo);
    connect(&m_camerasTimer, &QTimer::timeout, this, &DeviceObserver::requestCubesCamerasInfo);
}

DeviceObserver::~DeviceObserver() = default;

bool DeviceObserver::timersActive() const
{
    return m_session.isTicking() || m_blockStatusTimer.isActive() || m_analyticsTimer.isActive()
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
           + QString::number(kDefaultRestPort) + tr(" on the Block's machine.");
}

void DeviceObserver::requestBlockInfo(const QString &serverAddress, int serverPort)
{
    m_session.requestBlockInfo(serverAddress, serverPort);
}

void DeviceObserver::requestLoginValidation(const QString &userName, const QString &password)
{
    m_session.requestCredentials(userName, password);
}

void DeviceObserver::startBlockConnection()
{
    m_session.startBlockConnection();
}

void DeviceObserver::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    QString host = serverAddress.trimmed();
    m_loginUsername = userName.trimmed();
    int restPort = kDefaultRestPort;
    m_nodePort = kDefaultNodePort;
    // "host:rest:node": an address that names its ports is used as it is, without probing.
    int unusedPort = 0;
    const bool namesPorts = splitAddressPorts(host, &restPort, &m_nodePort, &unusedPort);
    setServerURI(host);
    setLoginErrorMessage(QString());

    stopObservation();
    setLoginStatus(BlockSession::NotLoggedIn);
    setLoginButtonAvailable(true);
    m_session.logIn(host, namesPorts ? restPort : BlockSession::TestPorts, m_loginUsername, password);
}

void DeviceObserver::logIn()
{
    if (m_loginStatus == BlockSession::WaitingForResponse)
        return;
    setLoginStatus(BlockSession::WaitingForResponse);
    requestLoginValidation(m_loginUsername, m_session.password());
}

void DeviceObserver::confirmServerAddress(const QString &serverAddress)
{
    m_loginServerAddress = serverAddress;
    setLoginPageState(2);
}

void DeviceObserver::stopObservation()
{
    m_blockStatusTimer.stop();
    m_analyticsTimer.stop();
    m_camerasTimer.stop();
    m_observationState = NotObserving;
    m_cubesRequestOpen = false;
}

void DeviceObserver::cancelLogin()
{
    stopObservation();
    setLoginStatus(BlockSession::NotLoggedIn);
    // A log-in reply still on its way must not log in behind the operator's back.
    m_session.cancel();
    setLoginButtonAvailable(true);
}

void DeviceObserver::logout(bool force)
{
    m_session.logout(force);
    setLoginStatus(BlockSession::NotLoggedIn);
    setLoginButtonAvailable(true);
    stopObservation();
}

void DeviceObserver::onBlockSilent(BlockSession::Silence silence)
{
    // The credentials are posted again without a word; the operator is not watching them. A reply
    // cut off for its size counts as none.
    const bool noReply = silence == BlockSession::Silence::NoReply || silence == BlockSession::Silence::AnsweredTooMuch;
    if (silence == BlockSession::Silence::NotAnswering
        || (noReply && m_session.phase() == BlockSession::Phase::BlockInfo))
        setLoginErrorMessage(noResponseText());
}

void DeviceObserver::onBlockInfoRead()
{
    setLoginErrorMessage(QString());
    const QString blockVersion = m_session.blockVersion();
    setBlockDeviceType(m_session.deviceKind());
    setCurrentVersionNumber(blockVersion);
    setOrvaSerialNumber(m_session.serialNumber());
    m_observedDevice.setCompatible(
        LauncherConfig::isVersionAtLeast(removeLastVersionPart(blockVersion), QStringLiteral("1.17")));
    setLoginStatus(BlockSession::WaitingForResponse);
}

void DeviceObserver::onRefused(BlockSession::Refusal refusal)
{
    switch (refusal) {
    case BlockSession::Refusal::Forbidden:
        setLoginErrorMessage(tr("The user %1 is not allowed to log in to this %2.")
                                 .arg(m_loginUsername, BrandConfiguration::instance()->deviceName()));
        setLoginStatus(BlockSession::NotLoggedIn);
        setLoginButtonAvailable(true);
        emit userLoginForbidden();
        break;
    case BlockSession::Refusal::ExpiredAccount:
        setLoginStatus(BlockSession::ExpiredAccount);
        setLoginButtonAvailable(true);
        emit userLoginExpiredAccount();
        break;
    case BlockSession::Refusal::WrongCredentials:
    case BlockSession::Refusal::NoAccess:
        setLoginStatus(BlockSession::IncorrectPasswordOrUsername);
        setLoginButtonAvailable(true);
        emit userLoginValidationFailed();
        break;
    case BlockSession::Refusal::Unreadable:
        // Never: an observer's session asks again instead.
        break;
    }
}

void DeviceObserver::requestCubes()
{
    m_cubesRequestOpen = true;
    rest().requestCubes();
}

void DeviceObserver::processCubes(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_session.phase() != BlockSession::Phase::FollowUp)
        return;
    m_cubesRequestOpen = false;
    const int status = response->statusCode;
    if (status == 0) {
        setLoginErrorMessage(noResponseText());
        m_session.startTick();
        return;
    }
    if (status != 200) {
        qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        m_session.startTick();
        return;
    }
    setLoginErrorMessage(QString());
    m_observationState = Observing;
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document) {
        m_observationState = NotObserving;
        m_session.startTick();
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
        cube->setBlockHostAddress(rest().address());
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

    m_session.completeLogin();
    setLoginStatus(BlockSession::LoggedIn);
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
    rest().requestCubesAnalyticsInfo(pollBody([](const kvr::QMTClient::CubeObserver &cube) {
        return QString::number(cube.analyticInfo()->timestamp());
    }));
}

void DeviceObserver::requestCubesCamerasInfo()
{
    // A cube whose camera has no status yet is listed by its id alone.
    rest().requestCubesCamerasInfo(pollBody([](const kvr::QMTClient::CubeObserver &cube) {
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
    // The handler's name is only needed for a line to log; polls come many times a second.
    if (response.statusCode != 200) {
        KVR_LOG_AT(kvr::log::ERR, kvr::log::functionName(function),
                   QStringLiteral("Received error state %1").arg(response.statusCode));
    }
    const QJsonDocument *document = response.data.kind == restservice::ResponseData::Json
                                        ? response.responseDataToJson() : nullptr;
    if (!document || !document->isObject()) {
        KVR_LOG_AT(kvr::log::WRN, kvr::log::functionName(function), QStringLiteral("Cannot convert data to JSON!"));
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
    assignProperty(this, m_visiblePage, page, &DeviceObserver::visiblePageChanged);
}

void DeviceObserver::setCurrentVersionNumber(const QString &version)
{
    assignProperty(this, m_currentVersionNumber, version, &DeviceObserver::currentVersionNumberChanged);
}

void DeviceObserver::setAutoLogin(const QString &autoLogin)
{
    // With an automatic log-in the tick outlives a stop and asks the block again by itself.
    m_session.setTickKept(!autoLogin.isEmpty());
    assignProperty(this, m_autoLogin, autoLogin, &DeviceObserver::autoLoginChanged);
}

void DeviceObserver::setServerURI(const QString &uri)
{
    assignProperty(this, m_serverURI, uri, &DeviceObserver::serverURIChanged);
}

void DeviceObserver::setLoginUsername(const QString &userName)
{
    assignProperty(this, m_loginUsername, userName, &DeviceObserver::loginUsernameChanged);
}

void DeviceObserver::setLoginServerAddress(const QString &address)
{
    assignProperty(this, m_loginServerAddress, address, &DeviceObserver::loginServerAddressChanged);
}

void DeviceObserver::setLoginErrorMessage(const QString &message)
{
    assignProperty(this, m_loginErrorMessage, message, &DeviceObserver::loginErrorMessageChanged);
}

void DeviceObserver::setLoginStatus(int status)
{
    assignProperty(this, m_loginStatus, status, &DeviceObserver::loginStatusChanged);
}

void DeviceObserver::setLoginPageState(int state)
{
    assignProperty(this, m_loginPageState, state, &DeviceObserver::loginPageStateChanged);
}

void DeviceObserver::setLoginButtonAvailable(bool available)
{
    assignProperty(this, m_loginButtonAvailable, available, &DeviceObserver::loginButtonAvailableChanged);
}

void DeviceObserver::setBlockDeviceType(int type)
{
    assignProperty(this, m_blockDeviceType, type, &DeviceObserver::blockDeviceTypeChanged);
}

void DeviceObserver::setOrvaSerialNumber(const QString &serialNumber)
{
    assignProperty(this, m_orvaSerialNumber, serialNumber, &DeviceObserver::orvaSerialNumberChanged);
}
