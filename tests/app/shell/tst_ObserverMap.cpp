#include "app/Launcher.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/maps/HostMapsManager.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/observers/ObserverManager.h"
#include "support/FrameTestFixtures.h"
#include "support/ObservedBlockScript.h"
#include "support/QuickWindowProbe.h"
#include "support/SimulatedTileServer.h"
#include "support/SimulatedTrackerNode.h"

#include <QJsonDocument>
#include <QQuickItem>
#include <QQuickView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

using QuickWindowProbe::findByName;
using QuickWindowProbe::visibleItemsNamed;
using QuickWindowProbe::waitForFrame;

// The script's cubes with a valid video definition per camera (the node offers frames only for
// valid sources), installed as the block's cube list; the node offers each of them.
void installCubes(const ObservedBlockScript &script, SimulatedBlock &block,
                  QMap<quint32, QHash<QString, QVariant>> &nodeSources)
{
    QJsonArray cubes = script.cubes();
    for (int c = 0; c < cubes.size(); ++c) {
        QJsonObject cube = cubes.at(c).toObject();
        QJsonArray cameras = cube.value(QStringLiteral("cameras")).toArray();
        for (int i = 0; i < cameras.size(); ++i) {
            QJsonObject camera = cameras.at(i).toObject();
            const QString tag = QStringLiteral("cube-%1-%2").arg(cube.value(QStringLiteral("id")).toInt()).arg(i);
            camera.insert(QStringLiteral("source_definition"), frametest::videoDefinitionJson(tag));
            // Cube 31 stands on the equator: a position of 0 counts as none.
            if (cube.value(QStringLiteral("id")).toInt() == 31) {
                QJsonObject location = camera.value(QStringLiteral("camera_location")).toObject();
                location.insert(QStringLiteral("latitude"), 0.0);
                camera.insert(QStringLiteral("camera_location"), location);
            }
            cameras.replace(i, camera);
            nodeSources.insert(quint32(nodeSources.size() + 1), frametest::nodeSource(frametest::videoDefinition(tag)));
        }
        cube.insert(QStringLiteral("cameras"), cameras);
        cubes.replace(c, cube);
    }
    block.setReply("/cubes/all", 200, "application/json",
                   QJsonDocument(QJsonObject{{QStringLiteral("cubes"), cubes}}).toJson(QJsonDocument::Compact));
}

} // namespace

// The observer page's map against simulated blocks, a simulated tracker node and the tiles of
// a server on 127.0.0.1: pins, a group of close cubes, the preview with live video. Nothing but
// 127.0.0.1 may be contacted. Leaves "screenshots/observer_map.png".
class tst_ObserverMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void mapShowsCubesGroupsAndLiveVideo();
    void settingsDialogOpensTheMapKeys();

private:
    QObject *object(const QString &name) const { return findByName(m_launcher->view()->contentItem(), name); }

    std::unique_ptr<QTemporaryDir> m_configHome;
    std::unique_ptr<SimulatedTileServer> m_tiles;
    std::unique_ptr<SimulatedTrackerNode> m_node;
    std::vector<std::unique_ptr<SimulatedBlock>> m_blocks;
    std::unique_ptr<Launcher> m_launcher;
};

void tst_ObserverMap::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KVR"));
    QCoreApplication::setApplicationName(QStringLiteral("ORVA Launcher Map Test"));
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "needs an X display (run the tests under xvfb-run)");
    QDir().mkpath(QStringLiteral("screenshots"));
    m_configHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_configHome->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome->path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_configHome->path() + QStringLiteral("/cache")));

    m_tiles = std::make_unique<SimulatedTileServer>();
    QVERIFY(m_tiles->listen());
    m_tiles->catchForeignRequests();

    m_node = std::make_unique<SimulatedTrackerNode>();
    QVERIFY(m_node->listen());
    m_node->setFrame(frametest::jpegFrame(QSize(320, 240), 0.3));
    m_node->setFrameTimestamps(true);
    m_node->setFrameInterval(40);

    // Three cubes about a kilometre apart, and one block further away with one cube and one
    // without a position.
    QMap<quint32, QHash<QString, QVariant>> sources;
    const int firstCubes[] = {1, 30};
    const int cubeCounts[] = {3, 2};
    for (int i = 0; i < 2; ++i) {
        ObservedBlockScript script;
        script.cubeCount = cubeCounts[i];
        script.firstCubeId = firstCubes[i];
        script.serialNumber = QStringLiteral("ORVA-%1").arg(i + 1);
        script.nodeAddress = QStringLiteral("127.0.0.1");
        script.nodePort = m_node->port();
        m_blocks.emplace_back(new SimulatedBlock(SimulatedBlock::Scheme::Https));
        QVERIFY(m_blocks.back()->listen());
        script.install(*m_blocks.back());
        installCubes(script, *m_blocks.back(), sources);
    }
    m_node->setSourcesData(sources);

    m_launcher = std::make_unique<Launcher>();
    m_launcher->mapsManager()->hostManager()->setOpenStreetMapTileServer(m_tiles->baseUrl());
    QVERIFY(m_launcher->init({QStringLiteral("orva-launcher")}));
    m_launcher->mapsManager()->hostManager()->setOpenStreetMapTileServer(m_tiles->baseUrl());
    FavoriteDeviceModel *favourites = m_launcher->favoriteDeviceModel();
    for (int i = 0; i < int(m_blocks.size()); ++i) {
        // "address:REST port:node port": the favourite names the node's port.
        FavoriteDevice device = favourites->createDevice(QStringLiteral("127.0.0.1:%1:%2").arg(m_blocks[i]->port()).arg(m_node->port()),
                                                         QStringLiteral("operator"), QStringLiteral("secret"));
        device.setName(QStringLiteral("Crossing %1").arg(i + 1));
        device.setType(32);
        favourites->addDevice(device);
    }
    QVERIFY(QTest::qWaitForWindowExposed(m_launcher->view()));
}

