#include "core/tracker/CMClient.h"

#include "core/data/SourceTimestamp.h"
#include "core/log/Log.h"
#include "core/net/PacketFraming.h"
#include "core/tracker/CMClientFrame.h"
#include "core/tracker/CMPacketReader.h"
#include "core/tracker/TrackerPacketType.h"

#include <QDataStream>

namespace kvr::tracker::net {

using kvr::net::PacketFraming;

CMClient::CMClient(QObject *parent)
    : TCPClient(std::make_shared<CMPacketReader>(), parent)
{
    static const bool registered = [] {
        qRegisterMetaType<QMap<quint32, QHash<QString, QVariant>>>("QMap<quint32,QHash<QString,QVariant>>");
        qRegisterMetaType<std::shared_ptr<kvr::tracker::net::CMClient::Frame>>(
            "std::shared_ptr<kvr::tracker::net::CMClient::Frame>");
        qRegisterMetaType<std::shared_ptr<kvr::tracker::common::SourceTimestamp>>(
            "std::shared_ptr<kvr::tracker::common::SourceTimestamp>");
        return true;
    }();
    Q_UNUSED(registered)
}

QByteArray CMClient::commandBody(const QString &cmd, const QVariant &data)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    PacketFraming::prepare(stream);
    stream << cmd << data;
    return body;
}

void CMClient::command(const QString &cmd, const QVariant &data)
{
    LOG_DBG0(QStringLiteral("Command \"%1\".").arg(cmd));
    sendPacket(quint16(TrackerPacketType::Command), commandBody(cmd, data));
}

void CMClient::packetReceived(quint16 type, const QVariant &value)
{
    switch (TrackerPacketType(type)) {
    case TrackerPacketType::Info: {
        const QVariantList fields = value.toList();
        const QString text = fields.value(0).toString();
        if (text == QLatin1String("authorized")) {
            LOG_DBG0(QStringLiteral("Authorized by node version %1 revision %2.")
                         .arg(fields.value(1).toString(), fields.value(2).toString()));
            emit authorizedReceived();
        } else if (text == QLatin1String("unauthorized")) {
            emit unauthorizedReceived();
        } else {
            LOG_WRN(QStringLiteral("Unknown info \"%1\" ignored.").arg(text));
        }
        break;
    }
    case TrackerPacketType::SourceStatus: {
        const QVariantList fields = value.toList();
        emit sourceStatusReceived(fields.value(0).toUInt(), fields.value(1).toString(), fields.value(2).toString());
        break;
    }
    case TrackerPacketType::SourcesData:
        emit sourcesDataReceived(value.value<QMap<quint32, QHash<QString, QVariant>>>());
        break;
    case TrackerPacketType::Error: {
        const QVariantList fields = value.toList();
        emit errorReceived(fields.value(0).toUInt(), fields.value(1).toString());
        break;
    }
    case TrackerPacketType::Frame2: {
        // The records share the received maps and the image bytes in them: nothing is copied.
        const QVariantList fields = value.toList();
        kvr::tracker::common::SourceFrame sourceFrame;
        sourceFrame.setQVariantData(fields.value(0));
        kvr::tracker::common::SourceFrameFormatDefinition format;
        format.setQVariantData(fields.value(1));
        emit imageReceived(std::make_shared<Frame>(format, sourceFrame));
        break;
    }
    case TrackerPacketType::Time2: {
        auto timestamp = std::make_shared<kvr::tracker::common::SourceTimestamp>();
        timestamp->setQVariantData(value);
        emit sourceTimestampReceived(timestamp);
        break;
    }
    default:
        break;
    }
}

} // namespace kvr::tracker::net
