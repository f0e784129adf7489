#include "core/data/SourceInfoStatic.h"

#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kSourceResolution = QStringLiteral("source_resolution");
const QString kDisplayResolution = QStringLiteral("display_resolution");
const QString kDetectionResolution = QStringLiteral("detection_resolution");
const QString kSourceFps = QStringLiteral("source_fps");
const QString kMapToWorkScale = QStringLiteral("map_to_work_scale");
const QString kIsGeoregistered = QStringLiteral("is_georegistered");

const std::array<SourceDataField, 4> &fields()
{
    static const std::array<SourceDataField, 4> table{{
        {QStringLiteral("source_id"), SourceDataField::Type::UInt},
        {kSourceFps, SourceDataField::Type::Double},
        {kMapToWorkScale, SourceDataField::Type::Double},
        {kIsGeoregistered, SourceDataField::Type::Bool},
    }};
    return table;
}

const std::array<QString, 3> &sizeKeys()
{
    static const std::array<QString, 3> keys{{kSourceResolution, kDisplayResolution, kDetectionResolution}};
    return keys;
}

} // namespace

SourceInfoStatic::SourceInfoStatic()
    : SourceData(1)
{
    registerRecordComparator<SourceInfoStatic>(Q_FUNC_INFO);
}

QSize SourceInfoStatic::getSourceResolution() const
{
    return valueAs<QSize>(kSourceResolution, QSize());
}

void SourceInfoStatic::setSourceResolution(const QSize &size)
{
    setValue(kSourceResolution, size);
}

QSize SourceInfoStatic::getDisplayResolution() const
{
    return valueAs<QSize>(kDisplayResolution, QSize());
}

void SourceInfoStatic::setDisplayResolution(const QSize &size)
{
    setValue(kDisplayResolution, size);
}

QSize SourceInfoStatic::getDetectionResolution() const
{
    return valueAs<QSize>(kDetectionResolution, QSize());
}

void SourceInfoStatic::setDetectionResolution(const QSize &size)
{
    setValue(kDetectionResolution, size);
}

double SourceInfoStatic::getSourceFPS() const
{
    return valueAs<double>(kSourceFps, 0.0);
}

void SourceInfoStatic::setSourceFPS(double fps)
{
    setValue(kSourceFps, fps);
}

double SourceInfoStatic::getMapToWorkScale() const
{
    return valueAs<double>(kMapToWorkScale, 0.0);
}

void SourceInfoStatic::setMapToWorkScale(double scale)
{
    setValue(kMapToWorkScale, scale);
}

bool SourceInfoStatic::getIsGeoregistered() const
{
    return valueAs<bool>(kIsGeoregistered, false);
}

void SourceInfoStatic::setIsGeoregistered(bool georegistered)
{
    setValue(kIsGeoregistered, georegistered);
}

void SourceInfoStatic::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
    for (const QString &key : sizeKeys()) {
        const auto it = data.constFind(key);
        if (it != data.constEnd())
            setValue(key, sizeFromJson(it.value()));
    }
}

void SourceInfoStatic::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
    for (const QString &key : sizeKeys()) {
        if (contains(key))
            data.insert(key, sizeToJson(valueAs<QSize>(key)));
    }
}

} // namespace kvr::tracker::common
