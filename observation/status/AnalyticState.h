#pragma once

#include "app/services/OrvaGlobal.h"

#include <QMetaType>
#include <QObject>

// The processing and visibility state of a cube's analytics, as a value for QML.
class AnalyticState
{
    Q_GADGET
    Q_PROPERTY(kvr::orva::ProcessingState processingState READ processingState WRITE setProcessingState)
    Q_PROPERTY(kvr::orva::VisibilityState visibilityState READ visibilityState WRITE setVisibilityState)

public:
    AnalyticState() = default;
    AnalyticState(kvr::orva::ProcessingState processing, kvr::orva::VisibilityState visibility)
        : m_processingState(processing)
        , m_visibilityState(visibility)
    {
    }

    kvr::orva::ProcessingState processingState() const { return m_processingState; }
    void setProcessingState(kvr::orva::ProcessingState state) { m_processingState = state; }
    kvr::orva::VisibilityState visibilityState() const { return m_visibilityState; }
    void setVisibilityState(kvr::orva::VisibilityState state) { m_visibilityState = state; }

    bool operator==(const AnalyticState &other) const
    {
        return m_processingState == other.m_processingState && m_visibilityState == other.m_visibilityState;
    }
    bool operator!=(const AnalyticState &other) const { return !(*this == other); }

private:
    kvr::orva::ProcessingState m_processingState = kvr::orva::ProcessingState::Unknown;
    kvr::orva::VisibilityState m_visibilityState = kvr::orva::VisibilityState::Unknown;
};

Q_DECLARE_METATYPE(AnalyticState)
