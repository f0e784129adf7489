#include "datamodel/frames/SourceVisualizationParams.h"

#include "core/data/ColorText.h"
#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/JsonValues.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <QJsonArray>

#include <algorithm>
#include <array>

namespace kvr::tracker::common {

namespace {

const QString kSelectedIDs = QStringLiteral("selected_trajectory_ids");
const QString kHideNonSelected = QStringLiteral("hide_non_selected_trajectories");
const QString kClasses = QStringLiteral("visualization_classes");
const QString kShowFlags = QStringLiteral("show_flags");
const QString kTTailsSizeMS = QStringLiteral("ttails_size_ms");
const QString kTTailsLineWidth = QStringLiteral("ttails_line_width");
const QString kBBXLineWidth = QStringLiteral("bbx_line_width");
const QString kBBXColor = QStringLiteral("bbx_color");
const QString kFlagColor = QStringLiteral("flag_color");
const QString kFlagSelectedColor = QStringLiteral("flag_selected_color");
const QString kMultiplier = QStringLiteral("visualization_multiplier");
const QString kTrackIdOffset = QStringLiteral("track_id_offset");
const QString kSpatialElements = QStringLiteral("spatial_elements");
const QString kTimestamp = QStringLiteral("timestamp");

const QString kShowClasses = QStringLiteral("show_classes");
const QString kShowColor = QStringLiteral("show_color");
const QString kShowLP = QStringLiteral("show_lp");
const QString kShowId = QStringLiteral("show_id");
const QString kShowBBX = QStringLiteral("show_bbx");
const QString kShowTTails = QStringLiteral("show_ttails");
const QString kShowScore = QStringLiteral("show_score");

const std::array<SourceDataField, 3> &plainFields()
{
    static const std::array<SourceDataField, 3> table{{
        {kHideNonSelected, SourceDataField::Type::Bool},
        {kTTailsLineWidth, SourceDataField::Type::Float},
        {kBBXLineWidth, SourceDataField::Type::Float},
    }};
    return table;
}

const std::array<SourceDataField, 6> &frameFields()
{
    static const std::array<SourceDataField, 6> table{{
        {kTTailsSizeMS, SourceDataField::Type::UIntText},
        {kBBXColor, SourceDataField::Type::Color},
        {kFlagColor, SourceDataField::Type::Color},
        {kFlagSelectedColor, SourceDataField::Type::Color},
        {kMultiplier, SourceDataField::Type::Bits16},
        {kTrackIdOffset, SourceDataField::Type::Int64OrText},
    }};
    return table;
}

} // namespace

const QStringList &SourceVisualizationParams::defaultShowFlags()
{
    static const QStringList flags{kShowClasses, kShowColor, kShowLP, kShowId, kShowBBX, kShowTTails, kShowScore};
    return flags;
}

SourceVisualizationParams::SourceVisualizationParams()
    : SourceData(1)
{
    registerRecordComparator<SourceVisualizationParams>(Q_FUNC_INFO);
}

QSet<qint64> SourceVisualizationParams::getSelectedTrajectoryIDs() const
{
    QSet<qint64> ids;
    for (const QVariant &id : value(kSelectedIDs).toList())
        ids.insert(id.toLongLong());
    return ids;
}

void SourceVisualizationParams::setSelectedTrajectoryIDs(const QSet<qint64> &ids)
{
    QVariantList list;
    list.reserve(ids.size());
    for (const qint64 id : ids)
        list.append(id);
    setValue(kSelectedIDs, list);
}

bool SourceVisualizationParams::getHideNonSelectedTrajectories() const { return valueAs<bool>(kHideNonSelected, true); }
void SourceVisualizationParams::setHideNonSelectedTrajectories(bool hide) { setValue(kHideNonSelected, hide); }

QVector<SourceVisualizationClass> SourceVisualizationParams::getSourceVisualizationClasses() const
{
    return getList<SourceVisualizationClass>(kClasses);
}

void SourceVisualizationParams::setSourceVisualizationClasses(const QVector<SourceVisualizationClass> &classes)
{
    setList(kClasses, classes);
}

QStringList SourceVisualizationParams::getShowFlags() const
{
    return contains(kShowFlags) ? valueAs<QStringList>(kShowFlags) : defaultShowFlags();
}

void SourceVisualizationParams::setShowFlags(const QStringList &flags)
{
    QStringList sorted = flags;
    std::sort(sorted.begin(), sorted.end());
    setValue(kShowFlags, sorted);
}

bool SourceVisualizationParams::hasShowFlag(const QString &flag) const
{
    return getShowFlags().contains(flag);
}

void SourceVisualizationParams::setShowFlag(const QString &flag, bool on)
{
    const QStringList before = getShowFlags();
    QStringList flags = before;
    if (on && !flags.contains(flag))
        flags.append(flag);
    else if (!on)
        flags.removeOne(flag);
    // A call that changes nothing must leave an absent key absent.
    if (!sameStringSet(flags, before))
        setShowFlags(flags);
}

bool SourceVisualizationParams::getShowClasses() const { return hasShowFlag(kShowClasses); }
void SourceVisualizationParams::setShowClasses(bool show) { setShowFlag(kShowClasses, show); }
bool SourceVisualizationParams::getShowColor() const { return hasShowFlag(kShowColor); }
void SourceVisualizationParams::setShowColor(bool show) { setShowFlag(kShowColor, show); }
bool SourceVisualizationParams::getShowLP() const { return hasShowFlag(kShowLP); }
void SourceVisualizationParams::setShowLP(bool show) { setShowFlag(kShowLP, show); }
bool SourceVisualizationParams::getShowBBX() const { return hasShowFlag(kShowBBX); }
void SourceVisualizationParams::setShowBBX(bool show) { setShowFlag(kShowBBX, show); }
bool SourceVisualizationParams::getShowScore() const { return hasShowFlag(kShowScore); }
void SourceVisualizationParams::setShowScore(bool show) { setShowFlag(kShowScore, show); }
bool SourceVisualizationParams::getShowTTails() const { return hasShowFlag(kShowTTails); }
void SourceVisualizationParams::setShowTTails(bool show) { setShowFlag(kShowTTails, show); }

uint SourceVisualizationParams::getTTailsSizeMS() const { return valueAs<uint>(kTTailsSizeMS, 2000); }
void SourceVisualizationParams::setTTailsSizeMS(uint sizeMS) { setValue(kTTailsSizeMS, sizeMS); }
float SourceVisualizationParams::getTTailsLineWidth() const { return valueAs<float>(kTTailsLineWidth, 1.0f); }
void SourceVisualizationParams::setTTailsLineWidth(float width) { setValue(kTTailsLineWidth, width); }
float SourceVisualizationParams::getBBXLineWidth() const { return valueAs<float>(kBBXLineWidth, 1.0f); }
void SourceVisualizationParams::setBBXLineWidth(float width) { setValue(kBBXLineWidth, width); }
QColor SourceVisualizationParams::getBBXColor() const { return storedColor(*this, kBBXColor, QStringLiteral("red")); }
void SourceVisualizationParams::setBBXColor(const QColor &color) { setValue(kBBXColor, colorText(color)); }
QColor SourceVisualizationParams::getFlagColor() const { return storedColor(*this, kFlagColor, QStringLiteral("red")); }
void SourceVisualizationParams::setFlagColor(const QColor &color) { setValue(kFlagColor, colorText(color)); }

QColor SourceVisualizationParams::getFlagSelectedColor() const
{
    return storedColor(*this, kFlagSelectedColor, QStringLiteral("orange"));
}

quint16 SourceVisualizationParams::getVisualizationMultiplier() const { return quint16(valueAs<uint>(kMultiplier, 100)); }
void SourceVisualizationParams::setVisualizationMultiplier(quint16 multiplier) { setValue(kMultiplier, int(multiplier)); }
qlonglong SourceVisualizationParams::getTrackIdOffset() const { return valueAs<qlonglong>(kTrackIdOffset, 0); }
void SourceVisualizationParams::setTrackIdOffset(qlonglong offset) { setValue(kTrackIdOffset, offset); }

QVector<SourceVisualizationSpatialElement> SourceVisualizationParams::getSpatialElements() const
{
    return getList<SourceVisualizationSpatialElement>(kSpatialElements);
}

void SourceVisualizationParams::setSpatialElements(const QVector<SourceVisualizationSpatialElement> &elements)
{
    setList(kSpatialElements, elements);
}

SourceVisualizationTimestamp SourceVisualizationParams::getSourceVisualizationTimestamp() const
{
    return getRecord<SourceVisualizationTimestamp>(kTimestamp);
}

void SourceVisualizationParams::setSourceVisualizationTimestamp(const SourceVisualizationTimestamp &timestamp)
{
    setRecord(kTimestamp, timestamp);
}

bool SourceVisualizationParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    // The time stamp is not part of this record's validity.
    return v.each(getSourceVisualizationClasses(),
                  [skipWrn](const SourceVisualizationClass &ci) { return ci.isValid(skipWrn); }, "ci.isValid(skipWrn)")
        && v(getTTailsSizeMS() <= TTAILS_SIZE_MS_MAX, "getTTailsSizeMS() <= TTAILS_SIZE_MS_MAX")
        && v(getTTailsLineWidth() > 0.0f, "getTTailsLineWidth() > 0.0f")
        && v(getBBXLineWidth() > 0.0f, "getBBXLineWidth() > 0.0f")
        && v(getVisualizationMultiplier() <= VISUALIZATION_MULTIPLIER_MAX,
             "getVisualizationMultiplier() <= VISUALIZATION_MULTIPLIER_MAX")
        && v(getTrackIdOffset() >= 0, "getTrackIdOffset() >= 0")
        && v.each(getSpatialElements(),
                  [skipWrn](const SourceVisualizationSpatialElement &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceVisualizationParams::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    const auto ids = data.constFind(kSelectedIDs);
    if (ids != data.constEnd()) {
        QSet<qint64> set;
        for (const QJsonValue &id : ids.value().toArray())
            set.insert(int64FromJson(id));
        setSelectedTrajectoryIDs(set);
    }
    readFields(data, plainFields());
    readList<SourceVisualizationClass>(data, kClasses, options);
    const auto flags = data.constFind(kShowFlags);
    if (flags != data.constEnd())
        setShowFlags(stringListFromVariantList(flags.value().toArray().toVariantList()));
    readFields(data, frameFields());
    readList<SourceVisualizationSpatialElement>(data, kSpatialElements, options);
    readRecord<SourceVisualizationTimestamp>(data, kTimestamp, options);
}

void SourceVisualizationParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    if (contains(kSelectedIDs)) {
        QJsonArray ids;
        for (const qint64 id : getSelectedTrajectoryIDs())
            ids.append(double(id)); // beyond 2^53 the id loses precision
        data.insert(kSelectedIDs, ids);
    }
    writeFields(data, plainFields());
    writeList<SourceVisualizationClass>(data, kClasses, options);
    if (contains(kShowFlags))
        data.insert(kShowFlags, QJsonArray::fromStringList(getShowFlags()));
    writeFields(data, frameFields());
    writeList<SourceVisualizationSpatialElement>(data, kSpatialElements, options);
    writeRecord<SourceVisualizationTimestamp>(data, kTimestamp, options);
}

CompareResult SourceVisualizationParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceVisualizationParams>(other);
    if (!otherSD)
        return c;
    const auto classes = getSourceVisualizationClasses();
    // The object annotations only matter when classes are drawn at all.
    const auto annotations = [&] {
        return c(getShowFlags() == otherSD->getShowFlags(), "getShowFlags() == otherSD->getShowFlags()")
            && c(getTTailsSizeMS() == otherSD->getTTailsSizeMS(), "getTTailsSizeMS() == otherSD->getTTailsSizeMS()")
            && c(getTTailsLineWidth() == otherSD->getTTailsLineWidth(),
                 "getTTailsLineWidth() == otherSD->getTTailsLineWidth()")
            && c(getBBXLineWidth() == otherSD->getBBXLineWidth(), "getBBXLineWidth() == otherSD->getBBXLineWidth()")
            && c(getBBXColor() == otherSD->getBBXColor(), "getBBXColor() == otherSD->getBBXColor()")
            && c(getFlagColor() == otherSD->getFlagColor(), "getFlagColor() == otherSD->getFlagColor()")
            && c(getSelectedTrajectoryIDs() == otherSD->getSelectedTrajectoryIDs(),
                 "getSelectedTrajectoryIDs() == otherSD->getSelectedTrajectoryIDs()")
            && c(getHideNonSelectedTrajectories() == otherSD->getHideNonSelectedTrajectories(),
                 "getHideNonSelectedTrajectories() == otherSD->getHideNonSelectedTrajectories()")
            && c(getFlagSelectedColor() == otherSD->getFlagSelectedColor(),
                 "getFlagSelectedColor() == otherSD->getFlagSelectedColor()")
            && c(getVisualizationMultiplier() == otherSD->getVisualizationMultiplier(),
                 "getVisualizationMultiplier() == otherSD->getVisualizationMultiplier()")
            && c(getTrackIdOffset() == otherSD->getTrackIdOffset(), "getTrackIdOffset() == otherSD->getTrackIdOffset()");
    };
    const auto timestamp = [&] {
        const SourceVisualizationTimestamp mine = getSourceVisualizationTimestamp();
        const SourceVisualizationTimestamp theirs = otherSD->getSourceVisualizationTimestamp();
        CompareResult nested = mine.compare(theirs, params);
        nested.equal = nested.equal && mine.getEnabled() == theirs.getEnabled();
        return c(nested,
                 "getSourceVisualizationTimestamp().getEnabled() == otherSD->getSourceVisualizationTimestamp().getEnabled() && getSourceVisualizationTimestamp().compare(otherSD->getSourceVisualizationTimestamp(), compareParams)");
    };
    c.lists(classes, otherSD->getSourceVisualizationClasses())
        && (classes.isEmpty() || annotations())
        && c.lists(getSpatialElements(), otherSD->getSpatialElements())
        && timestamp();
    return c;
}

} // namespace kvr::tracker::common
