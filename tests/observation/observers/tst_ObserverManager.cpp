#include "devices/models/FavoriteDeviceModel.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/PendingLogouts.h"
#include "observation/camera/CameraObserver.h"
#include "observation/models/CubeObserverSortFilterProxyModel.h"
#include "observation/models/DeviceObserverSortFilterProxyModel.h"
#include "observation/observers/CubeObserver.h"
#include "observation/observers/ObserverManager.h"
#include "observation/status/SourceInfo.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/VideoSource.h"
#include "support/FrameTestFixtures.h"
#include "support/LogCapture.h"
#include "support/ModelTester.h"
#include "support/ObservedBlockScript.h"
#include "support/RecordingVideoSurface.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedTrackerNode.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QtTest>

namespace {

FavoriteDevice favourite(const QString &address, const QString &password, int type = 32,
                         const QString &name = QString())
{
    FavoriteDevice device(address, QStringLiteral("operator"), password);
    device.setName(name.isEmpty() ? address : name);
    device.setType(type);
    return device;
}

// Blocks that are observed but older than 1.17, so their cameras never reach for a node.
struct Blocks
{
    std::vector<std::unique_ptr<SimulatedBlock>> blocks;
    FavoriteDeviceModel favourites;

    bool add(ObservedBlockScript script)
    {
        blocks.emplace_back(new SimulatedBlock(SimulatedBlock::Scheme::Https));
        if (!blocks.back()->listen())
            return false;
        script.blockVersion = QStringLiteral("1.16.4");
        script.install(*blocks.back());
        favourites.addDevice(favourite(QStringLiteral("127.0.0.1:%1").arg(blocks.back()->port()),
                                       QStringLiteral("secret")));
        return true;
    }
};

// A block of the current version with one cube whose one camera a simulated node streams.
struct StreamingBlock
{
    SimulatedTrackerNode node;
    SimulatedBlock block{SimulatedBlock::Scheme::Https};
    FavoriteDeviceModel favourites;

    bool start()
    {
        if (!node.listen() || !block.listen())
            return false;
        const QString tag = QStringLiteral("a");
        node.setSourcesData({{frametest::VideoSourceIdA, frametest::nodeSource(frametest::videoDefinition(tag))}});
        node.setFrame(frametest::jpegFrame());
        node.setFrameInterval(20);
        node.setFrameTimestamps(true);
        ObservedBlockScript script;
        script.install(block);
        QJsonObject cube = script.cubeObject(1);
        cube.insert(QStringLiteral("cameras"),
                    QJsonArray{QJsonObject{{QStringLiteral("source_definition"), frametest::videoDefinitionJson(tag)}}});
        block.setReply("/cubes/all", 200, "application/json",
                       QJsonDocument(QJsonObject{{QStringLiteral("cubes"), QJsonArray{cube}}}).toJson());
        // The address's third part names the node port every camera of the block uses.
        favourites.addDevice(favourite(QStringLiteral("127.0.0.1:%1:%2").arg(block.port()).arg(node.port()),
                                       QStringLiteral("secret")));
        return true;
    }
};

int registeredReceivers()
{
    return kvr::QMTClient::frameReceiverRegistry().receivers.size();
}

std::shared_ptr<DeviceObserver> observerAt(ObserverManager &manager, int row)
{
    return manager.deviceModel()->at(manager.deviceModel()->index(row, 0));
}

} // namespace

class tst_ObserverManager : public QObject
{
    Q_OBJECT

private slots:
    void startsOneObserverPerCompleteFavourite();
    void cubesOfEveryBlockInOneModel();
    void logOutRefreshesItsRowAndEndsSessions();
    void logOutReachesTheBlockAfterThePageGoes_data();
    void logOutReachesTheBlockAfterThePageGoes();
    void framesReachTheSurfaceUntilTheLastManagerGoes();
    void viewPositionsIgnoreTinyChanges();
    void deviceProxyGroupsKinds_data();
    void deviceProxyGroupsKinds();
    void cubeProxyFiltersByState_data();
    void cubeProxyFiltersByState();
};

