#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceFrame.h"

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

SourceTimestamp timestamp(qint64 dataMS, qint64 videoMS = -1)
{
    SourceTimestamp ts;
    ts.setDataTimestampMS(dataMS);
    if (videoMS >= 0)
        ts.setVideoTimestampMS(videoMS);
    return ts;
}

SourceFrame frame(const QVariantMap &map)
{
    SourceFrame f;
    f.setQVariantData(map);
    return f;
}

} // namespace

class tst_SourceFrame : public QObject
{
    Q_OBJECT

private slots:
    void fromPacketMap_data();
    void fromPacketMap();
    void setTimestamp_data();
    void setTimestamp();
    void compare_data();
    void compare();
    void writesEnvelopeOnly();
    void travelsInVariants();
};

void tst_SourceFrame::fromPacketMap_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");

    const QByteArray pixels(640 * 480 * 3, '\x7f');
    QTest::newRow("raw frame")
        << QVariantMap{{"channels", 3}, {"data", pixels}, {"size", QSize(640, 480)}} << 3 << pixels << QSize(640, 480);
    QTest::newRow("channels keep the low 8 bits")
        << QVariantMap{{"channels", 259}} << 3 << QByteArray() << QSize();
    QTest::newRow("empty map: defaults") << QVariantMap() << 0 << QByteArray() << QSize(-1, -1);
}

void tst_SourceFrame::fromPacketMap()
{
    QFETCH(QVariantMap, map);
    QFETCH(int, channels);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);

    const SourceFrame f = frame(map);
    QCOMPARE(int(f.getChannels()), channels);
    QCOMPARE(f.getData(), bytes);
    QCOMPARE(f.getSize(), size);
    QCOMPARE(f.getEnabled(), true);
    QVERIFY(f.isValid());
}

void tst_SourceFrame::setTimestamp_data()
{
    QTest::addColumn<SourceTimestamp>("ts");
    QTest::addColumn<quint64>("dataMS");
    QTest::addColumn<quint64>("videoMS");

    QTest::newRow("data and video") << timestamp(42, 7) << quint64(42) << quint64(7);
    QTest::newRow("video defaults to data") << timestamp(42) << quint64(42) << quint64(42);
}

void tst_SourceFrame::setTimestamp()
{
    QFETCH(SourceTimestamp, ts);
    QFETCH(quint64, dataMS);
    QFETCH(quint64, videoMS);

    SourceFrame f = frame({{"channels", 1}});
    f.setTimestamp(ts);
    QCOMPARE(f.valueMap().value("timestamp_ms").userType(), int(QMetaType::ULongLong));
    QCOMPARE(f.valueMap().value("timestamp_ms").toULongLong(), dataMS);
    QCOMPARE(f.valueMap().value("video_timestamp_ms").toULongLong(), videoMS);
    QVERIFY(f.getTimestamp() == ts);
    QCOMPARE(int(f.getChannels()), 1); // nothing else changes
    QCOMPARE(f.valueMap().size(), 4);
}

void tst_SourceFrame::compare_data()
{
    QTest::addColumn<QVariantMap>("a");
    QTest::addColumn<QVariantMap>("b");
    QTest::addColumn<bool>("equal");

    const QVariantMap base{{"channels", 3}, {"data", QByteArray("abc")}, {"size", QSize(1, 1)},
                           {"timestamp_ms", quint64(5)}};
    QVariantMap later = base;
    later.insert("timestamp_ms", quint64(6));
    QVariantMap otherBytes = base;
    otherBytes.insert("data", QByteArray("abd"));
    QTest::newRow("same values") << base << base << true;
    QTest::newRow("another data time stamp") << base << later << false;
    QTest::newRow("other bytes") << base << otherBytes << false;
}

void tst_SourceFrame::compare()
{
    QFETCH(QVariantMap, a);
    QFETCH(QVariantMap, b);
    QFETCH(bool, equal);

    LogCapture capture;
    QCOMPARE(frame(a).compare(frame(b), CompareParams::logic()).equal, equal);
    QCOMPARE(frame(a).compare(frame(b), CompareParams::data()).equal, equal);
    QCOMPARE(frame(a) == frame(b), equal);
    QCOMPARE(linesOf(capture), QStringList());
}

void tst_SourceFrame::writesEnvelopeOnly()
{
    SourceFrame f = frame({{"channels", 3}, {"data", QByteArray("abc")}, {"size", QSize(1, 1)}});
    f.setTimestamp(timestamp(1));
    QCOMPARE(compact(f.toJsonObject()), QByteArray(R"({"data":{},"version":1})"));
}

void tst_SourceFrame::travelsInVariants()
{
    const SourceFrame f = frame({{"channels", 4}});
    QVERIFY(QMetaType::type("kvr::tracker::common::SourceFrame") != QMetaType::UnknownType);
    const QVariant held = QVariant::fromValue(f);
    QCOMPARE(int(held.value<SourceFrame>().getChannels()), 4);
    QVERIFY(held == QVariant::fromValue(frame({{"channels", 4}})));
    QVERIFY(held != QVariant::fromValue(frame({{"channels", 3}})));
}

QTEST_GUILESS_MAIN(tst_SourceFrame)
#include "tst_SourceFrame.moc"
