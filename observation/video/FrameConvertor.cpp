#include "observation/video/FrameConvertor.h"

#include "core/tracker/CMClientFrame.h"
#include "observation/video/FramePool.h"

#include <QThreadPool>

#include <opencv2/imgproc.hpp>

#include <mutex>

using kvr::tracker::net::CMClient;

struct FrameConvertor::Link
{
    std::mutex mutex;
    FrameConvertor *owner = nullptr;
};

FrameConvertor::FrameConvertor(QObject *parent)
    : QObject(parent)
    , m_link(std::make_shared<Link>())
{
    m_link->owner = this;
}

FrameConvertor::~FrameConvertor()
{
    std::lock_guard<std::mutex> lock(m_link->mutex);
    m_link->owner = nullptr;
}

QImage FrameConvertor::convert(const CMClient::Frame &frame, const QSize &size)
{
    // The frame keeps its own decoded image; converting the shared copy leaves that intact.
    const QImage image = frame.getImage().convertToFormat(QImage::Format_RGB32);
    if (size.isEmpty() || image.size() == size || image.isNull())
        return image;
    // Nearest pixel centres, as Qt's fast transformation takes them, but without the QPainter
    // that QImage::scaled sets up for every frame.
    QImage scaled(size, QImage::Format_RGB32);
    if (scaled.isNull())
        return QImage();
    const cv::Mat from(image.height(), image.width(), CV_8UC4, const_cast<uchar *>(image.constBits()),
                       size_t(image.bytesPerLine()));
    cv::Mat to(scaled.height(), scaled.width(), CV_8UC4, scaled.bits(), size_t(scaled.bytesPerLine()));
    cv::resize(from, to, to.size(), 0, 0, cv::INTER_NEAREST_EXACT);
    return scaled;
}

void FrameConvertor::convertImage(std::shared_ptr<CMClient::Frame> frame)
{
    if (!frame)
        return;
    if (!m_busy) {
        start(std::move(frame));
        return;
    }
    if (m_waiting)
        ++m_dropped;
    m_waiting = std::move(frame);
}

void FrameConvertor::setResizeSize(QSize size)
{
    m_resizeSize = size;
}

void FrameConvertor::clear()
{
    m_waiting.reset();
}

void FrameConvertor::start(std::shared_ptr<CMClient::Frame> frame)
{
    m_busy = true;
    FramePool::instance()->start([link = m_link, frame = std::move(frame), size = m_resizeSize]() mutable {
        const QImage image = convert(*frame, size);
        const auto pts = qulonglong(frame->getSourceFrame().getTimestamp().getDataTimestampMS());
        // Not kept until the owner's thread gets to the result.
        frame.reset();
        std::lock_guard<std::mutex> lock(link->mutex);
        if (FrameConvertor *owner = link->owner)
            QMetaObject::invokeMethod(owner, [owner, image, pts] { owner->finish(image, pts); }, Qt::QueuedConnection);
    });
}

void FrameConvertor::finish(const QImage &image, qulonglong pts)
{
    m_busy = false;
    ++m_converted;
    if (m_waiting)
        start(std::move(m_waiting));
    emit newImage(image, pts);
}
