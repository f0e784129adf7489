#include "DefinitionTestSupport.h"
#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;
using namespace definitiontest;
using FuseType = SourceCUBEDefinition::FuseType;

namespace {

const QString kCube = QStringLiteral("SourceCUBEDefinition::isValid_impl");
const QString kElement = QStringLiteral("SourceCUBEDefinitionElement");

SourceCUBEDefinition readCube(const QJsonObject &object)
{
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceCUBEDefinition cube;
    cube.read(object, quiet);
    return cube;
}

QJsonObject cubeFixture()
{
    return fixture(QStringLiteral("cube_3_cameras.json"));
}

// Paths into the fixture.
QString element(int i, const QString &rest)
{
    return QStringLiteral("data/cube_element_definitions/%1/%2").arg(i).arg(rest);
}

QString camera(int i, const QString &rest)
{
    return element(i, QStringLiteral("data/source_connection_definition/data/source_definition/") + rest);
}

const QString kTimeWindowText = QStringLiteral("trackerTimeWindowMS == srcDef->toVIDEOSrcDefCPtr()->getTrackerParams().getTimeWindowMS()");

} // namespace

class tst_SourceCUBEDefinition : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void fuseType_data();
    void fuseType();
    void validity_data();
    void validity();
    void fuseZoneWarningsFollowSkipWrn();
    void compare_data();
    void compare();
    void elementNames();
    void elementDisabled();
    void heavyDataPerElement();
};

void tst_SourceCUBEDefinition::roundTrip()
{
    const QJsonObject in = cubeFixture();
    LogCapture capture;
    const auto definition = SourceDefinition::createFromJson(in);
    const auto cube = definition->toCUBEDefinitionPtr();
    QVERIFY(cube);
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));
    QVERIFY(cube->isValid());

    const auto elements = cube->getSourceCUBEElementDefinitions();
    QCOMPARE(elements.size(), 3);
    QCOMPARE(elements.at(1).getAssignedFuseZoneNames(), (QSet<QString>{"north", "centre"}));
    const auto connection = elements.at(2).getSourceConnectionDefinition();
    QCOMPARE(connection.getConnectionParams().getPort(), quint16(5558));
    QCOMPARE(connection.getSourceDefinition()->toVIDEOSrcDefCPtr()->getTrackerParams().getTimeWindowMS(), qint64(2500));
    QCOMPARE(cube->getFuseZoneParams().getFuseZones().size(), 4);
    QCOMPARE(cube->getFuseType(), FuseType::zone);

    const QJsonObject out = cube->toJsonObject();
    // The assigned names are a set: compare them as sets, the rest exactly.
    const auto withoutNames = [](QJsonObject object) {
        for (int i = 0; i < 3; ++i)
            object = patched(object, element(i, "data/assigned_fuse_zone_names"), QJsonValue(QJsonValue::Undefined));
        return object;
    };
    QCOMPARE(withoutNames(out), withoutNames(in));
    SourceCUBEDefinition back;
    back.read(out);
    QVERIFY(back.compare(*cube, CompareParams::logic(false, true)).equal);
    QVERIFY(QVariant::fromValue(back) == QVariant::fromValue(*cube));
    QVERIFY(capture.messages().empty());
}

void tst_SourceCUBEDefinition::fuseType_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<FuseType>("type");
    QTest::addColumn<QJsonValue>("written");

    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << FuseType::zone << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("space") << QJsonValue("space") << FuseType::space << QJsonValue("space");
    QTest::newRow("lp") << QJsonValue("lp") << FuseType::lp << QJsonValue("lp");
    QTest::newRow("upper case") << QJsonValue("ZONE") << FuseType::zone << QJsonValue("zone");
    QTest::newRow("number") << QJsonValue(0) << FuseType::zone << QJsonValue("zone");
    QTest::newRow("empty") << QJsonValue("") << FuseType::zone << QJsonValue("zone");
}

void tst_SourceCUBEDefinition::fuseType()
{
    QFETCH(QJsonValue, value);
    QFETCH(FuseType, type);
    QFETCH(QJsonValue, written);

    const SourceCUBEDefinition cube = readCube(patched(cubeFixture(), "data/fuse_type", value));
    QCOMPARE(cube.getFuseType(), type);
    QCOMPARE(cube.toJsonObject().value("data").toObject().value("fuse_type"), written);
}

