#include "tst_SourceData_Records.h"

#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>

using namespace kvr::tracker::common;
using demo::DemoItem;
using demo::DemoParams;
using demo::FlatRecord;
using demo::OtherItem;

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// "function|text" of every captured line of the levels, in order.
QStringList linesOf(const LogCapture &capture, quint32 levels = kvr::log::WRN | kvr::log::ERR)
{
    QStringList out;
    for (const auto &message : capture.messages()) {
        if (message.level() & levels)
            out << message.function() + QLatin1Char('|') + message.text();
    }
    return out;
}

// Drops the value-map text after "Data: " so that rows need not spell QDebug's map format.
QStringList withoutData(QStringList lines)
{
    for (QString &line : lines) {
        const int at = line.indexOf(QLatin1String(" is not valid! Data: "));
        if (at >= 0)
            line.truncate(at + int(qstrlen(" is not valid! Data: ")));
    }
    return lines;
}

DemoItem item(double weight, const QString &signature = QString(), bool enabled = true)
{
    DemoItem i;
    i.setWeight(weight);
    if (!signature.isEmpty())
        i.setSignature(signature);
    i.setEnabled(enabled);
    return i;
}

DemoParams params(const QString &label, double threshold = 0.5)
{
    DemoParams p;
    p.setEnabled(true);
    p.setLabel(label);
    p.setThreshold(threshold);
    return p;
}

const QString kIsValid = QStringLiteral("kvr::tracker::common::SourceData::isValid|");
const QString kRead = QStringLiteral("kvr::tracker::common::SourceData::read|");
const QString kWrite = QStringLiteral("kvr::tracker::common::SourceData::write|");
const QString kParamsValid = QStringLiteral("demo::DemoParams::isValid_impl|Condition is false: ");
const QString kItemValid = QStringLiteral("demo::DemoItem::isValid_impl|Condition is false: ");
const QString kParamsCompare = QStringLiteral("demo::DemoParams::compare_logic|Condition is false: ");
const QString kItemCompare = QStringLiteral("demo::DemoItem::compare_logic|Condition is false: ");

using Setup = std::function<void(DemoParams &)>;

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(SourceDataReadOptions)
Q_DECLARE_METATYPE(SourceDataWriteOptions)
Q_DECLARE_METATYPE(CompareParams)

class tst_SourceData : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readFields_data();
    void readFields();
    void readClearsUnlessKeep();
    void readValidation_data();
    void readValidation();
    void readHeavyData_data();
    void readHeavyData();
    void readNestedHeavyDirectories();
    void flatClassWithoutVersion();

    void write_data();
    void write();
    void writeHeavyData_data();
    void writeHeavyData();
    void roundTrip();

    void copyOnWrite();
    void nestedGetterIsACopy();
    void setQVariantData_data();
    void setQVariantData();
    void enabledAndSourceId();

    void validity_data();
    void validity();

    void compare_data();
    void compare();
    void equalityThroughQVariant_data();
    void equalityThroughQVariant();
    void comparatorRegistration();
};

void tst_SourceData::init()
{
    demo::seenDirectories().clear();
}

// --- Reading ---

