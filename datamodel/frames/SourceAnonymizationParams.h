#pragma once

#include "core/data/SourceData.h"
#include "datamodel/frames/SourceAnonymizationZone.h"

#include <QVector>

namespace kvr::tracker::common {

// The anonymization zones of a frame format. Disabled when "enabled" is absent, except that
// class-version-1 data always switches it on.
class SourceAnonymizationParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QVector<kvr::tracker::common::SourceAnonymizationZone> sourceAnonymizationZones
                   READ getAnonymizationZones WRITE setAnonymizationZones)

public:
    SourceAnonymizationParams();

    QVector<SourceAnonymizationZone> getAnonymizationZones() const;
    void setAnonymizationZones(const QVector<SourceAnonymizationZone> &zones);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceAnonymizationParams)
