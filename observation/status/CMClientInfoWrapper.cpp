#include "observation/status/CMClientInfoWrapper.h"

#include <QSize>

using kvr::tracker::common::SourceInfoDynamic;
using kvr::tracker::common::SourceInfoStatic;
using kvr::tracker::common::SourceTimestamp;

namespace {

QSize toQSize(const cv::Size &size)
{
    return QSize(size.width, size.height);
}

// A copy of `record` with one value set through the record's own setter.
template <class Record, class Parameter, class Value>
Record withValue(const Record &record, void (Record::*set)(Parameter), const Value &value)
{
    Record copy = record;
    (copy.*set)(value);
    return copy;
}

} // namespace

CMClientInfoWrapper::CMClientInfoWrapper(QObject *parent)
    : QObject(parent)
{
    static const int registered = [] {
        qRegisterMetaType<SourceInfoDynamic>("kvr::tracker::common::SourceInfoDynamic");
        qRegisterMetaType<SourceTimestamp>("kvr::tracker::common::SourceTimestamp");
        qRegisterMetaType<kvr::CMClientInfo>("kvr::CMClientInfo");
        qRegisterMetaType<std::shared_ptr<SourceInfoStatic>>("std::shared_ptr<kvr::tracker::common::SourceInfoStatic>");
        qRegisterMetaType<std::shared_ptr<SourceInfoDynamic>>("std::shared_ptr<kvr::tracker::common::SourceInfoDynamic>");
        qRegisterMetaType<std::shared_ptr<SourceTimestamp>>("std::shared_ptr<kvr::tracker::common::SourceTimestamp>");
        return qRegisterMetaType<SourceInfoStatic>("kvr::tracker::common::SourceInfoStatic");
    }();
    Q_UNUSED(registered)
}

void CMClientInfoWrapper::read(const QJsonObject &object)
{
    const SourceInfoStatic oldStatic = m_info.sourceInfoStatic();
    const SourceInfoDynamic oldDynamic = m_info.sourceInfoDynamic();
    const QString oldState = m_info.sourceState();
    const QString oldStateInfo = m_info.sourceStateInfo();
    const bool oldSet = m_info.sourceInfoSet();
    m_info.read(object);
    if (m_info.sourceInfoStatic() != oldStatic)
        emit sourceInfoStaticChanged(m_info.sourceInfoStatic());
    if (m_info.sourceInfoDynamic() != oldDynamic)
        emit sourceInfoDynamicChanged(m_info.sourceInfoDynamic());
    if (m_info.sourceState() != oldState)
        emit sourceStateChanged(m_info.sourceState());
    if (m_info.sourceStateInfo() != oldStateInfo)
        emit sourceStateInfoChanged(m_info.sourceStateInfo());
    if (m_info.sourceInfoSet() != oldSet)
        emit sourceInfoSetChanged(m_info.sourceInfoSet());
}

void CMClientInfoWrapper::setSourceInfoStaticSharedPtr(std::shared_ptr<SourceInfoStatic> srcInfoStatic)
{
    if (srcInfoStatic)
        setSourceInfoStatic(*srcInfoStatic);
}

void CMClientInfoWrapper::setSourceInfoStatic(SourceInfoStatic srcInfoStatic)
{
    if (m_info.sourceInfoStatic() == srcInfoStatic)
        return;
    // Storing static information marks it as set: QML learns of that too.
    const bool wasSet = m_info.sourceInfoSet();
    m_info.setSourceInfoStatic(srcInfoStatic);
    emit sourceInfoStaticChanged(srcInfoStatic);
    if (!wasSet)
        emit sourceInfoSetChanged(true);
}

void CMClientInfoWrapper::setSourceInfoDynamicSharedPtr(std::shared_ptr<SourceInfoDynamic> srcInfoDynamic)
{
    if (srcInfoDynamic)
        setSourceInfoDynamic(*srcInfoDynamic);
}

