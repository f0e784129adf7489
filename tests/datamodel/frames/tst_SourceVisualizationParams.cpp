#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceVisualizationParams.h"

#include <functional>

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceVisualizationParams::compare_logic", text);
}

QStringList invalid(const char *text)
{
    return {conditionLine("SourceVisualizationParams::isValid_impl", text), notValidLine("SourceVisualizationParams")};
}

QByteArray vis(const QByteArray &data)
{
    return R"({"version": 1, "data": )" + data + '}';
}

// One valid class "car", as a "visualization_classes" member.
const QByteArray kCar(R"("visualization_classes": [{"version": 1, "data": {"class_name": "car"}}])");
const QByteArray kGate(R"({"version": 1, "data": {"element_type": "gate", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 1}]}})");

using Change = std::function<void(SourceVisualizationParams &)>;

const QStringList kSortedWithoutBBX{"show_classes", "show_color", "show_id", "show_lp", "show_score", "show_ttails"};

} // namespace

Q_DECLARE_METATYPE(Change)

class tst_SourceVisualizationParams : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void showFlags_data();
    void showFlags();
    void selectedIDs_data();
    void selectedIDs();
    void read_data();
    void read() { checkRead<SourceVisualizationParams>(); }
    void write_data();
    void write() { checkWrite<SourceVisualizationParams>(); }
    void validity_data();
    void validity() { checkValidity<SourceVisualizationParams>(); }
    void compare_data();
    void compare() { checkCompare<SourceVisualizationParams>(); }
};

void tst_SourceVisualizationParams::defaults()
{
    const auto p = fromJson<SourceVisualizationParams>(vis("{}"));
    QCOMPARE(p.getEnabled(), true);
    QVERIFY(p.isValid());
    QVERIFY(p.getShowClasses() && p.getShowColor() && p.getShowLP() && p.getShowBBX() && p.getShowTTails()
            && p.getShowScore() && p.hasShowFlag("show_id"));
    QCOMPARE(p.getShowFlags(), SourceVisualizationParams::defaultShowFlags());
    QCOMPARE(p.getSelectedTrajectoryIDs(), QSet<qint64>());
    QCOMPARE(p.getHideNonSelectedTrajectories(), true);
    QCOMPARE(p.getTTailsSizeMS(), 2000u);
    QCOMPARE(p.getTTailsLineWidth(), 1.0f);
    QCOMPARE(p.getBBXLineWidth(), 1.0f);
    QCOMPARE(p.getBBXColor(), QColor(Qt::red));
    QCOMPARE(p.getFlagColor(), QColor(Qt::red));
    QCOMPARE(p.getFlagSelectedColor(), QColor("orange"));
    QCOMPARE(p.getVisualizationMultiplier(), quint16(100));
    QCOMPARE(p.getTrackIdOffset(), 0);
    QVERIFY(p.getSourceVisualizationClasses().isEmpty());
    QVERIFY(p.getSpatialElements().isEmpty());
    QCOMPARE(p.getSourceVisualizationTimestamp().getEnabled(), false);
    QCOMPARE(compact(p.toJsonObject()), QByteArray(R"({"data":{},"version":1})"));
}

// Show switches on a fresh record or after reading "show_flags" -> the stored list.
void tst_SourceVisualizationParams::showFlags_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QStringList>("flags");

    QTest::newRow("switching one off stores the rest sorted")
        << vis("{}") << Change([](SourceVisualizationParams &p) { p.setShowBBX(false); }) << true << kSortedWithoutBBX;
    QTest::newRow("switching on what is on stores nothing")
        << vis("{}") << Change([](SourceVisualizationParams &p) { p.setShowBBX(true); }) << false
        << SourceVisualizationParams::defaultShowFlags();
    QTest::newRow("read flags are stored sorted")
        << vis(R"({"show_flags": ["show_lp", "show_bbx"]})") << Change([](SourceVisualizationParams &) {}) << true
        << QStringList{"show_bbx", "show_lp"};
    QTest::newRow("switching on appends, sorted")
        << vis(R"({"show_flags": ["show_lp"]})") << Change([](SourceVisualizationParams &p) { p.setShowColor(true); })
        << true << QStringList{"show_color", "show_lp"};
    QTest::newRow("set list: upper case first, duplicates kept")
        << vis("{}") << Change([](SourceVisualizationParams &p) { p.setShowFlags({"b", "a", "B", "a"}); }) << true
        << QStringList{"B", "a", "a", "b"};
    QTest::newRow("switching off removes one occurrence")
        << vis(R"({"show_flags": ["show_lp", "show_lp"]})")
        << Change([](SourceVisualizationParams &p) { p.setShowLP(false); }) << true << QStringList{"show_lp", "show_lp"};
}

