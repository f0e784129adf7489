#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// The time stamps of one frame or source, as a node sends them. "source_id" names the node source.
class SourceTimestamp : public SourceData
{
    Q_GADGET
    Q_PROPERTY(qint64 dataTimestampMS READ getDataTimestampMS WRITE setDataTimestampMS)
    Q_PROPERTY(qint64 videoTimestampMS READ getVideoTimestampMS WRITE setVideoTimestampMS)

public:
    SourceTimestamp();

    // "data_ts_ms"; 0 when absent.
    qint64 getDataTimestampMS() const;
    void setDataTimestampMS(qint64 timestampMS);
    // "video_ts_ms"; the data time stamp when absent.
    qint64 getVideoTimestampMS() const;
    void setVideoTimestampMS(qint64 timestampMS);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceTimestamp)
