#include "datamodel/params/SourceDefinitionGroundPredictionParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kGroundPredictionClasses = QStringLiteral("ground_prediction_classes");

using GroundClass = SourceDefinitionGroundPredictionClass;

constexpr quint32 kClassVersion = 2;

} // namespace

SourceDefinitionGroundPredictionParams::SourceDefinitionGroundPredictionParams()
    : SourceData(kClassVersion)
{
    registerRecordComparator<SourceDefinitionGroundPredictionParams>(Q_FUNC_INFO);
}

const QList<GroundClass> &SourceDefinitionGroundPredictionParams::defaultGroundPredictionClasses()
{
    static const QList<GroundClass> classes{
        GroundClass(QStringLiteral("unknown"), false, QPointF(0.5, 0.5)),
        GroundClass(QStringLiteral("car"), false, QPointF(0.5, 0.75)),
        GroundClass(QStringLiteral("light"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("heavy"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("bus"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("motorcycle"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("bicycle"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("pedestrian"), false, QPointF(0.5, 1.0)),
        GroundClass(QStringLiteral("van"), false, QPointF(0.5, 0.8)),
        GroundClass(QStringLiteral("animal"), false, QPointF(0.5, 0.95)),
        GroundClass(QStringLiteral("caravan"), false, QPointF(0.5, 0.8)),
        GroundClass(QStringLiteral("pram"), false, QPointF(0.5, 0.95)),
        GroundClass(QStringLiteral("car trailer"), false, QPointF(0.5, 0.75)),
        GroundClass(QStringLiteral("head"), false, QPointF(0.5, 0.5)),
        GroundClass(QStringLiteral("scooter"), false, QPointF(0.5, 0.95)),
        GroundClass(QStringLiteral("skate"), false, QPointF(0.5, 0.75)),
        GroundClass(QStringLiteral("tractor"), false, QPointF(0.5, 0.8)),
        GroundClass(QStringLiteral("truck trailer"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("tuk-tuk"), false, QPointF(0.5, 0.75)),
        GroundClass(QStringLiteral("wheelchair"), false, QPointF(0.5, 0.95)),
        GroundClass(QStringLiteral("tram"), false, QPointF(0.5, 0.85)),
        GroundClass(QStringLiteral("obstacle"), false, QPointF(0.5, 0.75)),
        GroundClass(QStringLiteral("articulated bus"), false, QPointF(0.5, 0.85)),
    };
    return classes;
}

QList<GroundClass> SourceDefinitionGroundPredictionParams::getGroundPredictionClasses() const
{
    if (!contains(kGroundPredictionClasses))
        return defaultGroundPredictionClasses();
    return getList<GroundClass, QList<GroundClass>>(kGroundPredictionClasses);
}

void SourceDefinitionGroundPredictionParams::setGroundPredictionClasses(const QList<GroundClass> &classes)
{
    if (classes.isEmpty())
        remove(kGroundPredictionClasses);
    else
        setList(kGroundPredictionClasses, classes);
}

// Validated whether enabled or not.
bool SourceDefinitionGroundPredictionParams::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getGroundPredictionClasses(), [skipWrn](const GroundClass &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceDefinitionGroundPredictionParams::read_impl(const QJsonObject &data, quint32 version,
                                                       const SourceDataReadOptions &options)
{
    // Only version-2 data carries a list; older data also forgets its "enabled" state.
    if (version < kClassVersion) {
        removeEnabled();
        return;
    }
    if (version > kClassVersion)
        return;
    const auto classes = data.constFind(kGroundPredictionClasses);
    if (classes != data.constEnd())
        setGroundPredictionClasses(listFromJson<GroundClass, QList<GroundClass>>(classes.value().toArray(), options));
}

void SourceDefinitionGroundPredictionParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<GroundClass>(data, kGroundPredictionClasses, options);
}

CompareResult SourceDefinitionGroundPredictionParams::compare_logic(const SourceData &other,
                                                                    const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceDefinitionGroundPredictionParams>(other);
    if (!otherSD)
        return c;
    c.lists(getGroundPredictionClasses(), otherSD->getGroundPredictionClasses());
    return c;
}

} // namespace kvr::tracker::common
