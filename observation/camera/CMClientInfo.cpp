#include "observation/camera/CMClientInfo.h"

#include <QJsonValue>

namespace kvr {

namespace {

const QString kSourceTimestamp = QStringLiteral("source_timestamp");
const QString kSourceState = QStringLiteral("source_state");
const QString kSourceStateInfo = QStringLiteral("source_state_info");
const QString kSourceInfoStatic = QStringLiteral("source_info_static");
const QString kSourceInfoDynamic = QStringLiteral("source_info_dynamic");
const QString kSourceInfoSet = QStringLiteral("source_info_set");

} // namespace

void CMClientInfo::read(const QJsonObject &object)
{
    // Each record is read whole (an absent object clears it): the block's report replaces it.
    m_sourceTimestamp.read(object.value(kSourceTimestamp).toObject());
    m_sourceState = object.value(kSourceState).toString();
    m_sourceStateInfo = object.value(kSourceStateInfo).toString();
    m_sourceInfoStatic.read(object.value(kSourceInfoStatic).toObject());
    m_sourceInfoDynamic.read(object.value(kSourceInfoDynamic).toObject());
    m_sourceInfoSet = object.value(kSourceInfoSet).toBool();
}

void CMClientInfo::setSourceInfoStatic(const tracker::common::SourceInfoStatic &info)
{
    m_sourceInfoStatic = info;
    m_sourceInfoSet = true;
}

} // namespace kvr