void tst_SourceVisualizationParams::showFlags()
{
    QFETCH(QByteArray, input);
    QFETCH(Change, change);
    QFETCH(bool, stored);
    QFETCH(QStringList, flags);

    auto p = fromJson<SourceVisualizationParams>(input);
    change(p);
    QCOMPARE(p.contains(QStringLiteral("show_flags")), stored);
    QCOMPARE(p.getShowFlags(), flags);
    QCOMPARE(p.getShowColor(), flags.contains("show_color"));
    QCOMPARE(p.getShowBBX(), flags.contains("show_bbx"));
}

void tst_SourceVisualizationParams::selectedIDs_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QList<qint64>>("ids");

    QTest::newRow("duplicates collapse") << vis(R"({"selected_trajectory_ids": [3, 1, 3]})") << QList<qint64>{1, 3};
    QTest::newRow("numeric text, other values 0")
        << vis(R"({"selected_trajectory_ids": ["12", "x", true, 5000000000]})") << QList<qint64>{0, 12, 5000000000};
    QTest::newRow("ids beyond 64 bits read 0") << vis(R"({"selected_trajectory_ids": [-1e300, 2]})") << QList<qint64>{0, 2};
}

void tst_SourceVisualizationParams::selectedIDs()
{
    QFETCH(QByteArray, input);
    QFETCH(QList<qint64>, ids);
    const auto p = fromJson<SourceVisualizationParams>(input);
    QCOMPARE(p.getSelectedTrajectoryIDs(), QSet<qint64>(ids.cbegin(), ids.cend()));
    QCOMPARE(fromJson<SourceVisualizationParams>(compact(p.toJsonObject())).getSelectedTrajectoryIDs(),
             p.getSelectedTrajectoryIDs());
}

