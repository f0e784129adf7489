#include "support/RecordTestSupport.h"

#include "datamodel/params/SourceDefinitionInputParams.h"
#include "datamodel/params/SourceDefinitionInputParamsImageCrop.h"
#include "datamodel/params/SourceDefinitionTrackerParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;

// Lines name their functions without the namespace.
constexpr FunctionNames kNames = FunctionNames::Unqualified;
using Input = SourceDefinitionInputParams;

namespace {

QString inputFails(const char *text)
{
    return conditionLine("SourceDefinitionInputParams::isValid_impl", text, kNames);
}

QString inputDiffers(const char *text)
{
    return conditionLine("SourceDefinitionInputParams::compare_logic", text, kNames);
}

const char *const kCropText =
    "tmpRect.topLeft().x() >= 0 && tmpRect.topLeft().x() <= 1 && tmpRect.topLeft().y() >= 0 && "
    "tmpRect.topLeft().y() <= 1 && tmpRect.bottomRight().x() >= 0 && tmpRect.bottomRight().x() <= 1 && "
    "tmpRect.bottomRight().y() >= 0 && tmpRect.bottomRight().y() <= 1";
const char *const kCropCompareText =
    "(getRectangle() == otherSD->getRectangle()) || (getRectangle().isEmpty() && otherSD->getRectangle().isEmpty())";

// An enabled crop with the rectangle (x, y, w, h).
QByteArray crop(const char *rect, bool enabled = true)
{
    return QByteArray(R"({"enabled": )") + (enabled ? "true" : "false") + R"(, "rectangle": )" + rect + '}';
}

} // namespace

Q_DECLARE_METATYPE(Input::TimeSource)
Q_DECLARE_METATYPE(Input::LPAnonymization)

class tst_InputParams : public QObject
{
    Q_OBJECT

private slots:
    // Input parameters
    void inputRead_data();
    void inputRead();
    void inputValidity_data();
    void inputValidity();
    void inputCompare_data();
    void inputCompare();
    void inputDeprecatedFpsOverride();

    // Image crop
    void cropRead_data();
    void cropRead();
    void cropValidity_data();
    void cropValidity();
    void cropCompare_data();
    void cropCompare();

    // Tracker parameters
    void trackerRead_data();
    void trackerRead();
    void trackerCompare_data();
    void trackerCompare();
};

// --- Input parameters ---

void tst_InputParams::inputRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<uint>("computeTick");
    QTest::addColumn<Input::TimeSource>("timeSource");
    QTest::addColumn<Input::LPAnonymization>("anonymization");

    QTest::newRow("empty object writes nothing")
        << QByteArray("{}") << QByteArray("{}") << 333u << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("every plain key")
        << QByteArray(R"({"connection_string": "rtsp://cam", "rtsp_tcp": false, "fps_cap": 12.5, "max_latency_ms": 200,
                          "live": false, "frame_id_offset": -3, "compute_tick_ms": 100, "lp": true,
                          "lp_anonymization": "Hash", "obstacle": true, "time_source": "NTP",
                          "recording_enabled": true, "retransmitter_enabled": true,
                          "retransmitter_time_source": "src", "source_connection_string": "rtsp://orig"})")
        << QByteArray(R"({"connection_string": "rtsp://cam", "rtsp_tcp": false, "fps_cap": 12.5, "max_latency_ms": 200,
                          "live": false, "frame_id_offset": -3, "compute_tick_ms": 100, "lp": true,
                          "lp_anonymization": "Hash", "obstacle": true, "time_source": "NTP",
                          "recording_enabled": true, "retransmitter_enabled": true,
                          "retransmitter_time_source": "src", "source_connection_string": "rtsp://orig"})")
        << 100u << Input::TimeSource::NTP << Input::LPAnonymization::Hash;
    QTest::newRow("unknown enumeration texts fall back")
        << QByteArray(R"({"lp_anonymization": "hash", "time_source": "gps"})")
        << QByteArray(R"({"lp_anonymization": "None", "time_source": "PTSOffset"})") << 333u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("negative tick keeps its bits")
        << QByteArray(R"({"compute_tick_ms": -1})") << QByteArray(R"({"compute_tick_ms": -1})") << 4294967295u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("tick beyond 32 signed bits is 0")
        << QByteArray(R"({"compute_tick_ms": 3000000000})") << QByteArray(R"({"compute_tick_ms": 0})") << 0u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("fractional tick is 0")
        << QByteArray(R"({"compute_tick_ms": 2.5})") << QByteArray(R"({"compute_tick_ms": 0})") << 0u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("wrong types are neutral")
        << QByteArray(R"({"connection_string": 5, "rtsp_tcp": "yes", "max_latency_ms": 1.5, "fps_cap": null})")
        << QByteArray(R"({"connection_string": "", "rtsp_tcp": false, "max_latency_ms": 0, "fps_cap": 0})") << 333u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("nested records carry their envelope")
        << QByteArray(R"({"image_crop": {"enabled": true, "rectangle": {"x": 0.1, "y": 0.2, "width": 0.3, "height": 0.4}},
                          "state_watcher_params": {"state_watchers": []}})")
        << QByteArray(R"({"image_crop": {"enabled": true, "version": 1,
                                         "data": {"rectangle": {"x": 0.1, "y": 0.2, "width": 0.3, "height": 0.4}}},
                          "state_watcher_params": {"version": 1, "data": {"state_watchers": []}}})")
        << 333u << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
    QTest::newRow("a nested record that is no object")
        << QByteArray(R"({"image_crop": 3})") << QByteArray(R"({"image_crop": {"version": 1, "data": {}}})") << 333u
        << Input::TimeSource::PTSOffset << Input::LPAnonymization::None;
}

