#include "ObserverPeers.h"

#include "datamodel/definitions/SourceDefinition.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/models/DeviceObserverModel.h"
#include "observation/observers/CubeObserver.h"
#include "observation/observers/ObserverManager.h"
#include "support/FrameTestFixtures.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedTrackerNode.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>
#include <QQuickWindow>

#include <algorithm>

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

// A valid camera of its own: the shared camera fixture under another source id and stream.
QJsonObject cameraDefinition(int sourceId)
{
    QJsonObject object = frametest::definitionFixture("camera_v2.json");
    QJsonObject data = object.value(QStringLiteral("data")).toObject();
    QJsonObject input = data.value(QStringLiteral("input_parameters")).toObject();
    QJsonObject inputData = input.value(QStringLiteral("data")).toObject();
    inputData.insert(QStringLiteral("connection_string"), QStringLiteral("rtsp://127.0.0.1:554/%1").arg(sourceId));
    input.insert(QStringLiteral("data"), inputData);
    data.insert(QStringLiteral("input_parameters"), input);
    data.remove(QStringLiteral("reference_frame_parameters"));
    data.insert(QStringLiteral("source_id"), sourceId);
    data.insert(QStringLiteral("source_definition_name"), QStringLiteral("Camera %1").arg(sourceId));
    object.insert(QStringLiteral("data"), data);
    return object;
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
    script.camerasPerCube = options.value(QStringLiteral("cameras"), 1).toInt();
    script.deviceType = options.value(QStringLiteral("deviceType"), script.deviceType).toString();
    script.blockVersion = options.value(QStringLiteral("blockVersion"), script.blockVersion).toString();
    if (options.value(QStringLiteral("node")).toBool()) {
        peer->node = std::make_unique<SimulatedTrackerNode>();
        if (!peer->node->listen())
            return -1;
        peer->node->setFrame(frametest::jpegFrame(options.value(QStringLiteral("frameSize"), QSize(320, 180)).toSize()));
        peer->node->setFrameTimestamps(true);
        peer->node->setFrameInterval(40);
    }
    script.install(*peer->block);
    // Cameras whose definitions a node can stream (the script's minimal ones are not valid),
    // offered by the block's own node under the same definitions.
    const bool enabled = options.value(QStringLiteral("cubeEnabled"), true).toBool();
    QJsonArray cubes = script.cubes();
    QMap<quint32, QHash<QString, QVariant>> sources;
    for (int i = 0; i < cubes.size(); ++i) {
        QJsonObject cube = cubes.at(i).toObject();
        cube.insert(QStringLiteral("enabled"), enabled);
        if (options.contains(QStringLiteral("cubeName")))
            cube.insert(QStringLiteral("name"), options.value(QStringLiteral("cubeName")).toString());
        QJsonArray cameras = cube.value(QStringLiteral("cameras")).toArray();
        for (int j = 0; j < cameras.size(); ++j) {
            QJsonObject camera = cameras.at(j).toObject();
            const QJsonObject definition = cameraDefinition(cube.value(QStringLiteral("id")).toInt() * 100 + j);
            camera.insert(QStringLiteral("source_definition"), definition);
            cameras.replace(j, camera);
            if (const auto parsed = kvr::tracker::common::SourceDefinition::createFromJson(definition))
                sources.insert(quint32(sources.size() + 1), frametest::nodeSource(parsed));
        }
        cube.insert(QStringLiteral("cameras"), cameras);
        cubes.replace(i, cube);
    }
    peer->block->setReply("/cubes/all", 200, "application/json", json({{QStringLiteral("cubes"), cubes}}));
    if (peer->node)
        peer->node->setSourcesData(sources);

    // The node's port rides on the favourite's address, after the block's own.
    const QString address = peer->node ? QStringLiteral("127.0.0.1:%1:%2").arg(peer->block->port()).arg(peer->node->port())
                                       : QStringLiteral("127.0.0.1:%1").arg(peer->block->port());
    FavoriteDevice device(address, QStringLiteral("operator"),
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

void ObserverPeers::hold(int block, const QString &path)
{
    if (block >= 0 && block < int(m_peers.size()))
        m_peers[block]->block->setAction(path.toUtf8(), SimulatedBlock::Action::Hold);
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

void ObserverPeers::sendUndecodableFrames(int block)
{
    if (block < 0 || block >= int(m_peers.size()) || !m_peers[block]->node)
        return;
    QVariantMap frame = m_peers[block]->node->frame();
    frame.insert(QStringLiteral("data"), QByteArray("\xff\xd8\xff\xd9 not a picture"));
    m_peers[block]->node->setFrame(frame);
}

int ObserverPeers::requestingCubes(QObject *manager) const
{
    auto *observerManager = qobject_cast<ObserverManager *>(manager);
    if (!observerManager)
        return -1;
    const auto cubes = observerManager->cubeModel()->items();
    return int(std::count_if(cubes.cbegin(), cubes.cend(), [](const auto &cube) { return cube && cube->requestingFrames(); }));
}

QString ObserverPeers::webAddress(const QString &path)
{
    if (!m_web) {
        m_web = std::make_unique<SimulatedBlock>(SimulatedBlock::Scheme::Http);
        if (!m_web->listen())
            return QString();
    }
    // A small image at every address asked for, so that a fetch succeeds.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    m_web->setReply(path.toUtf8(), 200, "image/png", png);
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_web->port()).arg(path);
}

int ObserverPeers::webRequests(const QString &path) const
{
    return m_web ? m_web->requests(path.toUtf8()).size() : 0;
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
    m_web.reset();
}
