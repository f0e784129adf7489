#include "datamodel/frames/SourceVisualizationSpatialElement.h"

#include "core/data/ColorText.h"
#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kElementName = QStringLiteral("element_name");
const QString kElementType = QStringLiteral("element_type");
const QString kSpatialData = QStringLiteral("spatial_data");
const QString kLineColor = QStringLiteral("line_color");
const QString kLineWidth = QStringLiteral("line_width");
const QString kFillOpacity = QStringLiteral("fill_opacity");

const std::array<SourceDataField, 1> &nameFields()
{
    static const std::array<SourceDataField, 1> table{{
        {kElementName, SourceDataField::Type::String},
    }};
    return table;
}

const std::array<SourceDataField, 4> &shapeFields()
{
    static const std::array<SourceDataField, 4> table{{
        {kSpatialData, SourceDataField::Type::Polygon},
        {kLineColor, SourceDataField::Type::Color},
        {kLineWidth, SourceDataField::Type::Float},
        {kFillOpacity, SourceDataField::Type::Float},
    }};
    return table;
}

using ElementType = SourceVisualizationSpatialElement::ElementType;

QString defaultLineColor(ElementType type)
{
    switch (type) {
    case ElementType::gate:
        return QStringLiteral("#B9B9B9");
    case ElementType::zone:
        return QStringLiteral("white");
    case ElementType::unknown:
        break;
    }
    return QString();
}

float defaultLineWidth(ElementType type)
{
    switch (type) {
    case ElementType::gate:
        return 4.0f;
    case ElementType::zone:
        return 2.0f;
    case ElementType::unknown:
        break;
    }
    return 0.0f;
}

} // namespace

SourceVisualizationSpatialElement::SourceVisualizationSpatialElement()
    : SourceData(1)
{
    registerRecordComparator<SourceVisualizationSpatialElement>(Q_FUNC_INFO);
}

SourceVisualizationSpatialElement::ElementType SourceVisualizationSpatialElement::elementTypeFromText(const QString &text)
{
    return enumFromKey(text, ElementType::unknown);
}

QString SourceVisualizationSpatialElement::getElementName() const { return valueAs<QString>(kElementName); }

SourceVisualizationSpatialElement::ElementType SourceVisualizationSpatialElement::getElementType() const
{
    return enumFromVariant(value(kElementType), ElementType::unknown);
}

QPolygonF SourceVisualizationSpatialElement::getSpatialData() const { return valueAs<QPolygonF>(kSpatialData); }
void SourceVisualizationSpatialElement::setSpatialData(const QPolygonF &points) { setValue(kSpatialData, QVariant::fromValue(points)); }

QColor SourceVisualizationSpatialElement::getLineColor() const
{
    return storedColor(*this, kLineColor, defaultLineColor(getElementType()));
}

float SourceVisualizationSpatialElement::getLineWidth() const
{
    return valueAs<float>(kLineWidth, defaultLineWidth(getElementType()));
}

float SourceVisualizationSpatialElement::getFillColorOpacity() const { return valueAs<float>(kFillOpacity, 0.0f); }

bool SourceVisualizationSpatialElement::isValid_impl(bool skipWrn) const
{
    // No shortcut for a disabled element: a shape that cannot be drawn is wrong either way.
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const QPolygonF points = getSpatialData();
    const auto shapeHolds = [&] {
        switch (getElementType()) {
        case ElementType::gate:
            return v(points.size() == 2, "getSpatialData().size() == 2");
        case ElementType::zone:
            return v(points.size() > 2, "getSpatialData().size() > 2");
        case ElementType::unknown:
            break;
        }
        return v(false, "false");
    };
    return v(getElementType() != ElementType::unknown, "getElementType() != ElementType::unknown")
        && shapeHolds()
        && v.each(points, [](const QPointF &p) { return p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1; },
                  "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1")
        && v(getLineWidth() > 0, "getLineWidth() > 0")
        && v(getFillColorOpacity() >= 0, "getFillColorOpacity() >= 0");
}

void SourceVisualizationSpatialElement::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, nameFields());
    readEnumKey(*this, data, kElementType, ElementType::unknown);
    readFields(data, shapeFields());
}

void SourceVisualizationSpatialElement::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, nameFields());
    writeEnumKey(*this, data, kElementType, getElementType());
    writeFields(data, shapeFields());
}

CompareResult SourceVisualizationSpatialElement::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceVisualizationSpatialElement>(other);
    if (!otherSD)
        return c;
    c(getElementName() == otherSD->getElementName(), "getElementName() == otherSD->getElementName()")
        && c(getElementType() == otherSD->getElementType(), "getElementType() == otherSD->getElementType()")
        && c(getSpatialData() == otherSD->getSpatialData(), "getSpatialData() == otherSD->getSpatialData()")
        && c(getLineColor() == otherSD->getLineColor(), "getLineColor() == otherSD->getLineColor()")
        && c(qFuzzyCompare(getLineWidth() + 1, otherSD->getLineWidth() + 1),
             "qFuzzyCompare(getLineWidth() + 1, otherSD->getLineWidth() + 1)")
        && c(qFuzzyCompare(getFillColorOpacity() + 1, otherSD->getFillColorOpacity() + 1),
             "qFuzzyCompare(getFillColorOpacity() + 1, otherSD->getFillColorOpacity() + 1)");
    return c;
}

} // namespace kvr::tracker::common