void tst_SourceData::readFields_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<SourceDataReadOptions>("options");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<QVariantMap>("expected");

    const SourceDataReadOptions plain;
    SourceDataReadOptions flat;
    flat.flat = true;
    SourceDataReadOptions noVersion;
    noVersion.noVersion = true;

    QTest::newRow("version 1 reads the data object")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"threshold": 0.25, "label": "a"}})") << plain << 1u
        << QVariantMap{{"enabled", true}, {"threshold", 0.25}, {"label", "a"}};
    QTest::newRow("version 1 ignores top-level fields")
        << QByteArray(R"({"version": 1, "threshold": 0.25})") << plain << 1u << QVariantMap{};
    QTest::newRow("no version reads flat")
        << QByteArray(R"({"threshold": 0.25, "data": {"label": "x"}})") << plain << 0u
        << QVariantMap{{"threshold", 0.25}};
    QTest::newRow("version 0 reads flat")
        << QByteArray(R"({"version": 0, "label": "top"})") << plain << 0u << QVariantMap{{"label", "top"}};
    QTest::newRow("flat option with a version")
        << QByteArray(R"({"version": 2, "label": "top", "data": {"label": "inner"}})") << flat << 2u
        << QVariantMap{{"label", "top"}};
    QTest::newRow("no-version option takes the class version")
        << QByteArray(R"({"version": 5, "data": {"label": "inner"}})") << noVersion << 1u
        << QVariantMap{{"label", "inner"}};
    QTest::newRow("envelope keys are read from the top level")
        << QByteArray(R"({"version": 1, "enabled": false, "heavy_data_path": "/h", "data": {"enabled": true}})")
        << plain << 1u << QVariantMap{{"enabled", false}, {"heavy_data_path", "/h"}};
    QTest::newRow("null and wrong types store neutral values")
        << QByteArray(R"({"threshold": null, "label": 5, "count": "7", "mode": true})") << plain << 0u
        << QVariantMap{{"threshold", 0.0}, {"label", ""}, {"count", 0u}, {"mode", ""}};
    QTest::newRow("unsigned takes whole numbers only")
        << QByteArray(R"({"count": 2.5})") << plain << 0u << QVariantMap{{"count", 0u}};
    QTest::newRow("unsigned whole number")
        << QByteArray(R"({"count": 4000000000})") << plain << 0u << QVariantMap{{"count", 4000000000u}};
    QTest::newRow("unknown keys are not stored")
        << QByteArray(R"({"other": 1, "label": "l"})") << plain << 0u << QVariantMap{{"label", "l"}};
}

void tst_SourceData::readFields()
{
    QFETCH(QByteArray, input);
    QFETCH(SourceDataReadOptions, options);
    QFETCH(quint32, version);
    QFETCH(QVariantMap, expected);

    options.skipValidation = true;
    DemoParams record;
    record.read(QJsonDocument::fromJson(input).object(), options);
    QCOMPARE(record.seenVersion, version);
    QCOMPARE(record.valueMap(), expected);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(record.valueMap().value(it.key()).userType(), it->userType());
}

void tst_SourceData::readClearsUnlessKeep()
{
    DemoParams record;
    record.setLabel(QStringLiteral("kept"));
    record.setCount(9);
    SourceDataReadOptions keep;
    keep.keepExisting = true;
    keep.skipValidation = true;
    record.read(json(R"({"count": 1})"), keep);
    QCOMPARE(record.getLabel(), QStringLiteral("kept"));
    QCOMPARE(record.getCount(), 1u);

    SourceDataReadOptions clear;
    clear.skipValidation = true;
    record.read(json(R"({"count": 2})"), clear);
    QVERIFY(!record.contains(QStringLiteral("label")));
    QCOMPARE(record.getCount(), 2u);

    record.read(QJsonObject(), clear);
    QVERIFY(record.valueMap().isEmpty());
    QCOMPARE(record.getCount(), 3u); // defaults again
}

void tst_SourceData::readValidation_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("skipValidation");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("valid record logs nothing")
        << QByteArray(R"({"enabled": true, "label": "a"})") << false << QStringList();
    QTest::newRow("invalid record: condition, data, class")
        << QByteArray(R"({"enabled": true, "threshold": 2, "label": "a"})") << false
        << QStringList{kParamsValid + "getThreshold() >= 0 && getThreshold() <= 1",
                       kIsValid + "DemoParams is not valid! Data: ",
                       kRead + "Class DemoParams is not valid after JSON read!"};
    QTest::newRow("skip validation")
        << QByteArray(R"({"enabled": true, "threshold": 2})") << true << QStringList();
    QTest::newRow("invalid list element logs and is kept")
        << QByteArray(R"({"enabled": true, "label": "a", "items": [{"weight": 1}, {"weight": -1}]})") << false
        << QStringList{kItemValid + "getWeight() >= 0", kIsValid + "DemoItem is not valid! Data: ",
                       kRead + "Class DemoItem is not valid after JSON read!",
                       kItemValid + "getWeight() >= 0", kIsValid + "DemoItem is not valid! Data: ",
                       kParamsValid + "ci.isValid(skipWrn)", kIsValid + "DemoParams is not valid! Data: ",
                       kRead + "Class DemoParams is not valid after JSON read!"};
}

