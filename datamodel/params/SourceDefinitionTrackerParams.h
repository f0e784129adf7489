#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// The tracker's time window of a video source ("tracker_parameters").
class SourceDefinitionTrackerParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(qlonglong timeWindowMS READ getTimeWindowMS WRITE setTimeWindowMS)

public:
    static constexpr qint64 TIME_WINDOW_MS_MAX = 5000;

    SourceDefinitionTrackerParams();

    // 2000 when absent; capped at TIME_WINDOW_MS_MAX on reading only.
    qint64 getTimeWindowMS() const;
    // Stored as given, uncapped.
    void setTimeWindowMS(qint64 timeWindowMS);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionTrackerParams)
