#pragma once

#include "core/net/PacketReader.h"

namespace kvr::tracker::net {

// Decodes the packets a tracker node sends to the launcher. Values handed to CMClient:
// Info: QVariantList{text, server version, server revision};
// SourceStatus: QVariantList{uint source id, status, state information};
// SourcesData: QMap<quint32, QHash<QString, QVariant>>;
// Error: QVariantList{uint source id, message};
// Frame2: QVariantList{frame value map, frame format value map};
// Time2: the time stamp's value map.
class CMPacketReader : public kvr::net::PacketReader
{
public:
    bool accepts(quint16 type) const override;
    bool read(quint16 type, QDataStream &body, QVariant &value) const override;
};

} // namespace kvr::tracker::net