void tst_SourceData::readValidation()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, skipValidation);
    QFETCH(QStringList, lines);

    LogCapture capture;
    DemoParams record;
    SourceDataReadOptions options;
    options.skipValidation = skipValidation;
    record.read(QJsonDocument::fromJson(input).object(), options);
    QCOMPARE(withoutData(linesOf(capture)), lines);
    QVERIFY(record.contains(QStringLiteral("enabled"))); // kept what it read
}

void tst_SourceData::readHeavyData_data()
{
    QTest::addColumn<bool>("heavyData");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("optionPath");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint32>("elementIndex");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("pathKept");

    const QByteArray none = R"({"enabled": true, "label": "a"})";
    const QByteArray stored = R"({"enabled": true, "label": "a", "heavy_data_path": "/stored"})";

    QTest::newRow("prefix") << true << "/p" << "" << none << 0u << "/p/DemoParams" << QStringList() << false;
    QTest::newRow("prefix and element index") << true << "/p" << "" << none << 3u << "/p/DemoParams_3"
                                              << QStringList() << false;
    QTest::newRow("stored path") << true << "" << "" << stored << 0u << "/stored/DemoParams" << QStringList() << true;
    QTest::newRow("prefix overrides stored path")
        << true << "/p" << "" << stored << 0u << "/p/DemoParams"
        << QStringList{kRead + "DemoParams: Overriding heavy data read path /stored with /p"} << false;
    QTest::newRow("option path when nothing is stored")
        << true << "" << "/opt" << none << 0u << "/opt/DemoParams" << QStringList() << false;
    QTest::newRow("neither: no directory")
        << true << "" << "" << none << 0u << ""
        << QStringList{kRead + "DemoParams: Both heavy data path prefix and heavy data path is empty! The object might not load properly..."}
        << false;
    QTest::newRow("not asked: options pass unchanged")
        << false << "/p" << "" << stored << 0u << "/p" << QStringList() << true;
}

void tst_SourceData::readHeavyData()
{
    QFETCH(bool, heavyData);
    QFETCH(QString, prefix);
    QFETCH(QString, optionPath);
    QFETCH(QByteArray, input);
    QFETCH(quint32, elementIndex);
    QFETCH(QString, directory);
    QFETCH(QStringList, lines);
    QFETCH(bool, pathKept);

    SourceDataReadOptions options;
    options.heavyData = heavyData;
    options.heavyDataPathPrefix = prefix;
    options.heavyDataPath = optionPath;
    options.elementIndex = elementIndex;
    LogCapture capture;
    DemoParams record;
    record.read(QJsonDocument::fromJson(input).object(), options);
    QCOMPARE(demo::seenDirectories(), QStringList{QStringLiteral("DemoParams:") + directory});
    QCOMPARE(linesOf(capture), lines);
    QCOMPARE(record.contains(QStringLiteral("heavy_data_path")), pathKept);
}

void tst_SourceData::readNestedHeavyDirectories()
{
    SourceDataReadOptions options;
    options.heavyData = true;
    options.heavyDataPathPrefix = QStringLiteral("/root");
    DemoParams record;
    record.read(json(R"({"version": 1, "data": {"item": {}, "items": [{}, {}]}})"), options);
    QCOMPARE(demo::seenDirectories(),
             (QStringList{"DemoParams:/root/DemoParams", "DemoItem:/root/DemoParams/DemoItem",
                          "DemoItem:/root/DemoParams/DemoItem_1", "DemoItem:/root/DemoParams/DemoItem_2"}));
}

void tst_SourceData::flatClassWithoutVersion()
{
    FlatRecord record;
    record.read(json(R"({"version": 3, "enabled": true, "text": "top", "data": {"text": "inner"}})"));
    QCOMPARE(record.getText(), QStringLiteral("top"));
    QCOMPARE(record.toJsonObject(), json(R"({"enabled": true, "text": "top"})"));
}

// --- Writing ---

