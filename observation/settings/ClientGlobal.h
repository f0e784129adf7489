#pragma once

#include <QObject>

// The enumerations QML reaches as ClientGlobal. The one Q_NAMESPACE of kvr::QMTClient: further
// enumerations of the namespace belong here.
namespace kvr::QMTClient {
Q_NAMESPACE

enum SourceSettingsType { UnknownSettingsType = -1, LauncherSettingsType = 0 };
Q_ENUM_NS(SourceSettingsType)

// Of type int: QML hands in any number, which must stay a value of the type to be refused.
enum SourceSettingsSection : int {
    UnknownSection = -1,
    LanguageSettingsSection = 0,
    VersionSettingsSection = 1,
    VersionsSection = 2,
    AutoLogoutSettingsSection = 3,
    HostKeySettingsSection = 4,
    HelpSection = 5,
    VersionSection = 6
};
Q_ENUM_NS(SourceSettingsSection)

} // namespace kvr::QMTClient
