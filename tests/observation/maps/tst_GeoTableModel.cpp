#include "observation/maps/GeoPointModel.h"
#include "observation/maps/GeoTableModel.h"
#include "observation/maps/MapNodeModel.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/observers/CubeObserver.h"
#include "support/LogCapture.h"
#include "support/ModelTester.h"
#include "support/ObservedBlockScript.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

namespace {

// The roles of the cube observer model that the table reads, by the numbers that model uses.
enum CubeRoles { LatitudeRole = 9, LongitudeRole = 10, ObserverIdRole = 12 };

QStandardItem *cube(int observerId, const QVariant &latitude = QVariant(), const QVariant &longitude = QVariant())
{
    auto *item = new QStandardItem;
    item->setData(observerId, ObserverIdRole);
    item->setData(latitude, LatitudeRole);
    item->setData(longitude, LongitudeRole);
    return item;
}

QStandardItemModel *cubeModel(QObject *parent)
{
    auto *model = new QStandardItemModel(parent);
    model->setItemRoleNames({{ObserverIdRole, "ObserverIdRole"},
                             {LatitudeRole, "CubeCameraPositionLatitude"},
                             {LongitudeRole, "CubeCameraPositionLongitude"},
                             {Qt::DisplayRole, "display"}});
    return model;
}

QGeoPath path(const QList<QGeoCoordinate> &coordinates)
{
    return QGeoPath(coordinates);
}

} // namespace

class tst_GeoTableModel : public QObject
{
    Q_OBJECT

private slots:
    void loadedRowRoles();
    void loadCoordinates_data();
    void loadCoordinates();
    void setData_data();
    void setData();
    void followsCubeModel();
    void followsObservedCubes();
    void pointAndNodeModelsPassTheTester();
};

void tst_GeoTableModel::loadedRowRoles()
{
    GeoTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    table.loadCoordinates({5}, path({QGeoCoordinate(46.5, 15.25)}));
    const QModelIndex row = table.index(0, 0);
    QCOMPARE(row.data(GeoTableModel::IdRole).toInt(), 5);
    QCOMPARE(row.data(GeoTableModel::TypeRole).toString(), QStringLiteral("unknown"));
    QCOMPARE(row.data(GeoTableModel::ColorRole).value<QColor>(), QColor(0, 0, 0, 255));
    QCOMPARE(row.data(GeoTableModel::IconRole).toString(), QStringLiteral("qrc:/images/icon_unknown.svg"));
    QCOMPARE(row.data(GeoTableModel::WSG84CoordinateLatitudeRole).toDouble(), 46.5);
    QCOMPARE(row.data(GeoTableModel::WSG84CoordinateLongitudeRole).toDouble(), 15.25);
    QCOMPARE(table.roleNames().value(261), QByteArray("WSG84CoordinateLatitudeRole"));

    const GeoTableCoordinate missing = table.itemById(6);
    QCOMPARE(missing.id, -1);
    QCOMPARE(missing.coordinate, QGeoCoordinate(0.0, 0.0));

    LogCapture log(kvr::log::ERR);
    QVERIFY(!table.data(QModelIndex(), GeoTableModel::IdRole).isValid());
    QCOMPARE(log.texts(), QStringList{QStringLiteral("Invalid index!")});
    QCOMPARE(log.messages().front().function(), QStringLiteral("GeoTableModel::data"));
}

void tst_GeoTableModel::loadCoordinates_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QGeoPath>("coordinates");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("resets");

    QTest::newRow("more ids than coordinates")
        << QList<int>{1, 2, 3} << path({QGeoCoordinate(1, 1), QGeoCoordinate(2, 2)}) << QList<int>{7, 8} << 0;
    QTest::newRow("replaces all rows") << QList<int>{3} << path({QGeoCoordinate(3, 3)}) << QList<int>{3} << 1;
    QTest::newRow("nothing empties") << QList<int>() << QGeoPath() << QList<int>() << 1;
}

void tst_GeoTableModel::loadCoordinates()
{
    QFETCH(QList<int>, ids);
    QFETCH(QGeoPath, coordinates);
    QFETCH(QList<int>, rows);
    QFETCH(int, resets);

    GeoTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    table.loadCoordinates({7, 8}, path({QGeoCoordinate(7, 7), QGeoCoordinate(8, 8)}));
    table.updateFocusRegion();
    QSignalSpy reset(&table, &QAbstractItemModel::modelReset);
    QSignalSpy focus(&table, &GeoTableModel::focusRegionChanged);
    QVERIFY(reset.isValid() && focus.isValid());

    table.loadCoordinates(ids, coordinates);
    QList<int> actual;
    for (const GeoTableCoordinate &item : table.items())
        actual << item.id;
    QCOMPARE(actual, rows);
    QCOMPARE(reset.count(), resets);
    table.updateFocusRegion();
    QCOMPARE(focus.count(), resets); // an unchanged table gives an unchanged region, and no signal
}

