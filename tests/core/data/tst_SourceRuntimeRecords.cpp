#include "core/data/SourceInfoDynamic.h"
#include "core/data/SourceInfoStatic.h"
#include "core/data/SourceTimestamp.h"
#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace kvr::tracker::common;

class tst_SourceRuntimeRecords : public QObject
{
    Q_OBJECT

private slots:
    void timestamp_data();
    void timestamp();
    void timestampEqualityAndNoConditions();
    void infoStaticRoundTrip();
    void infoDynamicPtz_data();
    void infoDynamicPtz();
    void infoEqualityThroughQVariant();
    void infoDynamicStates_data();
    void infoDynamicStates();
};

void tst_SourceRuntimeRecords::timestamp_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qint64>("data");
    QTest::addColumn<qint64>("video");
    QTest::addColumn<qint64>("sourceId");

    QTest::newRow("absent") << QByteArray("{}") << qint64(0) << qint64(0) << qint64(-1);
    QTest::newRow("video falls back to data")
        << QByteArray(R"({"version": 1, "data": {"data_ts_ms": 1733551200123, "source_id": 4}})")
        << qint64(1733551200123) << qint64(1733551200123) << qint64(4);
    QTest::newRow("both") << QByteArray(R"({"data_ts_ms": 10, "video_ts_ms": -5})") << qint64(10) << qint64(-5)
                          << qint64(-1);
    QTest::newRow("non-numbers read as 0") << QByteArray(R"({"data_ts_ms": "10", "video_ts_ms": null})")
                                           << qint64(0) << qint64(0) << qint64(-1);
}

void tst_SourceRuntimeRecords::timestamp()
{
    QFETCH(QByteArray, input);
    QFETCH(qint64, data);
    QFETCH(qint64, video);
    QFETCH(qint64, sourceId);

    SourceTimestamp stamp;
    stamp.read(QJsonDocument::fromJson(input).object());
    QCOMPARE(stamp.getDataTimestampMS(), data);
    QCOMPARE(stamp.getVideoTimestampMS(), video);
    QCOMPARE(stamp.getSourceID(), sourceId);

    SourceTimestamp back;
    back.read(stamp.toJsonObject());
    QCOMPARE(back.valueMap(), stamp.valueMap());
}

void tst_SourceRuntimeRecords::timestampEqualityAndNoConditions()
{
    SourceTimestamp a;
    a.setDataTimestampMS(-1);
    a.setEnabled(false);
    LogCapture capture;
    QVERIFY(a.isValid());
    QVERIFY(capture.texts().isEmpty());

    SourceTimestamp b = a;
    QVERIFY(QVariant::fromValue(a) == QVariant::fromValue(b));
    a.setEnabled(true);
    b.setEnabled(true);
    b.setVideoTimestampMS(3);
    QVERIFY(QVariant::fromValue(a) != QVariant::fromValue(b));
}

void tst_SourceRuntimeRecords::infoStaticRoundTrip()
{
    SourceInfoStatic info;
    QCOMPARE(info.getSourceResolution(), QSize());
    info.setSourceResolution(QSize(1920, 1080));
    info.setDetectionResolution(QSize(960, 540));
    info.setSourceFPS(29.97);
    info.setMapToWorkScale(0.5);
    info.setIsGeoregistered(true);
    info.setSourceID(2);

    const QJsonObject json = info.toJsonObject();
    QCOMPARE(json.value("data").toObject().value("source_resolution").toObject(),
             QJsonDocument::fromJson(R"({"width": 1920, "height": 1080})").object());
    QVERIFY(!json.value("data").toObject().contains("display_resolution"));

    SourceInfoStatic back;
    back.read(json);
    QCOMPARE(back.getSourceResolution(), QSize(1920, 1080));
    QCOMPARE(back.getDetectionResolution(), QSize(960, 540));
    QCOMPARE(back.getDisplayResolution(), QSize());
    QCOMPARE(back.getSourceFPS(), 29.97);
    QCOMPARE(back.getIsGeoregistered(), true);
    QVERIFY(back == info);
    back.setMapToWorkScale(0.25);
    QVERIFY(back != info);
}

void tst_SourceRuntimeRecords::infoDynamicPtz_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<float>("expected");

    QTest::newRow("absent") << QVariant() << 0.0f;
    QTest::newRow("value") << QVariant(12.5f) << 12.5f;
    QTest::newRow("double from a node") << QVariant(7.25) << 7.25f;
    QTest::newRow("NaN stays NaN") << QVariant(std::numeric_limits<float>::quiet_NaN())
                                   << std::numeric_limits<float>::quiet_NaN();
}

