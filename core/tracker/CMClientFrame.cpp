#include "core/tracker/CMClientFrame.h"

#include "core/log/Log.h"
#include "core/tracker/FrameBufferAllocator.h"
#include "core/tracker/FrameDecodeLog.h"
#include "core/tracker/JpegDecoder.h"

#include <QtEndian>

#include <opencv2/core.hpp>

#include <algorithm>
#include <climits>
#include <mutex>

namespace kvr::tracker::net {

using kvr::tracker::common::SourceFrame;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::common::SourceTimestamp;

// A stream's frames write through its decode log, so that a warning of every frame is written
// once and then counted; a frame of no stream writes straight to the log.
#define FRAME_LOG(log, level, message)                                                             \
    do {                                                                                           \
        if (log)                                                                                   \
            KVR_LOG_LIMITED(*(log), level, message);                                               \
        else                                                                                       \
            KVR_LOG(level, message);                                                               \
    } while (false)

namespace {

// A PNG in the layout OpenCV's decoder gave it (B, G, R; B, G, R, A with transparency; grey),
// decoded by Qt's own decoder, which is loaded anyway.
cv::Mat decodePng(const QByteArray &data)
{
    QImage image;
    if (!image.loadFromData(data, "PNG"))
        return cv::Mat();
    if (!image.hasAlphaChannel() && image.isGrayscale() && image.format() != QImage::Format_Indexed8) {
        image = image.convertToFormat(QImage::Format_Grayscale8);
        return cv::Mat(image.height(), image.width(), CV_8UC1, image.bits(), size_t(image.bytesPerLine())).clone();
    }
    // ARGB32 and RGB32 hold B, G, R, A (or 255) in memory on little-endian machines.
    const bool alpha = image.hasAlphaChannel();
    image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const cv::Mat bgra(image.height(), image.width(), CV_8UC4, image.bits(), size_t(image.bytesPerLine()));
    if (alpha)
        return bgra.clone();
    cv::Mat bgr(image.height(), image.width(), CV_8UC3);
    const int fromTo[] = {0, 0, 1, 1, 2, 2};
    cv::mixChannels(&bgra, 1, &bgr, 1, fromTo, 3);
    return bgr;
}

} // namespace

CMClient::Frame::Frame(const SourceFrameFormatDefinition &format, const SourceFrame &sourceFrame)
    : m_frameFormat(format)
    , m_sourceFrame(sourceFrame)
{
}

CMClient::Frame::Frame(const Frame &other, const SourceTimestamp &timestamp)
    : m_frameFormat(other.m_frameFormat)
    , m_sourceFrame(other.m_sourceFrame)
    , m_origin(other.weak_from_this().lock())
{
    // The node re-sends a cube's picture under every new time stamp: the copy is left to
    // whoever shows it, so that the receiving thread never decodes or copies pixels.
    if (!m_origin)
        copyPictureOf(other);
    m_sourceFrame.setTimestamp(timestamp);
}

void CMClient::Frame::copyPictureOf(const Frame &other) const
{
    std::unique_lock<std::shared_mutex> lock(other.m_lock);
    cv::Mat copy;
    copy.allocator = &FrameBufferAllocator::instance();
    other.mat().copyTo(copy);
    m_mat = std::make_shared<cv::Mat>(copy);
    const QImage &image = other.image();
    const bool sharesPixels = !image.isNull() && image.constBits() == other.mat().data;
    m_image = std::make_shared<QImage>(sharesPixels ? imageOver(*m_mat) : image.copy());
}

void CMClient::Frame::setDecodeSize(const QSize &size)
{
    std::unique_lock<std::shared_mutex> lock(m_lock);
    m_decodeSize = size;
}

QSize CMClient::Frame::decodeSize() const
{
    std::shared_lock<std::shared_mutex> lock(m_lock);
    return m_decodeSize;
}

void CMClient::Frame::setDecodeLog(std::shared_ptr<FrameDecodeLog> log)
{
    std::unique_lock<std::shared_mutex> lock(m_lock);
    m_decodeLog = std::move(log);
}

cv::Mat CMClient::Frame::getMat(const bool &deepCopy) const
{
    {
        std::shared_lock<std::shared_mutex> lock(m_lock);
        if (m_mat)
            return deepCopy ? m_mat->clone() : *m_mat;
    }
    std::unique_lock<std::shared_mutex> lock(m_lock);
    return deepCopy ? mat().clone() : mat();
}

QImage CMClient::Frame::getImage(const bool &deepCopy) const
{
    {
        std::shared_lock<std::shared_mutex> lock(m_lock);
        if (m_image)
            return deepCopy ? m_image->copy() : *m_image;
    }
    std::unique_lock<std::shared_mutex> lock(m_lock);
    return deepCopy ? image().copy() : image();
}

const cv::Mat &CMClient::Frame::mat() const
{
    if (!m_mat && m_origin) {
        copyPictureOf(*m_origin);
        m_origin.reset();
    }
    if (!m_mat) {
        bool opaque = false;
        m_mat = std::make_shared<cv::Mat>(decode(m_sourceFrame, m_decodeSize, opaque, m_decodeLog.get()));
        if (opaque)
            m_image = std::make_shared<QImage>(imageOver(*m_mat));
    }
    return *m_mat;
}

const QImage &CMClient::Frame::image() const
{
    if (!m_image) {
        const cv::Mat &decoded = mat();
        if (!m_image)
            m_image = std::make_shared<QImage>(toImage(decoded));
    }
    return *m_image;
}

QImage CMClient::Frame::imageOver(const cv::Mat &opaque)
{
    auto *owner = new cv::Mat(opaque);
    QImage image(
        owner->data, owner->cols, owner->rows, int(owner->step), QImage::Format_RGB32,
        [](void *info) { delete static_cast<cv::Mat *>(info); }, owner);
    if (image.isNull())
        delete owner;
    return image;
}

cv::Mat CMClient::Frame::decode(const SourceFrame &sourceFrame, const QSize &decodeSize)
{
    bool opaque = false;
    return decode(sourceFrame, decodeSize, opaque, nullptr);
}

cv::Mat CMClient::Frame::decode(const SourceFrame &sourceFrame, const QSize &decodeSize, bool &opaque,
                                FrameDecodeLog *log)
{
    opaque = false;
    const QByteArray data = sourceFrame.getData();
    if (data.isEmpty()) {
        FRAME_LOG(log, ::kvr::log::WRN, QStringLiteral("Frame holds no image data."));
        return cv::Mat();
    }

    // Texts that name what differs from frame to frame (byte counts, libjpeg's own) go to the
    // debug level: a stream's warnings stay the same and are counted, not written again.
    bool warned = false;
    QSize encoded;
    if (encodedSize(data, encoded)) {
        if (encoded.width() <= 0 || encoded.height() <= 0 || qint64(encoded.width()) * encoded.height() > MaxDecodedPixels) {
            FRAME_LOG(log, ::kvr::log::WRN,
                      QStringLiteral("Frame announces an image of %1x%2 pixels, not decoded.")
                          .arg(encoded.width())
                          .arg(encoded.height()));
            warned = true;
        } else if (uchar(data.at(0)) == 0xff) {
            // JPEG (encodedSize knows only it and PNG) through libjpeg-turbo, whose messages
            // come back here instead of going to stderr.
            cv::Mat decoded;
            QString message;
            switch (JpegDecoder::decode(data, decoded, decodeSize, &message)) {
            case JpegDecoder::Result::Damaged:
                FRAME_LOG(log, ::kvr::log::WRN,
                          QStringLiteral("Frame holds damaged JPEG data; shown as far as it could be decoded."));
                LOG_DBG1(QStringLiteral("libjpeg: %1").arg(message));
                Q_FALLTHROUGH();
            case JpegDecoder::Result::Decoded:
                opaque = decoded.channels() == 4;
                return decoded;
            case JpegDecoder::Result::Failed:
                FRAME_LOG(log, ::kvr::log::WRN, QStringLiteral("Frame holds JPEG data that cannot be decoded."));
                LOG_DBG1(QStringLiteral("libjpeg: %1").arg(message));
                warned = true;
                break;
            }
        } else {
            const cv::Mat decoded = decodePng(data);
            if (!decoded.empty())
                return decoded;
            FRAME_LOG(log, ::kvr::log::WRN, QStringLiteral("Frame holds PNG data that cannot be decoded."));
            warned = true;
        }
    }

    const int channels = sourceFrame.getChannels();
    const QSize size = sourceFrame.getSize();
    const bool rawFits = (channels == 1 || channels == 3 || channels == 4) && size.width() > 0 && size.height() > 0
                         && qint64(size.width()) * size.height() * channels == data.size();
    if (!rawFits) {
        if (!warned) {
            FRAME_LOG(log, ::kvr::log::WRN,
                      QStringLiteral("Frame data is neither an encoded image nor raw pixels of %1x%2 with %3 channels.")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(channels));
        }
        LOG_DBG1(QStringLiteral("Frame data of %1 bytes not shown.").arg(data.size()));
        return cv::Mat();
    }
    // The received bytes stay with the SourceFrame; the matrix gets its own.
    return cv::Mat(size.height(), size.width(), CV_8UC(channels), const_cast<char *>(data.constData())).clone();
}

bool CMClient::Frame::encodedSize(const QByteArray &data, QSize &size)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const int length = data.size();
    static const uchar pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (length >= 24 && std::equal(pngSignature, pngSignature + 8, bytes)) {
        size = QSize(int(qMin<quint32>(qFromBigEndian<quint32>(bytes + 16), INT_MAX)),
                     int(qMin<quint32>(qFromBigEndian<quint32>(bytes + 20), INT_MAX)));
        return true;
    }
    if (length < 4 || bytes[0] != 0xff || bytes[1] != 0xd8)
        return false;
    // JPEG: walk the marker segments up to the frame header (SOF0..SOF15 without DHT, JPG, DAC).
    int pos = 2;
    while (pos + 4 <= length) {
        if (bytes[pos] != 0xff)
            return false;
        const uchar marker = bytes[pos + 1];
        if (marker == 0xff) {
            ++pos;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            pos += 2;
            continue;
        }
        const int segment = qFromBigEndian<quint16>(bytes + pos + 2);
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
            if (pos + 9 > length)
                return false;
            size = QSize(qFromBigEndian<quint16>(bytes + pos + 7), qFromBigEndian<quint16>(bytes + pos + 5));
            return true;
        }
        if (marker == 0xda || segment < 2)
            return false;
        pos += 2 + segment;
    }
    return false;
}

QImage CMClient::Frame::toImage(const cv::Mat &mat)
{
    if (mat.empty() || mat.depth() != CV_8U)
        return QImage();
    QImage::Format format;
    switch (mat.channels()) {
    case 1:
        format = QImage::Format_Grayscale8;
        break;
    case 3:
        format = QImage::Format_RGB888;
        break;
    case 4:
        format = QImage::Format_ARGB32; // B, G, R, A in memory, as OpenCV keeps them
        break;
    default:
        LOG_WRN(QStringLiteral("Frame with %1 channels cannot be shown.").arg(mat.channels()));
        return QImage();
    }
    QImage image(mat.cols, mat.rows, format);
    if (image.isNull())
        return QImage();
    // Converted straight into the image's own buffer.
    cv::Mat target(mat.rows, mat.cols, mat.type(), image.bits(), size_t(image.bytesPerLine()));
    if (mat.channels() == 3) {
        // B, G, R to R, G, B: a channel swap, done by the matrix library alone.
        const int fromTo[] = {0, 2, 1, 1, 2, 0};
        cv::mixChannels(&mat, 1, &target, 1, fromTo, 3);
    } else {
        mat.copyTo(target);
    }
    return image;
}

} // namespace kvr::tracker::net