void tst_GeoTableModel::setData_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QGeoCoordinate>("coordinate");

    QTest::newRow("new latitude") << 261 << QVariant(45.0) << true << QGeoCoordinate(45.0, 15.0);
    QTest::newRow("same latitude") << 261 << QVariant(46.0) << false << QGeoCoordinate(46.0, 15.0);
    QTest::newRow("longitude as text") << 262 << QVariant(QStringLiteral("14.5")) << true << QGeoCoordinate(46.0, 14.5);
    QTest::newRow("id is not editable") << 257 << QVariant(9) << false << QGeoCoordinate(46.0, 15.0);
    QTest::newRow("edit role") << int(Qt::EditRole) << QVariant(1.0) << false << QGeoCoordinate(46.0, 15.0);
}

void tst_GeoTableModel::setData()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    QFETCH(bool, changed);
    QFETCH(QGeoCoordinate, coordinate);

    GeoTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    table.loadCoordinates({1}, path({QGeoCoordinate(46.0, 15.0)}));
    QSignalSpy dataChanged(&table, &QAbstractItemModel::dataChanged);
    QVERIFY(dataChanged.isValid());

    QCOMPARE(table.setData(table.index(0, 0), value, role), changed);
    QCOMPARE(table.itemById(1).coordinate, coordinate);
    QCOMPARE(dataChanged.count(), changed ? 1 : 0);
    if (changed)
        QCOMPARE(dataChanged.at(0).at(2).value<QVector<int>>(), QVector<int>{role});
    QVERIFY(!table.setData(table.index(0, 0), value));
}

void tst_GeoTableModel::followsCubeModel()
{
    GeoTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QStandardItemModel *cubes = cubeModel(this);
    cubes->appendRow(cube(1, 46.0, 15.0));
    cubes->appendRow(cube(2)); // no camera yet
    table.setCubeModel(cubes);

    // A cube without a camera keeps its row, so the others still reach the map.
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.itemById(1).coordinate, QGeoCoordinate(46.0, 15.0));
    QCOMPARE(table.itemById(2).id, 2);
    QVERIFY(!table.itemById(2).coordinate.isValid());
    table.updateFocusRegion();
    QCOMPARE(table.focusRegion().path(), QList<QGeoCoordinate>{QGeoCoordinate(46.0, 15.0)});

    // A cube that arrives later reaches the table.
    cubes->appendRow(cube(3, 45.5, 13.5));
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.itemById(3).coordinate, QGeoCoordinate(45.5, 13.5));

    // A camera that appears moves the row in place instead of resetting the table.
    QSignalSpy reset(&table, &QAbstractItemModel::modelReset);
    QSignalSpy dataChanged(&table, &QAbstractItemModel::dataChanged);
    QVERIFY(reset.isValid() && dataChanged.isValid());
    cubes->item(1)->setData(44.0, LatitudeRole);
    cubes->item(1)->setData(12.0, LongitudeRole);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(dataChanged.count(), 1);
    QCOMPARE(table.itemById(2).coordinate, QGeoCoordinate(44.0, 12.0));
    cubes->item(0)->setData(QStringLiteral("name"), Qt::DisplayRole);
    QCOMPARE(dataChanged.count(), 1);

    cubes->removeRow(0);
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.itemById(1).id, -1);

    delete cubes;
    QCOMPARE(table.cubeModel(), nullptr);
    QCOMPARE(table.rowCount(), 2);
}

// The observer page's own model: its role names are what the table looks for.
void tst_GeoTableModel::followsObservedCubes()
{
    const auto makeCube = [](int observerId, int cameras) {
        ObservedBlockScript script;
        script.camerasPerCube = cameras;
        auto cube = std::make_shared<kvr::QMTClient::CubeObserver>(ObservedDevice(), script.cubeObject(observerId * 10));
        cube->setObserverId(observerId);
        return cube;
    };
    CubeObserverModel cubes;
    GeoTableModel table;
    table.setCubeModel(&cubes);
    cubes.append(makeCube(1, 0));
    cubes.append(makeCube(2, 1));

    QCOMPARE(table.rowCount(), 2);
    QVERIFY(!table.itemById(1).coordinate.isValid());
    QCOMPARE(table.itemById(2).coordinate, QGeoCoordinate(48.2, 17.0));
    // The ids and the camera path differ in length: loading them would change nothing.
    QCOMPARE(cubes.cubesCoordinates().size(), 1);
}

// Nothing fills these two yet; they must still hold up under a view.
void tst_GeoTableModel::pointAndNodeModelsPassTheTester()
{
    GeoPointModel points;
    QAbstractItemModelTester pointTester(&points, QAbstractItemModelTester::FailureReportingMode::QtTest);
    points.append(GeoPoint());
    points.append(GeoPoint());
    QVERIFY(points.setData(points.index(1, 0), QPointF(0.5, 0.5), GeoPointModel::NormalizedPositionRole));
    QVERIFY(!points.setData(points.index(1, 0), QPointF(0.5, 0.5 + 1e-14), GeoPointModel::NormalizedPositionRole));
    QVERIFY(!points.setData(points.index(1, 0), 3.0));
    points.remove(points.index(0, 0));
    points.clear();

    MapNodeModel nodes;
    ModelTester nodeTester(&nodes);
    QSignalSpy count(&nodes, &MapNodeModel::countChanged);
    QVERIFY(count.isValid());
    nodes.append(MapGroupNode{});
    nodes.clear();
    QCOMPARE(count.count(), 2);
    QCOMPARE(nodeTester.failures(), QStringList());
}

QTEST_GUILESS_MAIN(tst_GeoTableModel)
#include "tst_GeoTableModel.moc"
