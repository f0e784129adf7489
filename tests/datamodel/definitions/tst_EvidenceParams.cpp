#include "datamodel/definitions/SourceDefinitionEvidenceParams.h"
#include "support/RecordTestSupport.h"

#include <QMetaProperty>
#include <QtTest>

#include <limits>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionEvidenceParams;

namespace {

QString outOfBound(const char *setter, const QString &value)
{
    return QStringLiteral("WRN SourceDefinitionEvidenceParams::") + QLatin1String(setter) + QStringLiteral(": ") + value
        + QStringLiteral(" is out of bound! No value will be set...");
}

} // namespace

class tst_EvidenceParams : public QObject
{
    Q_OBJECT

private slots:
    void readDefaults();
    void readBounds_data();
    void readBounds();
    void setterBounds_data();
    void setterBounds();
    void limitProperties();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
    void memoryEstimate_data();
    void memoryEstimate();
};

void tst_EvidenceParams::readDefaults()
{
    const Params params = readQuiet<Params>("{}");
    QVERIFY(!params.getEnabled());
    QVERIFY(params.isValid(false));
    QCOMPARE(params.getMovingTimeWindowMS(), 1000u);
    QCOMPARE(params.getMovingTimeWindowGranualityMS(), 300u);
    QCOMPARE(params.getPostponedTimeWindowMS(), 500);
    QCOMPARE(params.getMaxFramePostponeMS(), 900000);
    QCOMPARE(params.getMaxFramePickToleranceMS(), 400u);
    QCOMPARE(written(params), json(R"({"data": {}})"));
}

void tst_EvidenceParams::readBounds_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("each read key back as decimal text")
        << QByteArray(R"({"moving_time_window_ms": "100", "moving_time_window_granuality_ms": "2000",
                          "postponed_time_window_ms": "-1", "max_frame_postpone_ms": "10000",
                          "max_frame_pick_tolerance_ms": "5000"})")
        << QByteArray(R"({"moving_time_window_ms": "100", "moving_time_window_granuality_ms": "2000",
                          "postponed_time_window_ms": "-1", "max_frame_postpone_ms": "10000",
                          "max_frame_pick_tolerance_ms": "5000"})")
        << QStringList();
    QTest::newRow("upper window bound") << QByteArray(R"({"moving_time_window_ms": "10000"})")
                                        << QByteArray(R"({"moving_time_window_ms": "10000"})") << QStringList();
    QTest::newRow("window 99 rejected")
        << QByteArray(R"({"moving_time_window_ms": "99"})") << QByteArray("{}")
        << QStringList{outOfBound("setMovingTimeWindowMS", "99")};
    QTest::newRow("postponed 99 rejected, 100 taken")
        << QByteArray(R"({"postponed_time_window_ms": "99", "max_frame_postpone_ms": "9999"})") << QByteArray("{}")
        << QStringList{outOfBound("setPostponedTimeWindowMS", "99"), outOfBound("setMaxFramePostponeMS", "9999")};
    QTest::newRow("JSON numbers read as 0")
        << QByteArray(R"({"moving_time_window_ms": 1000, "max_frame_pick_tolerance_ms": 450})")
        << QByteArray(R"({"max_frame_pick_tolerance_ms": "0"})") << QStringList{outOfBound("setMovingTimeWindowMS", "0")};
    QTest::newRow("text that is no number, negative unsigned")
        << QByteArray(R"({"moving_time_window_granuality_ms": "abc", "max_frame_pick_tolerance_ms": "-5"})")
        << QByteArray(R"({"max_frame_pick_tolerance_ms": "0"})")
        << QStringList{outOfBound("setMovingTimeWindowGranualityMS", "0")};
}

void tst_EvidenceParams::readBounds()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    QFETCH(QStringList, lines);

    LogCapture capture;
    const Params params = readQuiet<Params>(input);
    QCOMPARE(logLines(capture), lines);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(params.toJsonObject(flat), json(output));
}

void tst_EvidenceParams::setterBounds_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("stored");

    QTest::newRow("granularity 0") << "movingTimeWindowGranualityMS" << qint64(0) << false;
    QTest::newRow("granularity 1") << "movingTimeWindowGranualityMS" << qint64(1) << true;
    QTest::newRow("granularity 2000") << "movingTimeWindowGranualityMS" << qint64(2000) << true;
    QTest::newRow("granularity 2001") << "movingTimeWindowGranualityMS" << qint64(2001) << false;
    QTest::newRow("window 10001") << "movingTimeWindowMS" << qint64(10001) << false;
    QTest::newRow("postponed 100") << "postponedTimeWindowMS" << qint64(100) << true;
    QTest::newRow("postponed 0") << "postponedTimeWindowMS" << qint64(0) << false;
    QTest::newRow("postponed lowest int") << "postponedTimeWindowMS" << qint64(std::numeric_limits<int>::min()) << true;
    QTest::newRow("postpone max int") << "maxFramePostponeMS" << qint64(std::numeric_limits<int>::max()) << true;
    QTest::newRow("tolerance 0") << "maxFramePickToleranceMS" << qint64(0) << true;
    QTest::newRow("tolerance 5001") << "maxFramePickToleranceMS" << qint64(5001) << false;
}