void tst_InputParams::inputRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(uint, computeTick);
    QFETCH(Input::TimeSource, timeSource);
    QFETCH(Input::LPAnonymization, anonymization);

    checkRoundTrip<Input>(input, written);
    const Input record = fromJson<Input>(input);
    QCOMPARE(record.getComputeTickMS(), computeTick);
    QCOMPARE(record.getTimeSource(), timeSource);
    QCOMPARE(record.getLPAnonymization(), anonymization);
}

void tst_InputParams::inputValidity_data()
{
    addValidityColumns();

    const QString invalid = notValidLine("SourceDefinitionInputParams", kNames);

    QTest::newRow("connection string only") << QByteArray(R"({"connection_string": "a"})") << true << QStringList();
    QTest::newRow("empty record") << QByteArray("{}") << false
                                  << QStringList{inputFails("!getConnectionString().isEmpty()"), invalid};
    QTest::newRow("disabled input is invalid")
        << QByteArray(R"({"enabled": false, "connection_string": "a"})") << false
        << QStringList{inputFails("getEnabled()"), invalid};
    QTest::newRow("latency 49") << QByteArray(R"({"connection_string": "a", "max_latency_ms": 49})") << false
                                << QStringList{inputFails("getMaxLatencyMS() >= MAX_LATENCY_MS_MIN"), invalid};
    QTest::newRow("latency 50") << QByteArray(R"({"connection_string": "a", "max_latency_ms": 50})") << true
                                << QStringList();
    QTest::newRow("disabled crop out of bounds")
        << QByteArray(R"({"connection_string": "a", "image_crop": )" + crop(R"({"x": 2})", false) + "}") << true
        << QStringList();
    QTest::newRow("enabled crop out of bounds, before the latency")
        << QByteArray(R"({"connection_string": "a", "max_latency_ms": 1, "image_crop": )"
                      + crop(R"({"x": 0.5, "y": 0.5, "width": 0.6, "height": 0.2})") + "}")
        << false
        << QStringList{conditionLine("SourceDefinitionInputParamsImageCrop::isValid_impl", kCropText, kNames),
                       notValidLine("SourceDefinitionInputParamsImageCrop", kNames), inputFails("getImageCrop().isValid(skipWrn)"),
                       invalid};
    QTest::newRow("invalid watcher")
        << QByteArray(R"({"connection_string": "a", "state_watcher_params": {"state_watchers": [{"polygon": []}]}})")
        << false
        << QStringList{conditionLine("SourceStateWatcher::isValid_impl", "getStateWatcherType() != StateWatcherType::Unknown", kNames),
                       notValidLine("SourceStateWatcher", kNames), conditionLine("SourceStateWatcherParams::isValid_impl", "ci.isValid(skipWrn)", kNames),
                       notValidLine("SourceStateWatcherParams", kNames), inputFails("getStateWatcherParams().isValid(skipWrn)"),
                       invalid};
}

void tst_InputParams::inputValidity()
{
    checkValidity<Input>(kNames);
}

