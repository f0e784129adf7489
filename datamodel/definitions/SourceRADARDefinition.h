#pragma once

#include "datamodel/definitions/SourceDefinition.h"

namespace kvr::tracker::common {

// A radar source: the definition base plus the ids of the radar's client on its host.
// The ids travel in JSON as decimal text ("17").
class SourceRADARDefinition : public SourceDefinition
{
    Q_GADGET

public:
    SourceRADARDefinition();

    quint32 getHostClientID() const;  // 0 when absent
    quint32 getRadarClientID() const; // 0 when absent

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceRADARDefinition)
