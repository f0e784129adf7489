#include "core/data/SourceData.h"

#include "core/data/ColorText.h"
#include "core/data/JsonGeometry.h"
#include "core/data/JsonValues.h"
#include "core/log/Log.h"

#include <QColor>
#include <QDebug>
#include <QPointF>
#include <QPolygonF>
#include <QReadWriteLock>
#include <QSize>

#include <cmath>
#include <limits>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

#if defined(__GNUG__) || defined(__clang__)
#include <cxxabi.h>
#include <cstdlib>
#endif

namespace kvr::tracker::common {

namespace {

// Keeps QtGui (and its QVariant handler of QPolygonF and friends) linked in every program with records.
const bool guiVariantHandlerLinked = detail::linkGuiVariantHandler();

const QString &keyEnabled()
{
    static const QString key = QStringLiteral("enabled");
    return key;
}
const QString &keyHeavyDataPath()
{
    static const QString key = QStringLiteral("heavy_data_path");
    return key;
}
const QString &keyVersion()
{
    static const QString key = QStringLiteral("version");
    return key;
}
const QString &keyData()
{
    static const QString key = QStringLiteral("data");
    return key;
}
const QString &keySourceId()
{
    static const QString key = QStringLiteral("source_id");
    return key;
}

QString demangledName(const std::type_info &type)
{
    QString name;
#if defined(__GNUG__) || defined(__clang__)
    int status = 0;
    char *demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    name = QString::fromLatin1(status == 0 && demangled ? demangled : type.name());
    std::free(demangled);
#else
    name = QString::fromLatin1(type.name()); // "class kvr::tracker::common::Foo"
    const int blank = name.lastIndexOf(QLatin1Char(' '));
    if (blank >= 0)
        name = name.mid(blank + 1);
#endif
    const int colons = name.lastIndexOf(QLatin1String("::"));
    return colons >= 0 ? name.mid(colons + 2) : name;
}

// Names are needed on log and heavy-data paths only; demangle each class once.
QString classNameOf(const std::type_info &type)
{
    static QReadWriteLock lock;
    static std::unordered_map<std::type_index, QString> names;
    const std::type_index index(type);
    {
        QReadLocker reader(&lock);
        const auto it = names.find(index);
        if (it != names.end())
            return it->second;
    }
    QString name = demangledName(type);
    QWriteLocker writer(&lock);
    names.emplace(index, name);
    return name;
}

bool isWhole(double value)
{
    return std::isfinite(value) && std::floor(value) == value;
}

QVariant convertJson(const QJsonValue &value, SourceDataField::Type type)
{
    switch (type) {
    case SourceDataField::Type::Bool:
        return QVariant(value.toBool());
    case SourceDataField::Type::Int:
        return QVariant(value.toInt());
    case SourceDataField::Type::UInt: {
        const double d = value.toDouble();
        const bool fits = isWhole(d) && d >= double(std::numeric_limits<qint32>::min())
            && d <= double(std::numeric_limits<quint32>::max());
        return QVariant(fits ? quint32(qint64(d)) : 0u);
    }
    case SourceDataField::Type::Int64: {
        const double d = value.toDouble();
        const bool fits = isWhole(d) && std::fabs(d) < 9.2e18;
        return QVariant(fits ? qint64(d) : qint64(0));
    }
    case SourceDataField::Type::Double:
        return QVariant(value.toDouble());
    case SourceDataField::Type::Float:
        return QVariant(float(value.toDouble()));
    case SourceDataField::Type::String:
        return QVariant(value.toString());
    case SourceDataField::Type::Bits8:
        return QVariant(value.toInt() & 0xFF);
    case SourceDataField::Type::Bits16:
        return QVariant(value.toInt() & 0xFFFF);
    case SourceDataField::Type::Color:
        return QVariant(colorText(QColor(value.toString())));
    case SourceDataField::Type::StringList:
        return QVariant(stringListFromVariantList(value.toArray().toVariantList()));
    case SourceDataField::Type::Polygon:
        return QVariant::fromValue(polygonFromJson(value.toArray()));
    case SourceDataField::Type::Point:
        return QVariant::fromValue(pointFromJson(value));
    case SourceDataField::Type::Size:
        return QVariant::fromValue(sizeFromJson(value));
    case SourceDataField::Type::Int64OrText:
        return QVariant(int64FromJson(value));
    case SourceDataField::Type::UIntText: {
        bool ok = false;
        const uint number = value.toString().toUInt(&ok);
        return QVariant(ok ? number : 0u);
    }
    case SourceDataField::Type::Variant:
        break;
    }
    return value.toVariant();
}

QJsonValue jsonOf(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
        return double(value.toUInt());
    case QMetaType::LongLong:
        return double(value.toLongLong());
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::Float:
        return double(value.toFloat());
    case QMetaType::QString:
        return value.toString();
    default:
        return QJsonValue::fromVariant(value);
    }
}

// From Bits8 on, a field type has its own JSON form; the plain types are written by the
// stored variant's type.
QJsonValue jsonOf(const QVariant &stored, SourceDataField::Type type)
{
    switch (type) {
    case SourceDataField::Type::Bits8:
    case SourceDataField::Type::Bits16:
        return stored.toInt();
    case SourceDataField::Type::Color:
        return colorText(QColor(stored.toString()));
    case SourceDataField::Type::StringList:
        return QJsonArray::fromStringList(stringListFromVariantList(stored.toList()));
    case SourceDataField::Type::Polygon:
        return polygonToJson(stored.value<QPolygonF>());
    case SourceDataField::Type::Point:
        return pointToJson(stored.toPointF());
    case SourceDataField::Type::Size:
        return sizeToJson(stored.toSize());
    case SourceDataField::Type::Int64OrText:
        return double(stored.toLongLong());
    case SourceDataField::Type::UIntText:
        return QString::number(stored.toUInt());
    case SourceDataField::Type::Variant:
    case SourceDataField::Type::Bool:
    case SourceDataField::Type::Int:
    case SourceDataField::Type::UInt:
    case SourceDataField::Type::Int64:
    case SourceDataField::Type::Double:
    case SourceDataField::Type::Float:
    case SourceDataField::Type::String:
        break;
    }
    return jsonOf(stored);
}

bool isNaN(const QVariant &value)
{
    const int type = value.userType();
    return (type == QMetaType::Double || type == QMetaType::Float) && std::isnan(value.toDouble());
}

bool sameValue(const QVariant &a, const QVariant &b);

bool sameMaps(const QVariantMap &a, const QVariantMap &b)
{
    if (a.size() != b.size())
        return false;
    for (auto ia = a.constBegin(), ib = b.constBegin(); ia != a.constEnd(); ++ia, ++ib) {
        if (ia.key() != ib.key() || !sameValue(ia.value(), ib.value()))
            return false;
    }
    return true;
}

// QVariant's equality, except that NaN (an unknown PTZ position, for one) equals NaN: a record
// must equal a record built the same way, or every status update looks like a change.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a == b)
        return true;
    if (isNaN(a) && isNaN(b))
        return true;
    if (a.userType() == QMetaType::QVariantMap && b.userType() == QMetaType::QVariantMap)
        return sameMaps(a.toMap(), b.toMap());
    if (a.userType() == QMetaType::QVariantList && b.userType() == QMetaType::QVariantList) {
        const QVariantList la = a.toList();
        const QVariantList lb = b.toList();
        if (la.size() != lb.size())
            return false;
        for (int i = 0; i < la.size(); ++i) {
            if (!sameValue(la.at(i), lb.at(i)))
                return false;
        }
        return true;
    }
    return false;
}

} // namespace

