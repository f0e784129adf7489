#pragma once

#include "core/data/SourceData.h"

#include <QRectF>

namespace kvr::tracker::common {

// The processed part of the input image, in normalised coordinates; off unless "enabled" is true.
class SourceDefinitionInputParamsImageCrop : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QRectF rectangle READ getRectangle WRITE setRectangle)

public:
    SourceDefinitionInputParamsImageCrop();

    QRectF getRectangle() const; // the null rectangle when absent
    void setRectangle(const QRectF &rectangle);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionInputParamsImageCrop)
