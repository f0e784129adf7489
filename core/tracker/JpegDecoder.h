#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <opencv2/core/mat.hpp>

namespace kvr::tracker::net {

// JPEG through libjpeg-turbo's own interface, with the settings OpenCV's decoder used (so the
// same pixels for the pictures both read), written straight in the layout the video path shows
// instead of as BGR that has to be swapped back. libjpeg's messages never reach stderr: they
// come back as text. Thread-safe: each thread keeps its own decompressor.
class JpegDecoder
{
public:
    enum class Result {
        Decoded,
        // Damaged data (a truncated picture, corrupt entropy data): what libjpeg could read,
        // the rest filled as libjpeg fills it.
        Damaged,
        Failed,
    };

    // Colour pictures (YCbCr, RGB, CMYK, YCCK) as CV_8UC4 B, G, R, 255 (the memory of
    // QImage::Format_RGB32 on little-endian machines), grey ones as CV_8UC1; both continuous.
    // On Failed `mat` is untouched. `message` gets libjpeg's text on Damaged and Failed.
    // With a `wanted` size (both sides above 0) the picture is decoded at the smallest DCT
    // scale of 1/4 and 1/2 that still covers it both ways, else at full size.
    static Result decode(const QByteArray &data, cv::Mat &mat, const QSize &wanted = QSize(),
                         QString *message = nullptr);

    // The size decode() gives a picture of `full` pixels for `wanted`.
    static QSize scaledSize(const QSize &full, const QSize &wanted);
};

} // namespace kvr::tracker::net
