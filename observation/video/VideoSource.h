#pragma once

#include <QAbstractVideoSurface>
#include <QObject>
#include <QPointer>
#include <QVideoFrame>
#include <QVideoSurfaceFormat>

// What a QML VideoOutput shows: VideoOutput hands it a surface through `videoSurface`, and
// frames published to it are presented there, restarting the surface when the frame size or
// pixel format changes. GUI thread only; the surface is not owned.
class VideoSource : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractVideoSurface *videoSurface READ videoSurface WRITE setVideoSurface)

public:
    explicit VideoSource(QObject *parent = nullptr);

    QAbstractVideoSurface *videoSurface() const { return m_videoSurface; }
    // Stops the surface, which lets go of the frame it shows; the next frame starts it again.
    void stopSurface();

signals:
    void newFrame();

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
};
