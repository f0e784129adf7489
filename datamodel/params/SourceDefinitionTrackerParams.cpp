#include "datamodel/params/SourceDefinitionTrackerParams.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonValues.h"
#include "core/data/RecordComparator.h"

#include <algorithm>

namespace kvr::tracker::common {

namespace {

const QString kTimeWindowMs = QStringLiteral("time_window_ms");

} // namespace

SourceDefinitionTrackerParams::SourceDefinitionTrackerParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionTrackerParams>(Q_FUNC_INFO);
}

qint64 SourceDefinitionTrackerParams::getTimeWindowMS() const
{
    return std::min(valueAs<qint64>(kTimeWindowMs, 2000), TIME_WINDOW_MS_MAX);
}

void SourceDefinitionTrackerParams::setTimeWindowMS(qint64 timeWindowMS) { setValue(kTimeWindowMs, timeWindowMS); }

void SourceDefinitionTrackerParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                              const SourceDataReadOptions & /*options*/)
{
    readIfPresent(data, kTimeWindowMs, [this](const QJsonValue &value) { setTimeWindowMS(int32AsInt64FromJson(value)); });
}

void SourceDefinitionTrackerParams::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kTimeWindowMs))
        data.insert(kTimeWindowMs, getTimeWindowMS());
}

CompareResult SourceDefinitionTrackerParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceDefinitionTrackerParams>(other);
    if (!otherSD)
        return c;
    c(getTimeWindowMS() == otherSD->getTimeWindowMS(), "getTimeWindowMS() == otherSD->getTimeWindowMS()");
    return c;
}

} // namespace kvr::tracker::common
