#pragma once

#include "core/data/SourceInfoDynamic.h"
#include "core/data/SourceInfoStatic.h"
#include "core/data/SourceTimestamp.h"

#include <QJsonObject>
#include <QMetaType>
#include <QString>

namespace kvr {

// The state of a camera's tracker client as a block reports it: time stamp, state texts and
// the source's static and dynamic runtime information. A plain value; CMClientInfoWrapper
// turns it into QML properties.
class CMClientInfo
{
public:
    CMClientInfo() = default;

    // "source_timestamp", "source_state", "source_state_info", "source_info_static",
    // "source_info_dynamic", "source_info_set"; absent keys read as empty records, texts, false.
    void read(const QJsonObject &object);

    const tracker::common::SourceTimestamp &sourceTimestamp() const { return m_sourceTimestamp; }
    void setSourceTimestamp(const tracker::common::SourceTimestamp &timestamp) { m_sourceTimestamp = timestamp; }
    const QString &sourceState() const { return m_sourceState; }
    void setSourceState(const QString &state) { m_sourceState = state; }
    const QString &sourceStateInfo() const { return m_sourceStateInfo; }
    void setSourceStateInfo(const QString &stateInfo) { m_sourceStateInfo = stateInfo; }
    bool sourceInfoSet() const { return m_sourceInfoSet; }
    void setSourceInfoSet(bool set) { m_sourceInfoSet = set; }
    const tracker::common::SourceInfoStatic &sourceInfoStatic() const { return m_sourceInfoStatic; }
    // Static information counts as received once it is stored: also sets sourceInfoSet.
    void setSourceInfoStatic(const tracker::common::SourceInfoStatic &info);
    const tracker::common::SourceInfoDynamic &sourceInfoDynamic() const { return m_sourceInfoDynamic; }
    void setSourceInfoDynamic(const tracker::common::SourceInfoDynamic &info) { m_sourceInfoDynamic = info; }

private:
    tracker::common::SourceTimestamp m_sourceTimestamp;
    QString m_sourceState;
    QString m_sourceStateInfo;
    bool m_sourceInfoSet = false;
    tracker::common::SourceInfoStatic m_sourceInfoStatic;
    tracker::common::SourceInfoDynamic m_sourceInfoDynamic;
};

} // namespace kvr

Q_DECLARE_METATYPE(kvr::CMClientInfo)
