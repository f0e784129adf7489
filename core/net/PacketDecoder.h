#pragma once

#include "core/net/Packet.h"
#include "core/net/PacketFraming.h"
#include "core/net/PacketReader.h"

#include <QString>

#include <memory>

class QIODevice;

namespace kvr::net {

// Takes framed packets off a device. A packet is consumed only when all of it has arrived,
// so the device never holds more than one header and a body of at most maxBodySize bytes
// that are waiting. The body is read straight from the device into the decoded values.
class PacketDecoder
{
public:
    enum class Result { NeedMore, Packet, Error };

    explicit PacketDecoder(std::shared_ptr<const PacketReader> reader,
                           quint32 maxBodySize = PacketFraming::MaxBodySize);

    // Error leaves the device at an unknown position: the link must be dropped.
    Result next(QIODevice &device, Packet &packet, QString &error) const;

    quint32 maxBodySize() const { return m_maxBodySize; }

private:
    std::shared_ptr<const PacketReader> m_reader;
    quint32 m_maxBodySize;
};

} // namespace kvr::net
