#pragma once

#include "core/data/SourceTimestamp.h"
#include "core/tracker/CMClient.h"
#include "datamodel/frames/SourceFrame.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QImage>

#include <opencv2/core/mat.hpp>

#include <memory>
#include <shared_mutex>

namespace kvr::tracker::net {

class FrameDecodeLog;

// A frame received from a node: its format definition, its SourceFrame, and the image decoded
// on first use. Held by std::shared_ptr and shared between threads: getMat() and getImage()
// may be called from any thread, and decode only once. The format is a member, not a base,
// because records compare equal only with records of the same class.
class CMClient::Frame : public std::enable_shared_from_this<CMClient::Frame>
{
public:
    // Encoded images announcing more pixels than this are not decoded.
    static constexpr qint64 MaxDecodedPixels = 8192LL * 8192LL;

    Frame(const kvr::tracker::common::SourceFrameFormatDefinition &format,
          const kvr::tracker::common::SourceFrame &sourceFrame);
    // A copy that carries a new time stamp and deep copies of the other frame's decoded
    // images (decoded there first when needed). When `other` is held by a std::shared_ptr the
    // copy is made on this frame's first use, in the thread that uses it; else at once.
    Frame(const Frame &other, const kvr::tracker::common::SourceTimestamp &timestamp);

    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    const kvr::tracker::common::SourceFrameFormatDefinition &getFrameFormat() const { return m_frameFormat; }
    const kvr::tracker::common::SourceFrame &getSourceFrame() const { return m_sourceFrame; }
    // The format's node source id; -1 when it has none.
    qint64 getSourceID() const { return m_frameFormat.getSourceID(); }
    kvr::tracker::common::SourceImageDataBandwidthParams getImageDataBandwidthParams() const
    {
        return m_frameFormat.getImageDataBandwidthParams();
    }

    // The size a JPEG is wanted at: it is then decoded at the smallest DCT scale (1/4 or 1/2)
    // that still covers it (JpegDecoder). Set before the frame is first used; an empty size
    // (the default) decodes at full size. Other pictures ignore it.
    void setDecodeSize(const QSize &size);
    QSize decodeSize() const;
    // The log of the frame's stream, which its decoding warnings go through (written once, then
    // counted); without one they are written as they come. Set before the frame is first used.
    void setDecodeLog(std::shared_ptr<FrameDecodeLog> log);

    // The image: a colour JPEG (damaged ones as far as libjpeg-turbo decodes them) as RGB32,
    // the format the video path shows, decoded straight into it and sharing its pixels with
    // getMat(); a grey JPEG, a PNG (decoded by Qt) or raw pixels of the frame's size and
    // channel count by channels: 1 gives Grayscale8, 3 (BGR) RGB888, 4 (BGRA) ARGB32. A null
    // image when the bytes are neither. deepCopy gives an image that shares nothing.
    QImage getImage(const bool &deepCopy = false) const;
    // The decoded pixels, 8 bits per channel in OpenCV's channel order (B, G, R, 255 for a
    // colour JPEG); a clone on deepCopy.
    cv::Mat getMat(const bool &deepCopy = false) const;

    static cv::Mat decode(const kvr::tracker::common::SourceFrame &sourceFrame, const QSize &decodeSize = QSize());
    static QImage toImage(const cv::Mat &mat);
    // Width and height from a JPEG or PNG header; false for anything else.
    static bool encodedSize(const QByteArray &data, QSize &size);

private:
    // Both run with the lock held for writing.
    const cv::Mat &mat() const;
    const QImage &image() const;

    // `opaque` tells a colour JPEG's B, G, R, 255 from a PNG's or raw B, G, R, A. `log` may be
    // null.
    static cv::Mat decode(const kvr::tracker::common::SourceFrame &sourceFrame, const QSize &decodeSize,
                          bool &opaque, FrameDecodeLog *log);
    // Deep copies of the other frame's matrix and image; runs with this frame's lock held.
    void copyPictureOf(const Frame &other) const;
    // An RGB32 image over the pixels of a CV_8UC4 B, G, R, 255 matrix, holding a reference
    // to them for as long as the image or any shallow copy of it lives.
    static QImage imageOver(const cv::Mat &opaque);

    kvr::tracker::common::SourceFrameFormatDefinition m_frameFormat;
    kvr::tracker::common::SourceFrame m_sourceFrame;
    QSize m_decodeSize;
    std::shared_ptr<FrameDecodeLog> m_decodeLog;
    // The frame whose picture this copy takes on first use; released then.
    mutable std::shared_ptr<const Frame> m_origin;
    mutable std::shared_ptr<cv::Mat> m_mat;
    mutable std::shared_ptr<QImage> m_image;
    // A standard lock, so that race detectors see it; never taken twice by one thread (a copy
    // takes its origin's lock, another frame's, while it holds its own).
    mutable std::shared_mutex m_lock;
};

} // namespace kvr::tracker::net
