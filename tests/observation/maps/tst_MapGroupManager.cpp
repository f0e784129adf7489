#include "observation/maps/MapGroupManager.h"
#include "support/ModelTester.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

namespace {

const QString kRunning = QStringLiteral("#4b79c6");
const QString kFailure = QStringLiteral("#f08a24");

using Positions = QList<QPointF>;
using Groups = QList<QList<int>>;

// A geo table with cubes 1..n at latitude 40 + id, longitude 10 + id.
void loadCubes(GeoTableModel &table, int count)
{
    QList<int> ids;
    QGeoPath path;
    for (int id = 1; id <= count; ++id) {
        ids << id;
        path.addCoordinate(QGeoCoordinate(40.0 + id, 10.0 + id));
    }
    table.loadCoordinates(ids, path);
}

// Cubes as the cube observer model gives them: an id and, with a camera, its position.
void setCubes(GeoTableModel &table, QStandardItemModel &cubes, const QList<QGeoCoordinate> &positions)
{
    enum { LatitudeRole = 9, LongitudeRole = 10, ObserverIdRole = 12 };
    cubes.setItemRoleNames({{ObserverIdRole, "ObserverIdRole"},
                            {LatitudeRole, "CubeCameraPositionLatitude"},
                            {LongitudeRole, "CubeCameraPositionLongitude"}});
    for (int i = 0; i < positions.size(); ++i) {
        auto *item = new QStandardItem;
        item->setData(i + 1, ObserverIdRole);
        if (positions.at(i).isValid()) {
            item->setData(positions.at(i).latitude(), LatitudeRole);
            item->setData(positions.at(i).longitude(), LongitudeRole);
        }
        cubes.appendRow(item);
    }
    table.setCubeModel(&cubes);
}

XDevObject device(int id, double lat, double lon)
{
    XDevObject object;
    object.id = id;
    object.state.lat = lat;
    object.state.lon = lon;
    return object;
}

QList<int> nodeIds(const QModelIndex &row)
{
    return row.data(MapGroupProxyCubeModel::NodesRole).value<QList<int>>();
}

// The visible rows' node ids.
Groups visibleGroups(MapGroupProxyCubeModel *model)
{
    Groups groups;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data(MapGroupProxyCubeModel::VisibleRole).toBool())
            groups << nodeIds(model->index(row, 0));
    }
    return groups;
}

// The grouping as first written: after every merge the pair scan starts again from the first pair.
QList<QList<int>> groupByRestartedScan(const QVector<MapGroupNode> &nodes, double distance)
{
    QList<QList<int>> ids;
    QList<QPointF> positions;
    for (const MapGroupNode &node : nodes) {
        ids << QList<int>{node.id};
        positions << node.position;
    }
    for (bool merged = true; merged;) {
        merged = false;
        for (int i = 0; i < ids.size() && !merged; ++i) {
            for (int j = i + 1; j < ids.size() && !merged; ++j) {
                if (QLineF(positions.at(i), positions.at(j)).length() <= distance) {
                    ids[i] += ids.takeAt(j);
                    positions.removeAt(j);
                    merged = true;
                }
            }
        }
    }
    return ids;
}

struct Fixture
{
    Fixture()
        : tester(manager.model())
    {
        loadCubes(table, 6);
        objects.append(device(7000000, 46.0, 14.0));
        manager.setSourceModel(&table);
        manager.setObjectModel(&objects);
    }

    GeoTableModel table;
    XDevObjectModel objects;
    MapGroupManager manager;
    ModelTester tester;
};

} // namespace

Q_DECLARE_METATYPE(Positions)
Q_DECLARE_METATYPE(Groups)

class tst_MapGroupManager : public QObject
{
    Q_OBJECT

private slots:
    void grouping_data();
    void grouping();
    void groupingMatchesRestartedScan();
    void statesAndCounts();
    void rowsShrinkWithoutRemoval();
    void focus();
    void reportsWithoutModels();
};

void tst_MapGroupManager::grouping_data()
{
    QTest::addColumn<Positions>("positions"); // cube i + 1 at positions[i]
    QTest::addColumn<Groups>("groups");
    QTest::addColumn<Positions>("centres");

    QTest::newRow("pair at the border") << Positions{{0, 0}, {100, 0}} << Groups{{1, 2}} << Positions{{50, 0}};
    QTest::newRow("pair just beyond") << Positions{{0, 0}, {100.5, 0}} << Groups{} << Positions{};
    // The merged group is still measured from A's position, so C at 180 from A stays alone.
    QTest::newRow("chain") << Positions{{0, 0}, {90, 0}, {180, 0}} << Groups{{1, 2}} << Positions{{45, 0}};
    QTest::newRow("merge order by id, not distance")
        << Positions{{0, 0}, {150, 0}, {75, 0}} << Groups{{1, 3}} << Positions{{37.5, 0}};
    QTest::newRow("three: bounding-box centre")
        << Positions{{0, 0}, {50, 0}, {0, 80}} << Groups{{1, 2, 3}} << Positions{{25, 40}};
    QTest::newRow("two pairs far apart")
        << Positions{{0, 0}, {1000, 0}, {10, 0}, {1000, 10}} << Groups{{1, 3}, {2, 4}} << Positions{{5, 0}, {1000, 5}};
}

