#pragma once

#include "core/data/CompareParams.h"
#include "core/data/CompareResult.h"
#include "core/data/SourceDataField.h"
#include "core/data/SourceDataReadOptions.h"
#include "core/data/SourceDataWriteOptions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

#include <type_traits>

namespace kvr::tracker::common {

// Base of every data record: all values live in one implicitly shared map from JSON key to
// value, so a copy is cheap and shares the map until one of the two writes. A value type
// without threads or locks of its own; copies may be handed to other threads.
//
// A record class overrides (in this order) defaultEnabled (only when its default is false),
// isValid_impl, read_impl, write_impl and compare_logic; see docs/records.md.
class SourceData
{
    Q_GADGET
    Q_PROPERTY(bool enabled READ getEnabled WRITE setEnabled)

public:
    using ContentType = SourceDataContentType;
    using WriteMode = SourceDataWriteMode;

    explicit SourceData(quint32 classVersion = 1, bool flat = false, bool noVersion = false);
    SourceData(const SourceData &other) = default;
    SourceData(SourceData &&other) noexcept = default;
    SourceData &operator=(const SourceData &other) = default;
    SourceData &operator=(SourceData &&other) noexcept = default;

    // Virtual operations, in slot order: destructor, isValid, defaultEnabled, isValid_impl,
    // read_impl, write_impl, compare_logic.
    virtual ~SourceData();

    // The class's isValid_impl; when false and !skipWrn logs "<Class> is not valid! Data: ...".
    virtual bool isValid(bool skipWrn = false) const;

protected:
    // The value of "enabled" when the key is absent.
    virtual bool defaultEnabled() const;
    // Conditions in a fixed order, the first failing one ends the test (use ValidityChain).
    virtual bool isValid_impl(bool skipWrn) const;
    // The class's own fields from `data` (the object itself or its "data" member).
    virtual void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options);
    // The class's own fields into `data`; only keys the map holds.
    virtual void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const;
    // Called by compare() in Logic mode for two records of the same dynamic class (use CompareChain).
    // The base compares the value maps.
    virtual CompareResult compare_logic(const SourceData &other, const CompareParams &params) const;

public:
    bool getEnabled() const;
    void setEnabled(bool enabled);
    void removeEnabled();

    bool contains(const QString &key) const { return m_data.contains(key); }
    void setValue(const QString &key, const QVariant &value) { m_data.insert(key, value); }
    void remove(const QString &key) { m_data.remove(key); }

    // "source_id"; -1 when absent.
    qint64 getSourceID() const;
    void setSourceID(uint sourceID);
    bool hasSourceID() const;

    // Replaces the whole map by the variant map the variant holds. An invalid variant changes
    // nothing; any other type changes nothing and logs a warning.
    void setQVariantData(const QVariant &data);
    // The whole map, as stored under a holder's key.
    QVariant getQVariantData() const { return QVariant(m_data); }
    const QVariantMap &valueMap() const { return m_data; }

    quint32 getClassVersion() const { return m_classVersion; }
    bool isFlat() const { return m_flat; }
    bool isNoVersion() const { return m_noVersion; }

    // Reads a whole record (envelope "version", "enabled", "heavy_data_path", then the fields);
    // validates afterwards unless told not to. Keeps what it read in any case.
    void read(const QJsonObject &object, const SourceDataReadOptions &options = SourceDataReadOptions());
    void write(QJsonObject &object, const SourceDataWriteOptions &options = SourceDataWriteOptions()) const;
    QJsonObject toJsonObject(const SourceDataWriteOptions &options = SourceDataWriteOptions()) const;

    CompareResult compare(const SourceData &other, const CompareParams &params = CompareParams()) const;

    // The equality registered with QMetaType: equal "enabled" and a silent Logic comparison
    // that stops at the first difference.
    bool operator==(const SourceData &other) const;
    bool operator!=(const SourceData &other) const { return !(*this == other); }

    // Class name of the dynamic type without namespace ("ReferenceFrame").
    QString className() const;

protected:
    // --- Typed access for getters and setters (no detach on reads) ---
    QVariant value(const QString &key, const QVariant &fallback = QVariant()) const
    {
        const auto it = m_data.constFind(key);
        return it == m_data.constEnd() ? fallback : *it;
    }
    template <class T>
    T valueAs(const QString &key, const T &fallback = T()) const
    {
        const auto it = m_data.constFind(key);
        return it == m_data.constEnd() ? fallback : it->template value<T>();
    }

    // A nested record: a default T given the stored map (a default T when absent).
    template <class T>
    T getRecord(const QString &key) const
    {
        T record;
        const auto it = m_data.constFind(key);
        if (it != m_data.constEnd())
            record.setQVariantData(*it);
        return record;
    }
    void setRecord(const QString &key, const SourceData &record) { setValue(key, record.getQVariantData()); }
    // The key is present and the stored record is enabled (T's default when it holds no "enabled").
    template <class T>
    bool hasEnabledRecord(const QString &key) const
    {
        return contains(key) && getRecord<T>(key).getEnabled();
    }

