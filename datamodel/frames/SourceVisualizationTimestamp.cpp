#include "datamodel/frames/SourceVisualizationTimestamp.h"

#include "core/data/ColorText.h"
#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kFormat = QStringLiteral("format");
const QString kLocation = QStringLiteral("location");
const QString kPosition = QStringLiteral("position");
const QString kFont = QStringLiteral("font");
const QString kTextColor = QStringLiteral("text_color");
const QString kTextThickness = QStringLiteral("text_thickness");
const QString kTextSizeMultiplier = QStringLiteral("text_size_multiplier");
const QString kBgColor = QStringLiteral("bg_color");

const std::array<SourceDataField, 1> &textFields()
{
    static const std::array<SourceDataField, 1> table{{
        {kFormat, SourceDataField::Type::String},
    }};
    return table;
}

const std::array<SourceDataField, 5> &frameFields()
{
    static const std::array<SourceDataField, 5> table{{
        {kPosition, SourceDataField::Type::Point},
        {kTextColor, SourceDataField::Type::Color},
        {kTextThickness, SourceDataField::Type::Bits16},
        {kTextSizeMultiplier, SourceDataField::Type::Bits16},
        {kBgColor, SourceDataField::Type::Color},
    }};
    return table;
}

using FontType = SourceVisualizationTimestamp::FontType;
using Location = SourceVisualizationTimestamp::Location;

} // namespace

SourceVisualizationTimestamp::SourceVisualizationTimestamp()
    : SourceData(1)
{
    registerRecordComparator<SourceVisualizationTimestamp>(Q_FUNC_INFO);
}

FontType SourceVisualizationTimestamp::fontTypeFromText(const QString &text)
{
    return enumFromKey(text, FontType::FONT_HERSHEY_DUPLEX);
}

Location SourceVisualizationTimestamp::locationFromText(const QString &text)
{
    return enumFromKey(text, Location::Undefined);
}

QString SourceVisualizationTimestamp::getFormat() const
{
    return valueAs<QString>(kFormat, QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

void SourceVisualizationTimestamp::setFormat(const QString &format) { setValue(kFormat, format); }

Location SourceVisualizationTimestamp::getLocation() const
{
    return contains(kLocation) ? locationFromText(value(kLocation).toString()) : Location::BottomRight;
}

void SourceVisualizationTimestamp::setLocation(Location location) { setValue(kLocation, enumToKey(location)); }
QPointF SourceVisualizationTimestamp::getPosition() const { return valueAs<QPointF>(kPosition, QPointF(0, 0)); }
void SourceVisualizationTimestamp::setPosition(const QPointF &position) { setValue(kPosition, position); }
FontType SourceVisualizationTimestamp::getFontType() const { return fontTypeFromText(value(kFont).toString()); }
void SourceVisualizationTimestamp::setFontType(FontType fontType) { setValue(kFont, enumToKey(fontType)); }

QColor SourceVisualizationTimestamp::getTextColor() const
{
    return storedColor(*this, kTextColor, QStringLiteral("black"));
}

void SourceVisualizationTimestamp::setTextColor(const QColor &color) { setValue(kTextColor, colorText(color)); }

QColor SourceVisualizationTimestamp::getBackroundColor() const
{
    return storedColor(*this, kBgColor, QStringLiteral("#FFB7B7B7"));
}

void SourceVisualizationTimestamp::setBackroundColor(const QColor &color) { setValue(kBgColor, colorText(color)); }
quint16 SourceVisualizationTimestamp::getTextThickness() const { return quint16(valueAs<uint>(kTextThickness, 1)); }
void SourceVisualizationTimestamp::setTextThickness(quint16 thickness) { setValue(kTextThickness, int(thickness)); }

quint16 SourceVisualizationTimestamp::getTextSizeMultiplier() const
{
    return quint16(valueAs<uint>(kTextSizeMultiplier, 70));
}

void SourceVisualizationTimestamp::setTextSizeMultiplier(quint16 multiplier)
{
    setValue(kTextSizeMultiplier, int(multiplier));
}

bool SourceVisualizationTimestamp::defaultEnabled() const
{
    return false;
}

bool SourceVisualizationTimestamp::isValid_impl(bool skipWrn) const
{
    // Checked whether enabled or not: switching it on must not reveal a broken stamp.
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const QPointF position = getPosition();
    return v(getFormat().size(), "getFormat().size()")
        && (getLocation() != Location::Undefined
            || v(position.x() >= 0 && position.x() <= 1 && position.y() >= 0 && position.y() <= 1,
                 "position.x() >= 0 && position.x() <= 1 && position.y() >= 0 && position.y() <= 1"))
        && v(getTextThickness() > 0, "getTextThickness() > 0")
        && v(getTextSizeMultiplier() <= TEXT_SIZE_MULTIPLIER_MAX,
             "getTextSizeMultiplier() <= TEXT_SIZE_MULTIPLIER_MAX");
}

void SourceVisualizationTimestamp::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, textFields());
    readEnumKey(*this, data, kLocation, Location::Undefined);
    readEnumKey(*this, data, kFont, FontType::FONT_HERSHEY_DUPLEX);
    readFields(data, frameFields());
}

void SourceVisualizationTimestamp::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, textFields());
    writeEnumKey(*this, data, kLocation, getLocation());
    writeEnumKey(*this, data, kFont, getFontType());
    writeFields(data, frameFields());
}

CompareResult SourceVisualizationTimestamp::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceVisualizationTimestamp>(other);
    if (!otherSD)
        return c;
    c(getFormat() == otherSD->getFormat(), "getFormat() == otherSD->getFormat()")
        && c(getLocation() == otherSD->getLocation(), "getLocation() == otherSD->getLocation()")
        && (getLocation() != Location::Undefined
            || c(getPosition() == otherSD->getPosition(), "getPosition() == otherSD->getPosition()"))
        && c(getFontType() == otherSD->getFontType(), "getFontType() == otherSD->getFontType()")
        && c(getTextColor() == otherSD->getTextColor(), "getTextColor() == otherSD->getTextColor()")
        && c(getTextThickness() == otherSD->getTextThickness(), "getTextThickness() == otherSD->getTextThickness()")
        && c(getTextSizeMultiplier() == otherSD->getTextSizeMultiplier(),
             "getTextSizeMultiplier() == otherSD->getTextSizeMultiplier()")
        && c(getBackroundColor() == otherSD->getBackroundColor(),
             "getBackroundColor() == otherSD->getBackroundColor()");
    return c;
}

} // namespace kvr::tracker::common