void tst_SourceCUBEDefinition::validity_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QJsonArray>("values");
    QTest::addColumn<QStringList>("lines"); // the tail of what is logged, before the base's closing line

    const QJsonValue none(QJsonValue::Undefined);
    // A single array value is written QJsonValue(QJsonArray{...}): as {QJsonArray{...}} alone,
    // gcc and clang disagree whether it is the list of values or its one element.
    const auto row = [](const char *name, QStringList paths, QJsonArray values, QStringList lines) {
        QTest::newRow(name) << paths << values << lines;
    };
    row("as read", {}, {}, {});
    row("no fuse type is zone, still valid", {"data/fuse_type"}, {none}, {});
    row("no elements", {"data/cube_element_definitions"}, {QJsonValue(QJsonArray())}, {condition(kCube, "!cubeElDefs.isEmpty()")});
    row("elements not an array", {"data/cube_element_definitions"}, {QJsonValue("x")}, {condition(kCube, "!cubeElDefs.isEmpty()")});
    row("cube without georegistration",
        {"data/reference_frame_parameters/data/georegistration_parameters/enabled"}, {false},
        {condition(kCube, "hasReferenceFrameParams() && getReferenceFrameParams().hasGeoregistrationParams() && getReferenceFrameParams().getGeoregistrationParams().isValid(skipWrn)")});
    row("cube reference frame disabled", {"data/reference_frame_parameters/enabled"}, {false},
        {condition(kCube, "hasReferenceFrameParams() && getReferenceFrameParams().hasGeoregistrationParams() && getReferenceFrameParams().getGeoregistrationParams().isValid(skipWrn)")});
    row("wrong type", {"data/source_definition_type"}, {"Video"}, {condition(kCube, "getType() == SourceDefinitionType::Cube")});
    row("time windows differ", {camera(2, "data/tracker_parameters/data/time_window_ms")}, {3000},
        {condition(kCube, kTimeWindowText)});
    row("time windows equal once capped", {camera(0, "data/tracker_parameters/data/time_window_ms"), camera(1, "data/tracker_parameters/data/time_window_ms"),
                                           camera(2, "data/tracker_parameters/data/time_window_ms")},
        {6000, 9000, 5000}, {});
    row("absent tracker block is 2000", {camera(1, "data/tracker_parameters")}, {none}, {condition(kCube, kTimeWindowText)});
    row("disabled element takes no part", {camera(2, "data/tracker_parameters/data/time_window_ms"), element(2, "enabled")},
        {3000, false}, {});
    row("radar element takes no part",
        {camera(1, "data/source_definition_type"), camera(2, "data/tracker_parameters/data/time_window_ms")}, {"Radar", 2500}, {});
    row("camera without georegistration",
        {camera(1, "data/reference_frame_parameters/data/georegistration_parameters/enabled")}, {false},
        {condition("SourceCUBEElementDefinition::isValid_impl",
                   "srcDef->hasReferenceFrameParams() && srcDef->getReferenceFrameParams().hasGeoregistrationParams()"),
         notValid("SourceCUBEElementDefinition"), condition(kCube, "cubeElDef.isValid(skipWrn)")});
    row("transformation of two pairs",
        {element(0, "data/transformation_parameters/data/source_points"), element(0, "data/transformation_parameters/data/destination_points")},
        {QJsonArray{QJsonObject{{"x", 0}, {"y", 0}}, QJsonObject{{"x", 1}, {"y", 1}}},
         QJsonArray{QJsonObject{{"x", 0}, {"y", 0}}, QJsonObject{{"x", 1}, {"y", 1}}}},
        {condition("TransformationParams::isValid_impl", "srcP.size() == dstP.size() && srcP.size() >= GEREGISTRATION_POINTS_MIN_SIZE"),
         notValid("TransformationParams"),
         condition("SourceCUBEElementDefinition::isValid_impl", "!hasTransformationParams() || getTransformationParams().isValid(skipWrn)"),
         notValid("SourceCUBEElementDefinition"), condition(kCube, "cubeElDef.isValid(skipWrn)")});
    row("disabled transformation passes",
        {element(0, "data/transformation_parameters/enabled"), element(0, "data/transformation_parameters/data/source_points")},
        {false, QJsonArray()}, {});
    row("bad port", {element(1, "data/source_connection_definition/data/connection_params/data/port")}, {70000},
        {condition("ConnectionParams::isValid_impl", "getPort() > 0"), notValid("ConnectionParams"),
         condition("SourceConnectionDefinition::isValid_impl", "getConnectionParams().isValid(skipWrn)"),
         notValid("SourceConnectionDefinition"),
         condition("SourceCUBEElementDefinition::isValid_impl", "getSourceConnectionDefinition().isValid(skipWrn)"),
         notValid("SourceCUBEElementDefinition"), condition(kCube, "cubeElDef.isValid(skipWrn)")});
    row("zone assigned twice", {element(2, "data/assigned_fuse_zone_names")}, {QJsonValue(QJsonArray{"east", "west"})},
        {condition(kCube, "!allAssignedFuseZoneNames.intersects(assignedFuseZoneNames)")});
    row("zone assigned twice to a disabled element", {element(2, "data/assigned_fuse_zone_names"), element(2, "enabled")},
        {QJsonArray{"west"}, false}, {condition(kCube, "!allAssignedFuseZoneNames.intersects(assignedFuseZoneNames)")});
    row("unknown zone", {element(0, "data/assigned_fuse_zone_names")}, {QJsonValue(QJsonArray{"west", "south"})},
        {condition(kCube, "assignedFuseZoneNames.isEmpty() || fuseZoneNames.contains(assignedFuseZoneNames)")});
    row("null name is the empty name", {element(0, "data/assigned_fuse_zone_names")}, {QJsonValue(QJsonArray{QJsonValue()})},
        {condition(kCube, "assignedFuseZoneNames.isEmpty() || fuseZoneNames.contains(assignedFuseZoneNames)")});
    row("element assigning nothing", {element(0, "data/assigned_fuse_zone_names")}, {QJsonValue(QJsonArray())}, {});
    row("duplicate zone names in the parameters",
        {"data/fuse_zone_params/data/fuse_zones/3/data/name"}, {"west"},
        {condition("SourceCUBEDefinitionFuseZoneParams::isValid_impl", "!fuseZoneNames.contains(fuseZone.getName())"),
         notValid("SourceCUBEDefinitionFuseZoneParams"), condition(kCube, "fuseZoneParams.isValid()")});
    row("rule naming a missing zone",
        {"data/fuse_zone_params/data/fuse_zone_rules/1/data/destination_zone_name"}, {"south"},
        {condition("SourceCUBEDefinitionFuseZoneParams::isValid_impl",
                   "fuseZoneNames.contains(fuseZoneRule.getSourceZoneName()) && fuseZoneNames.contains(fuseZoneRule.getDestinationZoneName())"),
         notValid("SourceCUBEDefinitionFuseZoneParams"), condition(kCube, "fuseZoneParams.isValid()")});
    row("repeated zone pair",
        {"data/fuse_zone_params/data/fuse_zone_rules/1/data/source_zone_name", "data/fuse_zone_params/data/fuse_zone_rules/1/data/destination_zone_name"},
        {"west", "east"},
        {condition("SourceCUBEDefinitionFuseZoneParams::isValid_impl", "!ruleCombinations.contains(ruleCombination)"),
         notValid("SourceCUBEDefinitionFuseZoneParams"), condition(kCube, "fuseZoneParams.isValid()")});
    row("space fusion ignores zones",
        {"data/fuse_type", "data/fuse_zone_params/data/fuse_zone_rules/1/data/destination_zone_name", element(2, "data/assigned_fuse_zone_names")},
        {"space", "south", QJsonArray{"west", "nowhere"}}, {});
    row("lp fusion ignores zones", {"data/fuse_type", element(0, "data/assigned_fuse_zone_names")}, {"lp", QJsonArray{"nowhere"}}, {});
}

