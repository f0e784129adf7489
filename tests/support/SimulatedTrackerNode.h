#pragma once

#include "core/net/PacketDecoder.h"

#include <QHash>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QTcpServer;
class QTcpSocket;
class QTimer;

// A tracker node on 127.0.0.1 speaking the framed tracker protocol to one client at a time:
// answers the party information with "authorized" or "unauthorized", records every command,
// answers "request_sources_data", streams Frame2 after "request_frames" and Time2 after
// "request_time", and sends scripted packets or raw bytes on demand.
class SimulatedTrackerNode : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        QString name;
        QVariant data;
    };

    explicit SimulatedTrackerNode(QObject *parent = nullptr);
    ~SimulatedTrackerNode() override;

    bool listen();
    QHostAddress address() const;
    quint16 port() const;

    void setAuthorized(bool authorized) { m_authorized = authorized; }
    void setSourcesData(const QMap<quint32, QHash<QString, QVariant>> &sourcesData) { m_sourcesData = sourcesData; }
    // The frame's value map sent for every requested format; 0 ms streams as fast as the socket takes them.
    void setFrame(const QVariantMap &frame);
    QVariantMap frame() const { return m_frame; }
    void setFrameInterval(int ms) { m_frameInterval = ms; }
    // Every frame then carries its own "timestamp" (source id of its format, rising data and
    // video times); off, streamed frames are encoded once and carry what setFrame gave.
    void setFrameTimestamps(bool on) { m_frameTimestamps = on; }
    // Data times of stamped frames and time stamps are then the sending moment in ms since
    // the epoch, so that a receiver in this process can tell a frame's age.
    void setWallClockTimestamps(bool on) { m_wallClockTimestamps = on; }
    void setTimeInterval(int ms) { m_timeInterval = ms; }
    void setKeepAliveInterval(int ms);
    // A hung node: sends nothing at all, keep-alives included, and ignores what arrives.
    void setSilent(bool silent);

    QVector<Command> commands() const { return m_commands; }
    QStringList commandNames() const;
    void clearCommands() { m_commands.clear(); }
    QVariantMap partyInformation() const { return m_partyInformation; }
    int connectionCount() const { return m_connectionCount; }
    bool hasClient() const;
    int framesSent() const { return m_framesSent; }
    qint64 frameBytesSent() const { return m_frameBytesSent; }
    int timestampsSent() const { return m_timestampsSent; }
    // The data time of the last stamped frame or time stamp sent; 0 before the first.
    qint64 lastDataTimestamp() const { return m_lastDataTimestamp; }
    int frameStreams() const { return m_frameStreams.size(); }
    int timeStreams() const { return m_timeStreams.size(); }
    int decodeErrors() const { return m_decodeErrors; }

    void sendInfo(const QString &text);
    void sendSourceStatus(quint32 sourceId, const QString &status, const QString &stateInfo = QString(),
                          bool withStateInfo = true);
    void sendError(quint32 sourceId, const QString &message);
    void sendSourcesData(const QMap<quint32, QHash<QString, QVariant>> &sourcesData);
    void sendFrame(const QVariantMap &frame, const QVariantMap &format);
    void sendTime(const QVariantMap &timestamp);
    void sendPacket(quint16 type, const QByteArray &body);
    void sendRaw(const QByteArray &bytes);
    void closeConnection();
    // Drops the client at once, as a crashed node would.
    void dropConnection();
    // While false, every new connection is accepted and dropped at once.
    void setAcceptingConnections(bool accepting) { m_accepting = accepting; }

    static QByteArray frameBody(const QVariantMap &frame, const QVariantMap &format);

signals:
    void clientConnected();
    void partyInformationReceived();
    void commandReceived(const QString &name, const QVariant &data);
    void clientDisconnected();

private:
    void onNewConnection();
    void onReadyRead();
    void handleCommand(const QString &name, const QVariant &data);
    void pumpFrames();
    void sendTimestamps();
    void write(const QByteArray &bytes);
    static quint32 frameLengthMul(const QVariantMap &format);
    QVariantMap nextTimestamp(const QVariantMap &format);
    QVariantMap stampedFrame(const QVariantMap &format);
    static int findStream(const QVector<QVariantMap> &streams, const QVariant &format);

    QTcpServer *m_server;
    QPointer<QTcpSocket> m_socket;
    kvr::net::PacketDecoder m_decoder;
    QTimer *m_frameTimer;
    QTimer *m_timeTimer;
    QTimer *m_keepAliveTimer;
    bool m_authorized = true;
    bool m_silent = false;
    bool m_accepting = true;
    bool m_frameTimestamps = false;
    bool m_wallClockTimestamps = false;
    int m_frameInterval = 20;
    int m_timeInterval = 20;
    int m_keepAliveInterval = 1000;
    QMap<quint32, QHash<QString, QVariant>> m_sourcesData;
    QVariantMap m_frame;
    QVector<QVariantMap> m_frameStreams;
    QVector<QByteArray> m_frameBodies; // encoded once per stream: the node's own cost stays out of measurements
    QVector<QVariantMap> m_timeStreams;
    QVector<Command> m_commands;
    QVariantMap m_partyInformation;
    int m_connectionCount = 0;
    int m_framesSent = 0;
    qint64 m_frameBytesSent = 0;
    int m_timestampsSent = 0;
    qint64 m_timeCounter = 0;
    qint64 m_lastDataTimestamp = 0;
    int m_decodeErrors = 0;
};