void tst_SourceRuntimeRecords::infoDynamicPtz()
{
    QFETCH(QVariant, stored);
    QFETCH(float, expected);

    SourceInfoDynamic info;
    SourceInfoDynamic sameAgain; // built apart, so that the two maps are not shared
    if (stored.isValid()) {
        info.setQVariantData(QVariantMap{{"ptz_pan", stored}, {"ptz_tilt", stored}, {"ptz_zoom", stored}});
        sameAgain.setQVariantData(QVariantMap{
            {QStringLiteral("ptz_pan"), stored}, {QStringLiteral("ptz_tilt"), stored}, {QStringLiteral("ptz_zoom"), stored}});
    }
    // An unknown position (NaN) must not make every update look like a change.
    QVERIFY(info == sameAgain);
    QVERIFY(info.compare(sameAgain, CompareParams::data()).equal);
    for (float value : {info.getPTZPan(), info.getPTZTilt(), info.getPTZZoom()}) {
        if (std::isnan(expected))
            QVERIFY(std::isnan(value));
        else
            QCOMPARE(value, expected);
    }
}

void tst_SourceRuntimeRecords::infoEqualityThroughQVariant()
{
    SourceInfoDynamic a;
    a.setRecordingFlag(true);
    a.setRecordingMessage(QStringLiteral("recording"));
    a.setDetectorFPS(12);
    a.setTrackerFPS(11);
    SourceInfoDynamic b;
    b.read(a.toJsonObject());
    QCOMPARE(b.getRecordingMessage(), QStringLiteral("recording"));
    QVERIFY(QVariant::fromValue(a) == QVariant::fromValue(b));
    b.setRecordingFlag(false);
    QVERIFY(QVariant::fromValue(a) != QVariant::fromValue(b));
}

void tst_SourceRuntimeRecords::infoDynamicStates_data()
{
    using Stabilization = SourceInfoDynamic::StabilizationState;
    using Position = SourceInfoDynamic::PTZPositionState;
    using Control = SourceInfoDynamic::PTZControlState;
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Stabilization>("stabilization");
    QTest::addColumn<Position>("position");
    QTest::addColumn<Control>("control");
    QTest::addColumn<QByteArray>("written"); // the states as written back, {} when none is held

    QTest::newRow("absent: no problem reported") << QByteArray("{}") << Stabilization::Off << Position::In
                                                 << Control::Idle << QByteArray("{}");
    QTest::newRow("key texts")
        << QByteArray(R"({"stabilization_state": "Unstable", "ptz_position_state": "Out", "ptz_control_state": "Error"})")
        << Stabilization::Unstable << Position::Out << Control::Error
        << QByteArray(R"({"stabilization_state": "Unstable", "ptz_position_state": "Out", "ptz_control_state": "Error"})");
    // Key texts are exact; anything else is stored as the first value's key.
    QTest::newRow("other texts read as the first value")
        << QByteArray(R"({"stabilization_state": "error", "ptz_position_state": 1, "ptz_control_state": null})")
        << Stabilization::Off << Position::In << Control::Idle
        << QByteArray(R"({"stabilization_state": "Off", "ptz_position_state": "In", "ptz_control_state": "Idle"})");
}

void tst_SourceRuntimeRecords::infoDynamicStates()
{
    QFETCH(QByteArray, input);
    QFETCH(SourceInfoDynamic::StabilizationState, stabilization);
    QFETCH(SourceInfoDynamic::PTZPositionState, position);
    QFETCH(SourceInfoDynamic::PTZControlState, control);
    QFETCH(QByteArray, written);

    SourceInfoDynamic info;
    info.read(QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("data"), QJsonDocument::fromJson(input).object()}});
    QCOMPARE(info.getStabilizationState(), stabilization);
    QCOMPARE(info.getPTZPositionState(), position);
    QCOMPARE(info.getPTZControlState(), control);
    QCOMPARE(info.toJsonObject().value(QStringLiteral("data")).toObject(), QJsonDocument::fromJson(written).object());

}

QTEST_GUILESS_MAIN(tst_SourceRuntimeRecords)
#include "tst_SourceRuntimeRecords.moc"
