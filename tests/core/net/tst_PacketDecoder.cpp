#include "core/net/PacketDecoder.h"
#include "core/net/VariantDecoder.h"

#include <QBuffer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPolygonF>
#include <QSize>
#include <QtTest>

using kvr::net::Packet;
using kvr::net::PacketDecoder;
using kvr::net::PacketFraming;
using kvr::net::PacketReader;
using kvr::net::VariantDecoder;

namespace {

// Accepts types 1 and 2; type 2 bodies must hold one QString.
class TestReader : public PacketReader
{
public:
    bool accepts(quint16 type) const override { return type == 1 || type == 2; }
    bool read(quint16 type, QDataStream &body, QVariant &value) const override
    {
        if (type == 1)
            return PacketReader::read(type, body, value);
        QString text;
        body >> text;
        value = text;
        return true;
    }
};

QByteArray streamed(const std::function<void(QDataStream &)> &writer)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    PacketFraming::prepare(stream);
    writer(stream);
    return bytes;
}

QByteArray be32(quint32 value)
{
    return streamed([&](QDataStream &s) { s << value; });
}

QByteArray nestedLists(int depth)
{
    QByteArray bytes;
    for (int i = 0; i < depth; ++i)
        bytes += be32(QMetaType::QVariantList) + QByteArray(1, '\0') + be32(1);
    return bytes + be32(QMetaType::Int) + QByteArray(1, '\0') + be32(7);
}

} // namespace

class tst_PacketDecoder : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void consecutivePackets();
    void variants_data();
    void variants();
    void roundTripOfRecordValues();
};

void tst_PacketDecoder::framing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("result");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("error");

    const QByteArray text = streamed([](QDataStream &s) { s << QStringLiteral("hi"); });
    const int packet = int(PacketDecoder::Result::Packet);
    const int needMore = int(PacketDecoder::Result::NeedMore);
    const int error = int(PacketDecoder::Result::Error);

    QTest::newRow("raw body") << PacketFraming::packet(1, "abc") << packet << QVariant(QByteArray("abc")) << QString();
    QTest::newRow("decoded body") << PacketFraming::packet(2, text) << packet << QVariant(QStringLiteral("hi")) << QString();
    QTest::newRow("empty body") << PacketFraming::packet(1, QByteArray()) << packet << QVariant(QByteArray()) << QString();
    QTest::newRow("keep-alive needs no reader") << PacketFraming::packet(PacketFraming::KeepAliveType, QByteArray())
                                                << packet << QVariant() << QString();
    QTest::newRow("trailing fields skipped") << PacketFraming::packet(2, text + "newer")
                                             << packet << QVariant(QStringLiteral("hi")) << QString();
    QTest::newRow("half a header") << PacketFraming::packet(1, "abc").left(5) << needMore << QVariant() << QString();
    QTest::newRow("body not complete") << PacketFraming::packet(1, "abc").left(10) << needMore << QVariant() << QString();
    QTest::newRow("unknown type before its body")
        << PacketFraming::header(9, 100) << error << QVariant() << QStringLiteral("Unknown packet type 9.");
    QTest::newRow("length above the maximum")
        << PacketFraming::header(1, 1025) << error << QVariant()
        << QStringLiteral("Packet of type 1 announces 1025 bytes, more than the maximum of 1024.");
    QTest::newRow("bad magic") << QByteArray::fromHex("deadbeef00000000") << error << QVariant()
                               << QStringLiteral("Packet header is not valid (magic 0xdead).");
    QTest::newRow("body that does not decode")
        << PacketFraming::packet(2, be32(200)) << error << QVariant()
        << QStringLiteral("Packet of type 2 with 4 bytes does not decode.");
}

void tst_PacketDecoder::framing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, result);
    QFETCH(QVariant, value);
    QFETCH(QString, error);

    const PacketDecoder decoder(std::make_shared<TestReader>(), 1024);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Packet packet;
    QString message;
    QCOMPARE(int(decoder.next(buffer, packet, message)), result);
    QCOMPARE(message, error);
    if (result == int(PacketDecoder::Result::Packet)) {
        QCOMPARE(packet.value, value);
        QVERIFY(buffer.atEnd());
    } else if (result == int(PacketDecoder::Result::NeedMore)) {
        QCOMPARE(buffer.pos(), qint64(0)); // nothing consumed until the packet is whole
    }
}