void tst_SourceCUBEDefinition::validity()
{
    QFETCH(QStringList, paths);
    QFETCH(QJsonArray, values);
    QFETCH(QStringList, lines);

    QJsonObject object = cubeFixture();
    for (int i = 0; i < paths.size(); ++i)
        object = patched(object, paths.at(i), values.at(i));
    const SourceCUBEDefinition cube = readCube(object);
    QStringList logged;
    QCOMPARE(validate(cube, &logged), lines.isEmpty());
    if (lines.isEmpty()) {
        QVERIFY2(logged.isEmpty(), qPrintable(logged.join('\n')));
        return;
    }
    QCOMPARE(logged.last(), notValid("SourceCUBEDefinition"));
    logged.removeLast();
    QCOMPARE(logged.mid(logged.size() - lines.size()), lines);

    LogCapture silent;
    QVERIFY(!cube.isValid(true));
    QVERIFY(silent.messages().empty());
}

void tst_SourceCUBEDefinition::fuseZoneWarningsFollowSkipWrn()
{
    // A silent comparison validates both sides without warnings, zones included.
    const QJsonObject broken = patched(cubeFixture(), "data/fuse_zone_params/data/fuse_zones/3/data/name", "west");
    const SourceCUBEDefinition a = readCube(broken);
    const SourceCUBEDefinition b = readCube(cubeFixture());
    LogCapture capture;
    QVERIFY(!a.compare(b, CompareParams::logic(true)).equal);
    QVERIFY(!(a == b));
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));
}

