#include "support/SimulatedTrackerNode.h"

#include "core/net/PacketFraming.h"
#include "core/net/VariantDecoder.h"
#include "core/tracker/TrackerPacketType.h"

#include <QDataStream>
#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using kvr::net::PacketFraming;
using kvr::tracker::net::TrackerPacketType;

namespace {

// What a node takes from the launcher: its party information and commands.
class NodeReader : public kvr::net::PacketReader
{
public:
    bool accepts(quint16 type) const override
    {
        return type == quint16(TrackerPacketType::Command) || type == quint16(TrackerPacketType::PartyInformation);
    }

    bool read(quint16 type, QDataStream &body, QVariant &value) const override
    {
        kvr::net::VariantDecoder decoder;
        if (type == quint16(TrackerPacketType::PartyInformation)) {
            QVariantMap party;
            if (!decoder.read(body, party))
                return false;
            value = party;
            return true;
        }
        QString name;
        QVariant data;
        if (!decoder.read(body, name) || !decoder.read(body, data))
            return false;
        value = QVariantList{name, data};
        return true;
    }
};

constexpr qint64 MaxQueuedBytes = 4 * 1024 * 1024;

template<typename Writer>
QByteArray encode(Writer writer)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    PacketFraming::prepare(stream);
    writer(stream);
    return body;
}

} // namespace

SimulatedTrackerNode::SimulatedTrackerNode(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
    , m_decoder(std::make_shared<NodeReader>())
    , m_frameTimer(new QTimer(this))
    , m_timeTimer(new QTimer(this))
    , m_keepAliveTimer(new QTimer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimulatedTrackerNode::onNewConnection);
    connect(m_frameTimer, &QTimer::timeout, this, &SimulatedTrackerNode::pumpFrames);
    connect(m_timeTimer, &QTimer::timeout, this, &SimulatedTrackerNode::sendTimestamps);
    m_keepAliveTimer->setSingleShot(true);
    connect(m_keepAliveTimer, &QTimer::timeout, this,
            [this] { write(PacketFraming::header(PacketFraming::KeepAliveType, 0)); });
}

SimulatedTrackerNode::~SimulatedTrackerNode()
{
    if (m_socket)
        m_socket->abort();
}

bool SimulatedTrackerNode::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

QHostAddress SimulatedTrackerNode::address() const
{
    return QHostAddress(QHostAddress::LocalHost);
}

quint16 SimulatedTrackerNode::port() const
{
    return m_server->serverPort();
}

void SimulatedTrackerNode::setFrame(const QVariantMap &frame)
{
    m_frame = frame;
    for (int i = 0; i < m_frameStreams.size(); ++i)
        m_frameBodies[i] = frameBody(m_frame, m_frameStreams.at(i));
}

void SimulatedTrackerNode::setKeepAliveInterval(int ms)
{
    m_keepAliveInterval = ms;
    if (ms <= 0)
        m_keepAliveTimer->stop();
}

void SimulatedTrackerNode::setSilent(bool silent)
{
    m_silent = silent;
    if (silent)
        m_keepAliveTimer->stop();
}

QStringList SimulatedTrackerNode::commandNames() const
{
    QStringList names;
    for (const Command &command : m_commands)
        names << command.name;
    return names;
}

bool SimulatedTrackerNode::hasClient() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void SimulatedTrackerNode::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (!m_accepting) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (m_socket)
            m_socket->abort();
        m_socket = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        ++m_connectionCount;
        m_frameStreams.clear();
        m_frameBodies.clear();
        m_timeStreams.clear();
        connect(socket, &QTcpSocket::readyRead, this, &SimulatedTrackerNode::onReadyRead);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_frameInterval == 0)
                pumpFrames();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            socket->deleteLater();
            if (socket == m_socket) {
                m_frameTimer->stop();
                m_timeTimer->stop();
                m_keepAliveTimer->stop();
                emit clientDisconnected();
            }
        });
        if (m_keepAliveInterval > 0 && !m_silent)
            m_keepAliveTimer->start(m_keepAliveInterval);
        emit clientConnected();
    }
}