SourceData::SourceData(quint32 classVersion, bool flat, bool noVersion)
    : m_classVersion(classVersion)
    , m_flat(flat)
    , m_noVersion(noVersion)
{
}

SourceData::~SourceData() = default;

bool SourceData::isValid(bool skipWrn) const
{
    const bool valid = isValid_impl(skipWrn);
    if (!valid && !skipWrn) {
        KVR_LOG_AT(log::WRN, QStringLiteral("kvr::tracker::common::SourceData::isValid"),
                   className() + QStringLiteral(" is not valid! Data: ") + variantMapText(m_data));
    }
    return valid;
}

bool SourceData::defaultEnabled() const
{
    return true;
}

bool SourceData::isValid_impl(bool) const
{
    return true;
}

void SourceData::read_impl(const QJsonObject &, quint32, const SourceDataReadOptions &)
{
}

void SourceData::write_impl(QJsonObject &, const SourceDataWriteOptions &) const
{
}

CompareResult SourceData::compare_logic(const SourceData &other, const CompareParams &) const
{
    return {false, sameMaps(m_data, other.m_data)};
}

bool SourceData::getEnabled() const
{
    const auto it = m_data.constFind(keyEnabled());
    return it == m_data.constEnd() ? defaultEnabled() : it->toBool();
}

