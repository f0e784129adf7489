#include "app/login/BlockLogin.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "devices/entries/Configuration.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/net/ConnectionTester.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/BlockResponse.h"
#include "devices/rest/User.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

// A scheme probe's failure is expected (a TLS hello to a plain port, an error page for plain
// HTTP on a TLS port) and handled here: its replies log nothing.
BlockConnectionManager::Diagnostics probeDiagnostics()
{
    BlockConnectionManager::Diagnostics diagnostics;
    diagnostics.quietReplies = true;
    return diagnostics;
}

} // namespace

BlockLogin::BlockLogin(FavoriteDeviceModel *favorites, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
    , m_blockConnection(new BlockConnectionManager(this, QString()))
    , m_connectionTester(new ConnectionTester(m_timings.portTest, this))
    , m_tick(new QTimer(this))
{
    m_tick->setInterval(m_timings.tick);
    connect(m_tick, &QTimer::timeout, this, &BlockLogin::onTick);
    connect(m_connectionTester, &ConnectionTester::connected, this, &BlockLogin::onTesterConnected);
    connect(m_connectionTester, &ConnectionTester::timeout, this, &BlockLogin::onTesterTimeout);
    connect(m_blockConnection, &BlockConnectionManager::blockInfoReceived, this, &BlockLogin::processBlockInfo);
    connect(m_blockConnection, &BlockConnectionManager::userInfoResponseReceived, this,
            &BlockLogin::processUserInfoResponse);
}

BlockLogin::~BlockLogin() = default;

void BlockLogin::setTimings(const Timings &timings)
{
    m_timings = timings;
    m_tick->setInterval(timings.tick);
    m_connectionTester->setTimeoutPeriod(timings.portTest);
}

void BlockLogin::setPageState(PageState state)
{
    if (m_pageState == state)
        return;
    m_pageState = state;
    emit pageStateChanged();
}

void BlockLogin::setPhase(Phase phase)
{
    const bool wasInProgress = inProgress();
    m_phase = phase;
    if (wasInProgress != inProgress())
        emit inProgressChanged();
}

void BlockLogin::setStatus(Status status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged();
}

void BlockLogin::setErrorMessage(const QString &message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

QString BlockLogin::noResponseText() const
{
    return tr("No response from the %1 Block. Check the entered block address and the availability of TCP port ")
               .arg(BrandConfiguration::instance()->productName())
           + QString::number(m_restPort) + tr(" on the Block's machine.");
}

void BlockLogin::confirmServerAddress(const QString &serverAddress)
{
    const QString address = m_favorites->parseAddress(serverAddress);
    if (m_serverAddress != address) {
        m_serverAddress = address;
        emit serverAddressChanged();
    }
    setPageState(EnteringUserName);
}

QString BlockLogin::connectionString(const QString &serverAddress) const
{
    return m_favorites->splitAddressPattern(serverAddress).first;
}

void BlockLogin::forgetUser()
{
    m_sessionIdentifier.clear();
    m_blockConnection->setAccessToken(QString());
    if (m_user) {
        m_user.reset();
        emit userChanged();
    }
}

void BlockLogin::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    QString host = connectionString(serverAddress).trimmed();
    const QString user = userName.trimmed();
    if (host.isEmpty()) {
        finish(InvalidServerAddress, tr("Enter the address of the %1.").arg(BrandConfiguration::instance()->deviceName()));
        return;
    }
    if (user.isEmpty()) {
        finish(IncorrectPasswordOrUsername, tr("Enter a user name."));
        return;
    }
    if (m_serverAddress != host) {
        m_serverAddress = host;
        emit serverAddressChanged();
    }
    if (m_username != user) {
        m_username = user;
        emit usernameChanged();
    }
    m_password = password;

    // "host:port" names the REST port itself and skips the port test.
    int port = 0;
    const bool portGiven = splitAddressPorts(host, &port);
    if (portGiven && (port <= 0 || port > 65535 || host.isEmpty())) {
        finish(InvalidServerAddress, tr("The address %1 is not valid: use host or host:port.").arg(serverAddress.trimmed()));
        return;
    }
    m_host = host;
    m_restPort = portGiven ? port : m_ports.value(0, 8088);
    dropSslProbes();
    // A new log-in ends whatever the last one left.
    forgetUser();
    m_silence.invalidate();
    m_silenceReported = false;

    LOG_INF(QStringLiteral("[INFO] Log-in of %1 to %2.").arg(user, serverAddress.trimmed()));
    setErrorMessage(QString());
    emit started();
    setStatus(WaitingForResponse);
    setPhase(Phase::SslInfo);
    m_tick->stop();

    m_connectionTester->stop();
    m_connectionTester->setEnabled(!portGiven);
    if (!portGiven) {
        const int stored = m_connectionTester->storedPort(m_host);
        if (stored >= 0)
            m_restPort = stored;
    }
    m_connectionTester->setAddress(m_host);
    if (!portGiven) {
        for (int candidate : qAsConst(m_ports))
            m_connectionTester->addConnection(candidate);
    }
    m_connectionTester->start();
    if (portGiven) {
        // Nothing to test: ask at once, and let the tick repeat until the block answers.
        requestSslInfo();
        m_tick->start();
    }
}

void BlockLogin::cancel()
{
    m_tick->stop();
    m_connectionTester->stop();
    dropSslProbes();
    setPhase(Phase::Idle);
    if (m_status != LoggedIn)
        setStatus(NotLoggedIn);
    setErrorMessage(QString());
}

void BlockLogin::onTesterConnected()
{
    if (!m_connectionTester->enabled() || m_connectionTester->activePort() < 0 || m_phase != Phase::SslInfo
        || m_tick->isActive())
        return;
    m_restPort = m_connectionTester->activePort();
    requestSslInfo();
    m_tick->start();
}

void BlockLogin::onTesterTimeout()
{
    if (m_phase != Phase::SslInfo || m_tick->isActive())
        return;
    reportNoResponse();
    m_tick->start();
    if (!m_connectionTester->processed())
        m_connectionTester->setProcessed(true);
}

void BlockLogin::reportNoResponse()
{
    m_silenceReported = true;
    setErrorMessage(noResponseText());
    setStatus(InvalidServerAddress);
    emit validationTimeout();
}

void BlockLogin::blockAnswered()
{
    m_silence.restart();
    m_silenceReported = false;
}

void BlockLogin::onTick()
{
    // A block that takes the connection and then answers nothing gets the same report as one
    // that is not there; without this the probes, asked again on every tick, never time out.
    if (m_phase == Phase::SslInfo && m_silence.isValid() && !m_silenceReported
        && m_silence.hasExpired(m_timings.request))
        reportNoResponse();
    switch (m_phase) {
    case Phase::Authorization:
        requestValidation();
        break;
    case Phase::SslInfo:
        if (m_connectionTester->enabled()) {
            if (m_connectionTester->selectActivePort())
                m_restPort = m_connectionTester->activePort();
            m_connectionTester->stop();
            m_connectionTester->start();
        }
        requestSslInfo();
        break;
    case Phase::BlockInfo:
        m_blockConnection->requestBlockInfo();
        break;
    case Phase::Idle:
        m_tick->stop();
        break;
    }
    emit ticked();
}

void BlockLogin::dropSslProbes()
{
    for (BlockConnectionManager *probe : qAsConst(m_sslProbes)) {
        // Whatever the dropped probe still receives is no longer of interest.
        probe->disconnect(this);
        probe->deleteLater(); // takes its unanswered request along
    }
    m_sslProbes.clear();
}

void BlockLogin::requestSslInfo()
{
    // Which scheme the port speaks shows in which request gets an HTTP answer: both are asked
    // at once, each through a REST client of its own, because a TLS hello to a plain HTTP port
    // may hang rather than fail. Unanswered attempts are dropped and asked again.
    if (!m_sslProbes.isEmpty() && m_sslProbeAge.elapsed() < m_timings.request)
        return;
    dropSslProbes();
    m_sslProbeAge.start();
    if (!m_silence.isValid())
        m_silence.start();
    for (const bool https : {true, false}) {
        auto *probe = new BlockConnectionManager(this, QString(), probeDiagnostics());
        m_sslProbes << probe;
        connect(probe, &BlockConnectionManager::blockSslInfoResponseReceived, this,
                [this, probe, https](const std::shared_ptr<restservice::BlockResponse> &response) {
                    if (!m_sslProbes.contains(probe))
                        return;
                    // An HTTPS port may answer plain HTTP with an error page; only a good answer
                    // proves plain HTTP.
                    const bool answered = https ? response->statusCode != 0 : response->statusCode == 200;
                    if (!answered) {
                        m_sslProbes.removeOne(probe);
                        probe->disconnect(this);
                        probe->deleteLater();
                        // Neither scheme got through (a refused port given in the address
                        // never reaches the port test's time-out): the page says so while
                        // the tick asks again.
                        if (m_sslProbes.isEmpty() && m_phase == Phase::SslInfo) {
                            setErrorMessage(noResponseText());
                            setStatus(InvalidServerAddress);
                        }
                        return;
                    }
                    blockAnswered();
                    dropSslProbes();
                    processBlockSslInfo(https);
                });
        probe->setUrl(m_host, m_restPort, https);
        probe->requestBlockSslInfo();
    }
}

void BlockLogin::processBlockSslInfo(bool https)
{
    if (m_phase != Phase::SslInfo)
        return;
    LOG_DBG0(QStringLiteral("[INFO] %1:%2 answers over %3.")
                 .arg(m_host)
                 .arg(m_restPort)
                 .arg(https ? QStringLiteral("HTTPS") : QStringLiteral("HTTP")));
    setPhase(Phase::BlockInfo);
    m_blockConnection->setUrl(m_host, m_restPort, https);
    m_blockConnection->requestBlockInfo();
}

void BlockLogin::processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_phase != Phase::BlockInfo)
        return;
    if (response->statusCode == 0) {
        setErrorMessage(noResponseText());
        m_tick->start();
        return;
    }
    blockAnswered();
    if (response->statusCode != 200) {
        qDebug() << Q_FUNC_INFO << " [ERROR] status code: " << response->statusCode;
        // The tick asks again; meanwhile the page says why nothing happens.
        setErrorMessage(tr("The %1 did not give its information (HTTP status %2); asking again.")
                            .arg(BrandConfiguration::instance()->deviceName())
                            .arg(response->statusCode));
        m_tick->start();
        return;
    }
    const QJsonDocument *document = replyJson(*response);
    if (!document)
        return;
    m_connectionTester->acceptActivePort();
    setErrorMessage(QString());
    const QJsonObject object = document->object();
    QString blockVersion;
    QString apiVersion;
    if (object.contains(QStringLiteral("Api_Version")) && object.contains(QStringLiteral("Block_Version"))) {
        blockVersion = object.value(QStringLiteral("Block_Version")).toString();
        apiVersion = object.value(QStringLiteral("Api_Version")).toString();
    } else {
        blockVersion = object.value(QStringLiteral("block_version")).toString();
        apiVersion = object.value(QStringLiteral("api_version")).toString();
    }
    const auto kind = static_cast<Configuration::DeviceType>(
        deviceTypeFromString(object.value(QStringLiteral("block_host_device_type")).toString()));
    m_favorites->handleDevice(m_host, m_username, m_password, kind);
    if (m_blockVersion != blockVersion) {
        m_blockVersion = blockVersion;
        emit blockVersionChanged();
    }
    m_blockApiVersion = apiVersion;
    LauncherConfig::instance()->setAppVersion(blockVersion);
    LauncherConfig::instance()->setApiVersion(apiVersion);
    LauncherConfig::instance()->setDeviceType(kind);
    if (!apiVersion.isEmpty())
        m_blockConnection->setApiVersion(apiVersion);
    requestValidation();
}

