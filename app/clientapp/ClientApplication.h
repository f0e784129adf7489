#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class BlockConnectionManager;
class QTimer;

namespace restservice {
class BlockResponse;
}

// Starts the client application for the logged-in user and watches it until it ends. Blocks of
// API version 1.17 or later first end the launcher's own session, since the client logs in by
// itself. GUI thread only.
class ClientApplication : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        QString program;
        QStringList arguments;
        QString user; // "user@host" for the log; the arguments hold the password
    };
    // Asked when the client is about to run, after the log-out: the command line is that of
    // that moment.
    using CommandSource = std::function<Command()>;

    // What the client's command line carries.
    struct Login
    {
        QString username;
        QString password;
        QString host;
        int port = 0;
        int autoLogoutPeriod = 0;
        QString language;
        int screen = 0;
        bool autoSelectDashboard = false;
        int autoSelectId = -1;
        QString brandPackage; // empty for the built-in brand
    };

    // `block` is the log-in's REST client (it sends the log-out); it must outlive this.
    ClientApplication(BlockConnectionManager *block, CommandSource commands, QObject *parent = nullptr);
    ~ClientApplication() override;

    // The client in a version's directory: named after the brand's application, with or
    // without ".exe"; empty when there is none.
    static QString findExecutable(const QString &versionDirectory);
    static QStringList arguments(const Login &login);

    // How long a log-out may stay unanswered before the client starts anyway.
    void setLogoutAnswerTimeout(int milliseconds);

    QString message() const { return m_message; }
    void setMessage(const QString &message);
    bool isRunning() const { return m_process != nullptr; }

    // Refuses with a message while a client runs, without a log-in or without a client to run.
    // Otherwise ends `sessionToEnd` on a block of `apiVersion` 1.17 or later first.
    bool start(bool loggedIn, const QString &apiVersion, const QString &sessionToEnd);

signals:
    void messageChanged();
    // The process is about to start: the launcher's window steps aside now.
    void aboutToStart();
    void started();
    void finished(int exitCode);

private:
    void run();
    void onLogoutAnswered(const std::shared_ptr<restservice::BlockResponse> &response);
    void onFinished(int exitCode, QProcess::ExitStatus status);

    BlockConnectionManager *m_block;
    CommandSource m_commands;
    QString m_message;
    QProcess *m_process = nullptr;
    bool m_startPending = false;
    QTimer *m_logoutWait;
};
