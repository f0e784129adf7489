#include "observation/status/SourceInfo.h"

#include "core/property/AssignProperty.h"

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
    assignProperty(this, m_connectionString, connectionString, &SourceInfo::connectionStringChanged);
}

void SourceInfo::setOnvifConnectionString(QString onvifConnectionString)
{
    assignProperty(this, m_onvifConnectionString, onvifConnectionString,
                   &SourceInfo::onvifConnectionStringChanged);
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
    assignProperty(this, m_PTZCoordsEmpty, empty, &SourceInfo::PTZCoordsEmptyChanged);
}
