#include "observation/status/SourceInfo.h"

#include <cmath>

SourceInfo::SourceInfo(QObject *parent)
    : QObject(parent)
{
    static const int registered = qRegisterMetaType<CMClientInfoWrapper *>("CMClientInfoWrapper *");
    Q_UNUSED(registered)
    connect(&m_cmClientInfo, &CMClientInfoWrapper::sourceInfoDynamicChanged, this, &SourceInfo::updatePTZCoordsEmpty);
}

void SourceInfo::read(const QJsonObject &object)
{
    setConnectionString(object.value(QLatin1String("connection_string")).toString());
    setOnvifConnectionString(object.value(QLatin1String("onvif_connection_string")).toString());
    CMClientInfoWrapper reader;
    reader.read(object);
    setCMClientInfo(reader.cmClientInfo());
}

void SourceInfo::setConnectionString(QString connectionString)
{
    if (m_connectionString == connectionString)
        return;
    m_connectionString = connectionString;
    emit connectionStringChanged(connectionString);
}

void SourceInfo::setOnvifConnectionString(QString onvifConnectionString)
{
    if (m_onvifConnectionString == onvifConnectionString)
        return;
    m_onvifConnectionString = onvifConnectionString;
    emit onvifConnectionStringChanged(onvifConnectionString);
}

void SourceInfo::setCMClientInfo(kvr::CMClientInfo cmClientInfo)
{
    // Setter by setter, so that each changed part signals on the member.
    m_cmClientInfo.setSourceInfoStatic(cmClientInfo.sourceInfoStatic());
    m_cmClientInfo.setSourceInfoDynamic(cmClientInfo.sourceInfoDynamic());
    m_cmClientInfo.setSourceState(cmClientInfo.sourceState());
    m_cmClientInfo.setSourceStateInfo(cmClientInfo.sourceStateInfo());
    m_cmClientInfo.setSourceInfoSet(cmClientInfo.sourceInfoSet());
    m_cmClientInfo.setSourceTimestamp(cmClientInfo.sourceTimestamp());
}

void SourceInfo::updatePTZCoordsEmpty()
{
    // An absent key reads as 0, a usable coordinate; only NaN means "no position".
    const auto dynamic = m_cmClientInfo.sourceInfoDynamic();
    const bool empty = std::isnan(dynamic.getPTZPan()) || std::isnan(dynamic.getPTZTilt())
        || std::isnan(dynamic.getPTZZoom());
    if (m_PTZCoordsEmpty == empty)
        return;
    m_PTZCoordsEmpty = empty;
    emit PTZCoordsEmptyChanged(empty);
}