void tst_InputParams::inputCompare_data()
{
    addCompareColumns();

    const QByteArray fpsText =
        "(getFPSCap() < 1 && otherSD->getFPSCap() < 1) || qFuzzyCompare(getFPSCap() + 1, otherSD->getFPSCap() + 1)";
    const auto with = [](const QByteArray &members) { return R"({"connection_string": "c", )" + members + '}'; };

    QTest::newRow("caps 0 and 0.5 are both no cap")
        << with(R"("fps_cap": 0)") << with(R"("fps_cap": 0.5)") << false << true << QStringList();
    QTest::newRow("caps 0.5 and 1") << with(R"("fps_cap": 0.5)") << with(R"("fps_cap": 1)") << false << false
                                    << QStringList{inputDiffers(fpsText.constData())};
    QTest::newRow("caps 25 and 25.000000000001")
        << with(R"("fps_cap": 25)") << with(R"("fps_cap": 25.000000000001)") << false << true << QStringList();
    QTest::newRow("anonymisation without LP") << with(R"("lp": false, "lp_anonymization": "Hash")")
                                              << with(R"("lp_anonymization": "None")") << false << true << QStringList();
    QTest::newRow("anonymisation with LP on one side")
        << with(R"("lp": true, "lp_anonymization": "Hash")") << with(R"("lp": true)") << false << false
        << QStringList{inputDiffers(
               "(getLPAnonymization() == otherSD->getLPAnonymization()) || (!getLP() && !otherSD->getLP())")};
    QTest::newRow("absent and explicit defaults")
        << with(R"("rtsp_tcp": true, "live": true, "max_latency_ms": 1000, "compute_tick_ms": 333, "time_source": "PTSOffset")")
        << with(R"("obstacle": false)") << false << true << QStringList();
    QTest::newRow("connection strings are exact")
        << QByteArray(R"({"connection_string": "A"})") << QByteArray(R"({"connection_string": "a"})") << false << false
        << QStringList{inputDiffers("getConnectionString() == otherSD->getConnectionString()")};
    QTest::newRow("every difference in order")
        << with(R"("rtsp_tcp": false, "fps_cap": 5, "max_latency_ms": 60, "live": false, "frame_id_offset": 1,
                   "image_crop": {"enabled": true, "rectangle": {"width": 1, "height": 1}}, "compute_tick_ms": 1,
                   "lp": true, "obstacle": true, "time_source": "NTP",
                   "state_watcher_params": {"state_watchers": [{"state_watcher_type": "TrafficLight",
                       "polygon": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}]}]},
                   "recording_enabled": true, "retransmitter_enabled": true, "retransmitter_time_source": "t",
                   "source_connection_string": "s")")
        << with(R"("lp_anonymization": "Hash")") << true << false
        << QStringList{inputDiffers("getRtspTCP() == otherSD->getRtspTCP()"), inputDiffers(fpsText.constData()),
                       inputDiffers("getMaxLatencyMS() == otherSD->getMaxLatencyMS()"),
                       inputDiffers("getLiveFlag() == otherSD->getLiveFlag()"),
                       inputDiffers("getFrameIDOffset() == otherSD->getFrameIDOffset()"),
                       conditionLine("SourceDefinitionInputParamsImageCrop::compare_logic", kCropCompareText, kNames),
                       inputDiffers("getImageCrop().compare(otherSD->getImageCrop(), compareParams)"),
                       inputDiffers("getComputeTickMS() == otherSD->getComputeTickMS()"),
                       inputDiffers("getLP() == otherSD->getLP()"),
                       inputDiffers("(getLPAnonymization() == otherSD->getLPAnonymization()) || (!getLP() && !otherSD->getLP())"),
                       inputDiffers("getObstacle() == otherSD->getObstacle()"),
                       inputDiffers("getTimeSource() == otherSD->getTimeSource()"),
                       conditionLine("SourceStateWatcherParams::compare_logic", "aC.size() == bC.size()", kNames),
                       inputDiffers("getStateWatcherParams().compare(otherSD->getStateWatcherParams(), compareParams)"),
                       inputDiffers("isRecordingEnabled() == otherSD->isRecordingEnabled()"),
                       inputDiffers("isRetransmitterEnabled() == otherSD->isRetransmitterEnabled()"),
                       inputDiffers("getRetransmitterTimeSource() == otherSD->getRetransmitterTimeSource()"),
                       inputDiffers("getSourceConnectionString() == otherSD->getSourceConnectionString()")};
}

void tst_InputParams::inputCompare()
{
    checkCompare<Input>(kNames);
}

