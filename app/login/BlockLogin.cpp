#include "app/login/BlockLogin.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/entries/Configuration.h"
#include "devices/models/FavoriteDeviceModel.h"

BlockLogin::BlockLogin(FavoriteDeviceModel *favorites, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
    , m_session(new BlockSession(BlockSession::Options(), this))
{
    connect(m_session, &BlockSession::activeChanged, this, &BlockLogin::inProgressChanged);
    connect(m_session, &BlockSession::userChanged, this, &BlockLogin::userChanged);
    connect(m_session, &BlockSession::ticked, this, &BlockLogin::ticked);
    connect(m_session, &BlockSession::accepted, this, &BlockLogin::accepted);
    connect(m_session, &BlockSession::blockSilent, this, &BlockLogin::onBlockSilent);
    connect(m_session, &BlockSession::blockInfoFailed, this, [this](int httpStatus) {
        // The tick asks again; meanwhile the page says why nothing happens.
        setErrorMessage(tr("The %1 did not give its information (HTTP status %2); asking again.")
                            .arg(BrandConfiguration::instance()->deviceName())
                            .arg(httpStatus));
    });
    connect(m_session, &BlockSession::blockInfoRead, this, &BlockLogin::onBlockInfoRead);
    connect(m_session, &BlockSession::refused, this, &BlockLogin::onRefused);
    connect(m_session, &BlockSession::loggedIn, this, &BlockLogin::onLoggedIn);
}

BlockLogin::~BlockLogin() = default;

void BlockLogin::setPageState(PageState state)
{
    assignProperty(this, m_pageState, state, &BlockLogin::pageStateChanged);
}

void BlockLogin::setStatus(Status status)
{
    assignProperty(this, m_status, status, &BlockLogin::statusChanged);
}

void BlockLogin::setErrorMessage(const QString &message)
{
    assignProperty(this, m_errorMessage, message, &BlockLogin::errorMessageChanged);
}

QString BlockLogin::noResponseText() const
{
    return tr("No response from the %1 Block. Check the entered block address and the availability of TCP port ")
               .arg(BrandConfiguration::instance()->productName())
           + QString::number(m_session->restPort()) + tr(" on the Block's machine.");
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

void BlockLogin::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    QString host = connectionString(serverAddress).trimmed();
    const QString user = userName.trimmed();
    if (host.isEmpty()) {
        finish(BlockSession::InvalidServerAddress,
               tr("Enter the address of the %1.").arg(BrandConfiguration::instance()->deviceName()));
        return;
    }
    if (user.isEmpty()) {
        finish(BlockSession::IncorrectPasswordOrUsername, tr("Enter a user name."));
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

    // "host:port" names the REST port itself and skips the port test.
    int port = 0;
    const bool portGiven = splitAddressPorts(host, &port);
    if (portGiven && (port <= 0 || port > 65535 || host.isEmpty())) {
        finish(BlockSession::InvalidServerAddress,
               tr("The address %1 is not valid: use host or host:port.").arg(serverAddress.trimmed()));
        return;
    }

    LOG_INF(QStringLiteral("[INFO] Log-in of %1 to %2.").arg(user, serverAddress.trimmed()));
    setErrorMessage(QString());
    emit started();
    setStatus(BlockSession::WaitingForResponse);
    m_session->logIn(host, portGiven ? port : BlockSession::TestPorts, user, password);
}

void BlockLogin::cancel()
{
    m_session->cancel();
    if (m_status != BlockSession::LoggedIn)
        setStatus(BlockSession::NotLoggedIn);
    setErrorMessage(QString());
}

void BlockLogin::reportNoResponse()
{
    setErrorMessage(noResponseText());
    setStatus(BlockSession::InvalidServerAddress);
    emit validationTimeout();
}

void BlockLogin::onBlockSilent(BlockSession::Silence silence)
{
    switch (silence) {
    case BlockSession::Silence::NotAnswering:
        reportNoResponse();
        break;
    case BlockSession::Silence::Unreachable:
        // The page says so while the tick asks again.
        setErrorMessage(noResponseText());
        setStatus(BlockSession::InvalidServerAddress);
        break;
    case BlockSession::Silence::AnsweredTooMuch:
        // The page says so while the tick asks again.
        setErrorMessage(tr("The device at %1, port %2, answered with more than a %3 sends: it is most likely "
                           "not a %3. Check the entered address.")
                            .arg(m_session->host())
                            .arg(m_session->restPort())
                            .arg(BrandConfiguration::instance()->deviceName()));
        setStatus(BlockSession::InvalidServerAddress);
        break;
    case BlockSession::Silence::NoReply:
        // Unanswered credentials are a time-out the page shows; an unanswered block
        // information only changes the text.
        if (m_session->phase() == BlockSession::Phase::Authorization)
            reportNoResponse();
        else
            setErrorMessage(noResponseText());
        break;
    }
}

void BlockLogin::onBlockInfoRead()
{
    setErrorMessage(QString());
    const auto kind = static_cast<Configuration::DeviceType>(m_session->deviceKind());
    m_favorites->handleDevice(m_session->host(), m_username, m_session->password(), kind);
    const QString version = m_session->blockVersion();
    if (m_blockVersion != version) {
        m_blockVersion = version;
        emit blockVersionChanged();
    }
    LauncherConfig::instance()->setAppVersion(version);
    LauncherConfig::instance()->setApiVersion(m_session->apiVersion());
    LauncherConfig::instance()->setDeviceType(kind);
}

void BlockLogin::onRefused(BlockSession::Refusal refusal, int httpStatus)
{
    const QString device = BrandConfiguration::instance()->deviceName();
    switch (refusal) {
    case BlockSession::Refusal::WrongCredentials:
        finish(BlockSession::IncorrectPasswordOrUsername, tr("Incorrect user name or password."));
        emit validationFailed();
        break;
    case BlockSession::Refusal::Forbidden:
        finish(BlockSession::NotLoggedIn, tr("The user %1 is not allowed to log in to this %2.").arg(m_username, device));
        emit forbidden();
        break;
    case BlockSession::Refusal::ExpiredAccount:
        finish(BlockSession::ExpiredAccount, tr("The account %1 has expired.").arg(m_username));
        emit expiredAccount();
        break;
    case BlockSession::Refusal::NoAccess:
        finish(BlockSession::IncorrectPasswordOrUsername,
               httpStatus == 200 ? tr("The account %1 has no access to this %2.").arg(m_username, device)
                                 : tr("The log-in was refused (HTTP status %1).").arg(httpStatus));
        emit validationFailed();
        break;
    case BlockSession::Refusal::Unreadable:
        finish(BlockSession::NotLoggedIn,
               tr("The %1 sent an answer that cannot be read (HTTP status %2).").arg(device).arg(httpStatus));
        break;
    }
}

void BlockLogin::onLoggedIn()
{
    finish(BlockSession::LoggedIn, QString());
    LOG_INF(QStringLiteral("[INFO] Login was successful."));
    emit succeeded();
}

void BlockLogin::finish(Status status, const QString &message)
{
    m_session->cancel();
    setErrorMessage(message);
    setStatus(status);
}

void BlockLogin::logout(bool force)
{
    m_session->logout(force);
    setStatus(BlockSession::NotLoggedIn);
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
