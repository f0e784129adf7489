#pragma once

#include <QByteArray>
#include <QSize>

#include <opencv2/core/mat.hpp>

namespace kvr::tracker::net {

// JPEG through libjpeg-turbo's own interface: the library and settings that OpenCV's decoder
// uses, so the same pixels, but written straight in the layout the video path shows instead
// of as BGR that has to be swapped back. Thread-safe: each thread keeps its own decompressor.
class JpegDecoder
{
public:
    // Colour pictures as CV_8UC4 B, G, R, 255 (the memory of QImage::Format_RGB32 on
    // little-endian machines), grey ones as CV_8UC1; both continuous. False, with `mat`
    // untouched, for what is better left to OpenCV: CMYK pictures, damaged or truncated data
    // (where the two decoders fill the missing rows differently), big-endian machines.
    // With a `wanted` size (both sides above 0) the picture is decoded at the smallest DCT
    // scale of 1/4 and 1/2 that still covers it both ways, else at full size.
    static bool decode(const QByteArray &data, cv::Mat &mat, const QSize &wanted = QSize());

    // The size decode() gives a picture of `full` pixels for `wanted`.
    static QSize scaledSize(const QSize &full, const QSize &wanted);
};

} // namespace kvr::tracker::net
