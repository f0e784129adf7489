#include "datamodel/frames/SourceVisualizationClass.h"

#include "core/data/ColorText.h"
#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kClassName = QStringLiteral("class_name");
const QString kColor = QStringLiteral("color");
const QString kBlack = QStringLiteral("black");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kClassName, SourceDataField::Type::String},
    }};
    return table;
}

const std::array<SourceDataField, 1> &colorFields()
{
    static const std::array<SourceDataField, 1> table{{
        {kColor, SourceDataField::Type::Color},
    }};
    return table;
}

} // namespace

SourceVisualizationClass::SourceVisualizationClass()
    : SourceData(1)
{
    registerRecordComparator<SourceVisualizationClass>(Q_FUNC_INFO);
}

QString SourceVisualizationClass::getClassName() const { return valueAs<QString>(kClassName); }
QColor SourceVisualizationClass::getColor() const { return storedColor(*this, kColor, kBlack, true); }

bool SourceVisualizationClass::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getClassName().isEmpty(), "!getClassName().isEmpty()");
}

void SourceVisualizationClass::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
    readFields(data, colorFields());
}

void SourceVisualizationClass::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
    if (contains(kColor))
        data.insert(kColor, colorText(getColor()));
}

CompareResult SourceVisualizationClass::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceVisualizationClass>(other);
    if (!otherSD)
        return c;
    c(getClassName() == otherSD->getClassName(), "getClassName() == otherSD->getClassName()")
        && c(getColor() == otherSD->getColor(), "getColor() == otherSD->getColor()");
    return c;
}

} // namespace kvr::tracker::common
