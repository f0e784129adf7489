#pragma once

#include "core/data/RecordList.h"
#include "datamodel/params/SourceStateWatcher.h"

#include <QList>

namespace kvr::tracker::common {

// The state watchers of a source ("state_watchers"), in order. Base of the cortex and
// foreground-detection blocks, which call these operations before their own rules.
class SourceStateWatcherParams : public RecordList<SourceStateWatcherParams, SourceStateWatcher>
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceStateWatcher> stateWatchers READ getStateWatchers WRITE setStateWatchers)

public:
    static constexpr const char *ClassName = "kvr::tracker::common::SourceStateWatcherParams";

    SourceStateWatcherParams();

    QList<SourceStateWatcher> getStateWatchers() const;
    void setStateWatchers(const QList<SourceStateWatcher> &stateWatchers);
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceStateWatcherParams)