void tst_SourceVisualizationParams::read_data()
{
    addReadColumns();
    QTest::newRow("tails size from text") << vis(R"({"ttails_size_ms": "4000"})") << QVariantMap{{"ttails_size_ms", 4000u}};
    QTest::newRow("tails size as a number reads 0") << vis(R"({"ttails_size_ms": 4000})") << QVariantMap{{"ttails_size_ms", 0u}};
    QTest::newRow("tails size that is no decimal") << vis(R"({"ttails_size_ms": "4e3"})") << QVariantMap{{"ttails_size_ms", 0u}};
    QTest::newRow("hide flag that is no bool") << vis(R"({"hide_non_selected_trajectories": "yes"})")
                                               << QVariantMap{{"hide_non_selected_trajectories", false}};
    QTest::newRow("colours") << vis(R"({"bbx_color": "lime", "flag_color": "#0000ff", "flag_selected_color": "#40FFFFFF"})")
                             << QVariantMap{{"bbx_color", "#ff00ff00"}, {"flag_color", "#ff0000ff"},
                                            {"flag_selected_color", "#40ffffff"}};
    QTest::newRow("multiplier keeps the low 16 bits") << vis(R"({"visualization_multiplier": 65636})")
                                                      << QVariantMap{{"visualization_multiplier", 100}};
    QTest::newRow("offset from numeric text") << vis(R"({"track_id_offset": "-5"})")
                                              << QVariantMap{{"track_id_offset", qint64(-5)}};
    QTest::newRow("offset that is no number") << vis(R"({"track_id_offset": true})")
                                              << QVariantMap{{"track_id_offset", qint64(0)}};
    QTest::newRow("offset beyond 64 bits reads 0") << vis(R"({"track_id_offset": 1e300})")
                                                   << QVariantMap{{"track_id_offset", qint64(0)}};
    QTest::newRow("line widths") << vis(R"({"ttails_line_width": 2.5, "bbx_line_width": "x"})")
                                 << QVariantMap{{"ttails_line_width", 2.5f}, {"bbx_line_width", 0.0f}};
    QTest::newRow("show flags of other types as text") << vis(R"({"show_flags": [2, "a"]})")
                                                       << QVariantMap{{"show_flags", QStringList{"2", "a"}}};
    QTest::newRow("timestamp as its value map")
        << vis(R"({"timestamp": {"enabled": true, "version": 1, "data": {"format": "hh"}}})")
        << QVariantMap{{"timestamp", QVariantMap{{"enabled", true}, {"format", "hh"}}}};
    QTest::newRow("classes and elements, invalid ones kept")
        << vis(R"({"visualization_classes": [{"version": 1, "data": {"class_name": "car"}}, 3], "spatial_elements": [{}]})")
        << QVariantMap{{"visualization_classes", QVariantList{QVariantMap{{"class_name", "car"}}, QVariantMap()}},
                       {"spatial_elements", QVariantList{QVariantMap()}}};
}

void tst_SourceVisualizationParams::write_data()
{
    addWriteColumns();
    QTest::newRow("tails size as decimal text") << vis(R"({"ttails_size_ms": "3000"})") << vis(R"({"ttails_size_ms": "3000"})");
    const QByteArray all = vis(R"({"selected_trajectory_ids": [7], "hide_non_selected_trajectories": false, )" + kCar
                               + R"(, "show_flags": ["show_bbx"], "ttails_size_ms": "100", "ttails_line_width": 2, "bbx_line_width": 3, )"
                               R"("bbx_color": "#ff00ff00", "flag_color": "#ff0000ff", "flag_selected_color": "#ffffffff", )"
                               R"("visualization_multiplier": 10, "track_id_offset": 4, "spatial_elements": [)" + kGate
                               + R"(], "timestamp": {"enabled": true, "version": 1, "data": {"format": "hh"}}})");
    QTest::newRow("every key") << all << all;
}

void tst_SourceVisualizationParams::validity_data()
{
    addValidityColumns();
    QTest::newRow("tails at the maximum") << vis(R"({"ttails_size_ms": "4000"})") << true << QStringList();
    QTest::newRow("tails above the maximum") << vis(R"({"ttails_size_ms": "4001"})") << false
                                             << invalid("getTTailsSizeMS() <= TTAILS_SIZE_MS_MAX");
    QTest::newRow("tails line width 0") << vis(R"({"ttails_line_width": 0})") << false
                                        << invalid("getTTailsLineWidth() > 0.0f");
    QTest::newRow("box line width 0") << vis(R"({"bbx_line_width": 0})") << false << invalid("getBBXLineWidth() > 0.0f");
    QTest::newRow("multiplier at the maximum") << vis(R"({"visualization_multiplier": 1000})") << true << QStringList();
    QTest::newRow("multiplier above the maximum")
        << vis(R"({"visualization_multiplier": 1001})") << false
        << invalid("getVisualizationMultiplier() <= VISUALIZATION_MULTIPLIER_MAX");
    QTest::newRow("negative offset") << vis(R"({"track_id_offset": -1})") << false << invalid("getTrackIdOffset() >= 0");
    QTest::newRow("first invalid class ends the test")
        << vis(R"({"visualization_classes": [{}, {}], "ttails_line_width": 0})") << false
        << QStringList{conditionLine("SourceVisualizationClass::isValid_impl", "!getClassName().isEmpty()"),
                       notValidLine("SourceVisualizationClass")}
               + invalid("ci.isValid(skipWrn)");
    QTest::newRow("gate with three points")
        << vis(R"({"spatial_elements": [{"version": 1, "data": {"element_type": "gate", "spatial_data": [{"x": 0, "y": 0}, {"x": 0, "y": 0}, {"x": 0, "y": 0}]}}]})")
        << false
        << QStringList{conditionLine("SourceVisualizationSpatialElement::isValid_impl", "getSpatialData().size() == 2"),
                       notValidLine("SourceVisualizationSpatialElement")}
               + invalid("ci.isValid(skipWrn)");
    QTest::newRow("an invalid timestamp does not count")
        << vis(R"({"timestamp": {"version": 1, "data": {"format": ""}}})") << true << QStringList();
    QTest::newRow("disabled is valid at once")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"track_id_offset": -1}})") << true << QStringList();
}