void tst_ObserverManager::startsOneObserverPerCompleteFavourite()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Https);
    QVERIFY(block.listen());
    ObservedBlockScript().install(block);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(block.port());
    FavoriteDeviceModel favourites;
    favourites.addDevice(favourite(address, QStringLiteral("a"), 32, QStringLiteral("first")));
    favourites.addDevice(favourite(address, QString(), 32, QStringLiteral("no password")));
    favourites.addDevice(favourite(address, QStringLiteral("c"), 32, QStringLiteral("third")));

    ObserverManager manager;
    ModelTester deviceTester(manager.deviceModel());
    QSignalSpy changed(&manager, &ObserverManager::sourceModelChanged);
    manager.setSourceModel(&favourites);
    QCOMPARE(manager.deviceModel()->rowCount(), 2);
    const QModelIndex second = manager.deviceModel()->index(1, 0);
    QCOMPARE(second.data(DeviceObserverModel::NameRole).toString(), QStringLiteral("third"));
    QCOMPARE(second.data(DeviceObserverModel::AddressRole).toString(), address);
    const auto device = second.data(DeviceObserverModel::DeviceRole).value<ObservedDevice>();
    QCOMPARE(device.id(), 2);
    QCOMPARE(device.sourceIndex(), favourites.index(2, 0));
    QCOMPARE(observerAt(manager, 0)->observedDevice().id(), 1);
    QCOMPARE(manager.deviceModel()->indexOfObservedDevice(2).row(), 1);
    QVERIFY(!manager.deviceModel()->indexOfObservedDevice(3).isValid());

    QSignalSpy reset(manager.deviceModel(), &QAbstractItemModel::modelReset);
    manager.setSourceModel(&favourites);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(reset.size(), 0);
    FavoriteDeviceModel other;
    manager.setSourceModel(&other);
    QCOMPARE(manager.deviceModel()->rowCount(), 0);
    QCOMPARE(deviceTester.failures(), QStringList());
}

void tst_ObserverManager::cubesOfEveryBlockInOneModel()
{
    Blocks blocks;
    ObservedBlockScript script;
    script.cubeCount = 2;
    QVERIFY(blocks.add(script));
    script.firstCubeId = 10;
    QVERIFY(blocks.add(script));

    ObserverManager manager;
    ModelTester cubeTester(manager.cubeModel());
    CubeObserverSortFilterProxyModel proxy;
    proxy.setSourceModel(manager.cubeModel());
    ModelTester proxyTester(&proxy);
    manager.setSourceModel(&blocks.favourites);
    QTRY_COMPARE(manager.cubeModel()->rowCount(), 4);

    CubeObserverModel *cubes = manager.cubeModel();
    QCOMPARE(cubes->observersIds(), (QList<int>{1, 2, 3, 4}));
    QSet<int> cubeIds;
    for (int row = 0; row < 4; ++row) {
        const QModelIndex index = cubes->index(row, 0);
        QCOMPARE(index.data(CubeObserverModel::ObserverIdRole).toInt(), row + 1);
        cubeIds << index.data(CubeObserverModel::CubeIdRole).toInt();
        const auto *cube = index.data(CubeObserverModel::ObjectRole).value<kvr::QMTClient::CubeObserver *>();
        QVERIFY(cube);
        QCOMPARE(index.data(CubeObserverModel::CubeNameRole).toString(), QStringLiteral("Cube %1").arg(cube->cubeId()));
        QVERIFY(index.data(CubeObserverModel::SourceInfoRole).value<SourceInfo *>());
        QCOMPARE(index.data(CubeObserverModel::SourceConnectedRole).toBool(), false);
        QCOMPARE(index.data(CubeObserverModel::CubeSourceDefinitionType).toInt(), 1);
        QCOMPARE(index.data(CubeObserverModel::CubeCameraPositionLatitude).toDouble(), 48.0 + cube->cubeId() / 100.0);
        QCOMPARE(index.data(CubeObserverModel::ObservedAddressRole).toString(),
                 blocks.favourites.index(cube->observedDevice().id() - 1, 0)
                     .data(FavoriteDeviceModel::DeviceRole).value<FavoriteDevice>().address());
        QVERIFY(!index.data(CubeObserverModel::ObservedDeviceRole).value<ObservedDevice>().compatible());
    }
    QCOMPARE(cubeIds, (QSet<int>{1, 2, 10, 11}));
    QCOMPARE(cubes->cubesCoordinates().size(), 4);
    QCOMPARE(cubes->roleNames().value(CubeObserverModel::CubeLastFrameTimestampRole), QByteArray("CubeTimestampRole"));
    // The cameras poll fills the current camera's status, which QML sees through the row.
    QTRY_VERIFY(cubes->index(0, 0).data(CubeObserverModel::SourceInfoRole).value<SourceInfo *>()
                    ->cmClientInfo()->sourceState() == QStringLiteral("running"));
    manager.setSourceModel(nullptr);
    QCOMPARE(cubeTester.failures(), QStringList());
    QCOMPARE(proxyTester.failures(), QStringList());
}