void tst_MapGroupManager::grouping()
{
    QFETCH(Positions, positions);
    QFETCH(Groups, groups);
    QFETCH(Positions, centres);

    Fixture f;
    for (int i = 0; i < positions.size(); ++i)
        f.manager.updateMapCubePosition(i + 1, true, positions.at(i));

    QCOMPARE(visibleGroups(f.manager.model()), groups);
    QVariantList indices;
    for (int row = 0; row < groups.size(); ++row) {
        QCOMPARE(f.manager.model()->index(row, 0).data(MapGroupProxyCubeModel::PositionRole).toPointF(), centres.at(row));
        for (int id : groups.at(row))
            indices << id;
    }
    QCOMPARE(f.manager.nodeIndices(), indices);
    QCOMPARE(f.manager.streamCount(), positions.size());
    QCOMPARE(f.tester.failures(), QStringList());
}

void tst_MapGroupManager::groupingMatchesRestartedScan()
{
    QRandomGenerator random(21);
    for (int round = 0; round < 50; ++round) {
        QVector<MapGroupNode> nodes(80);
        for (int i = 0; i < nodes.size(); ++i) {
            nodes[i].id = i;
            nodes[i].position = QPointF(random.bounded(1000), random.bounded(1000));
        }
        QList<QList<int>> groups;
        for (const MapGroup &group : MapGroupManager::groupNodes(nodes, MapGroupManager::kGroupingDistance)) {
            groups << QList<int>();
            for (const MapGroupNode &node : group.nodes)
                groups.last() << node.id;
        }
        QCOMPARE(groups, groupByRestartedScan(nodes, MapGroupManager::kGroupingDistance));
    }
}

void tst_MapGroupManager::statesAndCounts()
{
    Fixture f;
    QSignalSpy running(&f.manager, &MapGroupManager::runningCountChanged);
    QVERIFY(running.isValid());
    f.manager.updateCubeState(1, kRunning);
    f.manager.updateCubeState(2, kFailure);
    f.manager.updateCubeState(3, kRunning.toUpper()); // exact texts only: counts as disabled
    f.manager.updateObjectState(7000000, kFailure);
    f.manager.updateMapCubePosition(1, true, {0, 0});
    f.manager.updateMapCubePosition(2, true, {10, 0});
    f.manager.updateMapCubePosition(3, true, {20, 0});
    f.manager.updateMapObjectPosition(7000000, true, {30, 0});

    const QModelIndex group = f.manager.model()->index(0, 0);
    QCOMPARE(nodeIds(group), (QList<int>{1, 2, 3, 7000000}));
    using Roles = MapGroupProxyCubeModel;
    const QPair<int, int> counts[] = {{Roles::CountRole, 3},       {Roles::RunningRole, 1},     {Roles::FailureRole, 1},
                                      {Roles::DisabledRole, 1},    {Roles::NodeCountRole, 1},   {Roles::RunningNodeRole, 0},
                                      {Roles::FailureNodeRole, 1}, {Roles::DisabledNodeRole, 0}};
    for (const auto &count : counts)
        QCOMPARE(group.data(count.first).toInt(), count.second);
    QCOMPARE(f.manager.runningCount(), 1);
    QCOMPARE(f.manager.failureCount(), 1);
    QCOMPARE(f.manager.disabledCount(), 1);
    QCOMPARE(f.manager.nodeCount(), 1);
    QCOMPARE(f.manager.failureNodeCount(), 1);
    QCOMPARE(running.count(), 1);

    // A hidden marker leaves the groups and the totals; its state comes back with it.
    f.manager.updateMapCubePosition(2, false, {});
    QCOMPARE(nodeIds(f.manager.model()->index(0, 0)), (QList<int>{1, 3, 7000000}));
    QCOMPARE(f.manager.failureCount(), 0);
    f.manager.updateMapCubePosition(2, true, {500, 500});
    QCOMPARE(f.manager.failureCount(), 1);

    // The model's own state update touches the first node with the id, announced for every row.
    QSignalSpy dataChanged(f.manager.model(), &QAbstractItemModel::dataChanged);
    QVERIFY(dataChanged.isValid());
    f.manager.model()->updateNodeState(7000000, kRunning);
    QCOMPARE(f.manager.model()->index(0, 0).data(MapGroupProxyCubeModel::RunningNodeRole).toInt(), 1);
    QCOMPARE(f.manager.runningNodeCount(), 0);
    QCOMPARE(dataChanged.count(), 1);
    QCOMPARE(dataChanged.at(0).at(2).value<QVector<int>>(),
             (QVector<int>{MapGroupProxyCubeModel::RunningRole, MapGroupProxyCubeModel::FailureRole,
                           MapGroupProxyCubeModel::DisabledRole}));
    QCOMPARE(f.tester.failures(), QStringList());
}

