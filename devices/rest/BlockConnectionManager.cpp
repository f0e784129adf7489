#include "devices/rest/BlockConnectionManager.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/rest/BoundedNetworkAccessManager.h"
#include "devices/rest/PendingLogouts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonDocument>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslSocket>
#include <QUrl>

#include <algorithm>
#include <numeric>

using restservice::BlockResponse;
using Op = restservice::Operation;
using restservice::ResponseData;

namespace {

const QString kSent = QStringLiteral("sent");
const QString kReceived = QStringLiteral("received");
constexpr int kTrafficSamples = 60;

bool isOneOf(Op operation, std::initializer_list<Op> operations)
{
    return std::find(operations.begin(), operations.end(), operation) != operations.end();
}

// The client's time-out, or the operation's own where that is shorter (0 is no limit).
int transferTimeoutFor(Op operation, int clientTimeout)
{
    int own = 0;
    if (isOneOf(operation, {Op::BlockStatusInfo, Op::CubesAnalyticsInfo, Op::CubesCamerasInfo}))
        own = BlockConnectionManager::PollTimeout;
    else if (operation == Op::UserLogout)
        own = BlockConnectionManager::LogoutTimeout;
    if (own == 0)
        return clientTimeout;
    return clientTimeout == 0 ? own : std::min(own, clientTimeout);
}

} // namespace

BlockConnectionManager::BlockConnectionManager(QObject *parent, QString accessToken)
    : BlockConnectionManager(parent, std::move(accessToken), Diagnostics())
{
}

QNetworkAccessManager *BlockConnectionManager::sharedNetworkManager()
{
    // Parented to the application, so that it goes (with its HTTP thread) before static
    // destruction; a later application gets a new one.
    static QPointer<QNetworkAccessManager> shared;
    if (!shared)
        shared = new BoundedNetworkAccessManager(QCoreApplication::instance());
    return shared;
}

BlockConnectionManager::BlockConnectionManager(QObject *parent, QString accessToken, const Diagnostics &diagnostics)
    : QObject(parent),
      m_network(sharedNetworkManager()),
      // A block that accepts the connection and then stays silent would otherwise keep the
      // request open for ever; Qt 5 has no transfer time-out by default. Stalled requests end
      // after 30 s without traffic (polls and log-outs sooner) and are answered with status 0.
      m_transferTimeout(QNetworkRequest::DefaultTransferTimeoutConstant),
      m_logEveryRequest(diagnostics.logEveryRequest),
      m_quietReplies(diagnostics.quietReplies),
      m_logSuccessfulReplies(diagnostics.logSuccessfulReplies),
      m_requestStatistics(diagnostics.requestStatistics),
      m_trafficMonitoring(diagnostics.trafficMonitoring),
      m_accessToken(std::move(accessToken)),
      m_apiVersion(QStringLiteral("%1.%2.%3").arg(1).arg(19).arg(0))
{
    qRegisterMetaType<restservice::BlockResponse>("BlockResponse");
    qRegisterMetaType<std::shared_ptr<restservice::BlockResponse>>("std::shared_ptr<restservice::BlockResponse>");

    if (m_requestStatistics) {
        connect(&m_statisticsTimer, &QTimer::timeout, this, &BlockConnectionManager::logRequestStatistics);
        m_statisticsTimer.start(1000);
    }
    m_trafficTimer.setInterval(1000);
    connect(&m_trafficTimer, &QTimer::timeout, this, &BlockConnectionManager::processMonitoringData);
    if (m_trafficMonitoring)
        m_trafficTimer.start();
}

