#pragma once

#include "core/data/RecordList.h"
#include "datamodel/params/SourceDefinitionFilterNoDetZone.h"

#include <QList>

namespace kvr::tracker::common {

// The no-detection zones of a video source ("filter_parameters"); class version 2. Disabled when
// "enabled" is absent, but a block stored with version 1 is always on.
class SourceDefinitionFilterParams : public RecordList<SourceDefinitionFilterParams, SourceDefinitionFilterNoDetZone>
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceDefinitionFilterNoDetZone> noDetZones READ getNoDetZones WRITE setNoDetZones)

public:
    static constexpr const char *ClassName = "kvr::tracker::common::SourceDefinitionFilterParams";

    SourceDefinitionFilterParams();

    QList<SourceDefinitionFilterNoDetZone> getNoDetZones() const;
    void setNoDetZones(const QList<SourceDefinitionFilterNoDetZone> &zones);

protected:
    bool defaultEnabled() const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionFilterParams)
