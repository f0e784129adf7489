#include "observation/video/VideoSourceManager.h"

#include "core/property/AssignProperty.h"
#include "observation/video/VideoSource.h"

VideoSourceManager::VideoSourceManager(QObject *parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleDelay);
    connect(&m_settle, &QTimer::timeout, this, [this] { setShownSize(m_pendingSize); });
}

void VideoSourceManager::setVideoSource(VideoSource *source)
{
    if (m_videoSource == source)
        return;
    disconnect(m_sourceSizeConnection);
    m_videoSource = source;
    if (!source)
        return;
    m_sourceSizeConnection = connect(source, &VideoSource::shownSizeChanged, this, &VideoSourceManager::onSourceSize);
    onSourceSize(source->shownSize());
}

void VideoSourceManager::onSourceSize(const QSize &size)
{
    if (size.isEmpty()) {
        m_settle.stop();
        return;
    }
    if (m_shownSize.isEmpty()) {
        setShownSize(size);
        return;
    }
    m_pendingSize = size;
    m_settle.start();
}

void VideoSourceManager::setShownSize(const QSize &size)
{
    m_settle.stop();
    assignProperty(this, m_shownSize, size, &VideoSourceManager::shownSizeChanged);
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
