#include "core/tracker/ImageCodecLibrary.h"

#include "core/log/Log.h"

#include <dlfcn.h>

namespace kvr::tracker::net {

namespace {

using ImageDecode = cv::Mat (*)(const cv::_InputArray &, int);

ImageDecode resolveImageDecode()
{
    // Never closed: decoded matrices may hold the library's allocator and code to the end.
    void *library = dlopen(ORVA_OPENCV_IMGCODECS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        LOG_ERR(QStringLiteral("Cannot load OpenCV's image decoder: %1.").arg(QString::fromLocal8Bit(dlerror())));
        return nullptr;
    }
    // cv::imdecode(cv::InputArray, int) by its C++ name, stable for the library's soname.
    void *symbol = dlsym(library, "_ZN2cv8imdecodeERKNS_11_InputArrayEi");
    if (!symbol) {
        LOG_ERR(QStringLiteral("OpenCV's image decoder library lacks cv::imdecode: %1.")
                    .arg(QString::fromLocal8Bit(dlerror())));
        return nullptr;
    }
    return reinterpret_cast<ImageDecode>(symbol);
}

} // namespace

cv::Mat ImageCodecLibrary::decode(const cv::Mat &bytes, int flags)
{
    static const ImageDecode imageDecode = resolveImageDecode();
    if (!imageDecode)
        return cv::Mat();
    return imageDecode(bytes, flags);
}

} // namespace kvr::tracker::net