void tst_PacketDecoder::consecutivePackets()
{
    QByteArray bytes = PacketFraming::packet(1, "one") + PacketFraming::packet(PacketFraming::KeepAliveType, {})
                       + PacketFraming::packet(1, "two") + PacketFraming::packet(1, "thr");
    bytes.chop(1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PacketDecoder decoder(std::make_shared<TestReader>());
    QList<QVariant> values;
    Packet packet;
    QString error;
    while (decoder.next(buffer, packet, error) == PacketDecoder::Result::Packet)
        values << packet.value;
    QCOMPARE(values, (QList<QVariant>{QByteArray("one"), QVariant(), QByteArray("two")}));
    QCOMPARE(buffer.bytesAvailable(), qint64(PacketFraming::HeaderSize + 2));
}

void tst_PacketDecoder::variants_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("decodes");

    const QByteArray notNull(1, '\0');
    QTest::newRow("null invalid variant") << be32(0) + QByteArray(1, '\1') << true;
    QTest::newRow("nested within the limit") << nestedLists(VariantDecoder::MaxDepth) << true;
    QTest::newRow("nested beyond the limit") << nestedLists(100000) << false;
    QTest::newRow("list announcing 4G entries") << be32(QMetaType::QVariantList) + notNull + be32(0xffffffffu) << false;
    QTest::newRow("string list announcing 4G entries")
        << be32(QMetaType::QStringList) + notNull + be32(0xffffffffu) << false;
    QTest::newRow("polygon announcing 4G points") << be32(QMetaType::QPolygonF) + notNull + be32(0xffffffffu) << false;
    QTest::newRow("string longer than the body") << be32(QMetaType::QString) + notNull + be32(0x7ffffffe) << false;
    QTest::newRow("user type") << be32(QMetaType::User) + notNull
                                      + streamed([](QDataStream &s) { s << QByteArray("QImage"); })
                               << false;
    QTest::newRow("image type") << be32(QMetaType::QImage) + notNull + be32(0) << false;
    QByteArray manyValues = be32(QMetaType::QVariantList) + notNull + be32(VariantDecoder::MaxValues + 1);
    for (int i = 0; i <= VariantDecoder::MaxValues; ++i)
        manyValues += be32(0) + QByteArray(1, '\1');
    QTest::newRow("more values than the budget") << manyValues << false;
}

void tst_PacketDecoder::variants()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, decodes);

    QDataStream stream(bytes);
    PacketFraming::prepare(stream);
    QVariant value;
    QElapsedTimer timer;
    timer.start();
    VariantDecoder decoder;
    QCOMPARE(decoder.read(stream, value) && stream.status() == QDataStream::Ok, decodes);
    QVERIFY2(timer.elapsed() < 2000, "a hostile value must fail fast");
}

void tst_PacketDecoder::roundTripOfRecordValues()
{
    QVariantMap nested{{QStringLiteral("flength_mul"), 0u}, {QStringLiteral("compression_type"), QStringLiteral("PNG")}};
    const QVariantMap map{
        {QStringLiteral("channels"), QVariant::fromValue<quint8>(3)},
        {QStringLiteral("data"), QByteArray(1000, 'x')},
        {QStringLiteral("size"), QSize(640, 480)},
        {QStringLiteral("timestamp_ms"), QVariant::fromValue<quint64>(1234567890123ull)},
        {QStringLiteral("ratio"), 0.5},
        {QStringLiteral("enabled"), true},
        {QStringLiteral("names"), QStringList{QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("zone"), QPolygonF(QVector<QPointF>{QPointF(1, 2), QPointF(3, 4)})},
        {QStringLiteral("when"), QDateTime::fromMSecsSinceEpoch(5, Qt::UTC)},
        {QStringLiteral("image_data_bandwidth_parameters"), nested},
        {QStringLiteral("list"), QVariantList{1, QStringLiteral("two"), QVariant(), nested}},
    };
    const QByteArray bytes = streamed([&](QDataStream &s) { s << QVariant(map); });
    QDataStream stream(bytes);
    PacketFraming::prepare(stream);
    QVariant value;
    VariantDecoder decoder;
    QVERIFY(decoder.read(stream, value));
    QVERIFY(stream.atEnd());
    QCOMPARE(value.toMap(), map);
}

QTEST_GUILESS_MAIN(tst_PacketDecoder)
#include "tst_PacketDecoder.moc"
