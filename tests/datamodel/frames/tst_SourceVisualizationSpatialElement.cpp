#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceVisualizationSpatialElement.h"

using namespace kvr::tracker::common;
using namespace recordtest;
using ElementType = SourceVisualizationSpatialElement::ElementType;

namespace {

const char *const kValid = "SourceVisualizationSpatialElement::isValid_impl";

QString differs(const char *text)
{
    return conditionLine("SourceVisualizationSpatialElement::compare_logic", text);
}

QByteArray element(const char *data)
{
    return QByteArray(R"({"version": 1, "data": )") + data + '}';
}

QStringList invalid(const char *text)
{
    return {conditionLine(kValid, text), notValidLine("SourceVisualizationSpatialElement")};
}

const char *const kGate = R"("element_type": "gate", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 1}])";

QByteArray gate(const char *more = "")
{
    return element(QByteArray("{") + kGate + more + "}");
}

} // namespace

class tst_SourceVisualizationSpatialElement : public QObject
{
    Q_OBJECT

private slots:
    void defaultsFollowType_data();
    void defaultsFollowType();
    void read_data();
    void read() { checkRead<SourceVisualizationSpatialElement>(); }
    void write_data();
    void write() { checkWrite<SourceVisualizationSpatialElement>(); }
    void validity_data();
    void validity() { checkValidity<SourceVisualizationSpatialElement>(); }
    void compare_data();
    void compare() { checkCompare<SourceVisualizationSpatialElement>(); }
};

void tst_SourceVisualizationSpatialElement::defaultsFollowType_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<ElementType>("type");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<float>("width");

    QTest::newRow("gate") << element(R"({"element_type": "gate"})") << ElementType::gate << QColor(0xB9, 0xB9, 0xB9) << 4.0f;
    QTest::newRow("zone") << element(R"({"element_type": "zone"})") << ElementType::zone << QColor(Qt::white) << 2.0f;
    QTest::newRow("unknown") << element("{}") << ElementType::unknown << QColor() << 0.0f;
    QTest::newRow("misspelt type") << element(R"({"element_type": "Gate"})") << ElementType::unknown << QColor() << 0.0f;
}

void tst_SourceVisualizationSpatialElement::defaultsFollowType()
{
    QFETCH(QByteArray, input);
    QFETCH(ElementType, type);
    QFETCH(QColor, color);
    QFETCH(float, width);

    SourceVisualizationSpatialElement e = fromJson<SourceVisualizationSpatialElement>(input);
    QCOMPARE(e.getElementType(), type);
    QCOMPARE(e.getLineColor(), color);
    QCOMPARE(e.getLineWidth(), width);
    QCOMPARE(e.getFillColorOpacity(), 0.0f);
    // Never stored: a change of type changes them.
    e.setValue(QStringLiteral("element_type"), QStringLiteral("zone"));
    QCOMPARE(e.getLineColor(), QColor(Qt::white));
    QCOMPARE(e.getLineWidth(), 2.0f);
}

void tst_SourceVisualizationSpatialElement::read_data()
{
    addReadColumns();
    QTest::newRow("misspelt type is stored as unknown")
        << element(R"({"element_type": "Zone"})") << QVariantMap{{"element_type", "unknown"}};
    QTest::newRow("every key")
        << element(R"({"element_name": "g1", "element_type": "gate", "spatial_data": [{"x": 0.5, "y": "a"}], "line_color": "red", "line_width": 3, "fill_opacity": 0.5})")
        << QVariantMap{{"element_name", "g1"}, {"element_type", "gate"},
                       {"spatial_data", QVariant::fromValue(QPolygonF(QVector<QPointF>{{0.5, 0}}))},
                       {"line_color", "#ffff0000"}, {"line_width", 3.0f}, {"fill_opacity", 0.5f}};
    QTest::newRow("width that is no number reads 0") << element(R"({"line_width": "3"})")
                                                     << QVariantMap{{"line_width", 0.0f}};
}

void tst_SourceVisualizationSpatialElement::write_data()
{
    addWriteColumns();
    QTest::newRow("only the type, whatever the defaults")
        << element(R"({"element_type": "gate"})") << element(R"({"element_type": "gate"})");
    QTest::newRow("every key")
        << element(R"({"element_name": "z", "element_type": "zone", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}], "line_color": "#B9B9B9", "line_width": 2.5, "fill_opacity": 0.25})")
        << element(R"({"element_name": "z", "element_type": "zone", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}], "line_color": "#ffb9b9b9", "line_width": 2.5, "fill_opacity": 0.25})");
}

void tst_SourceVisualizationSpatialElement::validity_data()
{
    addValidityColumns();
    QTest::newRow("gate") << gate() << true << QStringList();
    QTest::newRow("unknown type") << element("{}") << false << invalid("getElementType() != ElementType::unknown");
    QTest::newRow("disabled unknown type is still invalid")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {}})") << false
        << invalid("getElementType() != ElementType::unknown");
    QTest::newRow("gate with three points")
        << element(R"({"element_type": "gate", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}]})")
        << false << invalid("getSpatialData().size() == 2");
    QTest::newRow("zone with two points")
        << element(R"({"element_type": "zone", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 0}]})") << false
        << invalid("getSpatialData().size() > 2");
    QTest::newRow("point just outside")
        << element(R"({"element_type": "gate", "spatial_data": [{"x": 1.0000001, "y": 0.5}, {"x": 2, "y": 0}]})") << false
        << invalid("p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1");
    QTest::newRow("zero line width") << gate(R"(, "line_width": 0)") << false << invalid("getLineWidth() > 0");
    QTest::newRow("negative opacity") << gate(R"(, "fill_opacity": -0.1)") << false << invalid("getFillColorOpacity() >= 0");
}

void tst_SourceVisualizationSpatialElement::compare_data()
{
    addCompareColumns();
    QTest::newRow("widths within float precision")
        << gate(R"(, "line_width": 2.0)") << gate(R"(, "line_width": 2.00001)") << false << true << QStringList();
    QTest::newRow("widths apart")
        << gate(R"(, "line_width": 2.0)") << gate(R"(, "line_width": 2.001)") << false << false
        << QStringList{differs("qFuzzyCompare(getLineWidth() + 1, otherSD->getLineWidth() + 1)")};
    QTest::newRow("name differs, stops there")
        << gate(R"(, "element_name": "a", "line_color": "red")") << gate(R"(, "element_name": "b")") << false << false
        << QStringList{differs("getElementName() == otherSD->getElementName()")};
    QTest::newRow("all differences in order")
        << element(R"({"element_name": "a", "element_type": "zone", "spatial_data": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}], "fill_opacity": 0.5})")
        << gate() << true << false
        << QStringList{differs("getElementName() == otherSD->getElementName()"),
                       differs("getElementType() == otherSD->getElementType()"),
                       differs("getSpatialData() == otherSD->getSpatialData()"),
                       differs("getLineColor() == otherSD->getLineColor()"),
                       differs("qFuzzyCompare(getLineWidth() + 1, otherSD->getLineWidth() + 1)"),
                       differs("qFuzzyCompare(getFillColorOpacity() + 1, otherSD->getFillColorOpacity() + 1)")};
    QTest::newRow("no default rule for a disabled side")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {)" + QByteArray(kGate) + "}}") << gate() << false
        << true << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceVisualizationSpatialElement)
#include "tst_SourceVisualizationSpatialElement.moc"
