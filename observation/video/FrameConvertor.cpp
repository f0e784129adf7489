#include "observation/video/FrameConvertor.h"

#include "core/tracker/CMClientFrame.h"

FrameConvertor::FrameConvertor(QObject *parent)
    : QObject(parent)
{
}

void FrameConvertor::convertImage(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame)
{
    if (!frame)
        return;
    // The frame keeps its own decoded image; converting the shared copy leaves that intact.
    QImage image = frame->getImage().convertToFormat(QImage::Format_RGB32);
    if (!m_resizeSize.isEmpty() && image.size() != m_resizeSize)
        image = image.scaled(m_resizeSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const qint64 pts = frame->getSourceFrame().getTimestamp().getDataTimestampMS();
    emit newImage(image, qulonglong(pts));
}

void FrameConvertor::setResizeSize(QSize size)
{
    m_resizeSize = size;
}
