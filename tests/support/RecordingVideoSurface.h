#pragma once

#include <QAbstractVideoSurface>
#include <QVector>
#include <QVideoFrame>
#include <QVideoSurfaceFormat>

// A video surface that takes RGB32, ARGB32 and BGRA32 frames and records what it was asked to do. An
// optional delay per frame stands in for a slow screen.
class RecordingVideoSurface : public QAbstractVideoSurface
{
    Q_OBJECT

public:
    explicit RecordingVideoSurface(QObject *parent = nullptr);

    QList<QVideoFrame::PixelFormat> supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const override;
    bool start(const QVideoSurfaceFormat &format) override;
    void stop() override;
    bool present(const QVideoFrame &frame) override;

    void setPresentDelay(int ms) { m_presentDelay = ms; }
    int starts() const { return m_starts; }
    int stops() const { return m_stops; }
    int presented() const { return m_presented; }
    QVideoSurfaceFormat startedFormat() const { return m_startedFormat; }
    QSize lastFrameSize() const { return m_lastFrameSize; }
    QVideoFrame::PixelFormat lastPixelFormat() const { return m_lastPixelFormat; }

signals:
    void framePresented();

private:
    int m_presentDelay = 0;
    int m_starts = 0;
    int m_stops = 0;
    int m_presented = 0;
    QVideoSurfaceFormat m_startedFormat;
    QSize m_lastFrameSize;
    QVideoFrame::PixelFormat m_lastPixelFormat = QVideoFrame::Format_Invalid;
};
