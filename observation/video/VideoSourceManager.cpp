#include "observation/video/VideoSourceManager.h"

#include "core/property/AssignProperty.h"
#include "observation/video/VideoSource.h"

VideoSourceManager::VideoSourceManager(QObject *parent)
    : QObject(parent)
{
}

void VideoSourceManager::setVideoSource(VideoSource *source)
{
    m_videoSource = source;
}

void VideoSourceManager::clearFrame()
{
    if (m_videoSource)
        m_videoSource->stopSurface();
}

void VideoSourceManager::publishFrame(QVideoFrame frame)
{
    if (!m_videoSource)
        return;
    m_videoSource->onNewVideoFrame(frame);
    setVideoFrameSize(frame.size());
}

void VideoSourceManager::loadImage(QString imageUrl)
{
    loadImage(QImage(imageUrl));
}

void VideoSourceManager::loadImage(QImage image)
{
    const QVideoFrame frame(image.convertToFormat(QImage::Format_RGB32));
    setVideoFrameSize(image.size());
    publishFrame(frame);
}

void VideoSourceManager::setVideoFrameSize(const QSize &size)
{
    if (size.isValid())
        assignProperty(this, m_videoFrameSize, size, &VideoSourceManager::videoFrameSizeChanged);
}
