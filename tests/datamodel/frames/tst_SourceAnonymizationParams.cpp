#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceAnonymizationParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;
using Method = SourceAnonymizationZone::AnonymizationMethod;

namespace {

QString zoneDiffers(const char *text)
{
    return conditionLine("SourceAnonymizationZone::compare_logic", text);
}

QString paramsDiffer(const char *text)
{
    return conditionLine("SourceAnonymizationParams::compare_logic", text);
}

QByteArray zone(const char *data)
{
    return QByteArray(R"({"version": 1, "data": )") + data + '}';
}

// Enabled parameters holding the given zone objects.
QByteArray params(const QByteArray &zones)
{
    return R"({"version": 2, "enabled": true, "data": {"anonymization_zones": [)" + zones + "]}}";
}

const QByteArray kSquare(R"({"version": 1, "data": {"anonymization_zone": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}]}})");
const QByteArray kEmptyZone(R"({"version": 1, "data": {"anonymization_name": "none"}})");

} // namespace

// Zones and the parameters that hold them, one group each.
class tst_SourceAnonymizationParams : public QObject
{
    Q_OBJECT

private slots:
    void zoneDefaults();
    void zoneIntensity_data();
    void zoneIntensity();
    void zoneRead_data();
    void zoneRead() { checkRead<SourceAnonymizationZone>(); }
    void zoneWrite_data();
    void zoneWrite() { checkWrite<SourceAnonymizationZone>(); }
    void zoneSetters();
    void zoneValidity_data();
    void zoneValidity() { checkValidity<SourceAnonymizationZone>(); }
    void zoneCompare_data();
    void zoneCompare() { checkCompare<SourceAnonymizationZone>(); }

    void paramsDefaults();
    void paramsRead_data();
    void paramsRead();
    void paramsWrite_data();
    void paramsWrite() { checkWrite<SourceAnonymizationParams>(); }
    void paramsValidity_data();
    void paramsValidity() { checkValidity<SourceAnonymizationParams>(); }
    void paramsCompare_data();
    void paramsCompare() { checkCompare<SourceAnonymizationParams>(); }
};

void tst_SourceAnonymizationParams::zoneDefaults()
{
    const SourceAnonymizationZone z;
    QCOMPARE(z.getEnabled(), true);
    QCOMPARE(z.getName(), QString());
    QVERIFY(z.getZone().isEmpty());
    QCOMPARE(z.getMethod(), Method::solid);
    QCOMPARE(z.getMethodIntensity(), quint8(10));
    QCOMPARE(z.getSolidColor(), QColor(Qt::black));
    QCOMPARE(z.getSelf(), z);
    QCOMPARE(compact(z.toJsonObject()), QByteArray(R"({"data":{},"version":1})"));
}

void tst_SourceAnonymizationParams::zoneIntensity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("expected");
    QTest::newRow("0 gives 1") << zone(R"({"intensity": 0})") << 1;
    QTest::newRow("11 gives 10") << zone(R"({"intensity": 11})") << 10;
    QTest::newRow("200 gives 10") << zone(R"({"intensity": 200})") << 10;
    QTest::newRow("in range") << zone(R"({"intensity": 4})") << 4;
    QTest::newRow("absent gives 10") << zone("{}") << 10;
    QTest::newRow("257 wraps to 1") << zone(R"({"intensity": 257})") << 1;
}

void tst_SourceAnonymizationParams::zoneIntensity()
{
    QFETCH(QByteArray, input);
    QFETCH(int, expected);
    QCOMPARE(int(fromJson<SourceAnonymizationZone>(input).getMethodIntensity()), expected);
}

