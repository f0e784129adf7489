#include "core/net/VariantDecoder.h"

#include <QPolygon>
#include <QPolygonF>
#include <QStringList>

namespace kvr::net {

namespace {
// QVariant::save writes every type outside the built-in range under this id, then its name.
constexpr quint32 StreamedUserType = QMetaType::User;
} // namespace

bool VariantDecoder::isAcceptedType(int typeId)
{
    switch (typeId) {
    case QMetaType::UnknownType:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
    case QMetaType::QUrl:
    case QMetaType::QUuid:
    case QMetaType::QRect:
    case QMetaType::QRectF:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QLine:
    case QMetaType::QLineF:
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QColor:
    case QMetaType::QTransform:
    case QMetaType::QVector2D:
    case QMetaType::QVector3D:
    case QMetaType::QVector4D:
    case QMetaType::QJsonValue:
    case QMetaType::QJsonObject:
    case QMetaType::QJsonArray:
    case QMetaType::QJsonDocument:
    case QMetaType::Nullptr:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
    case QMetaType::QByteArrayList:
    case QMetaType::QPolygon:
    case QMetaType::QPolygonF:
        return true;
    default:
        return false;
    }
}

bool VariantDecoder::fail(QDataStream &stream)
{
    if (ok(stream))
        stream.setStatus(QDataStream::ReadCorruptData);
    return false;
}

bool VariantDecoder::read(QDataStream &stream, QVariant &value)
{
    value = QVariant();
    return readValue(stream, value, 0);
}

bool VariantDecoder::read(QDataStream &stream, QString &text)
{
    stream >> text;
    return ok(stream);
}

bool VariantDecoder::read(QDataStream &stream, QVariantMap &map)
{
    return readMap(stream, map, 0);
}

bool VariantDecoder::read(QDataStream &stream, QMap<quint32, QHash<QString, QVariant>> &table)
{
    table.clear();
    quint32 count = 0;
    stream >> count;
    for (quint32 i = 0; i < count && ok(stream); ++i) {
        quint32 key = 0;
        QVariantHash hash;
        stream >> key;
        if (!readHash(stream, hash, 1))
            break;
        table.insert(key, hash);
    }
    if (!ok(stream))
        table.clear();
    return ok(stream);
}

// QVariantMap and QVariantHash share one wire form: a count, then key and value pairs.
template <class Container>
bool VariantDecoder::readKeyed(QDataStream &stream, Container &container, int depth)
{
    container.clear();
    quint32 count = 0;
    stream >> count;
    for (quint32 i = 0; i < count && ok(stream); ++i) {
        QString key;
        QVariant item;
        stream >> key;
        if (!readValue(stream, item, depth + 1))
            break;
        container.insert(key, item);
    }
    return ok(stream);
}

bool VariantDecoder::readMap(QDataStream &stream, QVariantMap &map, int depth)
{
    return readKeyed(stream, map, depth);
}

bool VariantDecoder::readHash(QDataStream &stream, QVariantHash &hash, int depth)
{
    return readKeyed(stream, hash, depth);
}

bool VariantDecoder::readValue(QDataStream &stream, QVariant &value, int depth)
{
    if (depth > MaxDepth || ++m_values > MaxValues)
        return fail(stream);
    quint32 typeId = 0;
    qint8 isNull = 0;
    stream >> typeId >> isNull;
    if (!ok(stream))
        return false;
    if (typeId == StreamedUserType) {
        QByteArray name;
        stream >> name;
        return fail(stream);
    }
    if (!isAcceptedType(int(typeId)))
        return fail(stream);

    quint32 count = 0;
    switch (typeId) {
    case QMetaType::UnknownType:
        value = QVariant();
        return true;
    case QMetaType::QVariantMap: {
        QVariantMap map;
        if (!readMap(stream, map, depth))
            return false;
        value = map;
        return true;
    }
    case QMetaType::QVariantHash: {
        QVariantHash hash;
        if (!readHash(stream, hash, depth))
            return false;
        value = hash;
        return true;
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        stream >> count;
        for (quint32 i = 0; i < count && ok(stream); ++i) {
            QVariant item;
            if (!readValue(stream, item, depth + 1))
                break;
            list.append(item);
        }
        value = list;
        return ok(stream);
    }
    case QMetaType::QStringList: {
        QStringList list;
        stream >> count;
        for (quint32 i = 0; i < count && ok(stream) && ++m_values <= MaxValues; ++i) {
            QString item;
            stream >> item;
            list.append(item);
        }
        value = list;
        return m_values <= MaxValues ? ok(stream) : fail(stream);
    }
    case QMetaType::QByteArrayList: {
        QByteArrayList list;
        stream >> count;
        for (quint32 i = 0; i < count && ok(stream) && ++m_values <= MaxValues; ++i) {
            QByteArray item;
            stream >> item;
            list.append(item);
        }
        value = QVariant::fromValue(list);
        return m_values <= MaxValues ? ok(stream) : fail(stream);
    }
    case QMetaType::QPolygon: {
        QPolygon polygon;
        stream >> count;
        for (quint32 i = 0; i < count && ok(stream) && ++m_values <= MaxValues; ++i) {
            QPoint point;
            stream >> point;
            polygon.append(point);
        }
        value = polygon;
        return m_values <= MaxValues ? ok(stream) : fail(stream);
    }
    case QMetaType::QPolygonF: {
        QPolygonF polygon;
        stream >> count;
        for (quint32 i = 0; i < count && ok(stream) && ++m_values <= MaxValues; ++i) {
            QPointF point;
            stream >> point;
            polygon.append(point);
        }
        value = polygon;
        return m_values <= MaxValues ? ok(stream) : fail(stream);
    }
    default:
        break;
    }

    // A value without parts of its own: Qt's reader is bounded by the bytes it gets.
    QVariant leaf(int(typeId), nullptr);
    if (!QMetaType::load(stream, int(typeId), leaf.data()))
        return fail(stream);
    value = leaf;
    return ok(stream);
}

} // namespace kvr::net