BlockConnectionManager::~BlockConnectionManager()
{
    // The shared manager owns the replies and would keep them, and their connections, open;
    // nothing of them may reach this client any more.
    if (!m_network)
        return;
    // Newest first: the HTTP thread takes the aborts in this order, so the requests still waiting
    // for a connection are gone before the aborted ones free their connections for them.
    for (auto it = m_replies.crbegin(); it != m_replies.crend(); ++it) {
        QNetworkReply *reply = *it;
        disconnect(reply, nullptr, this, nullptr);
        // A log-out is left to finish: its owner goes right after logging out, before the HTTP
        // thread has even taken the body.
        if (PendingLogouts::instance()->contains(reply))
            continue;
        reply->abort();
        reply->deleteLater();
    }
}

void BlockConnectionManager::setAccessToken(const QString &token)
{
    assignProperty(this, m_accessToken, token, &BlockConnectionManager::accessTokenChanged);
}

void BlockConnectionManager::setApiVersion(const QString &version)
{
    m_apiVersion = version;
}

void BlockConnectionManager::setUrl(const QString &address, int port, bool useHttps)
{
    m_address = address;
    m_port = port;
    m_useHttps = useHttps;
    if (useHttps) {
        // Blocks sign their own certificates. The relaxed configuration goes on this client's
        // requests only; the process-wide default keeps verifying for every other connection.
        m_sslConfiguration = QSslConfiguration::defaultConfiguration();
        m_sslConfiguration->setPeerVerifyMode(QSslSocket::VerifyNone);
        m_scheme = QStringLiteral("https");
        m_baseAddress = QStringLiteral("https://%1:%2/api").arg(address).arg(port);
    } else {
        m_scheme = QStringLiteral("http");
        m_baseAddress = QStringLiteral("http://%1:%2").arg(address).arg(port);
    }
    // Last, so that a receiver that sends a request at once already reaches the new address.
    emit addressChanged(address);
}

void BlockConnectionManager::requestBlockInfo()
{
    sendRequest(Q_FUNC_INFO, Op::BlockInfo, QStringLiteral("/block_info"), nullptr,
                &BlockConnectionManager::blockInfoReceived, false);
}

void BlockConnectionManager::requestBlockStatusInfo()
{
    sendRequest(Q_FUNC_INFO, Op::BlockStatusInfo, QStringLiteral("/block_status_info"), nullptr,
                &BlockConnectionManager::blockStatusInfoReceived, false);
}

void BlockConnectionManager::requestBlockSslInfo()
{
    sendRequest(Q_FUNC_INFO, Op::BlockSSLInfo, QStringLiteral("/block_ssl_info"), nullptr,
                &BlockConnectionManager::blockSslInfoResponseReceived, false);
}

void BlockConnectionManager::requestCubes()
{
    sendRequest(Q_FUNC_INFO, Op::CubesAll, QStringLiteral("/cubes/all"), nullptr,
                &BlockConnectionManager::cubesResponseReceived, true);
}

void BlockConnectionManager::requestCubesAnalyticsInfo(const QJsonObject &json)
{
    sendRequest(Q_FUNC_INFO, Op::CubesAnalyticsInfo, QStringLiteral("/cubes/analytics/info"), &json,
                &BlockConnectionManager::cubesAnalyticsInfoResponseReceived, true);
}

void BlockConnectionManager::requestCubesCamerasInfo(const QJsonObject &json)
{
    sendRequest(Q_FUNC_INFO, Op::CubesCamerasInfo, QStringLiteral("/cubes/cameras/info"), &json,
                &BlockConnectionManager::cubesCamerasInfoResponseReceived, true);
}

void BlockConnectionManager::requestUserValidation(const QJsonObject &object)
{
    sendRequest(Q_FUNC_INFO, Op::UserAuthorization, QStringLiteral("/users/auth"), &object,
                &BlockConnectionManager::userInfoResponseReceived, true);
}

void BlockConnectionManager::requestUserLogout(const QJsonObject &json, bool reported)
{
    QNetworkReply *reply = sendRequest(Q_FUNC_INFO, Op::UserLogout, QStringLiteral("/users/logout"), &json,
                                       &BlockConnectionManager::userLogoutResponseReceived, false);
    PendingLogouts::instance()->add(reply, reported);
}