void tst_SourceVisualizationParams::compare_data()
{
    addCompareColumns();
    QTest::newRow("no classes: annotations do not count")
        << vis(R"({"bbx_color": "blue"})") << vis("{}") << false << true << QStringList();
    QTest::newRow("with a class: box colour counts")
        << vis("{" + kCar + R"(, "bbx_color": "blue"})") << vis("{" + kCar + "}") << false << false
        << QStringList{differs("getBBXColor() == otherSD->getBBXColor()")};
    QTest::newRow("default flags against the same flags read (sorted)")
        << vis("{" + kCar + "}")
        << vis("{" + kCar + R"(, "show_flags": ["show_classes", "show_color", "show_lp", "show_id", "show_bbx", "show_ttails", "show_score"]})")
        << false << false << QStringList{differs("getShowFlags() == otherSD->getShowFlags()")};
    QTest::newRow("selected ids in another order")
        << vis("{" + kCar + R"(, "selected_trajectory_ids": [1, 2, 3]})")
        << vis("{" + kCar + R"(, "selected_trajectory_ids": [3, 2, 1]})") << false << true << QStringList();
    QTest::newRow("class count")
        << vis("{" + kCar + "}") << vis("{}") << false << false << QStringList{differs("aC.size() == bC.size()")};
    QTest::newRow("class differs: its line, then this one")
        << vis("{" + kCar + "}") << vis(R"({"visualization_classes": [{"version": 1, "data": {"class_name": "bus"}}]})")
        << false << false
        << QStringList{conditionLine("SourceVisualizationClass::compare_logic", "getClassName() == otherSD->getClassName()"),
                       differs("aC[i].compare(bC[i], compareParams)")};
    QTest::newRow("spatial element count")
        << vis(R"({"spatial_elements": [)" + kGate + "]}") << vis("{}") << false << false
        << QStringList{differs("aC.size() == bC.size()")};
    QTest::newRow("timestamps differ only in being enabled")
        << vis(R"({"timestamp": {"enabled": true, "version": 1, "data": {}}})") << vis("{}") << false << false
        << QStringList{differs("getSourceVisualizationTimestamp().getEnabled() == otherSD->getSourceVisualizationTimestamp().getEnabled() && getSourceVisualizationTimestamp().compare(otherSD->getSourceVisualizationTimestamp(), compareParams)")};
    QTest::newRow("all differences in order")
        << vis("{" + kCar + R"(, "show_flags": ["show_id"], "ttails_size_ms": "10", "ttails_line_width": 2, "bbx_line_width": 2, )"
               R"("bbx_color": "blue", "flag_color": "blue", "selected_trajectory_ids": [1], "hide_non_selected_trajectories": false, )"
               R"("flag_selected_color": "blue", "visualization_multiplier": 1, "track_id_offset": 1, "spatial_elements": [)" + kGate
               + R"(], "timestamp": {"enabled": true, "version": 1, "data": {"format": "hh"}}})")
        << vis("{" + kCar + "}") << true << false
        << QStringList{differs("getShowFlags() == otherSD->getShowFlags()"),
                       differs("getTTailsSizeMS() == otherSD->getTTailsSizeMS()"),
                       differs("getTTailsLineWidth() == otherSD->getTTailsLineWidth()"),
                       differs("getBBXLineWidth() == otherSD->getBBXLineWidth()"),
                       differs("getBBXColor() == otherSD->getBBXColor()"),
                       differs("getFlagColor() == otherSD->getFlagColor()"),
                       differs("getSelectedTrajectoryIDs() == otherSD->getSelectedTrajectoryIDs()"),
                       differs("getHideNonSelectedTrajectories() == otherSD->getHideNonSelectedTrajectories()"),
                       differs("getFlagSelectedColor() == otherSD->getFlagSelectedColor()"),
                       differs("getVisualizationMultiplier() == otherSD->getVisualizationMultiplier()"),
                       differs("getTrackIdOffset() == otherSD->getTrackIdOffset()"),
                       differs("aC.size() == bC.size()"),
                       conditionLine("SourceVisualizationTimestamp::compare_logic", "getFormat() == otherSD->getFormat()"),
                       differs("getSourceVisualizationTimestamp().getEnabled() == otherSD->getSourceVisualizationTimestamp().getEnabled() && getSourceVisualizationTimestamp().compare(otherSD->getSourceVisualizationTimestamp(), compareParams)")};
    QTest::newRow("disabled with values compares as a default record")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"bbx_color": "blue"}})") << vis("{" + kCar + "}")
        << false << false << QStringList{differs("aC.size() == bC.size()")};
}

QTEST_GUILESS_MAIN(tst_SourceVisualizationParams)
#include "tst_SourceVisualizationParams.moc"
