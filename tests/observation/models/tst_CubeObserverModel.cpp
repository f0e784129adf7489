#include "observation/camera/CameraObserver.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/observers/CubeObserver.h"
#include "support/FakeFrameReceiver.h"
#include "support/LogCapture.h"
#include "support/ModelTester.h"
#include "support/ObservedBlockScript.h"

#include <QtTest>

using kvr::QMTClient::CubeObserver;

namespace {

// Cubes numbered as the observer manager numbers them; `withCamera` gives each one camera.
std::shared_ptr<CubeObserver> makeCube(int observerId, bool withCamera, const QString &host = QStringLiteral("127.0.0.1"))
{
    ObservedBlockScript script;
    script.camerasPerCube = withCamera ? 1 : 0;
    auto cube = std::make_shared<CubeObserver>(ObservedDevice(), script.cubeObject(observerId * 10));
    cube->setObserverId(observerId);
    cube->setBlockHostAddress(host);
    return cube;
}

} // namespace

class tst_CubeObserverModel : public QObject
{
    Q_OBJECT

private slots:
    void rowsWithoutCameraHaveEmptyCameraRoles();
    void showingStartsFramesOnce();
    void showingNeedsABlockAndAnEnabledCube_data();
    void showingNeedsABlockAndAnEnabledCube();
    void cubeChangeRefreshesItsRowOnly();
    void cameraChangeRefreshesItsRole_data();
    void cameraChangeRefreshesItsRole();
};

void tst_CubeObserverModel::rowsWithoutCameraHaveEmptyCameraRoles()
{
    CubeObserverModel model;
    ModelTester tester(&model);
    model.append(makeCube(1, false));
    model.append(makeCube(2, true));
    const QModelIndex bare = model.index(0, 0);
    QCOMPARE(bare.data(CubeObserverModel::SourceInfoRole).value<QObject *>(), nullptr);
    QCOMPARE(bare.data(CubeObserverModel::SourceConnectedRole), QVariant(false));
    QCOMPARE(bare.data(CubeObserverModel::CubeIsOnvifPTZ), QVariant(false));
    QCOMPARE(bare.data(CubeObserverModel::CubeVideoStalledRole), QVariant(false));
    QVERIFY(!bare.data(CubeObserverModel::CubeCameraPositionLatitude).isValid());
    QVERIFY(!bare.data(CubeObserverModel::CubeSourceDefinitionType).isValid());
    QVERIFY(!model.index(5, 0).data(CubeObserverModel::CubeIdRole).isValid());
    QCOMPARE(model.observersIds(), (QList<int>{1, 2}));
    QCOMPARE(model.cubesCoordinates().size(), 1);
    QCOMPARE(model.roleNames().size(), 19);
    model.clear();
    QCOMPARE(tester.failures(), QStringList());
}

void tst_CubeObserverModel::showingStartsFramesOnce()
{
    FakeFrameReceiverFactory receivers;
    CubeObserverModel model;
    model.append(makeCube(1, true));
    const auto cube = model.at(model.index(0, 0));
    cube->connectCamerasToNodes(5556);
    FakeFrameReceiver *receiver = receivers.at(QHostAddress(QStringLiteral("127.0.0.1")), 5556);
    QVERIFY(receiver);
    // Each request the camera gets reaches its node's receiver.
    model.setAnalyticsVisibleInGUI(1, true);
    model.setAnalyticsVisibleInGUI(1, true);
    QVERIFY(cube->requestingFrames());
    QCOMPARE(receiver->callNames(), QStringList{QStringLiteral("start")});
    model.setAnalyticsVisibleInGUI(1, false);
    QVERIFY(!cube->requestingFrames());
    QCOMPARE(receiver->callNames(), (QStringList{QStringLiteral("start"), QStringLiteral("stop")}));
    model.setAnalyticsVisibleInGUI(1, false);
    QCOMPARE(receiver->callNames(), (QStringList{QStringLiteral("start"), QStringLiteral("stop")}));
}

void tst_CubeObserverModel::showingNeedsABlockAndAnEnabledCube_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("observerId");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("notFound");

    QTest::newRow("known block") << "127.0.0.1" << true << 1 << true << false;
    QTest::newRow("no block address") << QString() << true << 1 << false << false;
    QTest::newRow("disabled cube") << "127.0.0.1" << false << 1 << false << false;
    QTest::newRow("unknown id") << "127.0.0.1" << true << 7 << false << false;
}

void tst_CubeObserverModel::showingNeedsABlockAndAnEnabledCube()
{
    QFETCH(QString, host);
    QFETCH(bool, enabled);
    QFETCH(int, observerId);
    QFETCH(bool, started);
    QFETCH(bool, notFound);

    CubeObserverModel model;
    model.append(makeCube(1, false, host));
    const auto cube = model.at(model.index(0, 0));
    cube->setCubeEnabled(enabled);
    LogCapture log(kvr::log::ERR | kvr::log::DBG0);
    model.setAnalyticsVisibleInGUI(observerId, true);
    QCOMPARE(cube->requestingFrames(), started);
    QCOMPARE(log.contains(QStringLiteral("Started cube 1 requests")), started);
    QCOMPARE(log.contains(QStringLiteral("No such cube found!")), notFound);
    // Asked for directly, an unknown cube is reported.
    model.startCube(9, true);
    QVERIFY(log.contains(QStringLiteral("No such cube found!")));
}

void tst_CubeObserverModel::cubeChangeRefreshesItsRowOnly()
{
    CubeObserverModel model;
    model.append(makeCube(1, true));
    model.append(makeCube(2, true));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.at(model.index(1, 0))->setCubeName(QStringLiteral("renamed"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
    QCOMPARE(changed.first().at(2).value<QVector<int>>(), QVector<int>{CubeObserverModel::CubeNameRole});
    model.at(model.index(0, 0))->currentCamera()->updateSourceInfo(
        ObservedBlockScript::cameraInfo(QStringLiteral("running"), 5));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 0);
    QCOMPARE(changed.last().at(2).value<QVector<int>>(), QVector<int>{CubeObserverModel::SourceInfoRole});
    model.notifyRoleChanged(-1, {CubeObserverModel::ObserverOnlineRole});
    QCOMPARE(changed.last().at(1).toModelIndex().row(), 1);
}

void tst_CubeObserverModel::cameraChangeRefreshesItsRole_data()
{
    QTest::addColumn<int>("role");

    // A cube's camera connects to its node, is shown, and no picture comes.
    QTest::newRow("node connected") << int(CubeObserverModel::SourceConnectedRole);
    QTest::newRow("video stalled") << int(CubeObserverModel::CubeVideoStalledRole);
}

void tst_CubeObserverModel::cameraChangeRefreshesItsRole()
{
    QFETCH(int, role);

    FakeFrameReceiverFactory receivers;
    // What the tile reads when the row says the role changed.
    QVariantList refreshed;
    CubeObserverModel model;
    model.append(makeCube(1, true));
    model.append(makeCube(2, true));
    const QModelIndex row = model.index(1, 0);
    QCOMPARE(row.data(role), QVariant(false));
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex &from, const QModelIndex &to, const QVector<int> &roles) {
                if (from.row() <= row.row() && to.row() >= row.row() && roles.contains(role))
                    refreshed << row.data(role);
            });
    const auto cube = model.at(row);
    cube->currentCamera()->setStallPeriod(50);
    cube->connectCamerasToNodes(5556);
    model.setAnalyticsVisibleInGUI(2, true);
    QTRY_COMPARE(refreshed, QVariantList{true});
}

QTEST_MAIN(tst_CubeObserverModel)
#include "tst_CubeObserverModel.moc"