void tst_ObserverManager::logOutRefreshesItsRowAndEndsSessions()
{
    Blocks blocks;
    QVERIFY(blocks.add(ObservedBlockScript()));
    QVERIFY(blocks.add(ObservedBlockScript()));
    ObserverManager manager;
    manager.setSourceModel(&blocks.favourites);
    QTRY_VERIFY(observerAt(manager, 0)->loginStatus() == BlockSession::LoggedIn
                && observerAt(manager, 1)->loginStatus() == BlockSession::LoggedIn);

    QSignalSpy changed(manager.deviceModel(), &QAbstractItemModel::dataChanged);
    observerAt(manager, 1)->logout();
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
    QCOMPARE(changed.first().at(2).value<QVector<int>>(), QVector<int>{DeviceObserverModel::LoginStatusRole});
    QCOMPARE(manager.deviceModel()->index(1, 0).data(DeviceObserverModel::LoginStatusRole).toInt(),
             int(BlockSession::NotLoggedIn));

    // A local log-out keeps the session; the manager's log-out ends it on every block.
    manager.logoutObservers();
    for (const auto &block : blocks.blocks)
        QTRY_COMPARE(block->requests("/users/logout").size(), 1);
    QCOMPARE(manager.deviceModel()->rowCount(), 2);
    QCOMPARE(manager.cubeModel()->rowCount(), 4);
}

void tst_ObserverManager::logOutReachesTheBlockAfterThePageGoes_data()
{
    QTest::addColumn<int>("status"); // 0: the block takes the log-out and stays silent
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QList<int>>("answerDelays"); // ms after its log-out came, one block each
    // The wait at quit ends once the blocks answered, and a silent block holds it about 2 s.
    QTest::addColumn<int>("waitLimitMs");

    QTest::newRow("answered") << 200 << "[INFO] Logout has finished." << QList<int>{0} << 1000;
    QTest::newRow("refused") << 500 << "failed: HTTP status 500." << QList<int>{0} << 1000;
    QTest::newRow("silent block") << 0 << "got no answer" << QList<int>{0} << 2500;
    QTest::newRow("two blocks, one slower") << 200 << "[INFO] Logout has finished." << QList<int>{0, 300} << 1000;
}

// Escape logs the observers out and changes the page at once, which takes the manager and its
// observers away before the HTTP thread has sent the log-out's body.
void tst_ObserverManager::logOutReachesTheBlockAfterThePageGoes()
{
    QFETCH(int, status);
    QFETCH(QString, logged);
    QFETCH(QList<int>, answerDelays);
    QFETCH(int, waitLimitMs);

    Blocks blocks;
    for (int delay : answerDelays) {
        QVERIFY(blocks.add(ObservedBlockScript()));
        SimulatedBlock &block = *blocks.blocks.back();
        if (status != 0)
            block.setReply("/users/logout", status, "application/json", "{}");
        if (status == 0 || delay > 0)
            block.setAction("/users/logout", SimulatedBlock::Action::Hold);
        if (status == 0 || delay == 0)
            continue;
        QObject::connect(&block, &SimulatedBlock::requestReceived, &block, [&block, delay](int index) {
            if (block.requests().at(index).path.endsWith("/users/logout"))
                QTimer::singleShot(delay, &block, [&block]() { block.releaseHeld(); });
        });
    }
    auto manager = std::make_unique<ObserverManager>();
    manager->setSourceModel(&blocks.favourites);
    for (int row = 0; row < answerDelays.size(); ++row)
        QTRY_COMPARE(observerAt(*manager, row)->loginStatus(), int(BlockSession::LoggedIn));

    LogCapture log;
    manager->logoutObservers();
    manager.reset();
    QVERIFY2(!log.contains(QStringLiteral("Logout has finished.")), "logged before the block answered");
    // As the program does when it quits; the silent block's log-out times out first.
    QElapsedTimer waited;
    waited.start();
    QVERIFY(PendingLogouts::waitForAll(BlockConnectionManager::LogoutTimeout + 1000));
    QVERIFY2(waited.elapsed() < waitLimitMs, qPrintable(QStringLiteral("waited %1 ms").arg(waited.elapsed())));
    for (const auto &block : blocks.blocks) {
        // The polls in flight are cut off with the observers; the log-out is not.
        QCOMPARE(block->cutOffRequests("/users/logout").size(), 0);
        const QVector<SimulatedBlock::Request> logouts = block->requests("/users/logout");
        QCOMPARE(logouts.size(), 1);
        QCOMPARE(QJsonDocument::fromJson(logouts.first().body).object(),
                 (QJsonObject{{QStringLiteral("session_identifier"), QStringLiteral("session-1")}}));
    }
    QVERIFY2(log.contains(logged), qPrintable(log.texts().join(QStringLiteral(" | "))));
}