void SimulatedTrackerNode::onReadyRead()
{
    while (m_socket && !m_silent) {
        kvr::net::Packet packet;
        QString error;
        const auto result = m_decoder.next(*m_socket, packet, error);
        if (result == kvr::net::PacketDecoder::Result::NeedMore)
            return;
        if (result == kvr::net::PacketDecoder::Result::Error) {
            ++m_decodeErrors;
            qWarning("SimulatedTrackerNode: %s", qPrintable(error));
            m_socket->abort();
            return;
        }
        if (packet.type == quint16(TrackerPacketType::PartyInformation)) {
            m_partyInformation = packet.value.toMap();
            emit partyInformationReceived();
            sendInfo(m_authorized ? QStringLiteral("authorized") : QStringLiteral("unauthorized"));
        } else if (packet.type == quint16(TrackerPacketType::Command)) {
            const QVariantList fields = packet.value.toList();
            handleCommand(fields.value(0).toString(), fields.value(1));
        }
    }
    if (m_socket && m_silent)
        m_socket->readAll();
}

void SimulatedTrackerNode::handleCommand(const QString &name, const QVariant &data)
{
    m_commands.append({name, data});
    emit commandReceived(name, data);
    if (name == QLatin1String("request_sources_data")) {
        sendSourcesData(m_sourcesData);
    } else if (name == QLatin1String("request_frames")) {
        const QVariantMap format = data.toMap();
        if (frameLengthMul(format) == 0) {
            sendFrame(m_frameTimestamps ? stampedFrame(format) : m_frame, format);
            return;
        }
        m_frameStreams.append(format);
        m_frameBodies.append(frameBody(m_frame, format));
        if (m_frameInterval > 0) {
            if (!m_frameTimer->isActive())
                m_frameTimer->start(m_frameInterval);
        } else {
            pumpFrames();
        }
    } else if (name == QLatin1String("request_frames_stop")) {
        const int stream = findStream(m_frameStreams, data);
        if (stream >= 0) {
            m_frameStreams.remove(stream);
            m_frameBodies.remove(stream);
        }
    } else if (name == QLatin1String("request_frames_stop_all")) {
        m_frameStreams.clear();
        m_frameBodies.clear();
    } else if (name == QLatin1String("request_time")) {
        m_timeStreams.append(data.toMap());
        if (!m_timeTimer->isActive())
            m_timeTimer->start(m_timeInterval);
    } else if (name == QLatin1String("request_time_stop")) {
        const int stream = findStream(m_timeStreams, data);
        if (stream >= 0)
            m_timeStreams.remove(stream);
    }
    if (m_frameStreams.isEmpty())
        m_frameTimer->stop();
    if (m_timeStreams.isEmpty())
        m_timeTimer->stop();
}

quint32 SimulatedTrackerNode::frameLengthMul(const QVariantMap &format)
{
    const QVariantMap bandwidth = format.value(QStringLiteral("image_data_bandwidth_parameters")).toMap();
    return bandwidth.value(QStringLiteral("flength_mul"), 1u).toUInt();
}

int SimulatedTrackerNode::findStream(const QVector<QVariantMap> &streams, const QVariant &format)
{
    const QVariantMap map = format.toMap();
    const int exact = streams.indexOf(map);
    if (exact >= 0)
        return exact;
    const QVariant sourceId = map.value(QStringLiteral("source_id"));
    for (int i = 0; i < streams.size(); ++i) {
        if (streams.at(i).value(QStringLiteral("source_id")) == sourceId)
            return i;
    }
    return -1;
}

QVariantMap SimulatedTrackerNode::nextTimestamp(const QVariantMap &format)
{
    ++m_timeCounter;
    QVariantMap timestamp;
    timestamp.insert(QStringLiteral("source_id"), format.value(QStringLiteral("source_id")));
    m_lastDataTimestamp = m_wallClockTimestamps ? QDateTime::currentMSecsSinceEpoch() : 1000 + m_timeCounter;
    timestamp.insert(QStringLiteral("data_ts_ms"), m_lastDataTimestamp);
    timestamp.insert(QStringLiteral("video_ts_ms"), 2000 + m_timeCounter);
    return timestamp;
}