void tst_SourceData::write_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<SourceDataWriteOptions>("options");
    QTest::addColumn<QByteArray>("expected");

    const SourceDataWriteOptions plain;
    SourceDataWriteOptions flat;
    flat.flat = true;
    SourceDataWriteOptions noVersion;
    noVersion.noVersion = true;

    QTest::newRow("defaults are never written") << Setup([](DemoParams &) {}) << plain
                                                << QByteArray(R"({"version": 1, "data": {}})");
    QTest::newRow("enabled only when held") << Setup([](DemoParams &p) { p.setEnabled(false); }) << plain
                                            << QByteArray(R"({"enabled": false, "version": 1, "data": {}})");
    QTest::newRow("fields under data")
        << Setup([](DemoParams &p) { p.setThreshold(0.25); p.setMode(DemoParams::Mode::Fast); }) << plain
        << QByteArray(R"({"version": 1, "data": {"threshold": 0.25, "mode": "Fast"}})");
    QTest::newRow("flat") << Setup([](DemoParams &p) { p.setLabel("x"); }) << flat
                          << QByteArray(R"({"version": 1, "label": "x"})");
    QTest::newRow("no version") << Setup([](DemoParams &p) { p.setCount(4); }) << noVersion
                                << QByteArray(R"({"data": {"count": 4}})");
    QTest::newRow("stored heavy data path")
        << Setup([](DemoParams &p) { p.setValue("heavy_data_path", "/h"); }) << plain
        << QByteArray(R"({"heavy_data_path": "/h", "version": 1, "data": {}})");
    QTest::newRow("nested record and list")
        << Setup([](DemoParams &p) {
               p.setItem(item(2));
               p.setItems({item(3)});
               p.setZone(QPolygonF(QVector<QPointF>{QPointF(0.5, 1)}));
           })
        << plain
        << QByteArray(R"({"version": 1, "data": {
               "item": {"enabled": true, "version": 1, "data": {"weight": 2}},
               "items": [{"enabled": true, "version": 1, "data": {"weight": 3}}],
               "zone": [{"x": 0.5, "y": 1}]}})");
    QTest::newRow("empty list stays present")
        << Setup([](DemoParams &p) { p.setItems({}); }) << plain
        << QByteArray(R"({"version": 1, "data": {"items": []}})");
}

void tst_SourceData::write()
{
    QFETCH(Setup, setup);
    QFETCH(SourceDataWriteOptions, options);
    QFETCH(QByteArray, expected);

    DemoParams record;
    setup(record);
    QCOMPARE(record.toJsonObject(options), QJsonDocument::fromJson(expected).object());

    QJsonObject existing{{"other", 1}};
    record.write(existing, options);
    QCOMPARE(existing.value("other"), QJsonValue(1)); // write adds to the object
}

void tst_SourceData::writeHeavyData_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("storedPath");
    QTest::addColumn<QStringList>("directories");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("pathWritten");

    QTest::newRow("prefix, elements numbered")
        << "/w" << "" << QStringList{"DemoParams:/w/DemoParams", "DemoItem:/w/DemoParams/DemoItem_1", "DemoItem:/w/DemoParams/DemoItem_2"}
        << QStringList() << false;
    QTest::newRow("stored path")
        << "" << "/s" << QStringList{"DemoParams:/s/DemoParams", "DemoItem:/s/DemoParams/DemoItem_1", "DemoItem:/s/DemoParams/DemoItem_2"}
        << QStringList() << true;
    QTest::newRow("prefix overrides stored path")
        << "/w" << "/s" << QStringList{"DemoParams:/w/DemoParams", "DemoItem:/w/DemoParams/DemoItem_1", "DemoItem:/w/DemoParams/DemoItem_2"}
        << QStringList{kWrite + "DemoParams: Overriding heavy data write path /s with /w"} << false;
    QTest::newRow("neither: no directory for anyone")
        << "" << "" << QStringList{"DemoParams:", "DemoItem:", "DemoItem:"}
        << QStringList{kWrite + "DemoParams: Both heavy data path prefix and heavy data path is empty! The object might not serialize properly...",
                       kWrite + "DemoItem: Both heavy data path prefix and heavy data path is empty! The object might not serialize properly...",
                       kWrite + "DemoItem: Both heavy data path prefix and heavy data path is empty! The object might not serialize properly..."}
        << false;
}

