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

QString errorText(tjhandle handle)
{
    return QString::fromLocal8Bit(tjGetErrorStr2(handle));
}

// C, M, Y, K as libjpeg hands them out (Adobe's inverted values) to B, G, R, 255 in place,
// with OpenCV's arithmetic, so that these pictures keep the pixels OpenCV's decoder gave them.
void cmykToBgrx(cv::Mat &pixels)
{
    for (int y = 0; y < pixels.rows; ++y) {
        uchar *pixel = pixels.ptr(y);
        for (int x = 0; x < pixels.cols; ++x, pixel += 4) {
            const int c = pixel[0];
            const int m = pixel[1];
            const int yellow = pixel[2];
            const int k = pixel[3];
            pixel[0] = uchar(k - ((255 - yellow) * k >> 8));
            pixel[1] = uchar(k - ((255 - m) * k >> 8));
            pixel[2] = uchar(k - ((255 - c) * k >> 8));
            pixel[3] = 255;
        }
    }
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

JpegDecoder::Result JpegDecoder::decode(const QByteArray &data, cv::Mat &mat, const QSize &wanted, QString *message)
{
    const auto fail = [message](const QString &text) {
        if (message)
            *message = text;
        return Result::Failed;
    };
    // BGRX is RGB32's memory on little-endian machines only.
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return fail(QStringLiteral("JPEG decoding needs a little-endian machine"));
    if (data.isEmpty())
        return fail(QStringLiteral("no data"));
    const tjhandle handle = threadDecompressor();
    if (!handle)
        return fail(QStringLiteral("no decompressor"));
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const auto size = static_cast<unsigned long>(data.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle, bytes, size, &width, &height, &subsampling, &colourspace) != 0)
        return fail(errorText(handle));
    const bool grey = colourspace == TJCS_GRAY;
    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    // tjDecompress2 takes the largest scale whose picture fits the size it is given, and
    // scaledSize rounds up as TJSCALED does: the chosen factor exactly.
    const QSize scaled = scaledSize(QSize(width, height), wanted);
    cv::Mat decoded;
    decoded.allocator = &FrameBufferAllocator::instance();
    decoded.create(scaled.height(), scaled.width(), grey ? CV_8UC1 : CV_8UC4);
    const int pixelFormat = grey ? TJPF_GRAY : cmyk ? TJPF_CMYK : TJPF_BGRX;
    // A full-size picture keeps the default DCT and fancy upsampling, as OpenCV's decoder: the
    // same pixels. One decoded at 1/2 or 1/4 is scaled down again to the size it is shown at,
    // which hides the difference, and the faster ones save some of the work that is not
    // Huffman decoding.
    const int speed = scaled == QSize(width, height) ? 0 : TJFLAG_FASTUPSAMPLE | TJFLAG_FASTDCT;
    const auto run = [&](int flags) {
        return tjDecompress2(handle, bytes, size, decoded.data, scaled.width(), int(decoded.step), scaled.height(),
                             pixelFormat, flags | speed);
    };
    // The first run stops at the first warning, whose text it keeps; a damaged picture is then
    // decoded to its end. libjpeg keeps the first warning's text unless a fatal error comes
    // later: another text means that rows after it were never written.
    Result result = Result::Decoded;
    if (run(TJFLAG_STOPONWARNING) != 0) {
        if (tjGetErrorCode(handle) == TJERR_FATAL)
            return fail(errorText(handle));
        const QString warning = errorText(handle);
        if (run(0) != 0 && (tjGetErrorCode(handle) == TJERR_FATAL || errorText(handle) != warning))
            return fail(errorText(handle));
        if (message)
            *message = warning;
        result = Result::Damaged;
    }
    if (cmyk)
        cmykToBgrx(decoded);
    mat = decoded;
    return result;
}

} // namespace kvr::tracker::net