QVariantMap SimulatedTrackerNode::stampedFrame(const QVariantMap &format)
{
    QVariantMap frame = m_frame;
    frame.insert(QStringLiteral("timestamp"), nextTimestamp(format));
    return frame;
}

void SimulatedTrackerNode::pumpFrames()
{
    if (!hasClient() || m_silent || m_frameStreams.isEmpty())
        return;
    const auto sendAll = [this] {
        for (int i = 0; i < m_frameBodies.size(); ++i) {
            const QByteArray body = m_frameTimestamps
                ? frameBody(stampedFrame(m_frameStreams.at(i)), m_frameStreams.at(i))
                : m_frameBodies.at(i);
            sendPacket(quint16(TrackerPacketType::Frame2), body);
            ++m_framesSent;
            m_frameBytesSent += body.size();
        }
    };
    if (m_frameInterval > 0) {
        sendAll();
        return;
    }
    // As fast as the client reads, without queueing more than a few frames.
    while (hasClient() && m_socket->bytesToWrite() < MaxQueuedBytes)
        sendAll();
}

void SimulatedTrackerNode::sendTimestamps()
{
    for (const QVariantMap &format : qAsConst(m_timeStreams))
        sendTime(nextTimestamp(format));
}

void SimulatedTrackerNode::write(const QByteArray &bytes)
{
    if (!hasClient() || m_silent)
        return;
    m_socket->write(bytes);
    if (m_keepAliveInterval > 0)
        m_keepAliveTimer->start(m_keepAliveInterval);
}

void SimulatedTrackerNode::sendPacket(quint16 type, const QByteArray &body)
{
    write(PacketFraming::packet(type, body));
}

void SimulatedTrackerNode::sendRaw(const QByteArray &bytes)
{
    write(bytes);
    if (m_socket)
        m_socket->flush();
}

void SimulatedTrackerNode::sendInfo(const QString &text)
{
    sendPacket(quint16(TrackerPacketType::Info), encode([&](QDataStream &s) {
                   s << text;
                   if (text == QLatin1String("authorized"))
                       s << QStringLiteral("1.19.0") << QStringLiteral("sim");
               }));
}

void SimulatedTrackerNode::sendSourceStatus(quint32 sourceId, const QString &status, const QString &stateInfo,
                                            bool withStateInfo)
{
    sendPacket(quint16(TrackerPacketType::SourceStatus), encode([&](QDataStream &s) {
                   s << sourceId << status;
                   if (withStateInfo)
                       s << stateInfo;
               }));
}

void SimulatedTrackerNode::sendError(quint32 sourceId, const QString &message)
{
    sendPacket(quint16(TrackerPacketType::Error), encode([&](QDataStream &s) { s << sourceId << message; }));
}

void SimulatedTrackerNode::sendSourcesData(const QMap<quint32, QHash<QString, QVariant>> &sourcesData)
{
    sendPacket(quint16(TrackerPacketType::SourcesData), encode([&](QDataStream &s) { s << sourcesData; }));
}

QByteArray SimulatedTrackerNode::frameBody(const QVariantMap &frame, const QVariantMap &format)
{
    return encode([&](QDataStream &s) { s << QVariant(frame) << QVariant(format); });
}

void SimulatedTrackerNode::sendFrame(const QVariantMap &frame, const QVariantMap &format)
{
    if (!hasClient() || m_silent)
        return;
    const QByteArray body = frameBody(frame, format);
    sendPacket(quint16(TrackerPacketType::Frame2), body);
    ++m_framesSent;
    m_frameBytesSent += body.size();
}

void SimulatedTrackerNode::sendTime(const QVariantMap &timestamp)
{
    if (!hasClient() || m_silent)
        return;
    sendPacket(quint16(TrackerPacketType::Time2), encode([&](QDataStream &s) { s << QVariant(timestamp); }));
    ++m_timestampsSent;
}

void SimulatedTrackerNode::dropConnection()
{
    if (m_socket)
        m_socket->abort();
}

void SimulatedTrackerNode::closeConnection()
{
    if (m_socket)
        m_socket->disconnectFromHost();
}
