#include "ObserverPeers.h"

#include "datamodel/definitions/SourceDefinition.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/models/DeviceObserverModel.h"
#include "observation/observers/ObserverManager.h"
#include "support/FrameTestFixtures.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedTrackerNode.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>
#include <QQuickWindow>

struct ObserverPeers::Peer
{
    ObservedBlockScript script;
    std::unique_ptr<SimulatedBlock> block = std::make_unique<SimulatedBlock>(SimulatedBlock::Scheme::Https);
    std::unique_ptr<SimulatedTrackerNode> node;
};

namespace {

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A record as the block nests it: its version and its values.
QJsonObject record(const QVariantMap &values)
{
    return {{QStringLiteral("version"), 1}, {QStringLiteral("data"), QJsonObject::fromVariantMap(values)}};
}

} // namespace

ObserverPeers::ObserverPeers(FavoriteDeviceModel *favourites, QObject *parent)
    : QObject(parent)
    , m_favourites(favourites)
{
}

ObserverPeers::~ObserverPeers() = default;

int ObserverPeers::addBlock(const QVariantMap &options)
{
    auto peer = std::make_unique<Peer>();
    if (!peer->block->listen())
        return -1;
    ObservedBlockScript &script = peer->script;
    script.cubeCount = options.value(QStringLiteral("cubeCount"), 1).toInt();
    script.firstCubeId = options.value(QStringLiteral("firstCubeId"), 1).toInt();
    script.deviceType = options.value(QStringLiteral("deviceType"), script.deviceType).toString();
    script.blockVersion = options.value(QStringLiteral("blockVersion"), script.blockVersion).toString();
    if (options.value(QStringLiteral("node")).toBool()) {
        peer->node = std::make_unique<SimulatedTrackerNode>();
        if (!peer->node->listen())
            return -1;
        script.nodeAddress = peer->node->address().toString();
        script.nodePort = peer->node->port();
        // The node offers every camera the block lists, under the definition the block gives.
        QMap<quint32, QHash<QString, QVariant>> sources;
        for (int i = 0; i < script.cubeCount; ++i) {
            const QJsonObject cube = script.cubeObject(script.firstCubeId + i);
            for (const QJsonValue &camera : cube.value(QStringLiteral("cameras")).toArray()) {
                const auto definition = kvr::tracker::common::SourceDefinition::createFromJson(
                    camera.toObject().value(QStringLiteral("source_definition")).toObject());
                if (definition)
                    sources.insert(quint32(sources.size() + 1), frametest::nodeSource(definition));
            }
        }
        peer->node->setSourcesData(sources);
        peer->node->setFrame(frametest::jpegFrame(QSize(320, 180)));
        peer->node->setFrameTimestamps(true);
        peer->node->setFrameInterval(40);
    }
    script.install(*peer->block);
    if (!options.value(QStringLiteral("cubeEnabled"), true).toBool()) {
        QJsonArray cubes = script.cubes();
        for (int i = 0; i < cubes.size(); ++i) {
            QJsonObject cube = cubes.at(i).toObject();
            cube.insert(QStringLiteral("enabled"), false);
            cubes.replace(i, cube);
        }
        peer->block->setReply("/cubes/all", 200, "application/json", json({{QStringLiteral("cubes"), cubes}}));
    }

    FavoriteDevice device(QStringLiteral("127.0.0.1:%1").arg(peer->block->port()), QStringLiteral("operator"),
                          options.value(QStringLiteral("password"), QStringLiteral("secret")).toString());
    device.setName(options.value(QStringLiteral("name"), QStringLiteral("Block %1").arg(m_peers.size() + 1)).toString());
    device.setType(options.value(QStringLiteral("type"), 32).toInt());
    m_favourites->addDevice(device);
    m_peers.push_back(std::move(peer));
    return int(m_peers.size()) - 1;
}

void ObserverPeers::setCubeState(int block, const QVariantMap &camera, const QVariantMap &analytics)
{
    if (block < 0 || block >= int(m_peers.size()))
        return;
    SimulatedBlock *target = m_peers[block]->block.get();
    QVariantMap dynamicValues = camera;
    const QString sourceState = dynamicValues.take(QStringLiteral("source_state")).toString();
    target->setResponder("/cubes/cameras/info", [target, sourceState, dynamicValues](const SimulatedBlock::Request &request) {
        QJsonObject info = ObservedBlockScript::cameraInfo(sourceState, 1700000000000LL + target->elapsedMs());
        info.insert(QStringLiteral("source_info_dynamic"), record(dynamicValues));
        SimulatedBlock::Reply reply;
        reply.body = ObservedBlockScript::pollReply(request.body, QStringLiteral("camera_info"), info);
        return reply;
    });
    const QString processing = analytics.value(QStringLiteral("processing_state"), QStringLiteral("Processing")).toString();
    const QVariant home = analytics.value(QStringLiteral("home_position"));
    target->setResponder("/cubes/analytics/info", [target, processing, home](const SimulatedBlock::Request &request) {
        QJsonObject info = ObservedBlockScript::analyticInfo(quint64(1700000000000LL + target->elapsedMs()), processing);
        if (home.isValid())
            info.insert(QStringLiteral("home_position"), QJsonObject::fromVariantMap(home.toMap()));
        SimulatedBlock::Reply reply;
        reply.body = ObservedBlockScript::pollReply(request.body, QStringLiteral("analytic_info"), info);
        return reply;
    });
}

void ObserverPeers::setReply(int block, const QString &path, int status, const QVariantMap &body)
{
    if (block >= 0 && block < int(m_peers.size()))
        m_peers[block]->block->setReply(path.toUtf8(), status, "application/json", json(QJsonObject::fromVariantMap(body)));
}

void ObserverPeers::setSilent(int block, bool silent)
{
    if (block < 0 || block >= int(m_peers.size()))
        return;
    for (const QByteArray &path : SimulatedBlock::blockPaths())
        m_peers[block]->block->setNoAnswer(path, silent);
}

int ObserverPeers::requestCount(int block, const QString &path) const
{
    if (block < 0 || block >= int(m_peers.size()))
        return -1;
    return m_peers[block]->block->requests(path.toUtf8()).size();
}

void ObserverPeers::shortenPolls(QObject *manager) const
{
    if (auto *observerManager = qobject_cast<ObserverManager *>(manager))
        observerManager->setPollIntervals(200, 100, 100);
}

int ObserverPeers::loginStatus(QObject *manager, int row) const
{
    auto *observerManager = qobject_cast<ObserverManager *>(manager);
    if (!observerManager)
        return -1;
    const QModelIndex index = observerManager->deviceModel()->index(row, 0);
    return index.isValid() ? index.data(DeviceObserverModel::LoginStatusRole).toInt() : -1;
}

int ObserverPeers::framesSent(int block) const
{
    if (block < 0 || block >= int(m_peers.size()) || !m_peers[block]->node)
        return -1;
    return m_peers[block]->node->framesSent();
}

bool ObserverPeers::screenshotsWanted() const
{
    return !qEnvironmentVariableIsEmpty("ORVA_SCREENSHOT_DIR");
}

bool ObserverPeers::screenshot(QQuickItem *item, const QString &name) const
{
    const QString folder = qEnvironmentVariable("ORVA_SCREENSHOT_DIR");
    if (folder.isEmpty() || !item || !item->window())
        return false;
    QDir().mkpath(folder);
    return item->window()->grabWindow().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void ObserverPeers::clear()
{
    m_favourites->clear();
    m_peers.clear();
}
