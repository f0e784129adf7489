#pragma once

#include "core/data/SourceData.h"

#include <QJsonArray>
#include <QList>
#include <QPointF>
#include <QVariantList>

namespace kvr::tracker::common {

// A plane-to-plane transformation given by point pairs: the i-th source point maps to the i-th
// destination point. Only stored and checked here; the mapping is computed elsewhere.
class TransformationParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<QPointF> sourcePoints READ getSourcePoints WRITE setSourcePoints)
    Q_PROPERTY(QList<QPointF> destinationPoints READ getDestinationPoints WRITE setDestinationPoints)

public:
    // The least number of point pairs of a valid transformation.
    static constexpr int GEREGISTRATION_POINTS_MIN_SIZE = 3;

    TransformationParams();

    QList<QPointF> getSourcePoints() const;
    void setSourcePoints(const QList<QPointF> &points);
    QList<QPointF> getDestinationPoints() const;
    void setDestinationPoints(const QList<QPointF> &points);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

// The stored form of a point list. An entry that is no point and does not convert to one
// reads as (0, 0).
QList<QPointF> pointListFromVariantList(const QVariantList &list);
QVariantList pointListToVariantList(const QList<QPointF> &points);

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::TransformationParams)