const QJsonDocument *BlockLogin::replyJson(const restservice::BlockResponse &response)
{
    const QJsonDocument *document = response.responseDataToJson();
    if (document && document->isObject())
        return document;
    qWarning() << "[FATAL]" << Q_FUNC_INFO << "Cannot convert data to JSON!";
    // Asking again would get the same answer: the log-in ends with a message instead of
    // waiting for good.
    finish(NotLoggedIn, tr("The %1 sent an answer that cannot be read (HTTP status %2).")
                            .arg(BrandConfiguration::instance()->deviceName())
                            .arg(response.statusCode));
    return nullptr;
}

void BlockLogin::requestValidation()
{
    setPhase(Phase::Authorization);
    QJsonObject body;
    body.insert(QStringLiteral("username"), m_username);
    body.insert(QStringLiteral("password"), m_password);
    m_blockConnection->requestUserValidation(body);
}

void BlockLogin::processUserInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_phase != Phase::Authorization)
        return;
    if (response->statusCode == 0) {
        // The tick asks again; the page tells the operator meanwhile.
        reportNoResponse();
        m_tick->start();
        return;
    }
    blockAnswered();
    const QJsonDocument *document = replyJson(*response);
    if (!document)
        return;
    QString reason;
    response->extractErrorResponse(nullptr, &reason, nullptr);
    const int status = response->statusCode;
    if (status == 401 && reason == QLatin1String("auth_error")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Unauthorized - auth_error";
        finish(IncorrectPasswordOrUsername, tr("Incorrect user name or password."));
        emit validationFailed();
        return;
    }
    if (status == 403 && reason == QLatin1String("forbidden")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Forbidden";
        // Asking again changes nothing for an account that is not let in.
        finish(NotLoggedIn, tr("The user %1 is not allowed to log in to this %2.")
                                .arg(m_username, BrandConfiguration::instance()->deviceName()));
        emit forbidden();
        return;
    }
    if (status == 410 && reason == QLatin1String("expired_account")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Gone";
        finish(ExpiredAccount, tr("The account %1 has expired.").arg(m_username));
        emit expiredAccount();
        return;
    }
    auto user = std::make_shared<User>(document->object());
    if (user->accessTokens().isEmpty()) {
        qWarning() << "[Warning]" << Q_FUNC_INFO << "Logged user has no access tokens! Can't login!";
        finish(IncorrectPasswordOrUsername,
               status == 200 ? tr("The account %1 has no access to this %2.")
                                   .arg(m_username, BrandConfiguration::instance()->deviceName())
                             : tr("The log-in was refused (HTTP status %1).").arg(status));
        emit validationFailed();
        return;
    }
    m_sessionIdentifier = document->object().value(QStringLiteral("session_identifier")).toString();
    m_blockConnection->setAccessToken(user->accessTokens().first());
    user->setUserName(m_username);
    m_user = user;
    emit userChanged();
    emit accepted();
    finish(LoggedIn, QString());
    LOG_INF(QStringLiteral("[INFO] Login was successful."));
    emit succeeded();
}

