#pragma once

#include <opencv2/core/mat.hpp>

namespace kvr::tracker::net {

// OpenCV's image decoder, cv::imdecode, taken from its library on the first call instead of
// linked. That library pulls in GDAL, GDCM, Poppler and a hundred more, whose loading and
// static initialisers used to dominate the launcher's start-up, while the frames that need it
// (PNG, and JPEG that libjpeg-turbo's interface leaves to it) are rare. Thread-safe.
class ImageCodecLibrary
{
public:
    // cv::imdecode(bytes, flags), its exceptions included; an empty matrix when the library
    // cannot be loaded, which the log says once.
    static cv::Mat decode(const cv::Mat &bytes, int flags);
};

} // namespace kvr::tracker::net
