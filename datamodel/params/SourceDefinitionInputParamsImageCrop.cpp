#include "datamodel/params/SourceDefinitionInputParamsImageCrop.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kRectangle = QStringLiteral("rectangle");

} // namespace

SourceDefinitionInputParamsImageCrop::SourceDefinitionInputParamsImageCrop()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionInputParamsImageCrop>(Q_FUNC_INFO);
}

QRectF SourceDefinitionInputParamsImageCrop::getRectangle() const { return valueAs<QRectF>(kRectangle); }
void SourceDefinitionInputParamsImageCrop::setRectangle(const QRectF &rectangle) { setValue(kRectangle, rectangle); }

bool SourceDefinitionInputParamsImageCrop::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionInputParamsImageCrop::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const QRectF tmpRect = getRectangle();
    return v(tmpRect.topLeft().x() >= 0 && tmpRect.topLeft().x() <= 1 && tmpRect.topLeft().y() >= 0
                 && tmpRect.topLeft().y() <= 1 && tmpRect.bottomRight().x() >= 0 && tmpRect.bottomRight().x() <= 1
                 && tmpRect.bottomRight().y() >= 0 && tmpRect.bottomRight().y() <= 1,
             "tmpRect.topLeft().x() >= 0 && tmpRect.topLeft().x() <= 1 && tmpRect.topLeft().y() >= 0 && "
             "tmpRect.topLeft().y() <= 1 && tmpRect.bottomRight().x() >= 0 && tmpRect.bottomRight().x() <= 1 && "
             "tmpRect.bottomRight().y() >= 0 && tmpRect.bottomRight().y() <= 1");
}

void SourceDefinitionInputParamsImageCrop::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                     const SourceDataReadOptions & /*options*/)
{
    readIfPresent(data, kRectangle, [this](const QJsonValue &value) { setRectangle(rectFromJson(value)); });
}

void SourceDefinitionInputParamsImageCrop::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kRectangle))
        data.insert(kRectangle, rectToJson(getRectangle()));
}

CompareResult SourceDefinitionInputParamsImageCrop::compare_logic(const SourceData &other,
                                                                  const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionInputParamsImageCrop>(other);
    if (!otherSD)
        return c;
    c((getRectangle() == otherSD->getRectangle()) || (getRectangle().isEmpty() && otherSD->getRectangle().isEmpty()),
      "(getRectangle() == otherSD->getRectangle()) || (getRectangle().isEmpty() && otherSD->getRectangle().isEmpty())");
    return c;
}

} // namespace kvr::tracker::common