void tst_MapGroupManager::rowsShrinkWithoutRemoval()
{
    Fixture f;
    QSignalSpy count(f.manager.model(), &MapGroupProxyCubeModel::countChanged);
    QVERIFY(count.isValid());
    for (int id = 1; id <= 6; ++id)
        f.manager.updateMapCubePosition(id, true, QPointF(((id - 1) / 2) * 1000.0, id % 2));
    QCOMPARE(visibleGroups(f.manager.model()), (Groups{{1, 2}, {3, 4}, {5, 6}}));
    QCOMPARE(count.count(), 3);

    QSignalSpy removed(f.manager.model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy dataChanged(f.manager.model(), &QAbstractItemModel::dataChanged);
    QVERIFY(removed.isValid() && dataChanged.isValid());
    f.manager.updateMapCubePosition(3, false, {});
    f.manager.updateMapCubePosition(5, false, {});

    QCOMPARE(f.manager.model()->rowCount(), 3);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(visibleGroups(f.manager.model()), (Groups{{1, 2}}));
    QVERIFY(nodeIds(f.manager.model()->index(2, 0)).isEmpty());
    QCOMPARE(f.manager.nodeIndices(), (QVariantList{1, 2}));
    // The last report: row 0 updated, rows 2 and 1 hidden, in that order.
    const auto last = dataChanged.mid(dataChanged.size() - 3);
    QCOMPARE(last.at(0).at(0).toModelIndex().row(), 0);
    QCOMPARE(last.at(1).at(0).toModelIndex().row(), 2);
    QCOMPARE(last.at(2).at(0).toModelIndex().row(), 1);
    QCOMPARE(last.at(2).at(2).value<QVector<int>>(), QVector<int>{MapGroupProxyCubeModel::VisibleRole});
    QCOMPARE(f.tester.failures(), QStringList());
}

void tst_MapGroupManager::focus()
{
    Fixture f;
    QStandardItemModel cubes;
    setCubes(f.table, cubes,
             {QGeoCoordinate(41, 11), QGeoCoordinate(42, 12), QGeoCoordinate(0.0, 13), QGeoCoordinate(44, 0.0),
              QGeoCoordinate()});
    f.manager.updateMapCubePosition(1, true, {0, 0});
    f.manager.updateMapCubePosition(2, true, {10, 0});
    f.manager.updateMapCubePosition(5, true, {20, 0}); // no camera: no position to fit
    f.manager.updateMapCubePosition(3, true, {900, 0});
    QSignalSpy focusChanged(&f.manager, &MapGroupManager::focusRegionChanged);
    QVERIFY(focusChanged.isValid());

    // A lone marker is in no published group.
    QVERIFY(!f.manager.updateNodeFocus(3));
    QCOMPARE(focusChanged.count(), 0);
    QVERIFY(f.manager.updateNodeFocus(2));
    QCOMPARE(f.manager.focusRegion().path(), (QList<QGeoCoordinate>{QGeoCoordinate(41, 11), QGeoCoordinate(42, 12)}));

    // Items at latitude or longitude 0.0 count as not placed; devices are always taken.
    f.manager.updateMapFocus();
    QCOMPARE(f.manager.focusRegion().path(),
             (QList<QGeoCoordinate>{QGeoCoordinate(41, 11), QGeoCoordinate(42, 12), QGeoCoordinate(46, 14)}));
    f.manager.updateViewportFocus({2, 3});
    QCOMPARE(f.manager.focusRegion().path(), QList<QGeoCoordinate>{QGeoCoordinate(42, 12)});

    // The region is announced even when it did not change.
    const int before = focusChanged.count();
    f.manager.updateViewportFocus({2, 3});
    QCOMPARE(focusChanged.count(), before + 1);
    f.manager.updateGroupFocus(QModelIndex());
    QVERIFY(f.manager.focusRegion().path().isEmpty());
    QCOMPARE(f.tester.failures(), QStringList());
}

void tst_MapGroupManager::reportsWithoutModels()
{
    MapGroupManager manager;
    manager.updateMapCubePosition(1, true, {0, 0});
    manager.updateMapCubePosition(2, true, {1, 0});
    manager.updateCubeState(1, kFailure); // states are kept
    QCOMPARE(manager.streamCount(), 0);
    QCOMPARE(manager.model()->rowCount(), 0);

    GeoTableModel table;
    XDevObjectModel objects;
    manager.setSourceModel(&table);
    manager.setObjectModel(&objects);
    manager.updateMapObjectPosition(5000000, true, {0, 0}); // no such device
    manager.updateMapCubePosition(9, true, {0, 0});         // not in the table: placed at (0, 0)
    manager.updateMapCubePosition(1, true, {0, 0});
    QCOMPARE(manager.nodeCount(), 0);
    QCOMPARE(manager.streamCount(), 2);
    QCOMPARE(manager.failureCount(), 1);
    QVERIFY(manager.updateNodeFocus(9));
    QCOMPARE(manager.focusRegion().path(), (QList<QGeoCoordinate>{QGeoCoordinate(0, 0), QGeoCoordinate(0, 0)}));
}

QTEST_GUILESS_MAIN(tst_MapGroupManager)
#include "tst_MapGroupManager.moc"
