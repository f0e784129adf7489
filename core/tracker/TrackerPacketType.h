#pragma once

#include "core/net/PacketFraming.h"

#include <QtGlobal>

namespace kvr::tracker::net {

// Packet types of the tracker packet protocol (docs/tracker-protocol.md).
enum class TrackerPacketType : quint16 {
    Info = 0,
    Command = 1,
    SourceStatus = 8,
    SourcesData = 9,
    Error = 10,
    Frame2 = 13,
    Time2 = 14,
    PartyInformation = kvr::net::PacketFraming::PartyInformationType,
    KeepAlive = kvr::net::PacketFraming::KeepAliveType,
};

} // namespace kvr::tracker::net
