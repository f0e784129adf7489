#pragma once

#include "core/data/SourceData.h"

#include <QPolygonF>

namespace kvr::tracker::common {

// One watched region of a camera image (normalised polygon) and what is watched there.
class SourceStateWatcher : public SourceData
{
    Q_GADGET
    Q_PROPERTY(StateWatcherType stateWatcherType READ getStateWatcherType WRITE setStateWatcherType)
    Q_PROPERTY(QPolygonF polygon READ getPolygon WRITE setPolygon)

public:
    enum class StateWatcherType { Unknown = 0, TrafficLight = 1, Foreground = 2, Cortex = 3 };
    Q_ENUM(StateWatcherType)

    static constexpr int POLYGON_MIN_SIZE = 4;

    SourceStateWatcher();

    // Unknown for an absent or unknown text; the legacy "traffic_light" is TrafficLight.
    StateWatcherType getStateWatcherType() const;
    void setStateWatcherType(StateWatcherType type);
    QPolygonF getPolygon() const;
    // Also keeps the polygon's bounding rectangle (never written to JSON).
    void setPolygon(const QPolygonF &polygon);

    double getMinConfidence() const;        // Foreground: 0 when absent
    double getDiagSize() const;             // Foreground: 0 when absent
    QString getCortexPrompt() const;
    qint64 getCortexProviderId() const;     // 0 when absent
    qint64 getCortexPeriod() const;         // milliseconds, 15000 when absent
    int getCortexReqImgWidth() const;
    int getCortexReqImgHeight() const;

    static QString typeToText(StateWatcherType type);
    static StateWatcherType typeFromText(const QString &text);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceStateWatcher)
