#include "core/tracker/JpegDecoder.h"

#include "core/tracker/FrameBufferAllocator.h"

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

QSize JpegDecoder::scaledSize(const QSize &full, const QSize &wanted)
{
    if (wanted.width() < 1 || wanted.height() < 1)
        return full;
    // Only the power-of-two factors: libjpeg-turbo's other reduced IDCTs (3/8, 5/8, ...) have
    // no SIMD code and cost more than they save.
    for (const int denominator : {4, 2}) {
        const QSize scaled((full.width() + denominator - 1) / denominator,
                           (full.height() + denominator - 1) / denominator);
        if (scaled.width() >= wanted.width() && scaled.height() >= wanted.height())
            return scaled;
    }
    return full;
}

bool JpegDecoder::decode(const QByteArray &data, cv::Mat &mat, const QSize &wanted)
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
    // tjDecompress2 takes the largest scale whose picture fits the size it is given, and
    // scaledSize rounds up as TJSCALED does: the chosen factor exactly.
    const QSize scaled = scaledSize(QSize(width, height), wanted);
    cv::Mat decoded;
    decoded.allocator = &FrameBufferAllocator::instance();
    decoded.create(scaled.height(), scaled.width(), grey ? CV_8UC1 : CV_8UC4);
    // Default DCT and fancy upsampling, as OpenCV's decoder; any warning (truncated or
    // damaged data) ends the decode so that OpenCV's handling of it stays the one that counts.
    if (tjDecompress2(handle, bytes, size, decoded.data, scaled.width(), int(decoded.step), scaled.height(),
                      grey ? TJPF_GRAY : TJPF_BGRX, TJFLAG_STOPONWARNING)
        != 0)
        return false;
    mat = decoded;
    return true;
}

} // namespace kvr::tracker::net
