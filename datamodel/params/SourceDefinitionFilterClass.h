#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// One class filter of a no-detection zone. Values come from JSON or a stored value map only.
class SourceDefinitionFilterClass : public SourceData
{
    Q_GADGET

public:
    SourceDefinitionFilterClass();

    QString getClassName() const;
    quint8 getMinConfidence() const; // the low 8 bits of the stored number
    quint32 getMinSize() const;
    quint32 getMaxSize() const;

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionFilterClass)
