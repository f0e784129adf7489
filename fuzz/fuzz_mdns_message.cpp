// Feeds arbitrary datagrams to the mDNS decoder. Besides crashes and out-of-bounds reads
// it checks that whatever the decoder accepts encodes again and decodes to the same message.

#include "devices/mdns/MessageCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65535)
        return 0;
    // No copy: a read past the datagram touches memory the fuzzer does not own.
    const QByteArray datagram = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    mdns::Message message;
    if (!mdns::MessageCodec::decode(datagram, message))
        return 0;
    QByteArray encoded;
    if (!mdns::MessageCodec::encode(message, encoded)) {
        std::fprintf(stderr, "decoded message does not encode\n");
        std::abort();
    }
    mdns::Message again;
    if (!mdns::MessageCodec::decode(encoded, again) || !(again == message)) {
        std::fprintf(stderr, "re-encoded message decodes differently\n");
        std::abort();
    }
    return 0;
}
