#include "observation/video/FrameData.h"

FrameData::FrameData(qint64 timestamp_, const QImage &image_)
    : timestamp(timestamp_)
    , image(image_)
{
}
