#pragma once

#include "core/data/RecordList.h"
#include "datamodel/frames/SourceAnonymizationZone.h"

#include <QVector>

namespace kvr::tracker::common {

// The anonymization zones of a frame format. Disabled when "enabled" is absent, except that
// class-version-1 data always switches it on.
class SourceAnonymizationParams
    : public RecordList<SourceAnonymizationParams, SourceAnonymizationZone, QVector<SourceAnonymizationZone>>
{
    Q_GADGET
    Q_PROPERTY(QVector<kvr::tracker::common::SourceAnonymizationZone> sourceAnonymizationZones
                   READ getAnonymizationZones WRITE setAnonymizationZones)

public:
    static constexpr const char *ClassName = "kvr::tracker::common::SourceAnonymizationParams";

    SourceAnonymizationParams();

    QVector<SourceAnonymizationZone> getAnonymizationZones() const;
    void setAnonymizationZones(const QVector<SourceAnonymizationZone> &zones);

protected:
    bool defaultEnabled() const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceAnonymizationParams)
