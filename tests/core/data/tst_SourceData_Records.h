#pragma once

#include "core/data/SourceData.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>
#include <QPolygonF>
#include <QStringList>
#include <QVector>

// A small record family of the tests' own, written the way docs/records.md shows.
namespace demo {

using namespace kvr::tracker::common;

// Heavy-data directories handed to read_impl / write_impl, as "Class:directory", in call order.
inline QStringList &seenDirectories()
{
    static QStringList seen;
    return seen;
}

// List element and nested record; "enabled" true when absent.
class DemoItem : public SourceData
{
    Q_GADGET
    Q_PROPERTY(double weight READ getWeight WRITE setWeight)
    Q_PROPERTY(QString signature READ getSignature WRITE setSignature)

public:
    DemoItem();

    double getWeight() const;      // 1 when absent
    void setWeight(double weight);
    QString getSignature() const;  // a differing signature raises the first compare flag
    void setSignature(const QString &signature);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

// The record under test: plain fields, an enumeration, a polygon, a nested record and a list.
// "enabled" false when absent; a disabled record is valid at once.
class DemoParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(double threshold READ getThreshold WRITE setThreshold)
    Q_PROPERTY(QString label READ getLabel WRITE setLabel)
    Q_PROPERTY(uint count READ getCount WRITE setCount)
    Q_PROPERTY(Mode mode READ getMode WRITE setMode)
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(demo::DemoItem item READ getItem WRITE setItem)

public:
    enum class Mode { Unknown = 0, Fast = 1, Precise = 2 };
    Q_ENUM(Mode)

    DemoParams();

    double getThreshold() const;   // 0.5
    void setThreshold(double threshold);
    QString getLabel() const;      // empty
    void setLabel(const QString &label);
    uint getCount() const;         // 3
    void setCount(uint count);
    Mode getMode() const;          // Unknown for an absent or unknown text
    void setMode(Mode mode);
    QPolygonF getZone() const;     // empty
    void setZone(const QPolygonF &zone);
    DemoItem getItem() const;      // a default item
    void setItem(const DemoItem &item);
    bool hasItem() const;
    QVector<DemoItem> getItems() const;
    void setItems(const QVector<DemoItem> &items);

    mutable quint32 seenVersion = 0; // data version handed to the last read_impl

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

// Another class with the same shape as DemoItem, for the different-types rules.
class OtherItem : public DemoItem
{
    Q_GADGET
public:
    OtherItem() = default;
};

// Never registered with QMetaType's comparators before the test asks.
class FlatRecord : public SourceData
{
    Q_GADGET
public:
    FlatRecord();
    QString getText() const;
    void setText(const QString &text);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
};

// --- Definitions (header only: one test executable per tst_*.cpp) ---



namespace keys {


inline const QString kWeight = QStringLiteral("weight");
inline const QString kSignature = QStringLiteral("signature");

inline const QString kThreshold = QStringLiteral("threshold");
inline const QString kLabel = QStringLiteral("label");
inline const QString kCount = QStringLiteral("count");
inline const QString kMode = QStringLiteral("mode");
inline const QString kZone = QStringLiteral("zone");
inline const QString kItem = QStringLiteral("item");
inline const QString kItems = QStringLiteral("items");

inline const std::array<SourceDataField, 2> &itemFields()
{
    static const std::array<SourceDataField, 2> table{{
        {kWeight, SourceDataField::Type::Double},
        {kSignature, SourceDataField::Type::String},
    }};
    return table;
}

inline const std::array<SourceDataField, 4> &paramsFields()
{
    static const std::array<SourceDataField, 4> table{{
        {kThreshold, SourceDataField::Type::Double},
        {kLabel, SourceDataField::Type::String},
        {kCount, SourceDataField::Type::UInt},
        {kMode, SourceDataField::Type::String},
    }};
    return table;
}

} // namespace keys

using namespace keys;

// --- DemoItem ---

inline DemoItem::DemoItem()
    : SourceData(1)
{
    registerRecordComparator<DemoItem>(Q_FUNC_INFO);
}

inline double DemoItem::getWeight() const { return valueAs<double>(kWeight, 1.0); }
inline void DemoItem::setWeight(double weight) { setValue(kWeight, weight); }
inline QString DemoItem::getSignature() const { return valueAs<QString>(kSignature); }
inline void DemoItem::setSignature(const QString &signature) { setValue(kSignature, signature); }

inline bool DemoItem::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getWeight() >= 0, "getWeight() >= 0");
}

inline void DemoItem::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    seenDirectories().append(QStringLiteral("DemoItem:") + options.heavyDataPathPrefix);
    readFields(data, itemFields());
}

inline void DemoItem::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    seenDirectories().append(QStringLiteral("DemoItem:") + options.heavyDataPathPrefix);
    writeFields(data, itemFields());
}