void tst_SourceData::writeHeavyData()
{
    QFETCH(QString, prefix);
    QFETCH(QString, storedPath);
    QFETCH(QStringList, directories);
    QFETCH(QStringList, lines);
    QFETCH(bool, pathWritten);

    DemoParams record;
    record.setItems({item(1), item(2)});
    if (!storedPath.isEmpty())
        record.setValue(QStringLiteral("heavy_data_path"), storedPath);
    SourceDataWriteOptions options;
    options.writeMode = SourceData::WriteMode::HeavyDataToFile;
    options.heavyDataPathPrefix = prefix;

    LogCapture capture;
    const QJsonObject out = record.toJsonObject(options);
    QCOMPARE(demo::seenDirectories(), directories);
    QCOMPARE(linesOf(capture), lines);
    QCOMPARE(out.contains("heavy_data_path"), pathWritten);
    QVERIFY(record.contains(QStringLiteral("heavy_data_path")) == !storedPath.isEmpty()); // write is const
}

void tst_SourceData::roundTrip()
{
    DemoParams record = params(QStringLiteral("round"), 0.75);
    record.setCount(11);
    record.setMode(DemoParams::Mode::Precise);
    record.setZone(QPolygonF(QVector<QPointF>{QPointF(0.1, 0.2), QPointF(0.3, 0.4)}));
    record.setItem(item(0.5, QStringLiteral("sig")));
    record.setItems({item(1), item(2, QString(), false)});

    DemoParams back;
    back.read(record.toJsonObject());
    QVERIFY(back.compare(record, CompareParams::logic()).equal);
    QCOMPARE(back.getZone(), record.getZone());
    QCOMPARE(back.getItems().size(), 2);
    QCOMPARE(back.getItems().at(1).getEnabled(), false);
    QCOMPARE(back.getMode(), DemoParams::Mode::Precise);
}

// --- Values ---

void tst_SourceData::copyOnWrite()
{
    DemoParams a = params(QStringLiteral("a"));
    DemoParams b = a;
    QVERIFY(b.valueMap().isSharedWith(a.valueMap()));
    (void)b.getLabel();
    (void)b.isValid();
    (void)b.compare(a);
    QVERIFY(b.valueMap().isSharedWith(a.valueMap())); // reading never detaches

    b.setLabel(QStringLiteral("b"));
    QCOMPARE(a.getLabel(), QStringLiteral("a"));
    QCOMPARE(b.getLabel(), QStringLiteral("b"));

    DemoParams c = a;
    a.remove(QStringLiteral("label"));
    QCOMPARE(c.getLabel(), QStringLiteral("a"));

    DemoParams d = a;
    d.setQVariantData(b.getQVariantData());
    QVERIFY(d.valueMap().isSharedWith(b.valueMap()));
    b.setEnabled(false);
    QCOMPARE(d.getEnabled(), true);
}

void tst_SourceData::nestedGetterIsACopy()
{
    DemoParams record;
    record.setItem(item(2));
    DemoItem copy = record.getItem();
    copy.setWeight(5);
    QCOMPARE(record.getItem().getWeight(), 2.0);
    record.setItem(copy);
    QCOMPARE(record.getItem().getWeight(), 5.0);

    QVERIFY(record.hasItem());
    record.setItem(item(1, QString(), false));
    QVERIFY(!record.hasItem()); // present but disabled
    QCOMPARE(DemoParams().getItem().getWeight(), 1.0); // absent: default record
}

void tst_SourceData::setQVariantData_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QVariantMap>("expected");
    QTest::addColumn<QStringList>("lines");

    const QVariantMap before{{"label", "old"}};
    QTest::newRow("invalid variant changes nothing") << QVariant() << before << QStringList();
    QTest::newRow("variant map replaces the map")
        << QVariant(QVariantMap{{"count", 2u}}) << QVariantMap{{"count", 2u}} << QStringList();
    QTest::newRow("empty map empties") << QVariant(QVariantMap()) << QVariantMap() << QStringList();
    QTest::newRow("other type warns")
        << QVariant(42) << before
        << QStringList{"kvr::tracker::common::SourceData::setQVariantData|Unable to convert QVariant data of type: int"};
    QTest::newRow("list warns")
        << QVariant(QVariantList{1}) << before
        << QStringList{"kvr::tracker::common::SourceData::setQVariantData|Unable to convert QVariant data of type: QVariantList"};
}