void tst_InputParams::inputDeprecatedFpsOverride()
{
    Input record;
    LogCapture capture;
    record.setFPSOverride_dep(30);
    QCOMPARE(linesOf(capture, kNames), QStringList{"SourceDefinitionInputParams::setFPSOverride_dep|FPS override is deprecated!"});
    QCOMPARE(record.getFPSOverride(), 0.0);
    QVERIFY(record.valueMap().isEmpty());

    // Setters store key texts; a value without a key stores an empty text that reads as 0.
    record.setTimeSource(Input::TimeSource::Current);
    QCOMPARE(record.valueMap().value(QStringLiteral("time_source")).toString(), QStringLiteral("Current"));
    record.setLPAnonymization(static_cast<Input::LPAnonymization>(1));
    QCOMPARE(record.valueMap().value(QStringLiteral("lp_anonymization")).toString(), QString());
    QCOMPARE(record.getLPAnonymization(), Input::LPAnonymization::None);
}

// --- Image crop ---

void tst_InputParams::cropRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QRectF>("rectangle");

    QTest::newRow("no rectangle") << QByteArray("{}") << QByteArray("{}") << QRectF();
    QTest::newRow("full rectangle")
        << QByteArray(R"({"rectangle": {"x": 0.1, "y": 0.2, "width": 0.3, "height": 0.4}})")
        << QByteArray(R"({"rectangle": {"x": 0.1, "y": 0.2, "width": 0.3, "height": 0.4}})") << QRectF(0.1, 0.2, 0.3, 0.4);
    QTest::newRow("missing size") << QByteArray(R"({"rectangle": {"x": 0.1, "y": 0.2}})")
                                  << QByteArray(R"({"rectangle": {"x": 0.1, "y": 0.2, "width": 0, "height": 0}})")
                                  << QRectF(0.1, 0.2, 0, 0);
    QTest::newRow("an array") << QByteArray(R"({"rectangle": [1, 2]})")
                              << QByteArray(R"({"rectangle": {"x": 0, "y": 0, "width": 0, "height": 0}})") << QRectF();
    QTest::newRow("numeric texts convert")
        << QByteArray(R"({"rectangle": {"x": "0.5", "y": "no", "width": true, "height": null}})")
        << QByteArray(R"({"rectangle": {"x": 0.5, "y": 0, "width": 1, "height": 0}})") << QRectF(0.5, 0, 1, 0);
}

void tst_InputParams::cropRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(QRectF, rectangle);

    checkRoundTrip<SourceDefinitionInputParamsImageCrop>(input, written);
    const auto record = fromJson<SourceDefinitionInputParamsImageCrop>(input);
    QCOMPARE(record.getRectangle(), rectangle);
    QVERIFY(!record.getEnabled());
}

void tst_InputParams::cropValidity_data()
{
    addValidityColumns();

    const QStringList outside{conditionLine("SourceDefinitionInputParamsImageCrop::isValid_impl", kCropText, kNames),
                              notValidLine("SourceDefinitionInputParamsImageCrop", kNames)};

    QTest::newRow("disabled by default, out of bounds")
        << QByteArray(R"({"rectangle": {"x": 0.5, "y": 0.5, "width": 0.6, "height": 0.2}})") << true << QStringList();
    QTest::newRow("right edge at 1.1") << crop(R"({"x": 0.5, "y": 0.5, "width": 0.6, "height": 0.2})") << false
                                       << outside;
    QTest::newRow("unit square") << crop(R"({"x": 0, "y": 0, "width": 1, "height": 1})") << true << QStringList();
    QTest::newRow("empty inside") << crop(R"({"x": 0.2, "y": 0.2, "width": 0, "height": 0})") << true << QStringList();
    QTest::newRow("negative size inside") << crop(R"({"x": 0.5, "y": 0.5, "width": -0.5, "height": -0.1})") << true
                                          << QStringList();
    QTest::newRow("negative size leaving") << crop(R"({"x": 0.2, "y": 0.5, "width": -0.5, "height": 0})") << false
                                           << outside;
    QTest::newRow("negative top") << crop(R"({"x": 0, "y": -0.01, "width": 0.5, "height": 0.5})") << false << outside;
}

void tst_InputParams::cropValidity()
{
    checkValidity<SourceDefinitionInputParamsImageCrop>(kNames);
}