void tst_SourceAnonymizationParams::zoneRead_data()
{
    addReadColumns();
    QTest::newRow("polygon with missing and textual coordinates")
        << zone(R"({"anonymization_zone": [{"x": 0.5, "y": "0.25"}, {"y": 1}, 7]})")
        << QVariantMap{{"anonymization_zone", QVariant::fromValue(QPolygonF(QVector<QPointF>{{0.5, 0.25}, {0, 1}, {0, 0}}))}};
    QTest::newRow("object names as text")
        << zone(R"({"object_names": ["car", 2]})") << QVariantMap{{"object_names", QStringList{"car", "2"}}};
    QTest::newRow("method key") << zone(R"({"method": "blur_gauss"})") << QVariantMap{{"method", "blur_gauss"}};
    QTest::newRow("method in another case falls back to solid")
        << zone(R"({"method": "Blur_Gauss"})") << QVariantMap{{"method", "solid"}};
    QTest::newRow("colour name stored as #aarrggbb") << zone(R"({"solid_color": "red"})")
                                                      << QVariantMap{{"solid_color", "#ffff0000"}};
    QTest::newRow("#RRGGBB gains opaque alpha") << zone(R"({"solid_color": "#00FF00"})")
                                                << QVariantMap{{"solid_color", "#ff00ff00"}};
    QTest::newRow("#AARRGGBB keeps alpha, lower case") << zone(R"({"solid_color": "#80ABCDEF"})")
                                                       << QVariantMap{{"solid_color", "#80abcdef"}};
    QTest::newRow("intensity kept unbounded, 8 bits") << zone(R"({"intensity": 300})") << QVariantMap{{"intensity", 44}};
}

void tst_SourceAnonymizationParams::zoneWrite_data()
{
    addWriteColumns();
    QTest::newRow("every key, intensity bounded")
        << zone(R"({"anonymization_name": "n", "anonymization_zone": [{"x": 0.5, "y": 1}], "object_names": ["car"], "method": "pixelization", "intensity": 0, "solid_color": "blue"})")
        << zone(R"({"anonymization_name": "n", "anonymization_zone": [{"x": 0.5, "y": 1}], "object_names": ["car"], "method": "pixelization", "intensity": 1, "solid_color": "#ff0000ff"})");
    QTest::newRow("an unknown method is written as solid")
        << zone(R"({"method": "smear"})") << zone(R"({"method": "solid"})");
}

void tst_SourceAnonymizationParams::zoneSetters()
{
    SourceAnonymizationZone z;
    z.setSolidColor(Qt::red);
    z.setMethod(Method::blur_linear);
    z.setMethodIntensity(200);
    QCOMPARE(z.valueMap().value("solid_color").toString(), QStringLiteral("#ffff0000"));
    QCOMPARE(z.valueMap().value("method").toString(), QStringLiteral("blur_linear"));
    QCOMPARE(z.valueMap().value("intensity").toInt(), 200);
    QCOMPARE(compact(z.toJsonObject()),
             QByteArray(R"({"data":{"intensity":10,"method":"blur_linear","solid_color":"#ffff0000"},"version":1})"));
}

void tst_SourceAnonymizationParams::zoneValidity_data()
{
    addValidityColumns();
    QTest::newRow("polygon with points") << kSquare << true << QStringList();
    QTest::newRow("empty polygon")
        << kEmptyZone << false
        << QStringList{conditionLine("SourceAnonymizationZone::isValid_impl", "!getZone().isEmpty()"),
                       notValidLine("SourceAnonymizationZone")};
    QTest::newRow("disabled without points") << QByteArray(R"({"version": 1, "enabled": false})") << true << QStringList();
}

void tst_SourceAnonymizationParams::zoneCompare_data()
{
    addCompareColumns();
    QTest::newRow("names do not count")
        << zone(R"({"anonymization_name": "a", "anonymization_zone": [{"x": 0, "y": 0}]})")
        << zone(R"({"anonymization_name": "b", "anonymization_zone": [{"x": 0, "y": 0}]})") << false << true << QStringList();
    QTest::newRow("object names compare as sets")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}], "object_names": ["car", "bus"]})")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}], "object_names": ["bus", "car", "car"]})") << false << true
        << QStringList();
    QTest::newRow("intensities bounded alike are equal")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}], "intensity": 11})")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}]})") << false << true << QStringList();
    QTest::newRow("polygon differs, stops there")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}], "method": "blur_gauss"})")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0.5}]})") << false << false
        << QStringList{zoneDiffers("getZone() == otherSD->getZone()")};
    QTest::newRow("all differences in order")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}], "object_names": ["car"], "method": "blur_gauss", "intensity": 2, "solid_color": "red"})")
        << zone(R"({"anonymization_zone": [{"x": 1, "y": 0}]})") << true << false
        << QStringList{zoneDiffers("getZone() == otherSD->getZone()"),
                       zoneDiffers("getObjectNames().toSet() == otherSD->getObjectNames().toSet()"),
                       zoneDiffers("getMethod() == otherSD->getMethod()"),
                       zoneDiffers("getMethodIntensity() == otherSD->getMethodIntensity()"),
                       zoneDiffers("getSolidColor() == otherSD->getSolidColor()")};
    // The default zone has no polygon, so it is invalid against a valid one: unequal, no line.
    QTest::newRow("disabled zone with values compares as a default zone")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"anonymization_zone": [{"x": 0, "y": 0}]}})")
        << zone(R"({"anonymization_zone": [{"x": 0, "y": 0}]})") << false << false << QStringList();
}