void CMClientInfoWrapper::setSourceInfoDynamic(SourceInfoDynamic srcInfoDynamic)
{
    if (m_info.sourceInfoDynamic() == srcInfoDynamic)
        return;
    m_info.setSourceInfoDynamic(srcInfoDynamic);
    emit sourceInfoDynamicChanged(srcInfoDynamic);
}

void CMClientInfoWrapper::setSourceState(QString sourceState)
{
    if (m_info.sourceState() == sourceState)
        return;
    m_info.setSourceState(sourceState);
    emit sourceStateChanged(sourceState);
}

void CMClientInfoWrapper::setSourceStateInfo(QString sourceStateInfo)
{
    if (m_info.sourceStateInfo() == sourceStateInfo)
        return;
    m_info.setSourceStateInfo(sourceStateInfo);
    emit sourceStateInfoChanged(sourceStateInfo);
}

void CMClientInfoWrapper::setSourceInfoSet(bool set)
{
    if (m_info.sourceInfoSet() == set)
        return;
    m_info.setSourceInfoSet(set);
    emit sourceInfoSetChanged(set);
}

void CMClientInfoWrapper::onSourceStatusReceived(uint, QString sourceStatus, QString sourceStateInfo)
{
    setSourceState(sourceStatus);
    setSourceStateInfo(sourceStateInfo);
}

void CMClientInfoWrapper::onSourceStatusReceived(uint sourceID, QString sourceStatus)
{
    onSourceStatusReceived(sourceID, sourceStatus, QString());
}

void CMClientInfoWrapper::onClientDisconnected()
{
    if (m_info.sourceInfoDynamic().getRecordingFlag()) {
        SourceInfoDynamic dynamic = m_info.sourceInfoDynamic();
        dynamic.setRecordingFlag(false);
        dynamic.setRecordingMessage(QStringLiteral("error"));
        setSourceInfoDynamic(dynamic);
    }
    setSourceState(QStringLiteral("offline"));
    setSourceStateInfo(QString());
}

void CMClientInfoWrapper::setSourceTimestampSharedPtr(std::shared_ptr<SourceTimestamp> sourceTimestamp)
{
    if (sourceTimestamp)
        setSourceTimestamp(*sourceTimestamp);
}

void CMClientInfoWrapper::setSourceTimestamp(SourceTimestamp sourceTimestamp)
{
    if (m_info.sourceTimestamp() == sourceTimestamp)
        return;
    m_info.setSourceTimestamp(sourceTimestamp);
    emit sourceTimestampChanged(sourceTimestamp);
}

void CMClientInfoWrapper::setSourceVideoSize(cv::Size size)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setSourceResolution, toQSize(size)));
}

void CMClientInfoWrapper::setVideoSize(cv::Size size)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setDisplayResolution, toQSize(size)));
}

void CMClientInfoWrapper::setDetectionVideoSize(cv::Size size)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setDetectionResolution, toQSize(size)));
}

void CMClientInfoWrapper::setMapToWorkScale(double mapToWorkScale)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setMapToWorkScale, mapToWorkScale));
}

void CMClientInfoWrapper::setIsGeoregistrated(bool georegistrated)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setIsGeoregistered, georegistrated));
}

void CMClientInfoWrapper::setFrameRate(double fps)
{
    setSourceInfoStatic(withValue(m_info.sourceInfoStatic(), &SourceInfoStatic::setSourceFPS, fps));
}

void CMClientInfoWrapper::setDetectorFrameRate(double fps)
{
    setSourceInfoDynamic(withValue(m_info.sourceInfoDynamic(), &SourceInfoDynamic::setDetectorFPS, fps));
}

void CMClientInfoWrapper::setTrackerFrameRate(double fps)
{
    setSourceInfoDynamic(withValue(m_info.sourceInfoDynamic(), &SourceInfoDynamic::setTrackerFPS, fps));
}

void CMClientInfoWrapper::setCMClientInfo(kvr::CMClientInfo cmClientInfo)
{
    m_info = cmClientInfo;
}

kvr::CMClientInfo CMClientInfoWrapper::cmClientInfo() const
{
    return m_info;
}
