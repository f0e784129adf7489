#pragma once

#include "core/data/SourceData.h"
#include "core/data/SourceTimestamp.h"

#include <QByteArray>
#include <QSize>

namespace kvr::tracker::common {

// One image a tracker node sent for a source: the encoded (JPG/PNG) or raw pixel bytes, the
// size, the channel count and the time stamps. Filled whole from the frame packet's variant
// map (setQVariantData); the launcher itself only replaces the time stamps. No JSON fields of
// its own: written, it is the bare envelope. Compared by its value maps.
class SourceFrame : public SourceData
{
public:
    SourceFrame();

    quint8 getChannels() const;   // "channels", low 8 bits; 0 when absent
    QByteArray getData() const;   // "data"; empty when absent
    QSize getSize() const;        // "size"; -1 x -1 when absent
    SourceTimestamp getTimestamp() const; // "timestamp"; a default time stamp when absent

    // Stores the time stamp's map under "timestamp" and its data and video times (unsigned
    // 64-bit) under "timestamp_ms" and "video_timestamp_ms".
    void setTimestamp(const SourceTimestamp &timestamp);
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceFrame)
