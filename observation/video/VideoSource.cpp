#include "observation/video/VideoSource.h"

#include "core/property/AssignProperty.h"

VideoSource::VideoSource(QObject *parent)
    : QObject(parent)
{
}

void VideoSource::setVideoSurface(QAbstractVideoSurface *videoSurface)
{
    if (m_videoSurface == videoSurface)
        return;
    if (m_videoSurface && m_videoSurface->isActive())
        m_videoSurface->stop();
    m_videoSurface = videoSurface;
    // The new surface has never been started: the next frame negotiates its format.
    m_pixelFormat = QVideoFrame::Format_Invalid;
    m_surfaceFormat = QVideoSurfaceFormat();
}

void VideoSource::setShownSize(const QSize &size)
{
    assignProperty(this, m_shownSize, size, &VideoSource::shownSizeChanged);
}

void VideoSource::stopSurface()
{
    if (m_videoSurface && m_videoSurface->isActive())
        m_videoSurface->stop();
    m_pixelFormat = QVideoFrame::Format_Invalid;
    m_surfaceFormat = QVideoSurfaceFormat();
}

void VideoSource::changeFormat(QSize size, QVideoFrame::PixelFormat format)
{
    if (!m_videoSurface)
        return;
    startSurface(size, format);
}

void VideoSource::onNewVideoFrame(QVideoFrame frame)
{
    if (!m_videoSurface)
        return;
    const bool sameFormat = m_surfaceFormat.isValid()
        && QSize(m_surfaceFormat.frameWidth(), m_surfaceFormat.frameHeight()) == frame.size()
        && m_pixelFormat == frame.pixelFormat();
    if (!sameFormat)
        startSurface(frame.size(), frame.pixelFormat());
    m_videoSurface->present(frame);
    emit newFrame();
}

void VideoSource::startSurface(const QSize &size, QVideoFrame::PixelFormat format)
{
    m_videoSurface->stop();
    m_pixelFormat = format;
    m_surfaceFormat = m_videoSurface->nearestFormat(QVideoSurfaceFormat(size, format, QAbstractVideoBuffer::NoHandle));
    m_videoSurface->start(m_surfaceFormat);
}
