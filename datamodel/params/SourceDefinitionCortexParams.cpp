#include "datamodel/params/SourceDefinitionCortexParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

SourceDefinitionCortexParams::SourceDefinitionCortexParams()
{
    registerRecordComparator<SourceDefinitionCortexParams>(Q_FUNC_INFO);
}

bool SourceDefinitionCortexParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(SourceStateWatcherParams::isValid_impl(skipWrn), "SourceStateWatcherParams::isValid_impl(skipWrn)")
        && v.each(getStateWatchers(),
                  [](const SourceStateWatcher &sw) {
                      return sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Cortex;
                  },
                  "sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Cortex");
}

CompareResult SourceDefinitionCortexParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    if (!c(SourceStateWatcherParams::compare_logic(other, params),
           "SourceStateWatcherParams::compare_logic(other, compareParams)"))
        return c;
    c.sameClass<SourceDefinitionCortexParams>(other);
    return c;
}

} // namespace kvr::tracker::common
