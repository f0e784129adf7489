#pragma once

#include <QImage>
#include <QMetaType>
#include <QObject>

#include <memory>

// A converted frame ready to be shown: its time stamp in milliseconds and its RGB32 image.
// A record whose timestamp is -1 or whose image is null holds no frame.
class FrameData
{
    Q_GADGET

public:
    FrameData() = default;
    FrameData(qint64 timestamp, const QImage &image);

    bool holdsFrame() const { return timestamp != -1 && !image.isNull(); }

    qint64 timestamp = -1;
    QImage image;
};

Q_DECLARE_METATYPE(std::shared_ptr<FrameData>)