inline CompareResult DemoItem::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<DemoItem>(other);
    if (!otherSD)
        return c;
    if (getSignature() != otherSD->getSignature())
        c.setFirst();
    c(qFuzzyCompare(getWeight() + 1, otherSD->getWeight() + 1), "qFuzzyCompare(getWeight() + 1, otherSD->getWeight() + 1)")
        && c(getSignature() == otherSD->getSignature(), "getSignature() == otherSD->getSignature()");
    return c;
}

// --- DemoParams ---

inline DemoParams::DemoParams()
    : SourceData(1)
{
    registerRecordComparator<DemoParams>(Q_FUNC_INFO);
}

inline double DemoParams::getThreshold() const { return valueAs<double>(kThreshold, 0.5); }
inline void DemoParams::setThreshold(double threshold) { setValue(kThreshold, threshold); }
inline QString DemoParams::getLabel() const { return valueAs<QString>(kLabel); }
inline void DemoParams::setLabel(const QString &label) { setValue(kLabel, label); }
inline uint DemoParams::getCount() const { return valueAs<uint>(kCount, 3); }
inline void DemoParams::setCount(uint count) { setValue(kCount, count); }
inline DemoParams::Mode DemoParams::getMode() const { return enumFromVariant(value(kMode), Mode::Unknown); }
inline void DemoParams::setMode(Mode mode) { setValue(kMode, enumToKey(mode)); }
inline QPolygonF DemoParams::getZone() const { return valueAs<QPolygonF>(kZone); }
inline void DemoParams::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }
inline DemoItem DemoParams::getItem() const { return getRecord<DemoItem>(kItem); }
inline void DemoParams::setItem(const DemoItem &item) { setRecord(kItem, item); }
inline bool DemoParams::hasItem() const { return hasEnabledRecord<DemoItem>(kItem); }
inline QVector<DemoItem> DemoParams::getItems() const { return getList<DemoItem>(kItems); }
inline void DemoParams::setItems(const QVector<DemoItem> &items) { setList(kItems, items); }

inline bool DemoParams::defaultEnabled() const
{
    return false;
}

inline bool DemoParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getThreshold() >= 0 && getThreshold() <= 1, "getThreshold() >= 0 && getThreshold() <= 1")
        && v(!getLabel().isEmpty(), "!getLabel().isEmpty()")
        && v(!hasItem() || getItem().isValid(skipWrn), "!hasItem() || getItem().isValid(skipWrn)")
        && v.each(getItems(), [skipWrn](const DemoItem &ci) { return ci.isValid(skipWrn); }, "ci.isValid(skipWrn)");
}

inline void DemoParams::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    seenDirectories().append(QStringLiteral("DemoParams:") + options.heavyDataPathPrefix);
    seenVersion = version;
    readFields(data, paramsFields());
    const auto zone = data.constFind(kZone);
    if (zone != data.constEnd())
        setZone(polygonFromJson(zone.value().toArray()));
    readRecord<DemoItem>(data, kItem, options);
    readList<DemoItem>(data, kItems, options);
}

inline void DemoParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    seenDirectories().append(QStringLiteral("DemoParams:") + options.heavyDataPathPrefix);
    writeFields(data, paramsFields());
    if (contains(kZone))
        data.insert(kZone, polygonToJson(getZone()));
    writeRecord<DemoItem>(data, kItem, options);
    writeList<DemoItem>(data, kItems, options);
}

inline CompareResult DemoParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<DemoParams>(other);
    if (!otherSD)
        return c;
    c(qFuzzyCompare(getThreshold() + 1, otherSD->getThreshold() + 1),
      "qFuzzyCompare(getThreshold() + 1, otherSD->getThreshold() + 1)")
        && c(getLabel() == otherSD->getLabel(), "getLabel() == otherSD->getLabel()")
        && c(getMode() == otherSD->getMode(), "getMode() == otherSD->getMode()")
        && c(getItem().compare(otherSD->getItem(), params), "getItem().compare(otherSD->getItem(), compareParams)")
        && c.lists(getItems(), otherSD->getItems());
    return c;
}

// --- FlatRecord ---

inline FlatRecord::FlatRecord()
    : SourceData(1, true, true)
{
}

inline QString FlatRecord::getText() const { return valueAs<QString>(QStringLiteral("text")); }
inline void FlatRecord::setText(const QString &text) { setValue(QStringLiteral("text"), text); }

inline void FlatRecord::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readField(data, {QStringLiteral("text"), SourceDataField::Type::String});
}

inline void FlatRecord::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeField(data, QStringLiteral("text"));
}

} // namespace demo

Q_DECLARE_METATYPE(demo::DemoItem)
Q_DECLARE_METATYPE(demo::DemoParams)
Q_DECLARE_METATYPE(demo::OtherItem)
Q_DECLARE_METATYPE(demo::FlatRecord)