void SourceData::setEnabled(bool enabled)
{
    setValue(keyEnabled(), enabled);
}

void SourceData::removeEnabled()
{
    remove(keyEnabled());
}

qint64 SourceData::getSourceID() const
{
    const auto it = m_data.constFind(keySourceId());
    return it == m_data.constEnd() ? -1 : qint64(it->toUInt());
}

void SourceData::setSourceID(uint sourceID)
{
    setValue(keySourceId(), sourceID);
}

bool SourceData::hasSourceID() const
{
    return contains(keySourceId());
}

void SourceData::setQVariantData(const QVariant &data)
{
    if (!data.isValid())
        return;
    if (data.userType() == QMetaType::QVariantMap) {
        m_data = *static_cast<const QVariantMap *>(data.constData()); // shares, no copy
        return;
    }
    LOG_WRN(QStringLiteral("Unable to convert QVariant data of type: ") + QString::fromLatin1(data.typeName()));
}

QString SourceData::className() const
{
    return classNameOf(typeid(*this));
}

QString SourceData::resolveHeavyDataDirectory(const QString &prefix, const QString &optionPath,
                                              quint32 elementIndex, bool reading, bool *overridden) const
{
    *overridden = false;
    const QString function = reading ? QStringLiteral("kvr::tracker::common::SourceData::read")
                                     : QStringLiteral("kvr::tracker::common::SourceData::write");
    const auto stored = m_data.constFind(keyHeavyDataPath());
    const QString storedPath = stored == m_data.constEnd() ? QString() : stored->toString();
    QString base;
    if (!prefix.isEmpty()) {
        base = prefix;
        if (stored != m_data.constEnd()) {
            *overridden = true;
            if (!storedPath.isEmpty()) {
                const QString text = reading ? QStringLiteral(": Overriding heavy data read path ")
                                             : QStringLiteral(": Overriding heavy data write path ");
                KVR_LOG_AT(log::WRN, function, className() + text + storedPath + QStringLiteral(" with ") + prefix);
            }
        }
    } else {
        base = storedPath.isEmpty() ? optionPath : storedPath;
    }
    if (base.isEmpty()) {
        // Never a directory at the filesystem root: without either path there is none.
        KVR_LOG_AT(log::WRN, function,
                   className()
                + (reading ? QStringLiteral(": Both heavy data path prefix and heavy data path is empty! The object might not load properly...")
                           : QStringLiteral(": Both heavy data path prefix and heavy data path is empty! The object might not serialize properly...")));
        return QString();
    }
    QString directory = base + QLatin1Char('/') + className();
    if (elementIndex != 0)
        directory += QLatin1Char('_') + QString::number(elementIndex);
    return directory;
}