void tst_SourceCUBEDefinition::compare_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<QStringList>("texts"); // the cube's own, in order; empty: equal

    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("same") << QString() << none << false << QStringList();
    QTest::newRow("fuse type") << "data/fuse_type" << QJsonValue("space") << false
                               << QStringList{"getFuseType() == otherSD->getFuseType()"};
    QTest::newRow("element order of names does not matter")
        << element(1, "data/assigned_fuse_zone_names") << QJsonValue(QJsonArray{"centre", "north", "north"}) << false << QStringList();
    QTest::newRow("element camera differs") << camera(0, "data/input_parameters/data/connection_string") << QJsonValue("rtsp://other")
                                            << false << QStringList{"aC[i].compare(bC[i], compareParams)"};
    QTest::newRow("decision delay") << "data/fuse_zone_params/data/decision_delay_ms" << QJsonValue(100) << false
                                    << QStringList{"getFuseZoneParams().compare(otherSD->getFuseZoneParams(), compareParams)"};
    QTest::newRow("cube reference frame through the base")
        << "data/reference_frame_parameters/data/reference_frame/data/image_signature" << QJsonValue("new") << false
        << QStringList{"SourceDefinition::compare_logic(other, compareParams)"};
}

void tst_SourceCUBEDefinition::compare()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(bool, allDifferences);
    QFETCH(QStringList, texts);

    const SourceCUBEDefinition a = readCube(cubeFixture());
    const SourceCUBEDefinition b = readCube(patched(cubeFixture(), path, value));
    LogCapture capture;
    const CompareResult result = a.compare(b, CompareParams::logic(false, allDifferences));
    QCOMPARE(result.equal, texts.isEmpty());
    QStringList own;
    for (const QString &line : logLines(capture)) {
        if (line.startsWith(QStringLiteral("WRN SourceCUBEDefinition::compare_logic: Condition is false: ")))
            own << line.section(QStringLiteral("Condition is false: "), 1);
    }
    QCOMPARE(own, texts);
    if (QByteArray(QTest::currentDataTag()) == "cube reference frame through the base")
        QVERIFY(result.first); // a new reference image is carried up
}

void tst_SourceCUBEDefinition::elementNames()
{
    const auto names = readQuiet<SourceCUBEElementDefinition>(
        R"({"assigned_fuse_zone_names": ["a", "b", "a", 5, true, null, {"x": 1}]})");
    QCOMPARE(names.getAssignedFuseZoneNames(), (QSet<QString>{"a", "b", "5", "true", ""}));
    const QJsonArray written = names.toJsonObject().value("data").toObject().value("assigned_fuse_zone_names").toArray();
    QCOMPARE(written.size(), 5);

    // Two and three elements, all differences asked for: the length and the common elements.
    const QJsonObject fixtureObject = cubeFixture();
    QJsonArray two = fixtureObject.value("data").toObject().value("cube_element_definitions").toArray();
    two.removeLast();
    two[1] = patchedValue(two.at(1), {"data", "assigned_fuse_zone_names"}, QJsonArray{"north"});
    const SourceCUBEDefinition shorter = readCube(patched(fixtureObject, "data/cube_element_definitions", two));
    LogCapture capture;
    QVERIFY(!readCube(fixtureObject).compare(shorter, CompareParams::logic(false, true)).equal);
    QStringList own;
    for (const QString &line : logLines(capture)) {
        if (line.startsWith(QStringLiteral("WRN SourceCUBEDefinition::compare_logic")))
            own << line.section(QStringLiteral("Condition is false: "), 1);
    }
    QCOMPARE(own, (QStringList{"aC.size() == bC.size()", "aC[i].compare(bC[i], compareParams)"}));
    QVERIFY(capture.contains("Condition is false: getAssignedFuseZoneNames() == otherSD->getAssignedFuseZoneNames()"));
}