    // A list of records: stored as a variant list of the elements' maps.
    template <class T, class Container = QVector<T>>
    Container getList(const QString &key) const;
    template <class Container>
    void setList(const QString &key, const Container &list);

    // --- Field tables for read_impl / write_impl ---
    // Stores every field whose key `data` holds (converted by its type); absent keys keep their value.
    template <class Fields>
    void readFields(const QJsonObject &data, const Fields &fields)
    {
        for (const SourceDataField &field : fields)
            readField(data, field);
    }
    // Writes every field the map holds, in table order.
    template <class Fields>
    void writeFields(QJsonObject &data, const Fields &fields) const
    {
        for (const SourceDataField &field : fields)
            writeField(data, field);
    }
    void readField(const QJsonObject &data, const SourceDataField &field);
    // The stored value in the JSON form of its field type.
    void writeField(QJsonObject &data, const SourceDataField &field) const;
    // The stored value in the JSON form of its own variant type.
    void writeField(QJsonObject &data, const QString &key) const;

    // A nested record under `key`: read by a default T with the same options and stored as its map.
    template <class T>
    void readRecord(const QJsonObject &data, const QString &key, const SourceDataReadOptions &options);
    // Written as T's toJsonObject with the same options, only when the map holds the key.
    template <class T>
    void writeRecord(QJsonObject &data, const QString &key, const SourceDataWriteOptions &options) const;
    // A list of records under `key` (a non-array reads as empty; element index from 1).
    template <class T>
    void readList(const QJsonObject &data, const QString &key, const SourceDataReadOptions &options);
    template <class T>
    void writeList(QJsonObject &data, const QString &key, const SourceDataWriteOptions &options) const;

private:
    QString resolveHeavyDataDirectory(const QString &prefix, const QString &optionPath,
                                      quint32 elementIndex, bool reading, bool *overridden) const;

    QVariantMap m_data;
    quint32 m_classVersion;
    bool m_flat;
    bool m_noVersion;
};

// The text form a record's value map has in log lines ("QMap((\"key\", QVariant(...)))").
QString variantMapText(const QVariantMap &map);

// --- Lists of records ---

// Reads each element (taken as an object) into a default T through read(), with the options'
// element index set to the element's position counting from 1. Invalid elements are kept.
template <class T, class Container = QVector<T>>
Container listFromJson(const QJsonArray &array, const SourceDataReadOptions &options = SourceDataReadOptions())
{
    Container list;
    list.reserve(array.size());
    SourceDataReadOptions elementOptions = options;
    for (int i = 0; i < array.size(); ++i) {
        elementOptions.elementIndex = quint32(i + 1);
        T element;
        element.read(array.at(i).toObject(), elementOptions);
        list.append(element);
    }
    return list;
}

// One object per element (toJsonObject) with the element index counting from 1.
template <class Container>
QJsonArray listToJson(const Container &list, const SourceDataWriteOptions &options = SourceDataWriteOptions())
{
    QJsonArray array;
    SourceDataWriteOptions elementOptions = options;
    quint32 index = 0;
    for (const auto &element : list) {
        elementOptions.elementIndex = ++index;
        array.append(element.toJsonObject(elementOptions));
    }
    return array;
}

// The stored form of a list of records: a variant list of their maps.
template <class Container>
QVariantList listToVariant(const Container &list)
{
    QVariantList out;
    out.reserve(int(list.size()));
    for (const auto &element : list)
        out.append(element.getQVariantData());
    return out;
}

// Rebuilds each element by default construction and setQVariantData.
template <class T, class Container = QVector<T>>
Container listFromVariant(const QVariant &stored)
{
    Container list;
    const QVariantList items = stored.toList();
    list.reserve(items.size());
    for (const QVariant &item : items) {
        T element;
        element.setQVariantData(item);
        list.append(element);
    }
    return list;
}

// --- Member templates ---

template <class T, class Container>
Container SourceData::getList(const QString &key) const
{
    const auto it = m_data.constFind(key);
    return it == m_data.constEnd() ? Container() : listFromVariant<T, Container>(*it);
}

template <class Container>
void SourceData::setList(const QString &key, const Container &list)
{
    setValue(key, listToVariant(list));
}

template <class T>
void SourceData::readRecord(const QJsonObject &data, const QString &key, const SourceDataReadOptions &options)
{
    const auto it = data.constFind(key);
    if (it == data.constEnd())
        return;
    T record;
    record.read(it.value().toObject(), options);
    setRecord(key, record);
}

template <class T>
void SourceData::writeRecord(QJsonObject &data, const QString &key, const SourceDataWriteOptions &options) const
{
    if (contains(key))
        data.insert(key, getRecord<T>(key).toJsonObject(options));
}

template <class T>
void SourceData::readList(const QJsonObject &data, const QString &key, const SourceDataReadOptions &options)
{
    const auto it = data.constFind(key);
    if (it == data.constEnd())
        return;
    setValue(key, listToVariant(listFromJson<T>(it.value().toArray(), options)));
}

template <class T>
void SourceData::writeList(QJsonObject &data, const QString &key, const SourceDataWriteOptions &options) const
{
    if (contains(key))
        data.insert(key, listToJson(getList<T>(key), options));
}

} // namespace kvr::tracker::common
