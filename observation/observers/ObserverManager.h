#pragma once

#include "devices/models/FavoriteDeviceModel.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/models/DeviceObserverModel.h"

#include <QModelIndex>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVector>

#include <memory>

// The observer page's element: one device observer per favourite device with an address, a
// user name and a password; every cube they report; the page's view state. Setting a source
// model rebuilds the observation. GUI thread only.
namespace kvr::QMTClient {
class FrameReceiver;
}

class ObserverManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(CubeObserverModel *cubeModel READ cubeModel CONSTANT)
    Q_PROPERTY(DeviceObserverModel *deviceModel READ deviceModel CONSTANT)
    Q_PROPERTY(FavoriteDeviceModel *sourceModel READ sourceModel WRITE setSourceModel NOTIFY sourceModelChanged)
    Q_PROPERTY(double cubeViewPosition READ cubeViewPosition WRITE setCubeViewPosition NOTIFY cubeViewPositionChanged)
    Q_PROPERTY(double deviceViewPosition READ deviceViewPosition WRITE setDeviceViewPosition
                   NOTIFY deviceViewPositionChanged)
    Q_PROPERTY(int highlightedCubeId READ highlightedCubeId WRITE setHighlightedCubeId NOTIFY highlightedCubeIdChanged)
    Q_PROPERTY(ObserverViewStyle observerViewStyle READ observerViewStyle WRITE setObserverViewStyle
                   NOTIFY observerViewStyleChanged)

public:
    enum ObserverViewStyle { CubeView = 0, DeviceView = 1, MapView = 2 };
    Q_ENUM(ObserverViewStyle)

    explicit ObserverManager(QObject *parent = nullptr);
    // Releases its models (and with them the observers), then the frame receivers that its
    // cameras used and no other live manager's cameras use.
    ~ObserverManager() override;

    CubeObserverModel *cubeModel() { return &m_cubeModel; }
    DeviceObserverModel *deviceModel() { return &m_deviceModel; }
    FavoriteDeviceModel *sourceModel() const { return m_sourceModel; }
    double cubeViewPosition() const { return m_cubeViewPosition; }
    double deviceViewPosition() const { return m_deviceViewPosition; }
    int highlightedCubeId() const { return m_highlightedCubeId; }
    ObserverViewStyle observerViewStyle() const { return m_observerViewStyle; }

    void setSourceModel(FavoriteDeviceModel *model);
    void setCubeViewPosition(double position);
    void setDeviceViewPosition(double position);
    void setHighlightedCubeId(int id);
    void setObserverViewStyle(ObserverViewStyle style);

    Q_INVOKABLE void addCubeObserver(const FavoriteDevice &favoriteDevice, const QModelIndex &sourceIndex);
    Q_INVOKABLE void logoutObservers();

    // Applied to every device observer started afterwards (tests and benchmarks shorten them).
    void setPollIntervals(int blockStatusMs, int analyticsMs, int camerasMs);

signals:
    void sourceModelChanged();
    void cubeViewPositionChanged();
    void deviceViewPositionChanged();
    void highlightedCubeIdChanged();
    void observerViewStyleChanged();

public slots:
    void loadSourceModel();
    void onCubesReady(QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>> cubes);
    void onLoginStatusChanged();
    void onCurrentVersionNumberChanged();
    void onOrvaSerialNumberChanged();

private:
    void refreshRow(int role);
    // The node receivers this manager's cameras are attached to.
    QSet<kvr::QMTClient::FrameReceiver *> frameReceivers() const;
    static void releaseFrameReceivers(const QSet<kvr::QMTClient::FrameReceiver *> &receivers);

    CubeObserverModel m_cubeModel;
    DeviceObserverModel m_deviceModel;
    QPointer<FavoriteDeviceModel> m_sourceModel;
    double m_cubeViewPosition = 0;
    double m_deviceViewPosition = 0;
    int m_highlightedCubeId = -1;
    ObserverViewStyle m_observerViewStyle = CubeView;
    int m_pollIntervals[3] = {2000, 500, 3000};
};
