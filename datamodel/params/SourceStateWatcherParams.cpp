#include "datamodel/params/SourceStateWatcherParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kStateWatchers = QStringLiteral("state_watchers");

} // namespace

SourceStateWatcherParams::SourceStateWatcherParams()
    : SourceData(1)
{
    registerRecordComparator<SourceStateWatcherParams>(Q_FUNC_INFO);
}

QList<SourceStateWatcher> SourceStateWatcherParams::getStateWatchers() const
{
    return getList<SourceStateWatcher, QList<SourceStateWatcher>>(kStateWatchers);
}

void SourceStateWatcherParams::setStateWatchers(const QList<SourceStateWatcher> &stateWatchers)
{
    setList(kStateWatchers, stateWatchers);
}

bool SourceStateWatcherParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getStateWatchers(), [skipWrn](const SourceStateWatcher &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceStateWatcherParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                         const SourceDataReadOptions &options)
{
    readList<SourceStateWatcher>(data, kStateWatchers, options);
}

void SourceStateWatcherParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<SourceStateWatcher>(data, kStateWatchers, options);
}

CompareResult SourceStateWatcherParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceStateWatcherParams>(other);
    if (!otherSD)
        return c;
    c.lists(getStateWatchers(), otherSD->getStateWatchers());
    return c;
}

} // namespace kvr::tracker::common
