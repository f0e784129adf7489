#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

// A format that holds every key of every nested record.
const QByteArray kFullFormat(R"({"version": 2, "enabled": true, "data": {
  "image_data_bandwidth_parameters": {"version": 2, "enabled": true, "data": {
    "flength_mul": 2, "compression_type": "PNG", "compression_quality": 5,
    "image_scale_parameters": {"version": 1, "enabled": true, "data": {
      "scale": 50, "vertical_resolution": 720, "horizontal_resolution": 1280,
      "allow_vh_resolution_upscale": true, "canvas_size": {"width": 640, "height": 480}}}}},
  "image_transformation_parameters": {"version": 2, "data": {
    "undistort_flag": false, "transform_to_ref_flag": false,
    "image_crop_parameters": {"version": 1, "enabled": true, "data": {
      "dynamic_crop": true, "margin_px": 8, "saoi_names": ["a", "b"]}}}},
  "anonymization_parameters": {"version": 2, "enabled": true, "data": {"anonymization_zones": [
    {"version": 1, "data": {"anonymization_name": "z", "object_names": ["car"], "method": "blur_gauss",
      "anonymization_zone": [{"x": 0.1, "y": 0.1}, {"x": 0.5, "y": 0.1}, {"x": 0.5, "y": 0.5}],
      "intensity": 5, "solid_color": "#ff00ff00"}}]}},
  "visualization_parameters": {"version": 1, "data": {
    "selected_trajectory_ids": [1, 2], "hide_non_selected_trajectories": false,
    "visualization_classes": [{"version": 1, "data": {"class_name": "car", "color": "#ffff0000"}}],
    "show_flags": ["show_bbx", "show_id"], "ttails_size_ms": "3000", "ttails_line_width": 2,
    "bbx_line_width": 2, "bbx_color": "blue", "flag_color": "green", "flag_selected_color": "yellow",
    "visualization_multiplier": 10, "track_id_offset": 5,
    "spatial_elements": [{"version": 1, "data": {"element_name": "g", "element_type": "gate",
      "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 1}], "line_color": "red", "line_width": 3,
      "fill_opacity": 0.5}}],
    "timestamp": {"version": 1, "enabled": true, "data": {"format": "hh:mm", "location": "Undefined",
      "position": {"x": 0.5, "y": 0.5}, "font": "FONT_HERSHEY_PLAIN", "text_color": "white",
      "text_thickness": 2, "text_size_multiplier": 80, "bg_color": "black"}}}}}})");

// Every path of a JSON document or of a variant tree, containers included.
void collectPaths(const QJsonValue &node, const QStringList &prefix, QList<QStringList> &paths)
{
    if (node.isObject()) {
        const QJsonObject object = node.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const QStringList path = prefix + QStringList{it.key()};
            paths << path;
            collectPaths(it.value(), path, paths);
        }
    } else if (node.isArray()) {
        const QJsonArray array = node.toArray();
        for (int i = 0; i < array.size(); ++i) {
            const QStringList path = prefix + QStringList{QString::number(i)};
            paths << path;
            collectPaths(array.at(i), path, paths);
        }
    }
}

void collectPaths(const QVariant &node, const QStringList &prefix, QList<QStringList> &paths)
{
    if (node.userType() == QMetaType::QVariantMap) {
        const QVariantMap map = node.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            const QStringList path = prefix + QStringList{it.key()};
            paths << path;
            collectPaths(it.value(), path, paths);
        }
    } else if (node.userType() == QMetaType::QVariantList) {
        const QVariantList list = node.toList();
        for (int i = 0; i < list.size(); ++i) {
            const QStringList path = prefix + QStringList{QString::number(i)};
            paths << path;
            collectPaths(list.at(i), path, paths);
        }
    }
}

// The document with the value at `path` replaced (an undefined replacement removes it).
QJsonValue replaced(const QJsonValue &node, const QStringList &path, const QJsonValue &replacement)
{
    const QString step = path.first();
    const QStringList rest = path.mid(1);
    if (node.isObject()) {
        QJsonObject object = node.toObject();
        if (rest.isEmpty() && replacement.isUndefined())
            object.remove(step);
        else
            object.insert(step, rest.isEmpty() ? replacement : replaced(object.value(step), rest, replacement));
        return object;
    }
    QJsonArray array = node.toArray();
    const int index = step.toInt();
    if (rest.isEmpty() && replacement.isUndefined())
        array.removeAt(index);
    else
        array.replace(index, rest.isEmpty() ? replacement : replaced(array.at(index), rest, replacement));
    return array;
}

