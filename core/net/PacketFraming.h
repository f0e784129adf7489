#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QtGlobal>

namespace kvr::net {

// The frame around every packet of a TCPClient link (docs/tracker-protocol.md): a fixed
// big-endian header of magic, packet type and body length, then the body.
class PacketFraming
{
public:
    static constexpr quint16 Magic = 0x4B54; // "KT"
    static constexpr int HeaderSize = 8;
    // A raw 3840x2160 four-channel frame plus its records still fits.
    static constexpr quint32 MaxBodySize = 32u * 1024u * 1024u;

    // Link-level packets, on type numbers that the tracker protocol leaves free.
    static constexpr quint16 PartyInformationType = 32;
    static constexpr quint16 KeepAliveType = 33;

    static constexpr int DefaultConnectTimeout = 5000;     // ms
    static constexpr int DefaultKeepAliveInterval = 2000;  // ms without sending before a keep-alive goes out
    static constexpr int DefaultKeepAliveTimeout = 6000;   // ms without receiving before the link counts as dead

    // Peers decode with the same bytes whatever Qt they were built with.
    static constexpr QDataStream::Version StreamVersion = QDataStream::Qt_5_12;

    static void prepare(QDataStream &stream);
    static QByteArray header(quint16 type, quint32 bodySize);
    static QByteArray packet(quint16 type, const QByteArray &body);
};

} // namespace kvr::net