void tst_EvidenceParams::setterBounds()
{
    QFETCH(QString, property);
    QFETCH(qint64, value);
    QFETCH(bool, stored);

    Params params;
    const QMetaObject &meta = Params::staticMetaObject;
    const QMetaProperty metaProperty = meta.property(meta.indexOfProperty(property.toLatin1().constData()));
    QVERIFY(metaProperty.isValid());
    const QVariant before = metaProperty.readOnGadget(&params);
    LogCapture capture;
    metaProperty.writeOnGadget(&params, QVariant(value));
    QCOMPARE(metaProperty.readOnGadget(&params).toLongLong(), stored ? value : before.toLongLong());
    QCOMPARE(params.valueMap().size(), stored ? 1 : 0);
    QCOMPARE(capture.texts().size(), stored ? 0 : 1);
    if (!stored)
        QVERIFY(capture.texts().first().startsWith(QString::number(value) + " is out of bound!"));
}

void tst_EvidenceParams::limitProperties()
{
    const QStringList names{"minLimitMovingTimeWindowMS", "maxLimitMovingTimeWindowMS",
                            "minLimitMovingTimeWindowGranualityMS", "maxLimitMovingTimeWindowGranualityMS",
                            "minLimitPostponedTimeWindowMS", "maxLimitPostponedTimeWindowMS",
                            "minLimitMaxFramePostponeMS", "maxLimitMaxFramePostponeMS",
                            "minLimitMaxFramePickToleranceMS", "maxLimitMaxFramePickToleranceMS"};
    const QList<qint64> values{100, 10000, 1, 2000, 100, 2147483647, 10000, 2147483647, 0, 5000};
    const Params params = readQuiet<Params>(R"({"moving_time_window_ms": "200"})");
    for (int i = 0; i < names.size(); ++i) {
        const QMetaObject &meta = Params::staticMetaObject;
        const QMetaProperty property = meta.property(meta.indexOfProperty(names.at(i).toLatin1().constData()));
        QVERIFY2(property.isValid() && property.isConstant() && !property.isWritable(), qPrintable(names.at(i)));
        QCOMPARE(property.readOnGadget(&params).toLongLong(), values.at(i));
    }
}

void tst_EvidenceParams::validity_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("failed");

    // Values the setters refuse can still arrive through the value map (a copied map, a peer).
    QTest::newRow("defaults") << QString() << QVariant() << QString();
    QTest::newRow("window 50") << "moving_time_window_ms" << QVariant(50u)
                               << "MOVING_TIME_WINDOW_MS_MIN <= getMovingTimeWindowMS() && getMovingTimeWindowMS() <= MOVING_TIME_WINDOW_MS_MAX";
    QTest::newRow("granularity 0") << "moving_time_window_granuality_ms" << QVariant(0u)
                                   << "MOVING_TIME_WINDOW_GRANUALITY_MS_MIN <= getMovingTimeWindowGranualityMS() && "
                                      "getMovingTimeWindowGranualityMS() <= MOVING_TIME_WINDOW_GRANUALITY_MS_MAX";
    QTest::newRow("postponed 50") << "postponed_time_window_ms" << QVariant(50)
                                  << "POSTPONED_TIME_WINDOW_MS_MIN <= getPostponedTimeWindowMS() || getPostponedTimeWindowMS() < 0";
    QTest::newRow("postponed -1") << "postponed_time_window_ms" << QVariant(-1) << QString();
    QTest::newRow("postpone 50") << "max_frame_postpone_ms" << QVariant(50)
                                 << "MAX_FRAME_POSTPONE_MS_MIN <= getMaxFramePostponeMS() || getMaxFramePostponeMS() < 0";
    QTest::newRow("tolerance 5001") << "max_frame_pick_tolerance_ms" << QVariant(5001u)
                                    << "MAX_FRAME_PICK_TOLERANCE_MS_MAX >= getMaxFramePickToleranceMS()";
}

