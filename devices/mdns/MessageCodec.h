#pragma once

#include "devices/mdns/Message.h"

#include <QByteArray>

namespace mdns {

// DNS wire format (RFC 1035 with the mDNS bits of RFC 6762). Reading assumes a hostile
// peer: every length and compression pointer is checked against the datagram, pointers
// must point backwards (so they cannot loop), and any fault rejects the whole datagram.
// Records of types other than A, AAAA, PTR, SRV and TXT, or of a class other than IN,
// are skipped by their length.
class MessageCodec
{
public:
    // False, with message untouched, when the datagram is malformed.
    static bool decode(const QByteArray &datagram, Message &message);

    // Compresses names, SRV and PTR targets included. False when a name or a TXT
    // string does not fit the wire format.
    static bool encode(const Message &message, QByteArray &datagram);
};

} // namespace mdns