void tst_ObserverMap::cleanupTestCase()
{
    m_launcher.reset();
    m_blocks.clear();
    m_node.reset();
    m_tiles.reset();
    m_configHome.reset();
}

void tst_ObserverMap::mapShowsCubesGroupsAndLiveVideo()
{
    m_launcher->requestChangePage(Launcher::ObserverPage);
    QTRY_COMPARE(m_launcher->currentPage(), Launcher::ObserverPage);
    QObject *loader = nullptr;
    QTRY_VERIFY((loader = object(QStringLiteral("viewLoader"))));
    auto *manager = qvariant_cast<ObserverManager *>(loader->parent()->property("observerManager"));
    if (!manager) {
        QObject *page = loader;
        while (page && !page->property("observerManager").isValid())
            page = page->parent();
        QVERIFY(page);
        manager = qvariant_cast<ObserverManager *>(page->property("observerManager"));
    }
    QVERIFY(manager);
    manager->setObserverViewStyle(ObserverManager::MapView);

    QQuickItem *sideList = nullptr;
    QTRY_VERIFY((sideList = qobject_cast<QQuickItem *>(object(QStringLiteral("sideList")))));
    // Every cube with a position has its row; the one without has none.
    QTRY_COMPARE_WITH_TIMEOUT(manager->cubeModel()->rowCount(), 5, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(visibleItemsNamed(sideList, QStringLiteral("sideListRow")), 4, 20000);

    auto *mapItem = qvariant_cast<QQuickItem *>(loader->property("item"))->property("mapItem").value<QQuickItem *>();
    QVERIFY(mapItem);
    QObject *groups = mapItem->property("mapGroupManager").value<QObject *>();
    QVERIFY(groups);
    QTRY_COMPARE_WITH_TIMEOUT(groups->property("streamCount").toInt(), 4, 10000);
    // Zoomed so that the three close cubes share a marker and the far one stands alone.
    QQuickItem *map = mapItem->property("map").value<QQuickItem *>();
    QVERIFY(map);
    map->setProperty("zoomLevel", 10.0);
    QTRY_COMPARE_WITH_TIMEOUT(groups->property("nodeIndices").toList().size(), 3, 10000);

    // The preview of the far cube, as a click on its row opens it.
    CubeObserverModel *cubes = manager->cubeModel();
    int farCube = -1;
    for (int row = 0; row < cubes->rowCount(); ++row) {
        const QModelIndex index = cubes->index(row, 0);
        if (cubes->data(index, CubeObserverModel::CubeIdRole).toInt() == 30)
            farCube = cubes->data(index, CubeObserverModel::ObserverIdRole).toInt();
    }
    QVERIFY(farCube != -1);
    QMetaObject::invokeMethod(mapItem, "cubeTabSelected", Q_ARG(QVariant, QVariant(farCube)));
    QObject *popup = object(QStringLiteral("previewPopup"));
    QVERIFY(popup);
    QTRY_VERIFY(popup->property("opened").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(popup->property("previewObject").value<QObject *>()
                                 && popup->property("previewObject").value<QObject *>()->property("lastImageTimestamp").toLongLong() > 0,
                             20000);
    QTest::qWait(1500);
    QVERIFY(waitForFrame(m_launcher->view()));
    const QImage image = m_launcher->view()->grabWindow();
    QVERIFY(image.save(QStringLiteral("screenshots/observer_map.png")));

    QVERIFY(m_tiles->tileCount() > 0);
    QCOMPARE(m_tiles->foreignHosts(), QStringList());
}

// The header's settings button opens the dialog; its search opens the map key section, which
// starts unchanged. Leaves "screenshots/settings_map_keys.png".
void tst_ObserverMap::settingsDialogOpensTheMapKeys()
{
    QQuickItem *button = qobject_cast<QQuickItem *>(object(QStringLiteral("settingsButton")));
    QVERIFY(button);
    const QPointF center = button->mapToScene(QPointF(button->width() / 2, button->height() / 2));
    QTest::mouseClick(m_launcher->view(), Qt::LeftButton, Qt::NoModifier, center.toPoint());
    QObject *dialog = object(QStringLiteral("settingsDialog"));
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->property("opened").toBool());
    QObject *search = object(QStringLiteral("settingsSearchField"));
    QVERIFY(search);
    search->setProperty("text", QStringLiteral("api key"));
    QObject *saveButton = nullptr;
    QTRY_VERIFY((saveButton = object(QStringLiteral("saveButton"))));
    QTRY_VERIFY(qobject_cast<QQuickItem *>(saveButton)->isVisible());
    QVERIFY(!saveButton->property("enabled").toBool());
    QTest::qWait(500); // the section fades in
    QVERIFY(waitForFrame(m_launcher->view()));
    QVERIFY(m_launcher->view()->grabWindow().save(QStringLiteral("screenshots/settings_map_keys.png")));
    QMetaObject::invokeMethod(dialog, "close");
}

QTEST_MAIN(tst_ObserverMap)
#include "tst_ObserverMap.moc"
