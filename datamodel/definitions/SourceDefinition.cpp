#include "datamodel/definitions/SourceDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <QHash>
#include <QReadWriteLock>

namespace kvr::tracker::common {

namespace {

const QString kName = QStringLiteral("source_definition_name");
const QString kType = QStringLiteral("source_definition_type");
const QString kReferenceFrameParams = QStringLiteral("reference_frame_parameters");

struct Creator
{
    SourceDefinition::CreateFunction create = nullptr;
    SourceDefinition::AdjustFunction adjust = nullptr;
};

struct Registry
{
    QReadWriteLock lock;
    QHash<int, Creator> creators;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

Creator creatorFor(SourceDefinition::SourceDefinitionType type)
{
    if (type == SourceDefinition::SourceDefinitionType::Unknown)
        return {}; // always the base definition
    Registry &r = registry();
    QReadLocker locker(&r.lock);
    return r.creators.value(int(type));
}

} // namespace

SourceDefinition::SourceDefinition(SourceDefinitionType type)
    : SourceData(2)
{
    registerRecordComparator<SourceDefinition>(Q_FUNC_INFO);
    setValue(kType, enumToKey(type));
}

SourceDefinition::SourceDefinitionType SourceDefinition::getType() const
{
    return enumFromVariant(value(kType), SourceDefinitionType::Unknown);
}

QString SourceDefinition::getName() const
{
    return valueAs<QString>(kName);
}

void SourceDefinition::setName(const QString &name)
{
    setValue(kName, name);
}

SourceDefinitionReferenceFrameParams SourceDefinition::getReferenceFrameParams() const
{
    return getRecord<SourceDefinitionReferenceFrameParams>(kReferenceFrameParams);
}

void SourceDefinition::setReferenceFrameParams(const SourceDefinitionReferenceFrameParams &params)
{
    setRecord(kReferenceFrameParams, params);
}

bool SourceDefinition::hasReferenceFrameParams() const
{
    return hasEnabledRecord<SourceDefinitionReferenceFrameParams>(kReferenceFrameParams);
}

bool SourceDefinition::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getEnabled(), "getEnabled()")
        && v(!hasReferenceFrameParams() || getReferenceFrameParams().isValid(skipWrn),
             "!hasReferenceFrameParams() || getReferenceFrameParams().isValid(skipWrn)")
        && v(getType() != SourceDefinitionType::Unknown, "getType() != SourceDefinitionType::Unknown");
}

void SourceDefinition::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    const auto name = data.constFind(kName);
    if (name != data.constEnd())
        setValue(kName, name.value().toString());
    const auto type = data.constFind(kType);
    if (type != data.constEnd())
        setValue(kType, type.value().toString());
    // The block's own read, so that its heavy data and validation apply.
    readRecord<SourceDefinitionReferenceFrameParams>(data, kReferenceFrameParams, options);
}

void SourceDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeField(data, kName);
    writeField(data, kType);
    writeRecord<SourceDefinitionReferenceFrameParams>(data, kReferenceFrameParams, options);
}

CompareResult SourceDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceDefinition>(other);
    if (!otherSD)
        return c;
    c(getType() == otherSD->getType(), "getType() == otherSD->getType()")
        && c(getReferenceFrameParams().compare(otherSD->getReferenceFrameParams(), params),
             "getReferenceFrameParams().compare(otherSD->getReferenceFrameParams(), compareParams)");
    return c;
}

void SourceDefinition::registerCreator(SourceDefinitionType type, CreateFunction create, AdjustFunction adjust)
{
    Registry &r = registry();
    QWriteLocker locker(&r.lock);
    r.creators.insert(int(type), Creator{create, adjust});
}

void SourceDefinition::unregisterCreator(SourceDefinitionType type)
{
    Registry &r = registry();
    QWriteLocker locker(&r.lock);
    r.creators.remove(int(type));
}

std::shared_ptr<SourceDefinition> SourceDefinition::createFromJson(const QJsonObject &object,
                                                                   const SourceDataReadOptions &options)
{
    auto base = std::make_shared<SourceDefinition>();
    // Only the type is wanted here: no validation warnings, no heavy files.
    SourceDataReadOptions probe;
    probe.skipValidation = true;
    probe.flat = options.flat;
    probe.noVersion = options.noVersion;
    base->read(object, probe);

    const Creator creator = creatorFor(base->getType());
    if (!creator.create) {
        base->read(object, options);
        return base;
    }
    std::shared_ptr<SourceDefinition> typed = creator.create();
    if (!typed) {
        base->read(object, options);
        return base;
    }
    typed->read(object, options);
    if (creator.adjust) {
        if (auto adjusted = creator.adjust(typed))
            return adjusted;
    }
    return typed;
}

std::shared_ptr<SourceDefinition> SourceDefinition::createFromQVariant(const QVariant &data)
{
    auto base = std::make_shared<SourceDefinition>();
    base->setQVariantData(data);

    const Creator creator = creatorFor(base->getType());
    std::shared_ptr<SourceDefinition> typed = creator.create ? creator.create() : nullptr;
    if (!typed)
        return base;
    typed->setQVariantData(data);
    if (creator.adjust) {
        if (auto adjusted = creator.adjust(typed))
            return adjusted;
    }
    return typed;
}

} // namespace kvr::tracker::common