void tst_SourceAnonymizationParams::paramsDefaults()
{
    SourceAnonymizationParams p;
    QCOMPARE(p.getEnabled(), false);
    QVERIFY(p.getAnonymizationZones().isEmpty());
    p.setAnonymizationZones({fromJson<SourceAnonymizationZone>(kEmptyZone)});
    QVERIFY(p.isValid(true)); // disabled: zones are not looked at
    p.setEnabled(true);
    QVERIFY(!p.isValid(true));
}

void tst_SourceAnonymizationParams::paramsRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("names"); // of the zones read, in order

    QTest::newRow("version 1 is switched on")
        << QByteArray(R"({"version": 1, "data": {"anonymization_zones": []}})") << true << QStringList();
    QTest::newRow("version 1 is switched on whatever enabled says")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {}})") << true << QStringList();
    QTest::newRow("version 2 without enabled is off")
        << QByteArray(R"({"version": 2, "data": {"anonymization_zones": []}})") << false << QStringList();
    QTest::newRow("zones in order, invalid ones kept")
        << params(R"({"version": 1, "data": {"anonymization_name": "a"}}, 5, {"version": 1, "data": {"anonymization_name": "c"}})")
        << true << QStringList{"a", "", "c"};
}

void tst_SourceAnonymizationParams::paramsRead()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, enabled);
    QFETCH(QStringList, names);

    const auto p = fromJson<SourceAnonymizationParams>(input);
    QCOMPARE(p.getEnabled(), enabled);
    QStringList read;
    for (const SourceAnonymizationZone &z : p.getAnonymizationZones())
        read << z.getName();
    QCOMPARE(read, names);
}

void tst_SourceAnonymizationParams::paramsWrite_data()
{
    addWriteColumns();
    QTest::newRow("nothing set") << QByteArray(R"({"version": 2})") << QByteArray(R"({"version": 2, "data": {}})");
    QTest::newRow("zones as whole records")
        << params(kSquare + "," + kEmptyZone)
        << QByteArray(R"({"version": 2, "enabled": true, "data": {"anonymization_zones": [)"
                      R"({"version": 1, "data": {"anonymization_zone": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}]}},)"
                      R"({"version": 1, "data": {"anonymization_name": "none"}}]}})");
}

void tst_SourceAnonymizationParams::paramsValidity_data()
{
    addValidityColumns();
    QTest::newRow("disabled with an invalid zone")
        << QByteArray(R"({"version": 2, "data": {"anonymization_zones": [)" + kEmptyZone + "]}}") << true << QStringList();
    QTest::newRow("first invalid zone ends the test")
        << params(kSquare + "," + kEmptyZone + "," + kEmptyZone) << false
        << QStringList{conditionLine("SourceAnonymizationZone::isValid_impl", "!getZone().isEmpty()"),
                       notValidLine("SourceAnonymizationZone"),
                       conditionLine("SourceAnonymizationParams::isValid_impl", "ci.isValid(skipWrn)"),
                       notValidLine("SourceAnonymizationParams")};
    QTest::newRow("valid zones") << params(kSquare) << true << QStringList();
}

void tst_SourceAnonymizationParams::paramsCompare_data()
{
    addCompareColumns();
    QTest::newRow("lengths 2 and 3: size only, even when going on")
        << params(kSquare + "," + kSquare) << params(kSquare + "," + kSquare + "," + kEmptyZone) << true << false
        << QStringList{paramsDiffer("aC.size() == bC.size()")};
    QTest::newRow("zone differs: its line, then this one")
        << params(kSquare) << params(R"({"version": 1, "data": {"anonymization_zone": [{"x": 0, "y": 0}]}})") << false << false
        << QStringList{zoneDiffers("getZone() == otherSD->getZone()"), paramsDiffer("aC[i].compare(bC[i], compareParams)")};
    QTest::newRow("disabled parameters with zones compare as default parameters")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"anonymization_zones": [)" + kSquare + "]}}")
        << QByteArray(R"({"version": 2, "enabled": true, "data": {}})") << false << true << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceAnonymizationParams)
#include "tst_SourceAnonymizationParams.moc"
