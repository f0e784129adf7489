#pragma once

#include <QAbstractVideoSurface>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QVideoFrame>
#include <QVideoSurfaceFormat>

// What a QML VideoOutput shows: VideoOutput hands it a surface through `videoSurface`, and
// frames published to it are presented there, restarting the surface when the frame size or
// pixel format changes. GUI thread only; the surface is not owned.
class VideoSource : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractVideoSurface *videoSurface READ videoSurface WRITE setVideoSurface)
    // The size, in device pixels, that the output shows frames at: written by QML.
    Q_PROPERTY(QSize shownSize READ shownSize WRITE setShownSize NOTIFY shownSizeChanged)

public:
    explicit VideoSource(QObject *parent = nullptr);

    QAbstractVideoSurface *videoSurface() const { return m_videoSurface; }
    QSize shownSize() const { return m_shownSize; }
    void setShownSize(const QSize &size);
    // Stops the surface, which lets go of the frame it shows; the next frame starts it again.
    void stopSurface();

signals:
    void newFrame();
    void shownSizeChanged(QSize size);

public slots:
    void setVideoSurface(QAbstractVideoSurface *videoSurface);
    void changeFormat(QSize size, QVideoFrame::PixelFormat format = QVideoFrame::Format_BGRA32);
    void onNewVideoFrame(QVideoFrame frame);

private:
    void startSurface(const QSize &size, QVideoFrame::PixelFormat format);

    QVideoFrame::PixelFormat m_pixelFormat = QVideoFrame::Format_Invalid;
    // Guarded: QML may destroy a VideoOutput, and its surface, before this source.
    QPointer<QAbstractVideoSurface> m_videoSurface;
    QVideoSurfaceFormat m_surfaceFormat;
    QSize m_shownSize;
};
