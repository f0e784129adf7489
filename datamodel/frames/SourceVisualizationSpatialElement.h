#pragma once

#include "core/data/SourceData.h"

#include <QColor>
#include <QPolygonF>

namespace kvr::tracker::common {

// A gate (two points) or zone (three or more) the overlay draws, in coordinates normalised to
// the frame. Colour and width defaults follow the current type and are never stored.
class SourceVisualizationSpatialElement : public SourceData
{
    Q_GADGET

public:
    enum class ElementType { unknown = 0, gate = 1, zone = 2 };
    Q_ENUM(ElementType)

    SourceVisualizationSpatialElement();

    QString getElementName() const;
    ElementType getElementType() const;  // unknown for an absent or unknown text
    QPolygonF getSpatialData() const;    // empty when absent or not a polygon
    void setSpatialData(const QPolygonF &points);
    QColor getLineColor() const;         // gate #B9B9B9, zone white, otherwise invalid
    float getLineWidth() const;          // gate 4, zone 2, otherwise 0
    float getFillColorOpacity() const;   // 0 when absent

    // Exact key text; anything else is unknown.
    static ElementType elementTypeFromText(const QString &text);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisualizationSpatialElement)
