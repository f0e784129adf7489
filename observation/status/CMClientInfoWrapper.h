#pragma once

#include "observation/camera/CMClientInfo.h"

#include <QJsonObject>
#include <QObject>

#include <opencv2/core/types.hpp>

#include <memory>

// A camera source's tracker-client state for QML. Every setter stores and signals only a real
// change; static and dynamic information compare by the records' equality. GUI thread only;
// the shared-pointer slots take the records a node client emits from its thread.
class CMClientInfoWrapper : public QObject
{
    Q_OBJECT
    Q_PROPERTY(kvr::tracker::common::SourceInfoStatic sourceInfoStatic READ sourceInfoStatic NOTIFY sourceInfoStaticChanged)
    Q_PROPERTY(kvr::tracker::common::SourceInfoDynamic sourceInfoDynamic READ sourceInfoDynamic NOTIFY sourceInfoDynamicChanged)
    Q_PROPERTY(QString sourceState READ sourceState NOTIFY sourceStateChanged)
    Q_PROPERTY(QString sourceStateInfo READ sourceStateInfo NOTIFY sourceStateInfoChanged)
    Q_PROPERTY(bool sourceInfoSet READ sourceInfoSet NOTIFY sourceInfoSetChanged)

public:
    explicit CMClientInfoWrapper(QObject *parent = nullptr);

    kvr::tracker::common::SourceInfoStatic sourceInfoStatic() const { return m_info.sourceInfoStatic(); }
    kvr::tracker::common::SourceInfoDynamic sourceInfoDynamic() const { return m_info.sourceInfoDynamic(); }
    QString sourceState() const { return m_info.sourceState(); }
    QString sourceStateInfo() const { return m_info.sourceStateInfo(); }
    bool sourceInfoSet() const { return m_info.sourceInfoSet(); }
    kvr::tracker::common::SourceTimestamp sourceTimestamp() const { return m_info.sourceTimestamp(); }

    // Applies a camera's client-state object (kvr::CMClientInfo::read); signals each part that
    // changed, the time stamp excepted.
    void read(const QJsonObject &object);

public slots:
    void setSourceInfoStaticSharedPtr(std::shared_ptr<kvr::tracker::common::SourceInfoStatic> srcInfoStatic);
    // Also marks the information as set.
    void setSourceInfoStatic(kvr::tracker::common::SourceInfoStatic srcInfoStatic);
    void setSourceInfoDynamicSharedPtr(std::shared_ptr<kvr::tracker::common::SourceInfoDynamic> srcInfoDynamic);
    void setSourceInfoDynamic(kvr::tracker::common::SourceInfoDynamic srcInfoDynamic);
    void setSourceState(QString sourceState);
    void setSourceStateInfo(QString sourceStateInfo);
    void setSourceInfoSet(bool set);
    void onSourceStatusReceived(uint sourceID, QString sourceStatus, QString sourceStateInfo);
    void onSourceStatusReceived(uint sourceID, QString sourceStatus);
    // A recording in progress ends in "error"; the source goes "offline".
    void onClientDisconnected();
    void setSourceTimestampSharedPtr(std::shared_ptr<kvr::tracker::common::SourceTimestamp> sourceTimestamp);
    void setSourceTimestamp(kvr::tracker::common::SourceTimestamp sourceTimestamp);
    void setSourceVideoSize(cv::Size size);
    void setVideoSize(cv::Size size);
    void setDetectionVideoSize(cv::Size size);
    void setMapToWorkScale(double mapToWorkScale);
    void setIsGeoregistrated(bool georegistrated);
    void setFrameRate(double fps);
    void setDetectorFrameRate(double fps);
    void setTrackerFrameRate(double fps);
    // Replaces the whole record without any signal.
    void setCMClientInfo(kvr::CMClientInfo cmClientInfo);
    kvr::CMClientInfo cmClientInfo() const;

signals:
    void sourceInfoStaticChanged(kvr::tracker::common::SourceInfoStatic sourceInfoStatic);
    void sourceInfoDynamicChanged(kvr::tracker::common::SourceInfoDynamic sourceInfoDynamic);
    void sourceStateChanged(QString sourceState);
    void sourceStateInfoChanged(QString sourceStateInfo);
    void sourceInfoSetChanged(bool set);
    void sourceTimestampChanged(kvr::tracker::common::SourceTimestamp sourceTimestamp);

private:
    kvr::CMClientInfo m_info;
};
