#include "datamodel/definitions/TransformationParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Points = QList<QPointF>;

class tst_TransformationParams : public QObject
{
    Q_OBJECT

private slots:
    void readWrite_data();
    void readWrite();
    void storedForm();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_TransformationParams::readWrite_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Points>("source");
    QTest::addColumn<Points>("destination");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("nothing held") << QByteArray("{}") << Points() << Points() << QByteArray("{}");
    QTest::newRow("pairs kept unscaled")
        << QByteArray(R"({"source_points": [{"x": 10, "y": 20}, {"x": 0.5, "y": 0}],
                          "destination_points": [{"x": 1500.25, "y": -3}]})")
        << Points{{10, 20}, {0.5, 0}} << Points{{1500.25, -3}}
        << QByteArray(R"({"source_points": [{"x": 10, "y": 20}, {"x": 0.5, "y": 0}],
                          "destination_points": [{"x": 1500.25, "y": -3}]})");
    QTest::newRow("malformed entries")
        << QByteArray(R"({"source_points": [{"x": "a", "y": 2}, 7, {"x": "1.5"}], "destination_points": "none"})")
        << Points{{0, 2}, {0, 0}, {1.5, 0}} << Points()
        << QByteArray(R"({"source_points": [{"x": 0, "y": 2}, {"x": 0, "y": 0}, {"x": 1.5, "y": 0}], "destination_points": []})");
}

void tst_TransformationParams::readWrite()
{
    QFETCH(QByteArray, input);
    QFETCH(Points, source);
    QFETCH(Points, destination);
    QFETCH(QByteArray, output);

    const TransformationParams params = readQuiet<TransformationParams>(input);
    QCOMPARE(params.getSourcePoints(), source);
    QCOMPARE(params.getDestinationPoints(), destination);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(params.toJsonObject(flat), json(output));
}

void tst_TransformationParams::storedForm()
{
    // Points convertible by Qt are taken, anything else is (0, 0).
    const QVariantList stored{QPointF(1, 2), QPoint(3, 4), QStringLiteral("x"), QVariantMap{{"x", 5}}};
    QCOMPARE(pointListFromVariantList(stored), (Points{{1, 2}, {3, 4}, {0, 0}, {0, 0}}));
    QCOMPARE(pointListFromVariantList(pointListToVariantList(Points{{0.25, 7}})), (Points{{0.25, 7}}));
}

void tst_TransformationParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");

    const QByteArray three = R"([{"x": 0, "y": 0}, {"x": 0, "y": 0}, {"x": 0, "y": 0}])";
    const QByteArray two = R"([{"x": 0, "y": 0}, {"x": 1, "y": 1}])";
    const QByteArray four = R"([{"x": 0, "y": 0}, {"x": 1, "y": 1}, {"x": 2, "y": 2}, {"x": 3, "y": 3}])";
    QTest::newRow("three pairs, repeated points pass")
        << "{\"source_points\": " + three + ", \"destination_points\": " + three + "}" << true;
    QTest::newRow("two pairs") << "{\"source_points\": " + two + ", \"destination_points\": " + two + "}" << false;
    QTest::newRow("four against three")
        << "{\"source_points\": " + four + ", \"destination_points\": " + three + "}" << false;
    QTest::newRow("read without enabled: an empty one is invalid") << QByteArray("{}") << false;
    QTest::newRow("disabled and empty") << QByteArray(R"({"enabled": false})") << true;
}

void tst_TransformationParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);

    QStringList logged;
    QCOMPARE(validate(readQuiet<TransformationParams>(input), &logged), valid);
    const QStringList expected = valid ? QStringList()
                                       : QStringList{condition("TransformationParams::isValid_impl",
                                                               "srcP.size() == dstP.size() && srcP.size() >= GEREGISTRATION_POINTS_MIN_SIZE"),
                                                     notValid("TransformationParams")};
    QCOMPARE(logged, expected);
}

void tst_TransformationParams::compare_data()
{
    QTest::addColumn<Points>("a");
    QTest::addColumn<Points>("b");
    QTest::addColumn<bool>("equal");

    QTest::newRow("near 1, 1e-15 apart") << Points{{1, 1}} << Points{{1 + 1e-15, 1}} << true;
    QTest::newRow("0.001 apart") << Points{{1, 1}} << Points{{1.001, 1}} << false;
    QTest::newRow("0 against 1e-13") << Points{{0, 5}} << Points{{1e-13, 5}} << true;
    QTest::newRow("0 against 1e-11") << Points{{0, 5}} << Points{{1e-11, 5}} << false;
    QTest::newRow("lengths differ") << Points{{0, 0}} << Points{{0, 0}, {0, 0}} << false;
}

void tst_TransformationParams::compare()
{
    QFETCH(Points, a);
    QFETCH(Points, b);
    QFETCH(bool, equal);

    const QString function = QStringLiteral("TransformationParams::compare_logic");
    for (const bool sourceSide : {true, false}) {
        TransformationParams first;
        TransformationParams second;
        (sourceSide ? first.setSourcePoints(a) : first.setDestinationPoints(a));
        (sourceSide ? second.setSourcePoints(b) : second.setDestinationPoints(b));
        QStringList logged;
        QCOMPARE(compareLogic(first, second, false, &logged).equal, equal);
        const QString text = sourceSide ? QStringLiteral("getSourcePoints() == otherSD->getSourcePoints()")
                                        : QStringLiteral("getDestinationPoints() == otherSD->getDestinationPoints()");
        QCOMPARE(logged, equal ? QStringList() : QStringList{condition(function, text)});

        // Disabled on both sides: equal by logic whatever the points.
        first.setEnabled(false);
        second.setEnabled(false);
        QVERIFY(compareLogic(first, second, false, &logged).equal);
    }
}

QTEST_GUILESS_MAIN(tst_TransformationParams)
#include "tst_TransformationParams.moc"
