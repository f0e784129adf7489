#pragma once

#include "core/tracker/CMClient.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <memory>

// A camera's converter: turns its node frames into RGB32 images of the wanted size, and is its
// newest-frame mailbox.
//
// Threads of the frame road (see also docs/architecture.md, "Threads"):
// - a node's "TCPConnection" thread reads the socket and parses whole packets;
// - its "SourceFrameReceiver" thread wraps Frame2 packets as frames (never decoding them),
//   marks each with the size its stream's cameras want, and keeps at most one frame per
//   stream waiting for the GUI thread;
// - the GUI thread hands each frame to the cameras of its source; here at most one frame per
//   camera waits while the previous one is converted;
// - FramePool decodes (once per frame, however many cameras show it) and converts.
// At both mailboxes a newer frame replaces the waiting one and the replaced one is counted as
// dropped, undecoded: the frame shown is never older than one conversion plus one hop.
//
// Lives in its owner's thread: convertImage, setResizeSize and newImage belong there; only
// convert() runs in the pool. Deleting the converter while a frame is in the pool drops it.
class FrameConvertor : public QObject
{
    Q_OBJECT

public:
    explicit FrameConvertor(QObject *parent = nullptr);
    ~FrameConvertor() override;

    QSize resizeSize() const { return m_resizeSize; }
    // Frames replaced while waiting for conversion, and frames converted.
    quint64 droppedFrames() const { return m_dropped; }
    quint64 convertedFrames() const { return m_converted; }

    // The frame's picture as RGB32 of `size` (aspect ignored); an empty size (a side below 1)
    // keeps the decoded size. A JPEG is decoded at its frame's decode size first. Any thread.
    static QImage convert(const kvr::tracker::net::CMClient::Frame &frame, const QSize &size);

public slots:
    // Converted in the pool; while one frame is there, a newer one waits in its place.
    void convertImage(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
    // For frames converted from now on.
    void setResizeSize(QSize size);
    // Drops the waiting frame; one in the pool still comes back.
    void clear();

signals:
    // pts: the frame's data time stamp in ms, 0 when it has none.
    void newImage(QImage image, qulonglong pts);

private:
    struct Link;

    void start(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
    void finish(const QImage &image, qulonglong pts);

    QSize m_resizeSize;
    // Shared with the job in the pool, which reports back only while the converter lives.
    std::shared_ptr<Link> m_link;
    bool m_busy = false;
    std::shared_ptr<kvr::tracker::net::CMClient::Frame> m_waiting;
    quint64 m_dropped = 0;
    quint64 m_converted = 0;
};