void tst_ObserverManager::framesReachTheSurfaceUntilTheLastManagerGoes()
{
    StreamingBlock streaming;
    QVERIFY(streaming.start());
    const int receiversBefore = registeredReceivers();
    // A page reload: the new page's manager starts before the old one goes.
    auto old = std::make_unique<ObserverManager>();
    old->setSourceModel(&streaming.favourites);
    auto current = std::make_unique<ObserverManager>();
    current->setSourceModel(&streaming.favourites);
    CubeObserverModel *cubes = current->cubeModel();
    QTRY_VERIFY(cubes->rowCount() == 1 && old->cubeModel()->rowCount() == 1);
    QTRY_VERIFY(cubes->index(0, 0).data(CubeObserverModel::SourceConnectedRole).toBool());
    QCOMPARE(registeredReceivers(), receiversBefore + 1);

    old.reset();
    QCOMPARE(registeredReceivers(), receiversBefore + 1);
    VideoSource source;
    RecordingVideoSurface surface;
    source.setVideoSurface(&surface);
    cubes->updateCubeObserverVideoSource(1, &source);
    cubes->setAnalyticsVisibleInGUI(1, true);
    QTRY_VERIFY(surface.presented() >= 3);
    QCOMPARE(surface.lastFrameSize(), frametest::FrameSize);
    QTRY_VERIFY(cubes->index(0, 0).data(CubeObserverModel::CubeLastFrameTimestampRole).toLongLong() > 0);
    // Hidden again, the node is asked to stop.
    cubes->setAnalyticsVisibleInGUI(1, false);
    QTRY_COMPARE(streaming.node.frameStreams(), 0);
    cubes->updateCubeObserverVideoSource(1, nullptr);

    // The last manager frees its observers, their cameras (which join their converter
    // threads) and the node's receiver.
    std::weak_ptr<DeviceObserver> device = observerAt(*current, 0);
    std::weak_ptr<kvr::QMTClient::CubeObserver> cube = cubes->at(cubes->index(0, 0));
    std::weak_ptr<kvr::QMTClient::CameraObserver> camera = cube.lock()->currentCameraShared();
    current.reset();
    QVERIFY(device.expired() && cube.expired() && camera.expired());
    QCOMPARE(registeredReceivers(), receiversBefore);
    QTRY_VERIFY(!streaming.node.hasClient());
}

void tst_ObserverManager::viewPositionsIgnoreTinyChanges()
{
    ObserverManager manager;
    QSignalSpy cube(&manager, &ObserverManager::cubeViewPositionChanged);
    QSignalSpy device(&manager, &ObserverManager::deviceViewPositionChanged);
    manager.setCubeViewPosition(0.5);
    manager.setCubeViewPosition(0.5 + 1e-15);
    manager.setDeviceViewPosition(0.25);
    manager.setDeviceViewPosition(0.25 + 1e-16);
    QCOMPARE(cube.size(), 1);
    QCOMPARE(device.size(), 1);
    manager.setCubeViewPosition(0.6);
    QCOMPARE(cube.size(), 2);
}

