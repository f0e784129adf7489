#include "observation/video/FrameReceiver.h"

namespace kvr::QMTClient {

FrameReceiver::FrameReceiver(QObject *parent)
    : QObject(parent)
{
}

} // namespace kvr::QMTClient
