#pragma once

#include <QDataStream>
#include <QHash>
#include <QMap>
#include <QVariant>

namespace kvr::net {

// Reads QVariants as QDataStream writes them, for bodies that come from a peer. Qt's own
// reader reserves a list's announced size before reading it and recurses without limit, so
// a few bytes could make it allocate gigabytes or overflow the stack. This reader builds the
// containers itself with a nesting limit and a value budget, and accepts the built-in value
// types that records are made of; anything else sets the stream's status to ReadCorruptData.
class VariantDecoder
{
public:
    static constexpr int MaxDepth = 64;
    static constexpr int MaxValues = 1000000;

    bool read(QDataStream &stream, QVariant &value);
    bool read(QDataStream &stream, QString &text);
    bool read(QDataStream &stream, QVariantMap &map);
    bool read(QDataStream &stream, QMap<quint32, QHash<QString, QVariant>> &table);

    static bool isAcceptedType(int typeId);

private:
    bool readValue(QDataStream &stream, QVariant &value, int depth);
    bool readMap(QDataStream &stream, QVariantMap &map, int depth);
    bool readHash(QDataStream &stream, QVariantHash &hash, int depth);
    template <class Container>
    bool readKeyed(QDataStream &stream, Container &container, int depth);
    bool fail(QDataStream &stream);
    bool ok(const QDataStream &stream) const { return stream.status() == QDataStream::Ok; }

    int m_values = 0;
};

} // namespace kvr::net
