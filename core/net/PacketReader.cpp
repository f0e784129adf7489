#include "core/net/PacketReader.h"

#include <QIODevice>

namespace kvr::net {

PacketReader::~PacketReader() = default;

bool PacketReader::accepts(quint16 type) const
{
    Q_UNUSED(type)
    return true;
}

bool PacketReader::read(quint16 type, QDataStream &body, QVariant &value) const
{
    Q_UNUSED(type)
    value = body.device()->readAll();
    return true;
}

} // namespace kvr::net