void BlockLogin::finish(Status status, const QString &message)
{
    setPhase(Phase::Idle);
    m_tick->stop();
    m_connectionTester->stop();
    dropSslProbes();
    setErrorMessage(message);
    setStatus(status);
}

void BlockLogin::logout(bool force)
{
    if (force && !m_sessionIdentifier.isEmpty()) {
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), m_sessionIdentifier);
        m_blockConnection->requestUserLogout(body);
    }
    m_tick->stop();
    setPhase(Phase::Idle);
    forgetUser();
    setStatus(NotLoggedIn);
    LOG_INF(QStringLiteral("[INFO] Logout has finished."));
}

bool BlockLogin::parseLoginArgument(const QString &text, QString *address, QString *username, QString *password)
{
    // The password may hold ":" and "@": the user ends at the first ":", the address starts
    // after the last "@".
    const int at = text.lastIndexOf(QLatin1Char('@'));
    if (at <= 0)
        return false;
    const QString credentials = text.left(at);
    const int colon = credentials.indexOf(QLatin1Char(':'));
    *username = colon < 0 ? credentials : credentials.left(colon);
    *password = colon < 0 ? QString() : credentials.mid(colon + 1);
    *address = text.mid(at + 1);
    return !username->isEmpty() && !address->isEmpty();
}