void tst_SourceCUBEDefinition::elementDisabled()
{
    const QJsonArray elements = cubeFixture().value("data").toObject().value("cube_element_definitions").toArray();
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceCUBEElementDefinition enabled;
    enabled.read(elements.at(0).toObject(), quiet);
    SourceCUBEElementDefinition disabled;
    disabled.read(patchedValue(elements.at(1), {"enabled"}, false).toObject(), quiet);
    SourceCUBEElementDefinition otherDisabled;
    otherDisabled.read(patchedValue(elements.at(2), {"enabled"}, false).toObject(), quiet);

    // Valid whatever it holds; two disabled ones are equal; against an enabled one it is empty.
    SourceCUBEElementDefinition broken = disabled;
    broken.setTransformationParams(TransformationParams());
    QVERIFY(disabled.isValid(true));
    QVERIFY(disabled.compare(otherDisabled, CompareParams::logic(true)).equal);
    QVERIFY(!disabled.compare(enabled, CompareParams::logic(true)).equal);
    QVERIFY(!enabled.compare(disabled, CompareParams::logic(true)).equal);
}

void tst_SourceCUBEDefinition::heavyDataPerElement()
{
    // Give every camera a reference image, write the cube with the images in files and read it back.
    QJsonObject object = patched(cubeFixture(), "data/reference_frame_parameters/data/reference_frame/data/image_data",
                                 QString::fromLatin1(QByteArray("png-bytes-of-the-cube").toBase64()));
    for (int i = 0; i < 3; ++i) {
        object = patched(object, camera(i, "data/reference_frame_parameters/data/reference_frame/data/image_data"),
                         QString::fromLatin1(QByteArray("png-bytes-of-camera-").append(char('0' + i)).toBase64()));
    }
    const SourceCUBEDefinition cube = readCube(object);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SourceDataWriteOptions toFiles;
    toFiles.writeMode = SourceData::WriteMode::HeavyDataToFile;
    toFiles.heavyDataPathPrefix = dir.path();
    LogCapture capture;
    const QJsonObject written = cube.toJsonObject(toFiles);
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));

    QStringList files;
    QDirIterator it(dir.path(), {"reference_frame.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(dir.path().size());
    files.sort();
    QCOMPARE(files.size(), 4);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(files.at(i).contains(QStringLiteral("SourceCUBEElementDefinition_%1/").arg(i + 1)), qPrintable(files.at(i)));
    QCOMPARE(files.at(3), QStringLiteral("/SourceCUBEDefinition/SourceDefinitionReferenceFrameParams/ReferenceFrame/reference_frame.png"));

    SourceDataReadOptions fromFiles;
    fromFiles.heavyData = true;
    fromFiles.heavyDataPathPrefix = dir.path();
    fromFiles.skipValidation = true;
    SourceCUBEDefinition back;
    back.read(written, fromFiles);
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));
    const auto elements = back.getSourceCUBEElementDefinitions();
    for (int i = 0; i < 3; ++i) {
        const auto video = elements.at(i).getSourceConnectionDefinition().getSourceDefinition()->toVIDEOSrcDefCPtr();
        QCOMPARE(video->getReferenceFrameParams().getReferenceFrame().getImageData(),
                 QByteArray("png-bytes-of-camera-").append(char('0' + i)));
    }
}

QTEST_GUILESS_MAIN(tst_SourceCUBEDefinition)
#include "tst_SourceCUBEDefinition.moc"
