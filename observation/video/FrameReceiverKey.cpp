#include "observation/video/FrameReceiverKey.h"

bool FrameReceiverKey::operator<(const FrameReceiverKey &other) const
{
    const QString text = address.toString();
    const QString otherText = other.address.toString();
    if (text != otherText)
        return text < otherText;
    return port < other.port;
}

bool FrameReceiverKey::operator==(const FrameReceiverKey &other) const
{
    return address.toString() == other.address.toString() && port == other.port;
}
