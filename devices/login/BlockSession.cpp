#include "devices/login/BlockSession.h"

#include "core/log/Log.h"
#include "devices/entries/Configuration.h"
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

BlockSession::BlockSession(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_restClient(new BlockConnectionManager(this, QString()))
    , m_tester(new ConnectionTester(m_timings.portTest, this))
    , m_tick(new QTimer(this))
    , m_https(!options.probeScheme)
{
    m_tick->setInterval(m_timings.tick);
    connect(m_tick, &QTimer::timeout, this, &BlockSession::onTick);
    connect(m_tester, &ConnectionTester::connected, this, &BlockSession::onTesterConnected);
    connect(m_tester, &ConnectionTester::timeout, this, &BlockSession::onTesterTimeout);
    connect(m_restClient, &BlockConnectionManager::blockInfoReceived, this, &BlockSession::processBlockInfo);
    connect(m_restClient, &BlockConnectionManager::userInfoResponseReceived, this, &BlockSession::processCredentials);
}

BlockSession::~BlockSession() = default;

void BlockSession::setTimings(const Timings &timings)
{
    m_timings = timings;
    m_tick->setInterval(timings.tick);
    m_tester->setTimeoutPeriod(timings.portTest);
}

bool BlockSession::isTicking() const
{
    return m_tick->isActive();
}

void BlockSession::setPhase(Phase phase)
{
    const bool wasActive = isActive();
    m_phase = phase;
    if (wasActive != isActive())
        emit activeChanged();
}

void BlockSession::startTick()
{
    m_tick->start();
}

void BlockSession::askAgainLater()
{
    if (!m_tick->isActive())
        m_tick->start();
}

void BlockSession::forgetUser()
{
    m_sessionIdentifier.clear();
    m_restClient->setAccessToken(QString());
    if (m_user) {
        m_user.reset();
        emit userChanged();
    }
}

void BlockSession::logIn(const QString &host, int port, const QString &username, const QString &password)
{
    m_host = host;
    m_username = username;
    m_password = password;
    m_portGiven = port != TestPorts;
    m_restPort = m_portGiven ? port : m_ports.value(0, 8088);
    dropSslProbes();
    // A new log-in ends whatever the last one left.
    forgetUser();
    m_silence.invalidate();
    m_silenceReported = false;
    if (!m_tickKept)
        m_tick->stop();
    setPhase(firstPhase());
    startBlockConnection();
}

void BlockSession::startBlockConnection()
{
    m_tester->stop();
    m_tester->setEnabled(!m_portGiven);
    if (!m_portGiven) {
        const int stored = m_tester->storedPort(m_host);
        if (stored >= 0)
            m_restPort = stored;
    }
    m_tester->setAddress(m_host);
    if (!m_portGiven) {
        for (int candidate : qAsConst(m_ports))
            m_tester->addConnection(candidate);
    }
    if (!m_options.probeScheme) {
        // Asked at once; the port test runs beside it, and its time-out (also without ports to
        // test) reports a block that does not answer.
        requestBlockInfo(m_host, m_restPort);
        m_tester->start();
        return;
    }
    m_tester->start();
    if (m_portGiven) {
        // Nothing to test: ask at once, and let the tick repeat until the block answers.
        requestSslInfo();
        m_tick->start();
    }
}

void BlockSession::requestBlockInfo(const QString &host, int port)
{
    m_restClient->setUrl(host, port, m_https);
    m_restClient->requestBlockInfo();
}

void BlockSession::requestFirst()
{
    if (m_options.probeScheme)
        requestSslInfo();
    else
        requestBlockInfo(m_host, m_restPort);
}

void BlockSession::onTesterConnected()
{
    if (!m_tester->enabled() || m_tester->activePort() < 0 || m_phase != firstPhase() || m_tick->isActive())
        return;
    m_restPort = m_tester->activePort();
    requestFirst();
    m_tick->start();
}

void BlockSession::onTesterTimeout()
{
    if (m_phase != firstPhase() || m_tick->isActive())
        return;
    reportSilence(Silence::NotAnswering);
    m_tick->start();
    if (!m_tester->processed())
        m_tester->setProcessed(true);
}

void BlockSession::reportSilence(Silence silence)
{
    if (silence == Silence::NotAnswering)
        m_silenceReported = true;
    emit blockSilent(silence);
}

void BlockSession::blockAnswered()
{
    // The silence is counted from the next request on: probes are asked again only every
    // request time-out, so counting from the answer would call a device that answers every
    // round silent between two rounds.
    m_silence.invalidate();
    m_silenceReported = false;
}

void BlockSession::deviceSentTooMuch()
{
    // An answer all the same: a device that keeps sending is not reported as silent.
    blockAnswered();
    reportSilence(Silence::AnsweredTooMuch);
}

void BlockSession::rotatePort()
{
    if (!m_tester->enabled())
        return;
    if (m_tester->selectActivePort()) {
        m_restPort = m_tester->activePort();
        if (!m_options.probeScheme)
            m_restClient->setUrl(m_host, m_restPort, m_https);
    }
    m_tester->stop();
    m_tester->start();
}

void BlockSession::onTick()
{
    // A block that takes the connection and then answers nothing gets the same report as one
    // that is not there; without this the probes, asked again on every tick, never time out.
    if (m_phase == Phase::SslInfo && m_silence.isValid() && !m_silenceReported
        && m_silence.hasExpired(m_timings.request))
        reportSilence(Silence::NotAnswering);
    switch (m_phase) {
    case Phase::Authorization:
        requestCredentials(m_username, m_password);
        break;
    case Phase::SslInfo:
        rotatePort();
        requestSslInfo();
        break;
    case Phase::BlockInfo:
        if (m_phase == firstPhase())
            rotatePort();
        m_restClient->requestBlockInfo();
        break;
    case Phase::FollowUp:
        emit followUpDue();
        break;
    case Phase::Idle:
        m_tick->stop();
        break;
    }
    emit ticked();
}

void BlockSession::dropSslProbes()
{
    for (BlockConnectionManager *probe : qAsConst(m_sslProbes)) {
        // Whatever the dropped probe still receives is no longer of interest.
        probe->disconnect(this);
        probe->deleteLater(); // takes its unanswered request along
    }
    m_sslProbes.clear();
}

void BlockSession::requestSslInfo()
{
    // Which scheme the port speaks shows in which request gets an HTTP answer: both are asked
    // at once, each through a REST client of its own, because a TLS hello to a plain HTTP port
    // may hang rather than fail. Unanswered attempts are dropped and asked again.
    if (!m_sslProbes.isEmpty() && m_sslProbeAge.elapsed() < m_timings.request)
        return;
    dropSslProbes();
    m_probeSentTooMuch = false;
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
                        // Said at once: the other scheme's probe may hang for good.
                        if (response->tooLarge && m_phase == Phase::SslInfo) {
                            m_probeSentTooMuch = true;
                            deviceSentTooMuch();
                            return;
                        }
                        // Neither scheme got through (a refused port given in the address
                        // never reaches the port test's time-out): the owner says so while
                        // the tick asks again. A scheme cut off for its size got through.
                        if (m_sslProbes.isEmpty() && !m_probeSentTooMuch && m_phase == Phase::SslInfo)
                            reportSilence(Silence::Unreachable);
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

void BlockSession::processBlockSslInfo(bool https)
{
    if (m_phase != Phase::SslInfo)
        return;
    LOG_DBG0(QStringLiteral("[INFO] %1:%2 answers over %3.")
                 .arg(m_host)
                 .arg(m_restPort)
                 .arg(https ? QStringLiteral("HTTPS") : QStringLiteral("HTTP")));
    setPhase(Phase::BlockInfo);
    m_https = https;
    requestBlockInfo(m_host, m_restPort);
}

const QJsonDocument *BlockSession::replyJson(const restservice::BlockResponse &response, const char *function)
{
    const QJsonDocument *document = response.responseDataToJson();
    if (document && document->isObject())
        return document;
    qWarning().noquote() << "[FATAL]" << function << "Cannot convert data to JSON!";
    return nullptr;
}

void BlockSession::unreadable(int httpStatus)
{
    if (m_options.keepAsking) {
        askAgainLater();
        return;
    }
    // Asking again would get the same answer: the log-in ends instead of waiting for good.
    refuse(Refusal::Unreadable, httpStatus);
}

void BlockSession::processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response)
{
    // A late answer (after a log-in went on, was cancelled or ended) starts nothing.
    if (m_phase != Phase::BlockInfo)
        return;
    const int status = response->statusCode;
    if (status == 0) {
        if (response->tooLarge)
            deviceSentTooMuch();
        else
            reportSilence(Silence::NoReply);
        m_tick->start();
        if (!m_tester->processed())
            m_tester->setProcessed(true);
        return;
    }
    blockAnswered();
    if (status != 200) {
        qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        emit blockInfoFailed(status);
        m_tick->start();
        return;
    }
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document) {
        unreadable(status);
        return;
    }
    m_tester->acceptActivePort();
    const QJsonObject info = document->object();
    if (info.contains(QStringLiteral("Api_Version")) && info.contains(QStringLiteral("Block_Version"))) {
        m_blockVersion = info.value(QStringLiteral("Block_Version")).toString();
        m_apiVersion = info.value(QStringLiteral("Api_Version")).toString();
    } else {
        m_blockVersion = info.value(QStringLiteral("block_version")).toString();
        m_apiVersion = info.value(QStringLiteral("api_version")).toString();
    }
    m_deviceKind = deviceTypeFromString(info.value(QStringLiteral("block_host_device_type")).toString());
    m_serialNumber = info.value(QStringLiteral("orva_serial_number")).toString();
    // A block that names no API version is asked in the client's own.
    if (!m_apiVersion.isEmpty())
        m_restClient->setApiVersion(m_apiVersion);
    emit blockInfoRead();
    // A receiver may have ended the log-in.
    if (m_phase == Phase::BlockInfo)
        requestCredentials(m_username, m_password);
}

