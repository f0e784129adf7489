#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <vector>

class FavoriteDeviceModel;
class QQuickItem;
class SimulatedBlock;
class SimulatedTrackerNode;

// The peers of the observer views' QML tests: simulated blocks on 127.0.0.1 entered as favourite
// devices, each with its own tracker node when asked, scripted from the test documents.
// GUI thread only.
class ObserverPeers : public QObject
{
    Q_OBJECT

public:
    explicit ObserverPeers(FavoriteDeviceModel *favourites, QObject *parent = nullptr);
    ~ObserverPeers() override;

    // A block answering as ObservedBlockScript does, added as a favourite; returns its number.
    // Options: "cubeCount", "deviceType", "blockVersion", "name", "type" (the favourite's kind),
    // "password" (empty: the favourite is not observed), "node" (stream live frames),
    // "cubeEnabled" (false: every cube's analytics disabled), "cubeName" (every cube's name),
    // "cameras" (per cube), "frameSize" (of the node's JPEG frames; 320x180 when not given).
    Q_INVOKABLE int addBlock(const QVariantMap &options);
    // What the block reports for every camera and cube from now on. Camera keys:
    // "source_state", "stabilization_state", "ptz_position_state", "ptz_control_state";
    // analytics keys: "processing_state", "home_position" (enables the home position).
    Q_INVOKABLE void setCubeState(int block, const QVariantMap &camera, const QVariantMap &analytics);
    Q_INVOKABLE void setReply(int block, const QString &path, int status, const QVariantMap &body);
    // The block keeps its answers to the path until the peers are cleared.
    Q_INVOKABLE void hold(int block, const QString &path);
    // A block that no longer answers at all.
    Q_INVOKABLE void setSilent(int block, bool silent);
    Q_INVOKABLE int requestCount(int block, const QString &path) const;
    // Poll the blocks fast: for an ObserverManager whose sourceModel is set afterwards.
    Q_INVOKABLE void shortenPolls(QObject *manager) const;
    // The log-in status of the observer in the manager's device model row.
    Q_INVOKABLE int loginStatus(QObject *manager, int row) const;
    Q_INVOKABLE int framesSent(int block) const;
    // The block's node goes on sending frames, none of which decodes.
    Q_INVOKABLE void sendUndecodableFrames(int block);
    // How many of the manager's cubes ask their nodes for frames now.
    Q_INVOKABLE int requestingCubes(QObject *manager) const;
    // An address on a plain HTTP server of ours, and how often it was asked for.
    Q_INVOKABLE QString webAddress(const QString &path);
    Q_INVOKABLE int webRequests(const QString &path) const;
    Q_INVOKABLE bool screenshotsWanted() const;
    // Saves the item's window as it stands, in device pixels, into $ORVA_SCREENSHOT_DIR (when set).
    Q_INVOKABLE bool screenshot(QQuickItem *item, const QString &name) const;
    // Stops every peer and empties the favourites.
    Q_INVOKABLE void clear();

private:
    struct Peer;

    FavoriteDeviceModel *m_favourites;
    std::vector<std::unique_ptr<Peer>> m_peers;
    std::unique_ptr<SimulatedBlock> m_web;
};
