#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QVideoFrame>

class VideoSource;

// Hands a cube's current frames to the VideoSource that QML attached, and tells the cube the
// size the source shows them at. GUI thread only; the source is not owned.
class VideoSourceManager : public QObject
{
    Q_OBJECT

public:
    // ms a new shown size must hold before it is passed on: a tile being resized would
    // otherwise change the size its frames are decoded and converted at on every step.
    static constexpr int SettleDelay = 300;

    explicit VideoSourceManager(QObject *parent = nullptr);

    Q_INVOKABLE VideoSource *videoSource() const { return m_videoSource; }
    // The attached source shows nothing and holds no frame until the next one.
    void clearFrame();
    // The settled size, in device pixels, the attached source shows frames at; empty until
    // one had a size.
    QSize shownSize() const { return m_shownSize; }
    void setSettleDelay(int ms) { m_settle.setInterval(ms); }

signals:
    void videoFrameSizeChanged(QSize size);
    void shownSizeChanged(QSize size);

public slots:
    // Null detaches.
    void setVideoSource(VideoSource *source);
    void publishFrame(QVideoFrame frame);
    // A file name or a Qt resource path (":/..."); no URL scheme is read.
    void loadImage(QString imageUrl);
    void loadImage(QImage image);

private:
    void setVideoFrameSize(const QSize &size);
    // A source's size: the first one at once, later ones once they settle; empty ones never.
    void onSourceSize(const QSize &size);
    void setShownSize(const QSize &size);

    // Guarded: a source destroyed by QML while still attached is simply gone.
    QPointer<VideoSource> m_videoSource;
    QMetaObject::Connection m_sourceSizeConnection;
    QSize m_videoFrameSize;
    QSize m_shownSize;
    QSize m_pendingSize;
    QTimer m_settle;
};
