#include "datamodel/frames/SourceAnonymizationParams.h"

#include "core/data/RecordComparator.h"

namespace kvr::tracker::common {

SourceAnonymizationParams::SourceAnonymizationParams()
    : RecordList(2, QStringLiteral("anonymization_zones"))
{
    registerRecordComparator<SourceAnonymizationParams>(Q_FUNC_INFO);
}

QVector<SourceAnonymizationZone> SourceAnonymizationParams::getAnonymizationZones() const
{
    return items();
}

void SourceAnonymizationParams::setAnonymizationZones(const QVector<SourceAnonymizationZone> &zones)
{
    setItems(zones);
}

bool SourceAnonymizationParams::defaultEnabled() const
{
    return false;
}

void SourceAnonymizationParams::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    // Version-1 data had no switch of its own: zones that were sent were meant to apply.
    if (version == 1)
        setEnabled(true);
    RecordList::read_impl(data, version, options);
}

} // namespace kvr::tracker::common