void tst_InputParams::cropCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("both empty in different ways")
        << crop(R"({"x": 0.1, "y": 0.1, "width": 0, "height": 0.5})")
        << crop(R"({"x": 0.3, "y": 0.3, "width": 0.2, "height": 0})") << true << QStringList();
    QTest::newRow("a millionth off zero")
        << crop(R"({"x": 0, "y": 0, "width": 0.5, "height": 1})")
        << crop(R"({"x": 0.000001, "y": 0, "width": 0.5, "height": 1})")
        << false << QStringList{conditionLine("SourceDefinitionInputParamsImageCrop::compare_logic", kCropCompareText, kNames)};
    QTest::newRow("fuzzy equal") << crop(R"({"x": 0.5, "y": 0, "width": 0.25, "height": 1})")
                                 << crop(R"({"x": 0.5000000000000001, "y": 0, "width": 0.25, "height": 1})") << true
                                 << QStringList();
    QTest::newRow("disabled side holding values compares as default")
        << crop(R"({"x": 0.5, "y": 0.5, "width": 0.2, "height": 0.2})", false)
        << crop(R"({"x": 0, "y": 0, "width": 0, "height": 0})") << true << QStringList();
}

void tst_InputParams::cropCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    checkCompare<SourceDefinitionInputParamsImageCrop>(a, b, false, equal, lines, kNames);
}

// --- Tracker parameters ---

void tst_InputParams::trackerRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<qint64>("window");
    QTest::addColumn<qint64>("stored");

    QTest::newRow("absent") << QByteArray("{}") << QByteArray("{}") << qint64(2000) << qint64(-1);
    QTest::newRow("in range") << QByteArray(R"({"time_window_ms": 3000})") << QByteArray(R"({"time_window_ms": 3000})")
                              << qint64(3000) << qint64(3000);
    QTest::newRow("at the cap") << QByteArray(R"({"time_window_ms": 5000})")
                                << QByteArray(R"({"time_window_ms": 5000})") << qint64(5000) << qint64(5000);
    QTest::newRow("above the cap: stored, capped on reading")
        << QByteArray(R"({"time_window_ms": 8000})") << QByteArray(R"({"time_window_ms": 5000})") << qint64(5000)
        << qint64(8000);
    QTest::newRow("negative") << QByteArray(R"({"time_window_ms": -100})") << QByteArray(R"({"time_window_ms": -100})")
                              << qint64(-100) << qint64(-100);
    QTest::newRow("fractional") << QByteArray(R"({"time_window_ms": 2500.5})")
                                << QByteArray(R"({"time_window_ms": 0})") << qint64(0) << qint64(0);
    QTest::newRow("beyond 32 bits") << QByteArray(R"({"time_window_ms": 5000000000})")
                                    << QByteArray(R"({"time_window_ms": 0})") << qint64(0) << qint64(0);
}

void tst_InputParams::trackerRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(qint64, window);
    QFETCH(qint64, stored);

    checkRoundTrip<SourceDefinitionTrackerParams>(input, written);
    const auto record = fromJson<SourceDefinitionTrackerParams>(input);
    QCOMPARE(record.getTimeWindowMS(), window);
    QCOMPARE(record.valueMap().value(QStringLiteral("time_window_ms"), qint64(-1)).toLongLong(), stored);
    QVERIFY(record.isValid(true));

    SourceDefinitionTrackerParams set;
    set.setTimeWindowMS(9000);
    QCOMPARE(set.valueMap().value(QStringLiteral("time_window_ms")).toLongLong(), qint64(9000));
    QCOMPARE(set.getTimeWindowMS(), qint64(5000));
}

void tst_InputParams::trackerCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("6000 and 9000 both read 5000")
        << QByteArray(R"({"time_window_ms": 6000})") << QByteArray(R"({"time_window_ms": 9000})") << true << QStringList();
    QTest::newRow("4000 and 4001")
        << QByteArray(R"({"time_window_ms": 4000})") << QByteArray(R"({"time_window_ms": 4001})") << false
        << QStringList{conditionLine("SourceDefinitionTrackerParams::compare_logic", "getTimeWindowMS() == otherSD->getTimeWindowMS()", kNames)};
    QTest::newRow("absent and 2000") << QByteArray("{}") << QByteArray(R"({"time_window_ms": 2000})") << true
                                     << QStringList();
}

void tst_InputParams::trackerCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    checkCompare<SourceDefinitionTrackerParams>(a, b, false, equal, lines, kNames);
}

QTEST_GUILESS_MAIN(tst_InputParams)
#include "tst_InputParams.moc"
