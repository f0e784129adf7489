#pragma once

#include <QMetaType>
#include <QVariant>
#include <QtGlobal>

namespace kvr::net {

// One decoded packet: its type and what the link's PacketReader made of the body.
struct Packet
{
    quint16 type = 0;
    QVariant value;
};

} // namespace kvr::net
