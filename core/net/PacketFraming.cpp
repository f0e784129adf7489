#include "core/net/PacketFraming.h"

#include <QtEndian>

namespace kvr::net {

void PacketFraming::prepare(QDataStream &stream)
{
    stream.setVersion(StreamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
}

QByteArray PacketFraming::header(quint16 type, quint32 bodySize)
{
    QByteArray bytes(HeaderSize, Qt::Uninitialized);
    uchar *raw = reinterpret_cast<uchar *>(bytes.data());
    qToBigEndian<quint16>(Magic, raw);
    qToBigEndian<quint16>(type, raw + 2);
    qToBigEndian<quint32>(bodySize, raw + 4);
    return bytes;
}

QByteArray PacketFraming::packet(quint16 type, const QByteArray &body)
{
    QByteArray bytes;
    bytes.reserve(HeaderSize + body.size());
    bytes.append(header(type, quint32(body.size())));
    bytes.append(body);
    return bytes;
}

} // namespace kvr::net