void BlockSession::requestCredentials(const QString &username, const QString &password)
{
    m_username = username;
    m_password = password;
    setPhase(Phase::Authorization);
    QJsonObject body;
    body.insert(QStringLiteral("username"), username);
    body.insert(QStringLiteral("password"), password);
    m_restClient->requestUserValidation(body);
}

void BlockSession::processCredentials(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_phase != Phase::Authorization)
        return;
    const int status = response->statusCode;
    if (status == 0) {
        if (response->tooLarge)
            deviceSentTooMuch();
        else
            reportSilence(Silence::NoReply);
        askAgainLater();
        return;
    }
    blockAnswered();
    // A block that failed on its side may take the same credentials later.
    if (m_options.keepAsking && status != 200 && (status < 400 || status >= 500)) {
        qDebug().noquote() << Q_FUNC_INFO << "[ERROR] status code:" << status;
        askAgainLater();
        return;
    }
    const QJsonDocument *document = replyJson(*response, Q_FUNC_INFO);
    if (!document) {
        unreadable(status);
        return;
    }
    // The refusals that end the log-in: posting the same credentials again changes nothing.
    static const struct
    {
        int status;
        const char *reason;
        Refusal refusal;
        const char *line;
    } refusals[] = {
        {401, "auth_error", Refusal::WrongCredentials,
         "response->statusCode == restservice::HttpRespStatus::Unauthorized - auth_error"},
        {403, "forbidden", Refusal::Forbidden, "response->statusCode == restservice::HttpRespStatus::Forbidden"},
        {410, "expired_account", Refusal::ExpiredAccount, "response->statusCode == restservice::HttpRespStatus::Gone"},
    };
    QString reason;
    response->extractErrorResponse(nullptr, &reason, nullptr);
    for (const auto &entry : refusals) {
        if (status == entry.status && reason == QLatin1String(entry.reason)) {
            qDebug() << entry.line;
            refuse(entry.refusal, status);
            return;
        }
    }
    // Only a successful answer carries a user; tokens in a refusal let nobody in.
    auto user = std::make_shared<User>(status == 200 ? document->object() : QJsonObject());
    if (user->accessTokens().isEmpty()) {
        qWarning().noquote() << "[Warning]" << Q_FUNC_INFO << "Logged user has no access tokens! Can't login!";
        refuse(Refusal::NoAccess, status);
        return;
    }
    m_sessionIdentifier = document->object().value(QStringLiteral("session_identifier")).toString();
    m_restClient->setAccessToken(user->accessTokens().first());
    user->setUserName(m_username);
    m_user = user;
    emit userChanged();
    if (m_options.followUp) {
        setPhase(Phase::FollowUp);
        emit accepted();
        return;
    }
    emit accepted();
    // A receiver may have logged out already.
    if (m_phase == Phase::Authorization)
        completeLogin();
}

void BlockSession::completeLogin()
{
    end();
    emit loggedIn();
}

void BlockSession::refuse(Refusal refusal, int httpStatus)
{
    end();
    emit refused(refusal, httpStatus);
}

void BlockSession::end()
{
    setPhase(Phase::Idle);
    m_tick->stop();
    m_tester->stop();
    dropSslProbes();
}

void BlockSession::cancel()
{
    if (!m_tickKept)
        m_tick->stop();
    m_tester->stop();
    dropSslProbes();
    setPhase(Phase::Idle);
}

void BlockSession::logout(bool force)
{
    // Only a session the block gave can be ended there, and only once. A log-out sent is
    // reported when the block answers it (PendingLogouts), this session may be gone by then.
    const bool posted = force && !m_sessionIdentifier.isEmpty();
    if (posted) {
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), m_sessionIdentifier);
        m_restClient->requestUserLogout(body, true);
    }
    if (!m_tickKept)
        m_tick->stop();
    setPhase(Phase::Idle);
    const QString session = force ? QString() : m_sessionIdentifier;
    forgetUser();
    if (m_options.localLogoutKeepsSession)
        m_sessionIdentifier = session;
    if (!posted)
        LOG_INF(QStringLiteral("[INFO] Logout has finished."));
}
