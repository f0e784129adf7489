#include "core/tracker/CMPacketReader.h"

#include "core/net/VariantDecoder.h"
#include "core/tracker/TrackerPacketType.h"

namespace kvr::tracker::net {

using kvr::net::VariantDecoder;

bool CMPacketReader::accepts(quint16 type) const
{
    switch (TrackerPacketType(type)) {
    case TrackerPacketType::Info:
    case TrackerPacketType::SourceStatus:
    case TrackerPacketType::SourcesData:
    case TrackerPacketType::Error:
    case TrackerPacketType::Frame2:
    case TrackerPacketType::Time2:
        return true;
    default:
        return false;
    }
}

bool CMPacketReader::read(quint16 type, QDataStream &body, QVariant &value) const
{
    VariantDecoder decoder;
    switch (TrackerPacketType(type)) {
    case TrackerPacketType::Info: {
        QString text;
        QString version;
        QString revision;
        body >> text;
        if (text == QLatin1String("authorized"))
            body >> version >> revision;
        value = QVariantList{text, version, revision};
        return true;
    }
    case TrackerPacketType::SourceStatus: {
        quint32 sourceId = 0;
        QString status;
        QString stateInfo;
        body >> sourceId >> status;
        // The state information is optional: a body may end after the status.
        if (body.status() == QDataStream::Ok && !body.atEnd())
            body >> stateInfo;
        value = QVariantList{uint(sourceId), status, stateInfo};
        return true;
    }
    case TrackerPacketType::SourcesData: {
        QMap<quint32, QHash<QString, QVariant>> sourcesData;
        if (!decoder.read(body, sourcesData))
            return false;
        value = QVariant::fromValue(sourcesData);
        return true;
    }
    case TrackerPacketType::Error: {
        quint32 sourceId = 0;
        QString message;
        body >> sourceId >> message;
        value = QVariantList{uint(sourceId), message};
        return true;
    }
    case TrackerPacketType::Frame2: {
        QVariant frame;
        QVariant format;
        if (!decoder.read(body, frame) || !decoder.read(body, format))
            return false;
        if (frame.userType() != QMetaType::QVariantMap || format.userType() != QMetaType::QVariantMap)
            return false;
        value = QVariantList{frame, format};
        return true;
    }
    case TrackerPacketType::Time2: {
        QVariant timestamp;
        if (!decoder.read(body, timestamp) || timestamp.userType() != QMetaType::QVariantMap)
            return false;
        value = timestamp;
        return true;
    }
    default:
        return false;
    }
}

} // namespace kvr::tracker::net
