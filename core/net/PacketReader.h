#pragma once

#include <QDataStream>
#include <QVariant>
#include <QtGlobal>

namespace kvr::net {

// Turns packet bodies of one protocol into values. Runs in the connection's thread and is
// shared with it, so implementations keep no state.
class PacketReader
{
public:
    virtual ~PacketReader();

    // Whether a packet of this type may arrive here; asked on the header, before the body is
    // waited for, so that an unknown type never makes the link buffer its body.
    virtual bool accepts(quint16 type) const;

    // Reads one body from a stream that ends with it. False, or a stream status other than
    // Ok, means the body does not decode. The base keeps the body's bytes as a QByteArray.
    virtual bool read(quint16 type, QDataStream &body, QVariant &value) const;
};

} // namespace kvr::net
