#include "datamodel/definitions/SourceDefinition.h"
#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QtTest>

using namespace kvr::tracker::common;
using Type = SourceDefinition::SourceDefinitionType;

namespace {

// A typed definition of the tests' own, standing in for the video and radar classes.
class TestRadarDefinition : public SourceDefinition
{
public:
    TestRadarDefinition()
        : SourceDefinition(Type::Radar)
    {
    }
    int readCount = 0;

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override
    {
        SourceDefinition::read_impl(data, version, options);
        ++readCount;
    }
};

class TestQmtDefinition : public SourceDefinition
{
public:
    TestQmtDefinition()
        : SourceDefinition(Type::QMT)
    {
    }
};

std::shared_ptr<SourceDefinition> createRadar()
{
    return std::make_shared<TestRadarDefinition>();
}

std::shared_ptr<SourceDefinition> createQmt()
{
    return std::make_shared<TestQmtDefinition>();
}

// Stands in for the rule that turns a definition naming a recording into another class.
std::shared_ptr<SourceDefinition> recordingBecomesQmt(std::shared_ptr<SourceDefinition> definition)
{
    if (!definition->getName().endsWith(QLatin1String(".tlg")))
        return definition;
    auto qmt = std::make_shared<TestQmtDefinition>();
    qmt->setName(definition->getName());
    return qmt;
}

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

QStringList warnings(const LogCapture &capture)
{
    QStringList out;
    for (const auto &message : capture.messages())
        out << message.function() + QLatin1Char('|') + message.text();
    return out;
}

} // namespace

class tst_SourceDefinition : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void constructionStoresType();
    void readWriteKeys();
    void factoryFallsBackToBase_data();
    void factoryFallsBackToBase();
    void factoryUsesRegisteredClass();
    void factoryAdjustReplaces();
    void factoryFromQVariant();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_SourceDefinition::cleanup()
{
    SourceDefinition::unregisterCreator(Type::Radar);
    SourceDefinition::unregisterCreator(Type::QMT);
}

void tst_SourceDefinition::constructionStoresType()
{
    const SourceDefinition base;
    QCOMPARE(base.getType(), Type::Unknown);
    QCOMPARE(base.getClassVersion(), 2u);
    QCOMPARE(TestRadarDefinition().getType(), Type::Radar);
    QCOMPARE(TestRadarDefinition().toJsonObject(),
             json(R"({"version": 2, "data": {"source_definition_type": "Radar"}})"));
}

void tst_SourceDefinition::readWriteKeys()
{
    const QJsonObject in = json(R"({"version": 2, "enabled": true, "data": {
        "source_definition_name": "north", "source_definition_type": "Cube",
        "reference_frame_parameters": {"version": 1, "enabled": true, "data": {"stabilization_flag": true}},
        "unknown": 1}})");
    SourceDefinition definition;
    definition.read(in);
    QCOMPARE(definition.getName(), QStringLiteral("north"));
    QCOMPARE(definition.getType(), Type::Cube);
    QVERIFY(definition.hasReferenceFrameParams());

    QJsonObject expected = in;
    QJsonObject data = expected.value("data").toObject();
    data.remove("unknown");
    expected.insert("data", data);
    QCOMPARE(definition.toJsonObject(), expected);

    SourceDefinition unknownType;
    unknownType.read(json(R"({"version": 2, "data": {"source_definition_type": "Camera"}})"));
    QCOMPARE(unknownType.getType(), Type::Unknown);
}

void tst_SourceDefinition::factoryFallsBackToBase_data()
{
    QTest::addColumn<QByteArray>("input");

    QTest::newRow("no type") << QByteArray(R"({"version": 2, "data": {"source_definition_name": "a"}})");
    QTest::newRow("unknown text") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "Lidar"}})");
    QTest::newRow("known type without a registered class")
        << QByteArray(R"({"version": 2, "data": {"source_definition_type": "Video"}})");
    QTest::newRow("not an object's worth") << QByteArray("{}");
}