void SourceData::read(const QJsonObject &object, const SourceDataReadOptions &options)
{
    if (!options.keepExisting)
        m_data.clear();

    quint32 version = m_classVersion;
    if (!m_noVersion && !options.noVersion)
        version = quint32(object.value(keyVersion()).toInt());

    const auto enabled = object.constFind(keyEnabled());
    if (enabled != object.constEnd())
        setValue(keyEnabled(), enabled.value().toBool());
    const auto heavyPath = object.constFind(keyHeavyDataPath());
    if (heavyPath != object.constEnd())
        setValue(keyHeavyDataPath(), heavyPath.value().toString());

    const bool flat = version == 0 || m_flat || options.flat;
    const QJsonObject data = flat ? object : object.value(keyData()).toObject();

    if (options.heavyData) {
        SourceDataReadOptions implOptions = options;
        bool overridden = false;
        implOptions.heavyDataPathPrefix = resolveHeavyDataDirectory(
            options.heavyDataPathPrefix, options.heavyDataPath, options.elementIndex, true, &overridden);
        if (overridden)
            remove(keyHeavyDataPath());
        implOptions.heavyDataPath.clear();
        implOptions.elementIndex = 0;
        read_impl(data, version, implOptions);
    } else {
        read_impl(data, version, options);
    }

    if (!options.skipValidation && !isValid(false))
        LOG_WRN(QStringLiteral("Class ") + className() + QStringLiteral(" is not valid after JSON read!"));
}

void SourceData::write(QJsonObject &object, const SourceDataWriteOptions &options) const
{
    const auto enabled = m_data.constFind(keyEnabled());
    if (enabled != m_data.constEnd())
        object.insert(keyEnabled(), enabled->toBool());
    if (!m_noVersion && !options.noVersion)
        object.insert(keyVersion(), double(m_classVersion));

    SourceDataWriteOptions implOptions = options;
    bool overridden = false;
    if (options.writeMode == WriteMode::HeavyDataToFile) {
        implOptions.heavyDataPathPrefix = resolveHeavyDataDirectory(
            options.heavyDataPathPrefix, options.heavyDataPath, options.elementIndex, false, &overridden);
        implOptions.heavyDataPath.clear();
        implOptions.elementIndex = 0;
    }
    const auto heavyPath = m_data.constFind(keyHeavyDataPath());
    if (heavyPath != m_data.constEnd() && !overridden)
        object.insert(keyHeavyDataPath(), heavyPath->toString());

    if (m_flat || options.flat) {
        write_impl(object, implOptions);
    } else {
        QJsonObject data;
        write_impl(data, implOptions);
        object.insert(keyData(), data);
    }
}

QJsonObject SourceData::toJsonObject(const SourceDataWriteOptions &options) const
{
    QJsonObject object;
    write(object, options);
    return object;
}

CompareResult SourceData::compare(const SourceData &other, const CompareParams &params) const
{
    if (typeid(*this) != typeid(other)) {
        if (!params.silent) {
            LOG_WRN(QStringLiteral("Comparing different types: ") + className() + QStringLiteral(" and ")
                    + other.className());
        }
        return {false, false};
    }
    switch (params.contentType) {
    case ContentType::Data:
        return {false, sameMaps(m_data, other.m_data)};
    case ContentType::Logic: {
        if (!getEnabled() && !other.getEnabled())
            return {false, true};
        const bool valid = isValid(true);
        const bool otherValid = other.isValid(true);
        if (valid != otherValid && !params.allDifferences)
            return {false, false};
        CompareResult result = compare_logic(other, params);
        result.equal = result.equal && valid == otherValid;
        return result;
    }
    }
    return {false, true};
}

bool SourceData::operator==(const SourceData &other) const
{
    return getEnabled() == other.getEnabled() && compare(other, CompareParams::logic(true, false)).equal;
}

void SourceData::readField(const QJsonObject &data, const SourceDataField &field)
{
    const auto it = data.constFind(field.key);
    if (it != data.constEnd())
        setValue(field.key, convertJson(it.value(), field.type));
}

void SourceData::writeField(QJsonObject &data, const SourceDataField &field) const
{
    const auto it = m_data.constFind(field.key);
    if (it != m_data.constEnd())
        data.insert(field.key, jsonOf(*it, field.type));
}

void SourceData::writeField(QJsonObject &data, const QString &key) const
{
    const auto it = m_data.constFind(key);
    if (it != m_data.constEnd())
        data.insert(key, jsonOf(*it));
}

QString variantMapText(const QVariantMap &map)
{
    QString text;
    QDebug(&text).nospace() << map;
    return text;
}

} // namespace kvr::tracker::common
