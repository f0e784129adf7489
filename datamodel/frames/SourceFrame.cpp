#include "datamodel/frames/SourceFrame.h"

#include "core/data/RecordComparator.h"

namespace kvr::tracker::common {

namespace {

const QString kChannels = QStringLiteral("channels");
const QString kData = QStringLiteral("data");
const QString kSize = QStringLiteral("size");
const QString kTimestamp = QStringLiteral("timestamp");
const QString kTimestampMS = QStringLiteral("timestamp_ms");
const QString kVideoTimestampMS = QStringLiteral("video_timestamp_ms");

} // namespace

SourceFrame::SourceFrame()
    : SourceData(1)
{
    registerRecordComparator<SourceFrame>(Q_FUNC_INFO);
}

quint8 SourceFrame::getChannels() const
{
    return quint8(valueAs<uint>(kChannels, 0));
}

QByteArray SourceFrame::getData() const
{
    return valueAs<QByteArray>(kData);
}

QSize SourceFrame::getSize() const
{
    return valueAs<QSize>(kSize);
}

SourceTimestamp SourceFrame::getTimestamp() const
{
    return getRecord<SourceTimestamp>(kTimestamp);
}

void SourceFrame::setTimestamp(const SourceTimestamp &timestamp)
{
    setRecord(kTimestamp, timestamp);
    setValue(kTimestampMS, quint64(timestamp.getDataTimestampMS()));
    setValue(kVideoTimestampMS, quint64(timestamp.getVideoTimestampMS()));
}

} // namespace kvr::tracker::common
