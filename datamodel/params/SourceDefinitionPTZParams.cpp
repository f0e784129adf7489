#include "datamodel/params/SourceDefinitionPTZParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kPTZConnectionString = QStringLiteral("ptz_connection_string");
const QString kHomeSet = QStringLiteral("home_set");
const QString kHomePan = QStringLiteral("home_pan");
const QString kHomeTilt = QStringLiteral("home_tilt");
const QString kHomeZoom = QStringLiteral("home_zoom");
const QString kTolerancePan = QStringLiteral("tolerance_pan");
const QString kToleranceTilt = QStringLiteral("tolerance_tilt");
const QString kToleranceZoom = QStringLiteral("tolerance_zoom");

constexpr float kDefaultTolerance = float(0.001);

const std::array<SourceDataField, 8> &fields()
{
    static const std::array<SourceDataField, 8> table{{
        {kPTZConnectionString, SourceDataField::Type::String},
        {kHomeSet, SourceDataField::Type::Bool},
        {kHomePan, SourceDataField::Type::Float},
        {kHomeTilt, SourceDataField::Type::Float},
        {kHomeZoom, SourceDataField::Type::Float},
        {kTolerancePan, SourceDataField::Type::Float},
        {kToleranceTilt, SourceDataField::Type::Float},
        {kToleranceZoom, SourceDataField::Type::Float},
    }};
    return table;
}

} // namespace

SourceDefinitionPTZParams::SourceDefinitionPTZParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionPTZParams>(Q_FUNC_INFO);
}

QString SourceDefinitionPTZParams::getPTZConnectionString() const { return valueAs<QString>(kPTZConnectionString); }
void SourceDefinitionPTZParams::setPTZConnectionString(const QString &connectionString) { setValue(kPTZConnectionString, connectionString); }
bool SourceDefinitionPTZParams::getHomeSet() const { return valueAs<bool>(kHomeSet, false); }
void SourceDefinitionPTZParams::setHomeSet(const bool &homeSet) { setValue(kHomeSet, homeSet); }
float SourceDefinitionPTZParams::getHomePan() const { return valueAs<float>(kHomePan, 0.0f); }
void SourceDefinitionPTZParams::setHomePan(const float &homePan) { setValue(kHomePan, homePan); }
float SourceDefinitionPTZParams::getHomeTilt() const { return valueAs<float>(kHomeTilt, 0.0f); }
void SourceDefinitionPTZParams::setHomeTilt(const float &homeTilt) { setValue(kHomeTilt, homeTilt); }
float SourceDefinitionPTZParams::getHomeZoom() const { return valueAs<float>(kHomeZoom, 0.0f); }
void SourceDefinitionPTZParams::setHomeZoom(const float &homeZoom) { setValue(kHomeZoom, homeZoom); }
float SourceDefinitionPTZParams::getTolerancePan() const { return valueAs<float>(kTolerancePan, kDefaultTolerance); }
void SourceDefinitionPTZParams::setTolerancePan(const float &tolerancePan) { setValue(kTolerancePan, tolerancePan); }
float SourceDefinitionPTZParams::getToleranceTilt() const { return valueAs<float>(kToleranceTilt, kDefaultTolerance); }
void SourceDefinitionPTZParams::setToleranceTilt(const float &toleranceTilt) { setValue(kToleranceTilt, toleranceTilt); }
float SourceDefinitionPTZParams::getToleranceZoom() const { return valueAs<float>(kToleranceZoom, kDefaultTolerance); }
void SourceDefinitionPTZParams::setToleranceZoom(const float &toleranceZoom) { setValue(kToleranceZoom, toleranceZoom); }

bool SourceDefinitionPTZParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionPTZParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    if (!v(!getPTZConnectionString().isEmpty(), "!getPTZConnectionString().isEmpty()"))
        return false;
    // Without a home position its values and tolerances mean nothing.
    if (!getHomeSet())
        return true;
    return v(getHomePan() >= -1 && getHomePan() <= 1, "getHomePan() >= -1 && getHomePan() <= 1")
        && v(getHomeTilt() >= -1 && getHomeTilt() <= 1, "getHomeTilt() >= -1 && getHomeTilt() <= 1")
        && v(getHomeZoom() >= 0 && getHomeZoom() <= 1, "getHomeZoom() >= 0 && getHomeZoom() <= 1")
        && v(getTolerancePan() >= 0, "getTolerancePan() >= 0")
        && v(getToleranceTilt() >= 0, "getToleranceTilt() >= 0")
        && v(getToleranceZoom() >= 0, "getToleranceZoom() >= 0");
}

void SourceDefinitionPTZParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                          const SourceDataReadOptions & /*options*/)
{
    readFields(data, fields());
}

void SourceDefinitionPTZParams::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    writeFields(data, fields());
}

CompareResult SourceDefinitionPTZParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionPTZParams>(other);
    if (!otherSD)
        return c;
    if (!(c(getPTZConnectionString() == otherSD->getPTZConnectionString(),
            "getPTZConnectionString() == otherSD->getPTZConnectionString()")
          && c(getHomeSet() == otherSD->getHomeSet(), "getHomeSet() == otherSD->getHomeSet()")))
        return c;
    if (!getHomeSet())
        return c;
    // Single-precision fuzzy tests; the offsets keep values near zero comparable.
    c(qFuzzyCompare(getHomePan() + 2, otherSD->getHomePan() + 2),
      "qFuzzyCompare(getHomePan() + 2, otherSD->getHomePan() + 2)")
        && c(qFuzzyCompare(getHomeTilt() + 2, otherSD->getHomeTilt() + 2),
             "qFuzzyCompare(getHomeTilt() + 2, otherSD->getHomeTilt() + 2)")
        && c(qFuzzyCompare(getHomeZoom() + 2, otherSD->getHomeZoom() + 2),
             "qFuzzyCompare(getHomeZoom() + 2, otherSD->getHomeZoom() + 2)")
        && c(qFuzzyCompare(getTolerancePan() + 1, otherSD->getTolerancePan() + 1),
             "qFuzzyCompare(getTolerancePan() + 1, otherSD->getTolerancePan() + 1)")
        && c(qFuzzyCompare(getToleranceTilt() + 1, otherSD->getToleranceTilt() + 1),
             "qFuzzyCompare(getToleranceTilt() + 1, otherSD->getToleranceTilt() + 1)")
        && c(qFuzzyCompare(getToleranceZoom() + 1, otherSD->getToleranceZoom() + 1),
             "qFuzzyCompare(getToleranceZoom() + 1, otherSD->getToleranceZoom() + 1)");
    return c;
}

} // namespace kvr::tracker::common
