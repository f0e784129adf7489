#include "app/clientapp/ClientApplication.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/window/TextureAtlasLimit.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/BlockResponse.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimer>

namespace {

// Blocks older than this keep no server-side session that a log-out could end.
const QString kLogoutApiVersion = QStringLiteral("1.17");
// A block that takes the log-out but never answers must not keep the client from starting.
const int kLogoutAnswerTimeout = 5000;

} // namespace

ClientApplication::ClientApplication(BlockConnectionManager *block, CommandSource commands, QObject *parent)
    : QObject(parent)
    , m_block(block)
    , m_commands(std::move(commands))
    , m_logoutWait(new QTimer(this))
{
    m_logoutWait->setSingleShot(true);
    m_logoutWait->setInterval(kLogoutAnswerTimeout);
    connect(m_logoutWait, &QTimer::timeout, this, [this]() {
        if (!m_startPending)
            return;
        m_startPending = false;
        LOG_WRN(QStringLiteral("[INFO] Log-out before the client start got no answer; the client starts anyway."));
        run();
    });
    connect(m_block, &BlockConnectionManager::userLogoutResponseReceived, this, &ClientApplication::onLogoutAnswered);
}

ClientApplication::~ClientApplication()
{
    if (m_process) {
        // The client runs on by itself; only our handle of it goes.
        m_process->disconnect(this);
        m_process->setParent(nullptr);
        m_process = nullptr;
    }
}

QString ClientApplication::findExecutable(const QString &versionDirectory)
{
    if (versionDirectory.isEmpty() || !QFileInfo(versionDirectory).isDir())
        return QString();
    const QString name = BrandConfiguration::instance()->applicationName().toLower();
    QDirIterator it(versionDirectory, QDir::Files | QDir::Executable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.completeBaseName().toLower() == name || file.fileName().toLower() == name)
            return file.absoluteFilePath();
    }
    return QString();
}

QStringList ClientApplication::arguments(const Login &login)
{
    QStringList arguments{QStringLiteral("--launcher")};
    if (!login.brandPackage.isEmpty())
        arguments << QStringLiteral("--brand-package") << login.brandPackage;
    arguments << QStringLiteral("--login")
              << QStringLiteral("%1:%2@%3:%4").arg(login.username, login.password, login.host).arg(login.port)
              << QStringLiteral("--logout") << QString::number(login.autoLogoutPeriod)
              << QStringLiteral("--language") << login.language
              << QStringLiteral("--screen") << QString::number(qMax(login.screen, 0));
    if (login.autoSelectId >= 0)
        arguments << (login.autoSelectDashboard ? QStringLiteral("--selected-dashboard") : QStringLiteral("--selected-analytic"))
                  << QString::number(login.autoSelectId);
    return arguments;
}

void ClientApplication::setLogoutAnswerTimeout(int milliseconds)
{
    m_logoutWait->setInterval(milliseconds);
}

void ClientApplication::setMessage(const QString &message)
{
    assignProperty(this, m_message, message, &ClientApplication::messageChanged);
}

bool ClientApplication::start(bool loggedIn, const QString &apiVersion, const QString &sessionToEnd)
{
    const QString application = BrandConfiguration::instance()->applicationName();
    if (m_process || m_startPending) {
        setMessage(tr("The %1 client is already running.").arg(application));
        return false;
    }
    if (!loggedIn) {
        setMessage(tr("Log in to a %1 first.").arg(BrandConfiguration::instance()->deviceName()));
        return false;
    }
    if (m_commands().program.isEmpty()) {
        setMessage(tr("No %1 client version is installed. Download a version before you start the client.").arg(application));
        LOG_WRN(QStringLiteral("[VERSION] No client executable in the selected version directory."));
        return false;
    }
    setMessage(QString());
    if (LauncherConfig::isVersionAtLeast(apiVersion, kLogoutApiVersion) && !sessionToEnd.isEmpty()) {
        // The client starts once the block has answered the log-out (or failed to).
        m_startPending = true;
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), sessionToEnd);
        m_block->requestUserLogout(body);
        m_logoutWait->start();
        return true;
    }
    run();
    return true;
}

void ClientApplication::onLogoutAnswered(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (!m_startPending)
        return;
    m_startPending = false;
    m_logoutWait->stop();
    if (response->statusCode != 200)
        LOG_WRN(QStringLiteral("[INFO] Log-out before the client start answered %1.").arg(response->statusCode));
    run();
}

void ClientApplication::run()
{
    const Command command = m_commands();
    m_process = new QProcess(this);
    m_process->setProgram(command.program);
    m_process->setArguments(command.arguments);
    m_process->setWorkingDirectory(QFileInfo(command.program).absolutePath());
    m_process->setProcessEnvironment(TextureAtlasLimit::childEnvironment());
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ClientApplication::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !m_process)
            return;
        LOG_ERR(QStringLiteral("[ERROR] The client %1 failed to start: %2").arg(m_process->program(), m_process->errorString()));
        setMessage(tr("The %1 client could not be started: %2")
                       .arg(BrandConfiguration::instance()->applicationName(), m_process->errorString()));
        onFinished(-1, QProcess::CrashExit);
    });
    // The operator's password is on this command line: the log shows the user only.
    LOG_INF(QStringLiteral("[INFO] Starting the client %1 for %2.").arg(command.program, command.user));
    emit aboutToStart();
    m_process->start();
    emit started();
}

void ClientApplication::onFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!m_process)
        return;
    LOG_INF(QStringLiteral("[INFO] The client ended with %1%2.")
                .arg(exitCode)
                .arg(status == QProcess::CrashExit ? QStringLiteral(" (crashed)") : QString()));
    m_process->deleteLater();
    m_process = nullptr;
    emit finished(exitCode);
}
