#include "observation/video/FrameConvertor.h"

#include "core/tracker/CMClientFrame.h"
#include "core/tracker/FrameBufferAllocator.h"
#include "observation/video/FramePool.h"

#include <QThreadPool>

#include <mutex>
#include <vector>

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
    // Nearest pixel centres, as Qt's fast transformation takes them, without the QPainter that
    // QImage::scaled sets up for every frame (and without OpenCV's image processing library,
    // which the launcher does not link).
    QImage scaled = kvr::tracker::net::FrameBufferAllocator::rgb32Image(size);
    if (scaled.isNull())
        return QImage();
    std::vector<int> columns(size_t(size.width()));
    for (int x = 0; x < size.width(); ++x)
        columns[size_t(x)] = int(qint64(2 * x + 1) * image.width() / (2 * qint64(size.width())));
    for (int y = 0; y < size.height(); ++y) {
        const int row = int(qint64(2 * y + 1) * image.height() / (2 * qint64(size.height())));
        const auto *from = reinterpret_cast<const quint32 *>(image.constScanLine(row));
        auto *to = reinterpret_cast<quint32 *>(scaled.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            to[x] = from[columns[size_t(x)]];
    }
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
