#include "datamodel/definitions/SourceDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceDefinitionFactory.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"

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
    Registry() { insertDefaultCreators(creators); }

    static void insertDefaultCreators(QHash<int, Creator> &creators)
    {
        for (const DefaultCreator &entry : defaultCreators())
            creators.insert(int(entry.type), Creator{entry.create, entry.adjust});
    }

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

// Only the type is wanted before the class is chosen: looked up where a base definition's read
// would find it ("data", or the object itself for flat or version-0 data), without reading the
// rest (no validation warnings, no heavy files).
SourceDefinition::SourceDefinitionType typeInJson(const QJsonObject &object, const SourceDataReadOptions &options)
{
    const bool flat = options.flat || (!options.noVersion && object.value(QLatin1String("version")).toInt() == 0);
    const QJsonValue type = flat ? object.value(kType) : object.value(QLatin1String("data")).toObject().value(kType);
    return enumFromKey(type.toString(), SourceDefinition::SourceDefinitionType::Unknown);
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

void SourceDefinition::registerDefaultCreators()
{
    Registry &r = registry();
    QWriteLocker locker(&r.lock);
    Registry::insertDefaultCreators(r.creators);
}

std::shared_ptr<SourceDefinition> SourceDefinition::createFromJson(const QJsonObject &object,
                                                                   const SourceDataReadOptions &options)
{
    const Creator creator = creatorFor(typeInJson(object, options));
    auto base = std::make_shared<SourceDefinition>();
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

namespace {

// The definition itself when a shared pointer owns it, else a copy sharing its value map.
template <class T, class Self>
std::shared_ptr<T> downcast(Self *self)
{
    auto *typed = dynamic_cast<T *>(self);
    if (!typed)
        return nullptr;
    if (auto owner = self->weak_from_this().lock())
        return std::shared_ptr<T>(owner, typed);
    return std::make_shared<std::remove_const_t<T>>(*typed);
}

} // namespace

std::shared_ptr<const SourceVIDEODefinition> SourceDefinition::toVIDEOSrcDefCPtr() const
{
    return downcast<const SourceVIDEODefinition>(this);
}

std::shared_ptr<SourceVIDEODefinition> SourceDefinition::toVIDEODefinitionPtr()
{
    return downcast<SourceVIDEODefinition>(this);
}

std::shared_ptr<SourceCUBEDefinition> SourceDefinition::toCUBEDefinitionPtr()
{
    return downcast<SourceCUBEDefinition>(this);
}

} // namespace kvr::tracker::common
