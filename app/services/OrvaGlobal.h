#pragma once

#include <QObject>
#include <QString>

namespace kvr::orva {
Q_NAMESPACE

enum ProcessingState { Unknown = -1, Idle = 0, Processing = 1 };
Q_ENUM_NS(ProcessingState)

enum class VisibilityState { Unknown = -1, Good = 0, Poor = 1 };
Q_ENUM_NS(VisibilityState)

// Key texts compared case- and blank-insensitively; Unknown when nothing matches.
ProcessingState processingStateFromString(const QString &text);
VisibilityState visibilityStateFromString(const QString &text);

} // namespace kvr::orva
