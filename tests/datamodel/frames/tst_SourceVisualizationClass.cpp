#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceVisualizationClass.h"

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceVisualizationClass::compare_logic", text);
}

QByteArray cls(const char *data)
{
    return QByteArray(R"({"version": 1, "data": )") + data + '}';
}

} // namespace

class tst_SourceVisualizationClass : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void colors_data();
    void colors();
    void read_data();
    void read() { checkRead<SourceVisualizationClass>(); }
    void write_data();
    void write() { checkWrite<SourceVisualizationClass>(); }
    void validity_data();
    void validity() { checkValidity<SourceVisualizationClass>(); }
    void compare_data();
    void compare() { checkCompare<SourceVisualizationClass>(); }
};

void tst_SourceVisualizationClass::defaults()
{
    const auto c = fromJson<SourceVisualizationClass>("{}");
    QCOMPARE(c.getEnabled(), true);
    QCOMPARE(c.getClassName(), QString());
    QCOMPARE(c.getColor(), QColor(Qt::black));
    QVERIFY(QMetaType::type("kvr::tracker::common::SourceVisualizationClass") != QMetaType::UnknownType);
}

// Any colour form Qt understands is stored as "#aarrggbb"; the getter gives it back.
void tst_SourceVisualizationClass::colors_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("stored");

    QTest::newRow("SVG name") << "red" << "#ffff0000";
    QTest::newRow("#RGB") << "#0f0" << "#ff00ff00";
    QTest::newRow("#RRGGBB upper case") << "#ABCDEF" << "#ffabcdef";
    QTest::newRow("#AARRGGBB keeps alpha") << "#80ABCDEF" << "#80abcdef";
    QTest::newRow("#RRRGGGBBB") << "#fff000000" << "#ffff0000";
    QTest::newRow("transparent") << "transparent" << "#00000000";
}

void tst_SourceVisualizationClass::colors()
{
    QFETCH(QString, given);
    QFETCH(QString, stored);

    QJsonObject data{{"class_name", "car"}, {"color", given}};
    const auto c = fromJson<SourceVisualizationClass>(compact(QJsonObject{{"version", 1}, {"data", data}}));
    QCOMPARE(c.valueMap().value("color").toString(), stored);
    QCOMPARE(c.getColor(), QColor(given));
    QCOMPARE(c.toJsonObject().value("data").toObject().value("color").toString(), stored);
}

void tst_SourceVisualizationClass::read_data()
{
    addReadColumns();
    QTest::newRow("name and colour") << cls(R"({"class_name": "car", "color": "red"})")
                                     << QVariantMap{{"class_name", "car"}, {"color", "#ffff0000"}};
    QTest::newRow("name that is no text reads empty") << cls(R"({"class_name": 1})") << QVariantMap{{"class_name", ""}};
}

void tst_SourceVisualizationClass::write_data()
{
    addWriteColumns();
    QTest::newRow("no colour key, no colour written")
        << cls(R"({"class_name": "car"})") << cls(R"({"class_name": "car"})");
    QTest::newRow("colour in alpha-first form") << cls(R"({"class_name": "car", "color": "#8000ff00"})")
                                                << cls(R"({"class_name": "car", "color": "#8000ff00"})");
}

void tst_SourceVisualizationClass::validity_data()
{
    addValidityColumns();
    QTest::newRow("empty name")
        << QByteArray("{}") << false
        << QStringList{conditionLine("SourceVisualizationClass::isValid_impl", "!getClassName().isEmpty()"),
                       notValidLine("SourceVisualizationClass")};
    QTest::newRow("disabled with empty name") << QByteArray(R"({"enabled": false})") << true << QStringList();
    QTest::newRow("named") << cls(R"({"class_name": "car"})") << true << QStringList();
}

void tst_SourceVisualizationClass::compare_data()
{
    addCompareColumns();
    QTest::newRow("names are case-sensitive")
        << cls(R"({"class_name": "Car"})") << cls(R"({"class_name": "car"})") << false << false
        << QStringList{differs("getClassName() == otherSD->getClassName()")};
    QTest::newRow("colour given in two forms")
        << cls(R"({"class_name": "car", "color": "red"})") << cls(R"({"class_name": "car", "color": "#FF0000"})")
        << false << true << QStringList();
    QTest::newRow("absent colour is black")
        << cls(R"({"class_name": "car"})") << cls(R"({"class_name": "car", "color": "black"})") << false << true
        << QStringList();
    QTest::newRow("all differences in order")
        << cls(R"({"class_name": "car", "color": "red"})") << cls(R"({"class_name": "bus"})") << true << false
        << QStringList{differs("getClassName() == otherSD->getClassName()"), differs("getColor() == otherSD->getColor()")};
    QTest::newRow("disabled class with values compares as a default class")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"class_name": "car"}})")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {}})") << false << true << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceVisualizationClass)
#include "tst_SourceVisualizationClass.moc"
