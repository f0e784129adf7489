#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVideoFrame>

class VideoSource;

// Hands a cube's current frames to the VideoSource that QML attached. GUI thread only; the
// source is not owned.
class VideoSourceManager : public QObject
{
    Q_OBJECT

public:
    explicit VideoSourceManager(QObject *parent = nullptr);

    Q_INVOKABLE VideoSource *videoSource() const { return m_videoSource; }
    // The attached source shows nothing and holds no frame until the next one.
    void clearFrame();

signals:
    void videoFrameSizeChanged(QSize size);

public slots:
    // Null detaches.
    void setVideoSource(VideoSource *source);
    void publishFrame(QVideoFrame frame);
    // A file name or a Qt resource path (":/..."); no URL scheme is read.
    void loadImage(QString imageUrl);
    void loadImage(QImage image);

private:
    void setVideoFrameSize(const QSize &size);

    // Guarded: a source destroyed by QML while still attached is simply gone.
    QPointer<VideoSource> m_videoSource;
    QSize m_videoFrameSize;
};
