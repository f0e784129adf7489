// libFuzzer target: arbitrary bytes from a tracker node through the framing and body decoders.
#include "core/net/PacketDecoder.h"
#include "core/tracker/CMPacketReader.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const kvr::net::PacketDecoder decoder(std::make_shared<kvr::tracker::net::CMPacketReader>(),
                                                 kvr::net::PacketFraming::MaxBodySize);
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    for (;;) {
        kvr::net::Packet packet;
        QString error;
        const auto result = decoder.next(buffer, packet, error);
        if (result != kvr::net::PacketDecoder::Result::Packet)
            break;
    }
    return 0;
}