QVariant replaced(const QVariant &node, const QStringList &path, const QVariant &replacement)
{
    const QString step = path.first();
    const QStringList rest = path.mid(1);
    if (node.userType() == QMetaType::QVariantMap) {
        QVariantMap map = node.toMap();
        map.insert(step, rest.isEmpty() ? replacement : replaced(map.value(step), rest, replacement));
        return map;
    }
    QVariantList list = node.toList();
    const int index = step.toInt();
    list[index] = rest.isEmpty() ? replacement : replaced(list.at(index), rest, replacement);
    return list;
}

// Everything an observer or the frame receiver does with a format: validate, compare, write; what
// is written reads back, and from then on writing and reading change nothing.
void exercise(const SourceFrameFormatDefinition &format)
{
    format.isValid(false);
    const QJsonObject written = format.toJsonObject();
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceFrameFormatDefinition once;
    once.read(written, quiet);
    SourceFrameFormatDefinition twice;
    twice.read(once.toJsonObject(), quiet);
    QCOMPARE(twice.valueMap(), once.valueMap());
    format.compare(once, CompareParams::logic(false, true));
    format.compare(SourceFrameFormatDefinition(), CompareParams::logic(false, true));
    QCOMPARE(format.compare(format, CompareParams::data(true)).equal, true);
}

} // namespace

// Formats come from peers (a node's frames, a block's camera JSON): whatever shape any of their
// values has, a format validates, compares and writes without failing, and what it writes is
// stable.
class tst_FrameFormatRobustness : public QObject
{
    Q_OBJECT

private slots:
    void anyJsonValueAnywhere_data();
    void anyJsonValueAnywhere();
    void anyVariantAnywhere_data();
    void anyVariantAnywhere();
};

void tst_FrameFormatRobustness::anyJsonValueAnywhere_data()
{
    QTest::addColumn<QJsonValue>("replacement");
    QTest::newRow("null") << QJsonValue();
    QTest::newRow("text") << QJsonValue(QStringLiteral("x"));
    QTest::newRow("negative number") << QJsonValue(-70000.5);
    QTest::newRow("huge number") << QJsonValue(1e300);
    QTest::newRow("bool") << QJsonValue(true);
    QTest::newRow("empty array") << QJsonValue(QJsonArray());
    QTest::newRow("empty object") << QJsonValue(QJsonObject());
    QTest::newRow("removed") << QJsonValue(QJsonValue::Undefined);
}

void tst_FrameFormatRobustness::anyJsonValueAnywhere()
{
    QFETCH(QJsonValue, replacement);
    const QJsonObject original = json(kFullFormat);
    QList<QStringList> paths;
    collectPaths(QJsonValue(original), QStringList(), paths);
    QVERIFY(paths.size() > 60);
    LogCapture log;
    for (const QStringList &path : paths) {
        SourceFrameFormatDefinition format;
        format.read(replaced(QJsonValue(original), path, replacement).toObject());
        exercise(format);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("at ") + path.join(QLatin1Char('/'))));
    }
}

void tst_FrameFormatRobustness::anyVariantAnywhere_data()
{
    QTest::addColumn<QVariant>("replacement");
    QTest::newRow("invalid") << QVariant();
    QTest::newRow("text") << QVariant(QStringLiteral("x"));
    QTest::newRow("negative number") << QVariant(-70000.5);
    QTest::newRow("bytes") << QVariant(QByteArray("\x01\x02"));
    QTest::newRow("list") << QVariant(QVariantList{1, QStringLiteral("y")});
    QTest::newRow("map") << QVariant(QVariantMap{{QStringLiteral("k"), 1}});
    QTest::newRow("hash") << QVariant(QVariantHash{{QStringLiteral("k"), 1}});
}

// The form in which a node's frame packet and a queued request hand a format over.
void tst_FrameFormatRobustness::anyVariantAnywhere()
{
    QFETCH(QVariant, replacement);
    const QVariant original = fromJson<SourceFrameFormatDefinition>(kFullFormat).getQVariantData();
    QList<QStringList> paths;
    collectPaths(original, QStringList(), paths);
    QVERIFY(paths.size() > 40);
    LogCapture log;
    for (const QStringList &path : paths) {
        SourceFrameFormatDefinition format;
        format.setQVariantData(replaced(original, path, replacement));
        exercise(format);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("at ") + path.join(QLatin1Char('/'))));
    }
}

QTEST_GUILESS_MAIN(tst_FrameFormatRobustness)
#include "tst_FrameFormatRobustness.moc"
