#pragma once

#include "core/data/SourceData.h"
#include "core/data/SourceTimestamp.h"

namespace kvr::tracker::common {

// The stabilisation block of older video definitions ("stab_parameters", or the flat signature
// keys of version 0). Only read into a temporary and folded into the reference-frame parameters;
// never stored in a definition. Not a meta-type: it never travels in a QVariant.
class DEP_SourceDefinitionStabParams : public SourceData
{
public:
    DEP_SourceDefinitionStabParams();

    QString getImageSignature() const;
    // Warns (unless noWarning) when the map holds "image_data", which is left as it is.
    void setImageSignature(const QString &signature, bool noWarning = false);
    SourceTimestamp getImageTimestamp() const;
    void setImageTimestamp(const SourceTimestamp &timestamp);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common