QNetworkReply *BlockConnectionManager::sendRequest(const char *functionName, Op operation, const QString &path,
                                                   const QJsonObject *body, ResponseSignal answer,
                                                   bool reportsAvailability)
{
    if (m_logEveryRequest)
        qDebug().noquote() << functionName;

    QUrl url(m_baseAddress + path, QUrl::TolerantMode);
    url.setScheme(m_scheme);
    QNetworkRequest request(url);

    auto response = std::make_shared<BlockResponse>();
    response->operation = operation;
    response->requestId = m_nextRequestId++;
    response->cubeId = -1;
    response->analyticId = -1;
    if (body)
        response->requestBody = QJsonDocument(*body);

    incrementRequest(operation);

    request.setRawHeader("Private-Api", "true");
    request.setRawHeader("Authorization", QStringLiteral("Bearer %1").arg(m_accessToken).toUtf8());
    request.setRawHeader("Accept-Version", m_apiVersion.toUtf8());
    if (body)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setRawHeader("accept", "application/json");
    if (response->requestId != 0xFFFFFFFFu)
        request.setRawHeader("RequestID", QByteArray::number(response->requestId));
    request.setAttribute(QNetworkRequest::HttpPipeliningAllowedAttribute, true);
    if (url.scheme() == QLatin1String("https"))
        request.setSslConfiguration(m_sslConfiguration ? *m_sslConfiguration : QSslConfiguration());
    request.setTransferTimeout(transferTimeoutFor(operation, m_transferTimeout));

    if (!m_network)
        m_network = sharedNetworkManager();
    QNetworkReply *reply = nullptr;
    if (body) {
        const QByteArray bytes = response->requestBody.toJson();
        // Only the traffic tick resets the counters; without it they would overflow in a long run.
        if (m_trafficMonitoring)
            m_bytesSent += bytes.size();
        // On a kept-alive connection the body reaches the block about 40 ms after the headers:
        // Qt 5's HTTP thread writes the headers, then fetches the body from this thread, and
        // Nagle's algorithm holds that second small segment until the block's delayed
        // acknowledgement of the first. Qt 5.15 neither sends them in one write nor lets its
        // connections set TCP_NODELAY.
        reply = m_network->post(request, bytes);
    } else {
        reply = m_network->get(request);
    }
    m_replies.append(reply);

    connect(reply, &QNetworkReply::finished, this,
            [this, reply, response, functionName, operation, answer, reportsAvailability]() {
                // The shared manager owns the reply; it goes once this handler is done.
                m_replies.removeOne(reply);
                reply->deleteLater();
                // A receiver may destroy this client from its slot; after that nothing of it
                // may be touched.
                const QPointer<BlockConnectionManager> alive(this);
                processReply(reply, response, functionName, false);
                if (!alive)
                    return;
                if (reportsAvailability)
                    emit serverAvailable(response->statusCode != restservice::NoResponse);
                if (!alive)
                    return;
                // Emits the operation's answer signal (clang reads "emit(" as misleading indentation).
                (this->*answer)(response);
                if (!alive)
                    return;
                decrementRequest(operation);
            });
    return reply;
}