void tst_EvidenceParams::validity()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, failed);

    Params params;
    params.setEnabled(true);
    if (!key.isEmpty())
        params.setValue(key, stored);
    QStringList logged;
    QCOMPARE(validate(params, &logged), failed.isEmpty());
    const QStringList expected = failed.isEmpty()
        ? QStringList()
        : QStringList{condition("SourceDefinitionEvidenceParams::isValid_impl", failed),
                      notValid("SourceDefinitionEvidenceParams")};
    QCOMPARE(logged, expected);

    params.setEnabled(false); // a disabled block is valid at once
    QVERIFY(validate(params, &logged));
}

void tst_EvidenceParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("failed");

    QTest::newRow("absent equals the default value")
        << QByteArray(R"({"enabled": true, "moving_time_window_ms": "1000"})") << QByteArray(R"({"enabled": true})")
        << QStringList();
    QTest::newRow("every field, in order")
        << QByteArray(R"({"enabled": true, "moving_time_window_ms": "200", "moving_time_window_granuality_ms": "2",
                          "postponed_time_window_ms": "-1", "max_frame_postpone_ms": "-1", "max_frame_pick_tolerance_ms": "1"})")
        << QByteArray(R"({"enabled": true})")
        << QStringList{"getMovingTimeWindowMS() == otherSD->getMovingTimeWindowMS()",
                       "getMovingTimeWindowGranualityMS() == otherSD->getMovingTimeWindowGranualityMS()",
                       "getPostponedTimeWindowMS() == otherSD->getPostponedTimeWindowMS()",
                       "getMaxFramePostponeMS() == otherSD->getMaxFramePostponeMS()",
                       "getMaxFramePickToleranceMS() == otherSD->getMaxFramePickToleranceMS()"};
    QTest::newRow("disabled with values equals a default block")
        << QByteArray(R"({"enabled": false, "moving_time_window_ms": "200"})") << QByteArray("{}") << QStringList();
}

void tst_EvidenceParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, failed);

    QStringList expected;
    for (const QString &text : failed)
        expected << condition("SourceDefinitionEvidenceParams::compare_logic", text);
    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Params>(a), readQuiet<Params>(b), true, &logged).equal, failed.isEmpty());
    QCOMPARE(logged, expected);
}

void tst_EvidenceParams::memoryEstimate_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<double>("fps");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<quint32>("megabytes");

    const QSize fullHd(1920, 1080);
    const QByteArray defaults = "{}";
    QTest::newRow("defaults, 25 fps: 3 sampled + 12 postponed") << defaults << 25.0 << fullHd << 88u;
    QTest::newRow("2 fps: period above the granularity") << defaults << 2.0 << fullHd << 17u;
    QTest::newRow("0 fps") << defaults << 0.0 << fullHd << Params::NO_ESTIMATE;
    QTest::newRow("negative fps") << defaults << -5.0 << fullHd << Params::NO_ESTIMATE;
    QTest::newRow("NaN fps") << defaults << std::numeric_limits<double>::quiet_NaN() << fullHd << Params::NO_ESTIMATE;
    QTest::newRow("negative postponed window")
        << QByteArray(R"({"postponed_time_window_ms": "-1"})") << 25.0 << fullHd << Params::NO_ESTIMATE;
    QTest::newRow("empty frame") << defaults << 25.0 << QSize(0, 1080) << Params::NO_ESTIMATE;
    QTest::newRow("invalid frame") << defaults << 25.0 << QSize() << Params::NO_ESTIMATE;
    // 32-bit byte counts would wrap here; the estimate stays exact.
    QTest::newRow("1000 full-HD frames")
        << QByteArray(R"({"moving_time_window_ms": "10000", "moving_time_window_granuality_ms": "10",
                          "postponed_time_window_ms": "100"})")
        << 100.0 << fullHd << quint32(1010ull * 1920 * 1080 * 3 >> 20);
    QTest::newRow("a huge frame saturates")
        << defaults << 25.0 << QSize(2000000000, 2000000000) << Params::NO_ESTIMATE;
    QTest::newRow("tiny frame rate") << defaults << 1e-300 << fullHd << 0u;
    QTest::newRow("a million frames a second: the granularity samples")
        << QByteArray(R"({"postponed_time_window_ms": "100"})") << 1e6 << QSize(100, 100)
        << quint32((100000ull + 3) * 100 * 100 * 3 >> 20);
}

void tst_EvidenceParams::memoryEstimate()
{
    QFETCH(QByteArray, input);
    QFETCH(double, fps);
    QFETCH(QSize, frame);
    QFETCH(quint32, megabytes);

    QCOMPARE(readQuiet<Params>(input).estimateMemOccupancyMB(fps, frame), megabytes);
}

QTEST_GUILESS_MAIN(tst_EvidenceParams)
#include "tst_EvidenceParams.moc"
