#pragma once

#include "core/data/SourceData.h"

#include <QSize>

namespace kvr::tracker::common {

// How a node keeps the recent frames of a video source for later evidence requests, all times
// in milliseconds (written as decimal text, not JSON numbers). The setters refuse values out of
// bounds. Disabled unless its JSON says "enabled": true.
class SourceDefinitionEvidenceParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(uint movingTimeWindowMS READ getMovingTimeWindowMS WRITE setMovingTimeWindowMS)
    Q_PROPERTY(uint movingTimeWindowGranualityMS READ getMovingTimeWindowGranualityMS WRITE setMovingTimeWindowGranualityMS)
    Q_PROPERTY(int postponedTimeWindowMS READ getPostponedTimeWindowMS WRITE setPostponedTimeWindowMS)
    Q_PROPERTY(int maxFramePostponeMS READ getMaxFramePostponeMS WRITE setMaxFramePostponeMS)
    Q_PROPERTY(uint maxFramePickToleranceMS READ getMaxFramePickToleranceMS WRITE setMaxFramePickToleranceMS)
    // The user-interface ranges (the negative values the two postponement fields accept lie outside).
    Q_PROPERTY(uint minLimitMovingTimeWindowMS READ minLimitMovingTimeWindowMS CONSTANT)
    Q_PROPERTY(uint maxLimitMovingTimeWindowMS READ maxLimitMovingTimeWindowMS CONSTANT)
    Q_PROPERTY(uint minLimitMovingTimeWindowGranualityMS READ minLimitMovingTimeWindowGranualityMS CONSTANT)
    Q_PROPERTY(uint maxLimitMovingTimeWindowGranualityMS READ maxLimitMovingTimeWindowGranualityMS CONSTANT)
    Q_PROPERTY(int minLimitPostponedTimeWindowMS READ minLimitPostponedTimeWindowMS CONSTANT)
    Q_PROPERTY(int maxLimitPostponedTimeWindowMS READ maxLimitPostponedTimeWindowMS CONSTANT)
    Q_PROPERTY(int minLimitMaxFramePostponeMS READ minLimitMaxFramePostponeMS CONSTANT)
    Q_PROPERTY(int maxLimitMaxFramePostponeMS READ maxLimitMaxFramePostponeMS CONSTANT)
    Q_PROPERTY(uint minLimitMaxFramePickToleranceMS READ minLimitMaxFramePickToleranceMS CONSTANT)
    Q_PROPERTY(uint maxLimitMaxFramePickToleranceMS READ maxLimitMaxFramePickToleranceMS CONSTANT)

public:
    static constexpr quint32 MOVING_TIME_WINDOW_MS_MIN = 100;
    static constexpr quint32 MOVING_TIME_WINDOW_MS_MAX = 10000;
    static constexpr quint32 MOVING_TIME_WINDOW_GRANUALITY_MS_MIN = 1;
    static constexpr quint32 MOVING_TIME_WINDOW_GRANUALITY_MS_MAX = 2000;
    static constexpr qint32 POSTPONED_TIME_WINDOW_MS_MIN = 100;
    static constexpr qint32 MAX_FRAME_POSTPONE_MS_MIN = 10000;
    static constexpr quint32 MAX_FRAME_PICK_TOLERANCE_MS_MAX = 5000;
    // What estimateMemOccupancyMB returns when it can make no estimate.
    static constexpr quint32 NO_ESTIMATE = 0xFFFFFFFFu;

    SourceDefinitionEvidenceParams();

    quint32 getMovingTimeWindowMS() const;              // 1000 when absent
    void setMovingTimeWindowMS(const quint32 &value);   // 100..10000
    quint32 getMovingTimeWindowGranualityMS() const;    // 300 when absent
    void setMovingTimeWindowGranualityMS(const quint32 &value); // 1..2000
    qint32 getPostponedTimeWindowMS() const;            // 500 when absent
    void setPostponedTimeWindowMS(const qint32 &value); // 100 or more, or negative
    qint32 getMaxFramePostponeMS() const;               // 900000 when absent
    void setMaxFramePostponeMS(const qint32 &value);    // 10000 or more, or negative
    quint32 getMaxFramePickToleranceMS() const;         // 400 when absent
    void setMaxFramePickToleranceMS(const quint32 &value); // 0..5000

    uint minLimitMovingTimeWindowMS() const { return MOVING_TIME_WINDOW_MS_MIN; }
    uint maxLimitMovingTimeWindowMS() const { return MOVING_TIME_WINDOW_MS_MAX; }
    uint minLimitMovingTimeWindowGranualityMS() const { return MOVING_TIME_WINDOW_GRANUALITY_MS_MIN; }
    uint maxLimitMovingTimeWindowGranualityMS() const { return MOVING_TIME_WINDOW_GRANUALITY_MS_MAX; }
    int minLimitPostponedTimeWindowMS() const { return POSTPONED_TIME_WINDOW_MS_MIN; }
    int maxLimitPostponedTimeWindowMS() const { return 2147483647; }
    int minLimitMaxFramePostponeMS() const { return MAX_FRAME_POSTPONE_MS_MIN; }
    int maxLimitMaxFramePostponeMS() const { return 2147483647; }
    uint minLimitMaxFramePickToleranceMS() const { return 0; }
    uint maxLimitMaxFramePickToleranceMS() const { return MAX_FRAME_PICK_TOLERANCE_MS_MAX; }

    // MiB occupied by the kept frames at 3 bytes a pixel, or NO_ESTIMATE for a frame rate that is
    // not positive, a negative postponed window or an empty frame size. Saturates at NO_ESTIMATE.
    Q_INVOKABLE quint32 estimateMemOccupancyMB(double fps, QSize frameSize) const;

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;

private:
    template <class T>
    void setBounded(const QString &key, T value, bool inBounds, const char *function);
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionEvidenceParams)
