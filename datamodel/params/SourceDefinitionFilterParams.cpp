#include "datamodel/params/SourceDefinitionFilterParams.h"

#include "core/data/RecordComparator.h"

namespace kvr::tracker::common {

SourceDefinitionFilterParams::SourceDefinitionFilterParams()
    : RecordList(2, QStringLiteral("no_detection_zones"))
{
    registerRecordComparator<SourceDefinitionFilterParams>(Q_FUNC_INFO);
}

QList<SourceDefinitionFilterNoDetZone> SourceDefinitionFilterParams::getNoDetZones() const
{
    return items();
}

void SourceDefinitionFilterParams::setNoDetZones(const QList<SourceDefinitionFilterNoDetZone> &zones)
{
    setItems(zones);
}

bool SourceDefinitionFilterParams::defaultEnabled() const
{
    return false;
}

void SourceDefinitionFilterParams::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    // Version 1 had no switch: its filters were always applied.
    if (version == 1)
        setEnabled(true);
    RecordList::read_impl(data, version, options);
}

} // namespace kvr::tracker::common