void tst_ObserverManager::deviceProxyGroupsKinds_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("shownKinds");

    QTest::newRow("All types") << "All types" << QList<int>{0, 1, 2, 4, 16, 32, 64, 128, 256};
    QTest::newRow("Camera takes camera light") << "Camera" << QList<int>{1, 2};
    QTest::newRow("Tarnvale/Embedded") << "Tarnvale/Embedded" << QList<int>{4, 16};
    QTest::newRow("Enterprise") << "Enterprise" << QList<int>{32};
    QTest::newRow("Drone") << "Drone" << QList<int>{128};
}

void tst_ObserverManager::deviceProxyGroupsKinds()
{
    QFETCH(QString, type);
    QFETCH(QList<int>, shownKinds);

    DeviceObserverModel model;
    for (int kind : {0, 1, 2, 4, 16, 32, 64, 128, 256}) {
        model.append(std::make_shared<DeviceObserver>(
            ObservedDevice(model.rowCount() + 1, QModelIndex(), favourite(QString::number(kind), QStringLiteral("x"), kind))));
    }
    DeviceObserverSortFilterProxyModel proxy;
    ModelTester tester(&proxy);
    proxy.setSourceModel(&model);
    QCOMPARE(proxy.availableTypes(), (QStringList{QStringLiteral("All types"), QStringLiteral("Camera"), QStringLiteral("Tarnvale/Embedded"), QStringLiteral("Enterprise"), QStringLiteral("Drone")}));
    proxy.setFilteredType(proxy.availableTypes().indexOf(type));
    QList<int> shown;
    for (int row = 0; row < proxy.rowCount(); ++row)
        shown << proxy.index(row, 0).data(DeviceObserverModel::TypeRole).toInt();
    QCOMPARE(shown, shownKinds);
    QCOMPARE(tester.failures(), QStringList());
}

void tst_ObserverManager::cubeProxyFiltersByState_data()
{
    QTest::addColumn<QString>("sourceState");
    QTest::addColumn<QString>("processing");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("shown");

    QTest::newRow("running is online") << "running" << "Idle" << "Online" << true;
    QTest::newRow("ends with running") << "source_running" << "Idle" << "Online" << true;
    QTest::newRow("RUNNING is offline") << "RUNNING" << "Idle" << "Offline" << true;
    QTest::newRow("stopped is not online") << "stopped" << "Idle" << "Online" << false;
    QTest::newRow("processing and online") << "running" << "Processing" << "Processing" << true;
    QTest::newRow("processing but offline") << "stopped" << "Processing" << "Processing" << false;
    QTest::newRow("idle") << "running" << "Idle" << "Idle" << true;
    QTest::newRow("enabled whatever its state") << "stopped" << "Processing" << "Enabled" << true;
    QTest::newRow("not disabled") << "running" << "Processing" << "Disabled" << false;
}

void tst_ObserverManager::cubeProxyFiltersByState()
{
    QFETCH(QString, sourceState);
    QFETCH(QString, processing);
    QFETCH(QString, filter);
    QFETCH(bool, shown);

    Blocks blocks;
    ObservedBlockScript script;
    script.cubeCount = 1;
    script.sourceState = sourceState;
    script.processingState = processing;
    QVERIFY(blocks.add(script));
    ObserverManager manager;
    manager.setSourceModel(&blocks.favourites);
    QTRY_COMPARE(manager.cubeModel()->rowCount(), 1);
    const auto cube = manager.cubeModel()->at(manager.cubeModel()->index(0, 0));
    QTRY_COMPARE(cube->currentCamera()->sourceInfo()->cmClientInfo()->sourceState(), sourceState);
    QTRY_VERIFY(cube->analyticInfo()->timestamp() > 0);

    CubeObserverSortFilterProxyModel proxy;
    ModelTester tester(&proxy);
    proxy.setSourceModel(manager.cubeModel());
    proxy.setFilteredType(proxy.availableTypes().indexOf(filter));
    QTRY_COMPARE(proxy.rowCount(), shown ? 1 : 0);
    QCOMPARE(tester.failures(), QStringList());
}

QTEST_MAIN(tst_ObserverManager)
#include "tst_ObserverManager.moc"
