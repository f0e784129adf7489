#pragma once

#include "core/data/SourceData.h"

#include <QColor>

namespace kvr::tracker::common {

// One object class and the colour the overlay draws its objects in. No properties of its own:
// it travels in variants with the base's meta-object.
class SourceVisualizationClass : public SourceData
{
public:
    SourceVisualizationClass();

    QString getClassName() const; // empty when absent
    QColor getColor() const;      // black when absent or empty

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisualizationClass)
