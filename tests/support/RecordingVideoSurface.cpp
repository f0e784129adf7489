#include "support/RecordingVideoSurface.h"

#include <QThread>

RecordingVideoSurface::RecordingVideoSurface(QObject *parent)
    : QAbstractVideoSurface(parent)
{
}

QList<QVideoFrame::PixelFormat> RecordingVideoSurface::supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const
{
    if (type != QAbstractVideoBuffer::NoHandle)
        return {};
    return {QVideoFrame::Format_RGB32, QVideoFrame::Format_ARGB32, QVideoFrame::Format_BGRA32};
}

bool RecordingVideoSurface::start(const QVideoSurfaceFormat &format)
{
    ++m_starts;
    m_startedFormat = format;
    return QAbstractVideoSurface::start(format);
}

void RecordingVideoSurface::stop()
{
    if (isActive())
        ++m_stops;
    QAbstractVideoSurface::stop();
}

bool RecordingVideoSurface::present(const QVideoFrame &frame)
{
    if (m_presentDelay > 0)
        QThread::msleep(ulong(m_presentDelay));
    ++m_presented;
    m_lastFrameSize = frame.size();
    m_lastPixelFormat = frame.pixelFormat();
    emit framePresented();
    return true;
}