void tst_SourceData::setQVariantData()
{
    QFETCH(QVariant, data);
    QFETCH(QVariantMap, expected);
    QFETCH(QStringList, lines);

    DemoParams record;
    record.setLabel(QStringLiteral("old"));
    LogCapture capture;
    record.setQVariantData(data);
    QCOMPARE(record.valueMap(), expected);
    QCOMPARE(linesOf(capture), lines);
}

void tst_SourceData::enabledAndSourceId()
{
    QCOMPARE(DemoParams().getEnabled(), false); // class default
    QCOMPARE(DemoItem().getEnabled(), true);
    DemoParams record;
    record.setEnabled(true);
    QCOMPARE(record.getEnabled(), true);
    record.removeEnabled();
    QVERIFY(!record.contains(QStringLiteral("enabled")));
    QCOMPARE(record.getEnabled(), false);

    QCOMPARE(record.getSourceID(), qint64(-1));
    QVERIFY(!record.hasSourceID());
    record.setSourceID(4000000000u);
    QVERIFY(record.hasSourceID());
    QCOMPARE(record.getSourceID(), qint64(4000000000u));
}

// --- Validity ---

void tst_SourceData::validity_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("skipWrn");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("disabled is valid at once")
        << Setup([](DemoParams &p) { p.setThreshold(7); }) << false << true << QStringList();
    QTest::newRow("valid") << Setup([](DemoParams &p) { p = params("ok"); }) << false << true << QStringList();
    QTest::newRow("first failing condition ends the test")
        << Setup([](DemoParams &p) { p = params("", 2); p.setItems({item(-1)}); }) << false << false
        << QStringList{kParamsValid + "getThreshold() >= 0 && getThreshold() <= 1", kIsValid + "DemoParams is not valid! Data: "};
    QTest::newRow("skipWrn logs nothing")
        << Setup([](DemoParams &p) { p = params("", 2); }) << true << false << QStringList();
    QTest::newRow("second condition")
        << Setup([](DemoParams &p) { p = params(""); }) << false << false
        << QStringList{kParamsValid + "!getLabel().isEmpty()", kIsValid + "DemoParams is not valid! Data: "};
    QTest::newRow("nested record logs its own lines first")
        << Setup([](DemoParams &p) { p = params("n"); p.setItem(item(-1)); }) << false << false
        << QStringList{kItemValid + "getWeight() >= 0", kIsValid + "DemoItem is not valid! Data: ",
                       kParamsValid + "!hasItem() || getItem().isValid(skipWrn)", kIsValid + "DemoParams is not valid! Data: "};
    QTest::newRow("nested record with skipWrn")
        << Setup([](DemoParams &p) { p = params("n"); p.setItem(item(-1)); }) << true << false << QStringList();
    QTest::newRow("disabled nested record is not validated")
        << Setup([](DemoParams &p) { p = params("n"); p.setItem(item(-1, QString(), false)); }) << false << true
        << QStringList();
    QTest::newRow("first invalid list element ends the loop")
        << Setup([](DemoParams &p) { p = params("l"); p.setItems({item(1), item(-1), item(-2)}); }) << false << false
        << QStringList{kItemValid + "getWeight() >= 0", kIsValid + "DemoItem is not valid! Data: ",
                       kParamsValid + "ci.isValid(skipWrn)", kIsValid + "DemoParams is not valid! Data: "};
}

void tst_SourceData::validity()
{
    QFETCH(Setup, setup);
    QFETCH(bool, skipWrn);
    QFETCH(bool, valid);
    QFETCH(QStringList, lines);

    DemoParams record;
    setup(record);
    LogCapture capture;
    QCOMPARE(record.isValid(skipWrn), valid);
    QCOMPARE(withoutData(linesOf(capture)), lines);
    if (!valid && !skipWrn) {
        const QString last = linesOf(capture).last();
        QVERIFY2(last.contains(QLatin1String("Data: QMap(")) && last.contains(QLatin1String("\"label\"")),
                 qPrintable(last));
    }
}

// --- Comparison ---