bool BlockConnectionManager::processReply(QNetworkReply *reply, const std::shared_ptr<BlockResponse> &response,
                                          const char *functionName, bool reportNoResponse)
{
    if (reply->hasRawHeader("RequestId")) {
        const QByteArray header = reply->rawHeader("RequestId");
        // As the block's own clients do: a header that is no number reads as 0.
        const qint64 replyId = QString::fromLatin1(header).toLongLong(nullptr, 10);
        if (replyId != qint64(response->requestId)) {
            qDebug().noquote() << functionName << "Payload swapped, request: " << response->requestId
                               << " reply: " << QString::fromLatin1(header);
            response->payloadSwapped = true;
        }
    }

    if (BoundedNetworkAccessManager::exceededLimit(reply)) {
        // Cut off for its size: nothing of it is read, and the shared manager logged why.
        response->tooLarge = true;
        return true;
    }

    if (!reply->isOpen())
        reply->open(QIODevice::ReadOnly);
    if (!reply->isOpen()) {
        // The shared manager's caches serve every block; they stay.
        qDebug().noquote() << "[ERROR]" << Q_FUNC_INFO << "Failed to open device";
        return true;
    }

    // The reply is finished and holds its whole body: one allocation of the known size, where
    // readAll() grows a 16 KiB buffer and shrinks it again for every poll.
    const QByteArray body = reply->read(reply->bytesAvailable());
    response->bodyRead = true;
    if (m_trafficMonitoring)
        m_bytesReceived += body.size();

    restservice::ErrorInfo error;
    response->data = restservice::decodeReplyData(body, reply->rawHeader("Content-Type"), &error);
    if (!error.reason.isNull()) {
        if (!m_quietReplies)
            qDebug().noquote() << functionName << "Error:" << restservice::httpRespStatusName(error.code)
                               << error.message;
        response->bodyRead = false;
    }

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response->statusCode = status;
    const Op operation = response->operation;

    switch (response->data.kind) {
    case ResponseData::Json: {
        QString reason;
        QString message;
        int code = 0;
        response->extractErrorResponse(&code, &reason, &message);
        if (status == restservice::Ok) {
            if (m_logSuccessfulReplies
                && !isOneOf(operation, {Op::CameraFilteredTrajectories, Op::CameraFrame,
                                        Op::UserKeepAlive})) {
                const QJsonDocument *document = response->responseDataToJson();
                qDebug().noquote() << QString::fromLatin1(functionName) + QStringLiteral(" Success")
                                   << (document ? QString::fromUtf8(document->toJson()) : QString());
            }
        } else if (status == restservice::NoContent
                   && isOneOf(operation, {Op::CameraFilteredTrajectories, Op::AnalyticEvaluationData,
                                          Op::AnalyticReferenceFrame})) {
        } else if (status == restservice::Conflict) {
            if (reason != QLatin1String("outdated_sequence_number"))
                qDebug().noquote() << "[ERROR] Conflict" << "   Reason:" << reason << "  Message:" << message;
            response->bodyRead = false;
        } else {
            if (reportNoResponse && status == restservice::NoResponse)
                emit noBlockServerResponse();
            printError(functionName, status, response->cubeId, response->analyticId, reason, message);
        }
        break;
    }
    case ResponseData::None:
        if (status == restservice::NoResponse) {
            if (reportNoResponse)
                emit noBlockServerResponse();
        } else if (status == restservice::NoContent
                   && isOneOf(operation, {Op::CameraFilteredTrajectories, Op::AnalyticEvaluationData,
                                          Op::AnalyticReferenceFrame, Op::AnalyticWidgets})) {
        } else if (status != restservice::Ok && !m_quietReplies) {
            qWarning().noquote() << "[ERROR]" << Q_FUNC_INFO << "Unhandled status for empty data!";
        }
        break;
    case ResponseData::Bytes:
        if (status == restservice::NoResponse) {
            if (reportNoResponse)
                emit noBlockServerResponse();
        } else if (status != restservice::Ok && !m_quietReplies) {
            qWarning().noquote() << "[ERROR]" << Q_FUNC_INFO << "Unhandled status for ZIP!";
        }
        break;
    case ResponseData::String:
        if (!m_quietReplies)
            qWarning().noquote() << "[ERROR]" << Q_FUNC_INFO << "Unhandled data format!";
        break;
    }
    return true;
}