void tst_SourceDefinition::factoryFallsBackToBase()
{
    QFETCH(QByteArray, input);
    const QJsonObject object = QJsonDocument::fromJson(input).object();

    const auto fromJson = SourceDefinition::createFromJson(object);
    QVERIFY(fromJson);
    QCOMPARE(typeid(*fromJson), typeid(SourceDefinition));

    SourceDefinition reference;
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    reference.read(object, quiet);
    QCOMPARE(fromJson->valueMap(), reference.valueMap());

    const auto fromVariant = SourceDefinition::createFromQVariant(reference.getQVariantData());
    QVERIFY(fromVariant);
    QCOMPARE(typeid(*fromVariant), typeid(SourceDefinition));
    QCOMPARE(fromVariant->valueMap(), reference.valueMap());

    QVERIFY(SourceDefinition::createFromQVariant(QVariant()));
    QCOMPARE(SourceDefinition::createFromQVariant(QVariant())->getType(), Type::Unknown);
}

void tst_SourceDefinition::factoryUsesRegisteredClass()
{
    SourceDefinition::registerCreator(Type::Radar, &createRadar);
    const QJsonObject object = json(R"({"version": 2, "enabled": true, "data": {
        "source_definition_type": "Radar", "source_definition_name": "r"}})");

    LogCapture capture;
    SourceDataReadOptions options;
    options.heavyData = true; // the caller's options reach the typed read only
    options.heavyDataPathPrefix = QStringLiteral("/defs");
    const auto definition = SourceDefinition::createFromJson(object, options);
    auto *radar = dynamic_cast<TestRadarDefinition *>(definition.get());
    QVERIFY(radar);
    QCOMPARE(radar->readCount, 1);
    QCOMPARE(radar->getName(), QStringLiteral("r"));
    QVERIFY(warnings(capture).isEmpty());

    // An Unknown type never reaches a creator.
    SourceDefinition::registerCreator(Type::Unknown, &createRadar);
    QCOMPARE(typeid(*SourceDefinition::createFromJson(json("{}"))), typeid(SourceDefinition));
    QCOMPARE(typeid(*SourceDefinition::createFromQVariant(QVariantMap())), typeid(SourceDefinition));
    SourceDefinition::unregisterCreator(Type::Unknown);
}

void tst_SourceDefinition::factoryAdjustReplaces()
{
    SourceDefinition::registerCreator(Type::Radar, &createRadar, &recordingBecomesQmt);
    const auto kept = SourceDefinition::createFromJson(
        json(R"({"version": 2, "data": {"source_definition_type": "Radar", "source_definition_name": "live"}})"));
    QCOMPARE(typeid(*kept), typeid(TestRadarDefinition));

    const auto replaced = SourceDefinition::createFromJson(
        json(R"({"version": 2, "data": {"source_definition_type": "Radar", "source_definition_name": "a.tlg"}})"));
    QCOMPARE(typeid(*replaced), typeid(TestQmtDefinition));
    QCOMPARE(replaced->getType(), Type::QMT);
    QCOMPARE(replaced->getName(), QStringLiteral("a.tlg"));
}

void tst_SourceDefinition::factoryFromQVariant()
{
    SourceDefinition::registerCreator(Type::QMT, &createQmt);
    TestQmtDefinition original;
    original.setName(QStringLiteral("copy"));
    original.setEnabled(true);

    const auto copy = SourceDefinition::createFromQVariant(original.getQVariantData());
    QCOMPARE(typeid(*copy), typeid(TestQmtDefinition));
    QVERIFY(copy->valueMap().isSharedWith(original.valueMap()));
    QVERIFY(copy->compare(original).equal);

    LogCapture capture;
    const auto fromList = SourceDefinition::createFromQVariant(QVariant(QVariantList()));
    QCOMPARE(typeid(*fromList), typeid(SourceDefinition));
    QCOMPARE(warnings(capture),
             QStringList{"kvr::tracker::common::SourceData::setQVariantData|Unable to convert QVariant data of type: QVariantList"});
}