void tst_SourceData::compare_data()
{
    QTest::addColumn<QVariant>("a"); // a DemoParams, or a DemoItem / OtherItem pair
    QTest::addColumn<QVariant>("b");
    QTest::addColumn<CompareParams>("compareParams");
    QTest::addColumn<bool>("first");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    const auto v = [](const DemoParams &p) { return QVariant::fromValue(p); };
    const CompareParams logic = CompareParams::logic();
    const CompareParams all = CompareParams::logic(false, true);
    const CompareParams data = CompareParams::data();

    DemoParams disabledX;
    disabledX.setLabel("x");
    DemoParams disabledY;
    disabledY.setLabel("y");
    disabledY.setThreshold(0.9);

    QTest::newRow("data: same maps") << v(params("a")) << v(params("a")) << data << false << true << QStringList();
    QTest::newRow("data: int and double values compare by value")
        << v([] { DemoParams p; p.setValue("count", 3); return p; }())
        << v([] { DemoParams p; p.setValue("count", 3.0); return p; }()) << data << false << true << QStringList();
    QTest::newRow("data: disabled records with different values differ")
        << v(disabledX) << v(disabledY) << data << false << false << QStringList();
    QTest::newRow("data: an absent key differs from a default value")
        << v(DemoParams()) << v([] { DemoParams p; p.setCount(3); return p; }()) << data << false << false << QStringList();
    QTest::newRow("logic: two disabled records are equal")
        << v(disabledX) << v(disabledY) << logic << false << true << QStringList();
    QTest::newRow("logic: equal") << v(params("a")) << v(params("a")) << logic << false << true << QStringList();
    QTest::newRow("logic: validity mismatch ends at once")
        << v(params("a", 0.5)) << v(params("b", 2)) << logic << false << false << QStringList();
    QTest::newRow("logic: validity mismatch goes on when all differences are asked")
        << v(params("a", 0.5)) << v(params("b", 2)) << all << false << false
        << QStringList{kParamsCompare + "qFuzzyCompare(getThreshold() + 1, otherSD->getThreshold() + 1)",
                       kParamsCompare + "getLabel() == otherSD->getLabel()"};
    QTest::newRow("logic: first difference ends the comparison")
        << v([] { DemoParams p = params("a"); p.setMode(DemoParams::Mode::Fast); return p; }())
        << v(params("b")) << logic << false << false
        << QStringList{kParamsCompare + "getLabel() == otherSD->getLabel()"};
    QTest::newRow("logic: all differences")
        << v([] { DemoParams p = params("a"); p.setMode(DemoParams::Mode::Fast); return p; }())
        << v(params("b")) << all << false << false
        << QStringList{kParamsCompare + "getLabel() == otherSD->getLabel()", kParamsCompare + "getMode() == otherSD->getMode()"};
    QTest::newRow("logic: silent") << v(params("a")) << v(params("b")) << CompareParams::logic(true) << false
                                   << false << QStringList();
    QTest::newRow("logic: fuzzy doubles")
        << v(params("a", 0.3)) << v(params("a", 0.1 + 0.2)) << logic << false << true << QStringList();
    QTest::newRow("logic: nested first flag is carried up")
        << v([] { DemoParams p = params("a"); p.setItem(item(1, "one")); return p; }())
        << v([] { DemoParams p = params("a"); p.setItem(item(1, "two")); return p; }()) << logic << true << false
        << QStringList{kItemCompare + "getSignature() == otherSD->getSignature()",
                       kParamsCompare + "getItem().compare(otherSD->getItem(), compareParams)"};
    QTest::newRow("logic: absent and default nested records are equal")
        << v(params("a")) << v([] { DemoParams p = params("a"); p.setItem(DemoItem()); return p; }()) << logic
        << false << true << QStringList();
    QTest::newRow("logic: list sizes")
        << v([] { DemoParams p = params("a"); p.setItems({item(1)}); return p; }()) << v(params("a")) << all
        << false << false << QStringList{kParamsCompare + "aC.size() == bC.size()"};
    QTest::newRow("logic: list elements up to the smaller size")
        << v([] { DemoParams p = params("a"); p.setItems({item(1), item(2, "s"), item(3)}); return p; }())
        << v([] { DemoParams p = params("a"); p.setItems({item(1), item(2, "t")}); return p; }()) << all << true << false
        << QStringList{kParamsCompare + "aC.size() == bC.size()",
                       kItemCompare + "getSignature() == otherSD->getSignature()",
                       kParamsCompare + "aC[i].compare(bC[i], compareParams)"};
    QTest::newRow("logic: disabled side with values compares as a default record")
        << v(disabledY) << v(params("b")) << all << false << false
        << QStringList{kParamsCompare + "getLabel() == otherSD->getLabel()"};
    QTest::newRow("logic: other disabled side with values")
        << v(params("b", 0.5)) << v(disabledY) << all << false << false
        << QStringList{kParamsCompare + "getLabel() == otherSD->getLabel()"};
    QTest::newRow("different classes")
        << QVariant::fromValue(item(1)) << QVariant::fromValue(OtherItem()) << logic << false << false
        << QStringList{"kvr::tracker::common::SourceData::compare|Comparing different types: DemoItem and OtherItem"};
    QTest::newRow("different classes, silent")
        << QVariant::fromValue(item(1)) << QVariant::fromValue(OtherItem()) << CompareParams::logic(true) << false
        << false << QStringList();
}