void BlockConnectionManager::printError(const char *functionName, int code, int cubeId, int analyticId,
                                        const QString &reason, const QString &message)
{
    QString text;
    bool available = true;
    switch (code) {
    case restservice::NoResponse: text = QStringLiteral(" NoResponse"); available = false; break;
    case restservice::NoContent: text = QStringLiteral(" No Content"); break;
    case restservice::BadRequest: text = QStringLiteral(" BadRequest"); break;
    case restservice::Unauthorized: text = QStringLiteral(" Unauthorized"); break;
    case restservice::Forbidden: text = QStringLiteral(" Forbidden"); break;
    case restservice::NotFound: text = QStringLiteral(" Not Found"); break;
    case restservice::MethodNotAllowed: text = QStringLiteral(" Method Not Allowed"); break;
    case restservice::Conflict: text = QStringLiteral(" Conflict"); break;
    case restservice::Gone: text = QStringLiteral(" Gone"); break;
    case restservice::InternalError: text = QStringLiteral(" InternalError"); break;
    case restservice::NotImplemented: text = QStringLiteral(" Not Implemented"); break;
    case restservice::ServiceUnavailable: text = QStringLiteral(" Temporarily unavailable"); break;
    default: text = QStringLiteral(" (unknown return code)"); available = false; break;
    }
    const QString line = QStringLiteral("[ERROR] %1   cubeId: %2   analyticId: %3   code: %4%5")
                             .arg(QString::fromLatin1(functionName))
                             .arg(cubeId)
                             .arg(analyticId)
                             .arg(code)
                             .arg(text);
    // A quiet manager's caller reports the failure its own way.
    if (!m_quietReplies && code == restservice::NoResponse)
        qDebug().noquote() << line;
    else if (!m_quietReplies)
        qDebug().noquote() << line << "   Reason:" << reason << "  Message:" << message;
    emit serverAvailable(available);
}

void BlockConnectionManager::incrementRequest(Op operation)
{
    m_openRequests[operation] = m_openRequests.value(operation, 0) + 1;
}

void BlockConnectionManager::decrementRequest(Op operation)
{
    m_openRequests[operation] = m_openRequests.value(operation, 0) - 1;
}

void BlockConnectionManager::logRequestStatistics()
{
    QString lines;
    for (auto it = m_openRequests.cbegin(); it != m_openRequests.cend(); ++it)
        lines += QStringLiteral("%1: %2\n").arg(restservice::operationName(it.key())).arg(it.value());
    qDebug().noquote() << QStringLiteral("\n ---- Request statistics: ---- \n") + lines;
}

void BlockConnectionManager::processMonitoringData()
{
    QList<qint32> &sent = m_trafficHistory[kSent];
    QList<qint32> &received = m_trafficHistory[kReceived];
    sent.append(m_bytesSent);
    received.append(m_bytesReceived);
    const qint64 totalSent = std::accumulate(sent.cbegin(), sent.cend(), qint64(0));
    const qint64 totalReceived = std::accumulate(received.cbegin(), received.cend(), qint64(0));
    const qint64 averageSent = totalSent / sent.size();
    const qint64 averageReceived = totalReceived / received.size();

    const QString function = QStringLiteral("BlockConnectionManager::processMonitoringData");
    const auto line = [&function](const QString &label, qint64 value) {
        KVR_LOG_AT(kvr::log::INF, function, QStringLiteral("%1%2 bytes").arg(label).arg(value));
    };
    KVR_LOG_AT(kvr::log::INF, function, QStringLiteral("-------- ACCESS MANAGER TRAFFIC MONITORING --------"));
    line(QStringLiteral("Current sent: "), sent.last());
    line(QStringLiteral("Current received: "), received.last());
    line(QStringLiteral("Average sent: "), averageSent);
    line(QStringLiteral("Average received: "), averageReceived);
    line(QStringLiteral("Total sent (last minute): "), totalSent);
    line(QStringLiteral("Total received (last minute): "), totalReceived);

    if (sent.size() >= kTrafficSamples)
        sent.removeFirst();
    if (received.size() >= kTrafficSamples)
        received.removeFirst();
    m_bytesSent = 0;
    m_bytesReceived = 0;
}
