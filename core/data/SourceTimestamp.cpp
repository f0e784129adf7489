#include "core/data/SourceTimestamp.h"

#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kDataTimestamp = QStringLiteral("data_ts_ms");
const QString kVideoTimestamp = QStringLiteral("video_ts_ms");

const std::array<SourceDataField, 3> &fields()
{
    static const std::array<SourceDataField, 3> table{{
        {QStringLiteral("source_id"), SourceDataField::Type::UInt},
        {kDataTimestamp, SourceDataField::Type::Int64},
        {kVideoTimestamp, SourceDataField::Type::Int64},
    }};
    return table;
}

} // namespace

SourceTimestamp::SourceTimestamp()
    : SourceData(1)
{
    registerRecordComparator<SourceTimestamp>(Q_FUNC_INFO);
}

qint64 SourceTimestamp::getDataTimestampMS() const
{
    return valueAs<qint64>(kDataTimestamp, 0);
}

void SourceTimestamp::setDataTimestampMS(qint64 timestampMS)
{
    setValue(kDataTimestamp, timestampMS);
}

qint64 SourceTimestamp::getVideoTimestampMS() const
{
    return contains(kVideoTimestamp) ? valueAs<qint64>(kVideoTimestamp) : getDataTimestampMS();
}

void SourceTimestamp::setVideoTimestampMS(qint64 timestampMS)
{
    setValue(kVideoTimestamp, timestampMS);
}

void SourceTimestamp::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
}

void SourceTimestamp::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
}

} // namespace kvr::tracker::common