void tst_SourceData::compare()
{
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QFETCH(CompareParams, compareParams);
    QFETCH(bool, first);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    const auto record = [](const QVariant &value) -> const SourceData * {
        if (value.userType() == qMetaTypeId<DemoParams>())
            return static_cast<const DemoParams *>(value.constData());
        if (value.userType() == qMetaTypeId<OtherItem>())
            return static_cast<const OtherItem *>(value.constData());
        return static_cast<const DemoItem *>(value.constData());
    };
    LogCapture capture;
    const CompareResult result = record(a)->compare(*record(b), compareParams);
    QCOMPARE(linesOf(capture), lines);
    QCOMPARE(result.first, first);
    QCOMPARE(result.equal, equal);
}

void tst_SourceData::equalityThroughQVariant_data()
{
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QVariant>("b");
    QTest::addColumn<bool>("equal");

    QTest::newRow("equal") << QVariant::fromValue(params("a")) << QVariant::fromValue(params("a")) << true;
    QTest::newRow("label differs") << QVariant::fromValue(params("a")) << QVariant::fromValue(params("b")) << false;
    QTest::newRow("enabled differs, logic equal")
        << QVariant::fromValue(item(1, QString(), true)) << QVariant::fromValue(item(1, QString(), false)) << false;
    QTest::newRow("disabled, values differ")
        << QVariant::fromValue(DemoParams()) << QVariant::fromValue([] { DemoParams p; p.setLabel("x"); return p; }())
        << true;
    QTest::newRow("absent and explicit default") << QVariant::fromValue(DemoItem())
                                                 << QVariant::fromValue(item(1)) << true;
}

void tst_SourceData::equalityThroughQVariant()
{
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QFETCH(bool, equal);

    LogCapture capture;
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
    QVERIFY(linesOf(capture).isEmpty()); // the registered equality is silent
}

void tst_SourceData::comparatorRegistration()
{
    DemoParams made;
    Q_UNUSED(made);
    QVERIFY(QMetaType::hasRegisteredComparators<DemoParams>());

    QVERIFY(!QMetaType::hasRegisteredComparators<FlatRecord>()); // its constructor does not register
    FlatRecord a;
    a.setText(QStringLiteral("t"));
    FlatRecord b = a;
    registerRecordComparator<FlatRecord>("demo::FlatRecord::FlatRecord()");
    QVERIFY(QMetaType::hasRegisteredComparators<FlatRecord>());
    QVERIFY(QVariant::fromValue(a) == QVariant::fromValue(b));
    b.setText(QStringLiteral("u"));
    QVERIFY(QVariant::fromValue(a) != QVariant::fromValue(b));

    LogCapture capture;
    QVERIFY(!detail::registerEquals(false, [] { return false; }, "demo::Failing::Failing()"));
    QCOMPARE(linesOf(capture),
             QStringList{"demo::Failing::Failing|Failed to register comparator. This will result in undefined behaviour."});
    QCOMPARE(capture.messages().front().level(), quint32(kvr::log::ERR));
    QVERIFY(detail::registerEquals(true, [] { return false; }, "demo::Failing::Failing()"));
}

QTEST_GUILESS_MAIN(tst_SourceData)
#include "tst_SourceData.moc"
