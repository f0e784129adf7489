#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class ParallelConnection;

// Tries several TCP ports of one address at once within one time-out and reports the ports
// that accept. Every port answering for the first time becomes activePort (a later answer
// overrides an earlier one). Remembers per address the port that proved to work.
// GUI thread only.
class ConnectionTester : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool processed READ processed WRITE setProcessed NOTIFY processedChanged)
    Q_PROPERTY(int activePort READ activePort WRITE setActivePort NOTIFY activePortChanged)

public:
    explicit ConnectionTester(int timeoutPeriod, QObject *parent = nullptr);
    ~ConnectionTester() override;

    bool enabled() const { return m_enabled; }
    bool processed() const { return m_processed; }
    int activePort() const { return m_activePort; }
    QString address() const { return m_address; }
    int timeoutPeriod() const { return m_timeoutPeriod; }
    QList<int> answeredPorts() const { return m_answeredPorts; }
    int connectionCount() const { return m_connections.size(); }

    // Begins a new series: drops the answered ports and the attempts of the last one.
    void setAddress(const QString &address);
    // Adds an attempt on the current address; nothing without an address.
    void addConnection(int port);
    // (Re)starts the time-out and lets every idle attempt connect.
    void start();
    // Stops the time-out; successes of attempts still connecting are no longer reported.
    void stop();
    void storePort(const QString &address, int port);
    int storedPort(const QString &address) const;
    // Remembers activePort for the address and ends the series.
    void acceptActivePort();
    // Rotates activePort through the answered ports; false when none answered. No signal.
    bool selectActivePort();

public slots:
    void setEnabled(bool enabled);
    void setProcessed(bool processed);
    void setActivePort(int port);
    void setTimeoutPeriod(int milliseconds); // takes effect at the next start()

signals:
    void enabledChanged();
    void processedChanged();
    void activePortChanged();
    void connected();
    void timeout();

private slots:
    void handlePortConnected(int port);
    void handleTimeout();

private:
    bool m_enabled = true;
    bool m_processed = false;
    QString m_address;
    qint32 m_activePort = -1;
    QList<int> m_answeredPorts;
    QTimer m_timer;
    qint32 m_timeoutPeriod;
    QMap<QString, int> m_storedPorts;
    QList<std::shared_ptr<ParallelConnection>> m_connections;
};