void tst_SourceDefinition::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("condition");

    QTest::newRow("valid") << QByteArray(R"({"source_definition_type": "Video"})") << true << QString();
    QTest::newRow("disabled fails first")
        << QByteArray(R"({"enabled": false, "source_definition_type": "Unknown"})") << false << "getEnabled()";
    QTest::newRow("unknown type")
        << QByteArray(R"({"source_definition_name": "x"})") << false << "getType() != SourceDefinitionType::Unknown";
    QTest::newRow("invalid reference-frame parameters")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"enabled": true, "stabilization_flag": true}})")
        << false << "!hasReferenceFrameParams() || getReferenceFrameParams().isValid(skipWrn)";
    QTest::newRow("invalid but disabled reference-frame parameters")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"stabilization_flag": true}})")
        << true << QString();
}

void tst_SourceDefinition::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(QString, condition);

    SourceDefinition definition;
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    definition.read(QJsonDocument::fromJson(input).object(), quiet);
    LogCapture capture;
    QCOMPARE(definition.isValid(), valid);
    if (valid) {
        QVERIFY(warnings(capture).isEmpty());
    } else {
        // The definition's own condition and class line come last; a nested block logs its lines before.
        const QStringList lines = warnings(capture);
        QVERIFY(lines.size() >= 2);
        QCOMPARE(lines.at(lines.size() - 2), "kvr::tracker::common::SourceDefinition::isValid_impl|Condition is false: " + condition);
        QVERIFY(lines.last().startsWith("kvr::tracker::common::SourceData::isValid|SourceDefinition is not valid! Data: "));
    }
}

void tst_SourceDefinition::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    const QString prefix = QStringLiteral("kvr::tracker::common::SourceDefinition::compare_logic|Condition is false: ");
    QTest::newRow("equal, names are not compared")
        << QByteArray(R"({"source_definition_type": "Video", "source_definition_name": "a"})")
        << QByteArray(R"({"source_definition_type": "Video", "source_definition_name": "b"})") << true << QStringList();
    QTest::newRow("types differ")
        << QByteArray(R"({"source_definition_type": "Video"})") << QByteArray(R"({"source_definition_type": "Radar"})")
        << false << QStringList{prefix + "getType() == otherSD->getType()"};
    // The parameters compare by their own class, which logs its difference first.
    QTest::newRow("reference-frame parameters differ")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"enabled": true, "stabilization_flag": true}})")
        << QByteArray(R"({"source_definition_type": "Video"})") << false
        << QStringList{"kvr::tracker::common::SourceDefinitionReferenceFrameParams::compare_logic|Condition is false: "
                       "getStabilizationFlag() == otherSD->getStabilizationFlag()",
                       prefix + "getReferenceFrameParams().compare(otherSD->getReferenceFrameParams(), compareParams)"};
    QTest::newRow("disabled reference frames are not compared")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"enabled": true,
                          "reference_frame": {"enabled": false, "image_signature": "a"}}})")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"enabled": true,
                          "reference_frame": {"enabled": false, "image_signature": "b"}}})")
        << true << QStringList();
    QTest::newRow("disabled parameters compare as default ones")
        << QByteArray(R"({"source_definition_type": "Video", "reference_frame_parameters": {"enabled": false, "stabilization_flag": true}})")
        << QByteArray(R"({"source_definition_type": "Video"})") << true << QStringList();
}

void tst_SourceDefinition::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceDefinition first;
    first.read(QJsonDocument::fromJson(a).object(), quiet);
    SourceDefinition second;
    second.read(QJsonDocument::fromJson(b).object(), quiet);
    LogCapture capture;
    QCOMPARE(first.compare(second, CompareParams::logic(false, true)).equal, equal);
    QCOMPARE(warnings(capture), lines);
    QCOMPARE(QVariant::fromValue(first) == QVariant::fromValue(second), equal);
}

QTEST_GUILESS_MAIN(tst_SourceDefinition)
#include "tst_SourceDefinition.moc"
