#include "core/tracker/JpegDecoder.h"

#include <QSysInfo>

#include <turbojpeg.h>

#include <memory>

namespace kvr::tracker::net {

namespace {

struct DecompressorDeleter
{
    void operator()(void *handle) const { tjDestroy(handle); }
};

tjhandle threadDecompressor()
{
    thread_local const std::unique_ptr<void, DecompressorDeleter> handle(tjInitDecompress());
    return handle.get();
}

} // namespace

bool JpegDecoder::decode(const QByteArray &data, cv::Mat &mat)
{
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian || data.isEmpty())
        return false;
    const tjhandle handle = threadDecompressor();
    if (!handle)
        return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const auto size = static_cast<unsigned long>(data.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle, bytes, size, &width, &height, &subsampling, &colourspace) != 0)
        return false;
    const bool grey = colourspace == TJCS_GRAY;
    if (!grey && colourspace != TJCS_YCbCr && colourspace != TJCS_RGB)
        return false;
    cv::Mat decoded(height, width, grey ? CV_8UC1 : CV_8UC4);
    // Default DCT and fancy upsampling, as OpenCV's decoder; any warning (truncated or
    // damaged data) ends the decode so that OpenCV's handling of it stays the one that counts.
    if (tjDecompress2(handle, bytes, size, decoded.data, width, int(decoded.step), height,
                      grey ? TJPF_GRAY : TJPF_BGRX, TJFLAG_STOPONWARNING)
        != 0)
        return false;
    mat = decoded;
    return true;
}

} // namespace kvr::tracker::net
