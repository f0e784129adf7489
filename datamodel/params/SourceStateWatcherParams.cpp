#include "datamodel/params/SourceStateWatcherParams.h"

#include "core/data/RecordComparator.h"

namespace kvr::tracker::common {

SourceStateWatcherParams::SourceStateWatcherParams()
    : RecordList(1, QStringLiteral("state_watchers"))
{
    registerRecordComparator<SourceStateWatcherParams>(Q_FUNC_INFO);
}

QList<SourceStateWatcher> SourceStateWatcherParams::getStateWatchers() const
{
    return items();
}

void SourceStateWatcherParams::setStateWatchers(const QList<SourceStateWatcher> &stateWatchers)
{
    setItems(stateWatchers);
}

} // namespace kvr::tracker::common
