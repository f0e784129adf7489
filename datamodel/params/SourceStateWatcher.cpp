#include "datamodel/params/SourceStateWatcher.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/JsonValues.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kPolygon = QStringLiteral("polygon");
const QString kPolygonBoundingRect = QStringLiteral("polygon_bounding_rect");
const QString kStateWatcherType = QStringLiteral("state_watcher_type");
const QString kMinConfidence = QStringLiteral("min_confidence");
const QString kDiagSize = QStringLiteral("diag_size");
const QString kCortexPrompt = QStringLiteral("cortex_prompt");
const QString kCortexProviderId = QStringLiteral("cortex_provider_id");
const QString kCortexPeriodMs = QStringLiteral("cortex_period_ms");
const QString kCortexImgWidth = QStringLiteral("cortex_img_width");
const QString kCortexImgHeight = QStringLiteral("cortex_img_height");

// Plain fields; "polygon", "state_watcher_type" and "cortex_period_ms" (32 bits read, held as
// 64) are handled by hand. The provider id is a 64-bit value and must not be cut to 32 bits.
const std::array<SourceDataField, 6> &fields()
{
    static const std::array<SourceDataField, 6> table{{
        {kMinConfidence, SourceDataField::Type::Double},
        {kDiagSize, SourceDataField::Type::Double},
        {kCortexPrompt, SourceDataField::Type::String},
        {kCortexProviderId, SourceDataField::Type::Int64},
        {kCortexImgWidth, SourceDataField::Type::Int},
        {kCortexImgHeight, SourceDataField::Type::Int},
    }};
    return table;
}

} // namespace

SourceStateWatcher::SourceStateWatcher()
    : SourceData(1)
{
    registerRecordComparator<SourceStateWatcher>(Q_FUNC_INFO);
}

QString SourceStateWatcher::typeToText(StateWatcherType type)
{
    return enumToKey(type);
}

SourceStateWatcher::StateWatcherType SourceStateWatcher::typeFromText(const QString &text)
{
    if (text == QLatin1String("traffic_light"))
        return StateWatcherType::TrafficLight;
    return enumFromKey(text, StateWatcherType::Unknown);
}

SourceStateWatcher::StateWatcherType SourceStateWatcher::getStateWatcherType() const
{
    return typeFromText(valueAs<QString>(kStateWatcherType));
}
void SourceStateWatcher::setStateWatcherType(StateWatcherType type) { setValue(kStateWatcherType, typeToText(type)); }

QPolygonF SourceStateWatcher::getPolygon() const { return valueAs<QPolygonF>(kPolygon); }
void SourceStateWatcher::setPolygon(const QPolygonF &polygon)
{
    setValue(kPolygon, QVariant::fromValue(polygon));
    setValue(kPolygonBoundingRect, polygon.boundingRect());
}

double SourceStateWatcher::getMinConfidence() const { return valueAs<double>(kMinConfidence, 0.0); }
double SourceStateWatcher::getDiagSize() const { return valueAs<double>(kDiagSize, 0.0); }
QString SourceStateWatcher::getCortexPrompt() const { return valueAs<QString>(kCortexPrompt); }
qint64 SourceStateWatcher::getCortexProviderId() const { return valueAs<qint64>(kCortexProviderId, 0); }
qint64 SourceStateWatcher::getCortexPeriod() const { return valueAs<qint64>(kCortexPeriodMs, 15000); }
int SourceStateWatcher::getCortexReqImgWidth() const { return valueAs<int>(kCortexImgWidth, 0); }
int SourceStateWatcher::getCortexReqImgHeight() const { return valueAs<int>(kCortexImgHeight, 0); }

bool SourceStateWatcher::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const QPolygonF tmpPoylgon = getPolygon();
    const bool valid = v(getStateWatcherType() != StateWatcherType::Unknown,
                         "getStateWatcherType() != StateWatcherType::Unknown")
        && v(tmpPoylgon.size() >= POLYGON_MIN_SIZE, "tmpPoylgon.size() >= POLYGON_MIN_SIZE")
        && v.each(tmpPoylgon, isInUnitSquare, "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1");
    if (!valid || getStateWatcherType() != StateWatcherType::Foreground)
        return valid;
    return v(getMinConfidence() >= 0, "getMinConfidence() >= 0")
        && v(getMinConfidence() <= 1, "getMinConfidence() <= 1")
        && v(getDiagSize() >= 0, "getDiagSize() >= 0")
        && v(getDiagSize() <= 1, "getDiagSize() <= 1");
}

void SourceStateWatcher::read_impl(const QJsonObject &data, quint32 /*version*/,
                                   const SourceDataReadOptions & /*options*/)
{
    readIfPresent(data, kPolygon, [this](const QJsonValue &value) { setPolygon(polygonFromJson(value.toArray())); });
    readIfPresent(data, kStateWatcherType,
                  [this](const QJsonValue &value) { setStateWatcherType(typeFromText(value.toString())); });
    readFields(data, fields());
    readIfPresent(data, kCortexPeriodMs,
                  [this](const QJsonValue &value) { setValue(kCortexPeriodMs, int32AsInt64FromJson(value)); });
}

void SourceStateWatcher::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kPolygon))
        data.insert(kPolygon, polygonToJson(getPolygon()));
    if (contains(kStateWatcherType))
        data.insert(kStateWatcherType, typeToText(getStateWatcherType()));
    writeFields(data, fields());
    if (contains(kCortexPeriodMs))
        data.insert(kCortexPeriodMs, getCortexPeriod());
}

CompareResult SourceStateWatcher::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceStateWatcher>(other);
    if (!otherSD)
        return c;
    const bool goOn = c(getStateWatcherType() == otherSD->getStateWatcherType(),
                        "getStateWatcherType() == otherSD->getStateWatcherType()")
        && c(getPolygon() == otherSD->getPolygon(), "getPolygon() == otherSD->getPolygon()");
    if (!goOn)
        return c;
    switch (getStateWatcherType()) {
    case StateWatcherType::Foreground:
        c(getMinConfidence() == otherSD->getMinConfidence(), "getMinConfidence() == otherSD->getMinConfidence()")
            && c(getDiagSize() == otherSD->getDiagSize(), "getDiagSize() == otherSD->getDiagSize()");
        break;
    case StateWatcherType::Cortex:
        c(getCortexPrompt() == otherSD->getCortexPrompt(), "getCortexPrompt() == otherSD->getCortexPrompt()")
            && c(getCortexProviderId() == otherSD->getCortexProviderId(),
                 "getCortexProviderId() == otherSD->getCortexProviderId()")
            && c(getCortexPeriod() == otherSD->getCortexPeriod(), "getCortexPeriod() == otherSD->getCortexPeriod()")
            && c(getCortexReqImgWidth() == otherSD->getCortexReqImgWidth(),
                 "getCortexReqImgWidth() == otherSD->getCortexReqImgWidth()")
            && c(getCortexReqImgHeight() == otherSD->getCortexReqImgHeight(),
                 "getCortexReqImgHeight() == otherSD->getCortexReqImgHeight()");
        break;
    case StateWatcherType::Unknown:
    case StateWatcherType::TrafficLight:
        break;
    }
    return c;
}

} // namespace kvr::tracker::common
