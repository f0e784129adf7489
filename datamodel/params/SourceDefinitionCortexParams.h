#pragma once

#include "datamodel/params/SourceStateWatcherParams.h"

namespace kvr::tracker::common {

// The cortex state watchers of a video source: a watcher list in which every watcher is of
// type Cortex. The cortex settings belong to each watcher.
class SourceDefinitionCortexParams : public SourceStateWatcherParams
{
    Q_GADGET

public:
    SourceDefinitionCortexParams();

protected:
    bool isValid_impl(bool skipWrn) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionCortexParams)
