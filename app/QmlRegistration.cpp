#include "app/QmlRegistration.h"

#include "app/LanguageModel.h"
#include "app/Launcher.h"
#include "app/TemplateDialogManager.h"
#include "app/VersionBranchModel.h"
#include "app/VersionInfoModel.h"
#include "app/services/LauncherConfig.h"
#include "app/services/OrvaGlobal.h"
#include "core/data/SourceInfoDynamic.h"
#include "core/data/SourceInfoStatic.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/params/SourceDefinitionInputParams.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/rest/User.h"
#include "devices/proxies/PagingFilterProxyModel.h"
#include "devices/proxies/SortingFilterProxyModel.h"
#include "observation/camera/CameraObserver.h"
#include "observation/camera/SourceLocation.h"
#include "observation/maps/GeoTableModel.h"
#include "observation/maps/HostMapsManager.h"
#include "observation/maps/MapGroupManager.h"
#include "observation/maps/TileServerProbe.h"
#include "observation/settings/ClientGlobal.h"
#include "observation/settings/SourceSettingsManager.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/AnalyticState.h"
#include "observation/status/BlockStatusInfo.h"
#include "observation/status/CMClientInfoWrapper.h"
#include "observation/status/SourceInfo.h"
#include "observation/status/StateColors.h"
#include "observation/video/VideoSource.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/models/CubeObserverSortFilterProxyModel.h"
#include "observation/models/DeviceObserverModel.h"
#include "observation/models/DeviceObserverSortFilterProxyModel.h"
#include "observation/observers/ObserverManager.h"

#include <QQmlEngine>

void registerQmlTypes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    const QString cannotCreate = QStringLiteral("Cannot be created in qml.");
    // Module "Client": the launcher's enumerations as Client.DemoPage, Client.LoggedIn, ...
    qmlRegisterUncreatableType<Launcher>("Client", 1, 0, "Client", cannotCreate);
    qmlRegisterUncreatableType<LauncherConfig>("Client", 1, 0, "LauncherConfig", cannotCreate);
    qmlRegisterUncreatableMetaObject(kvr::orva::staticMetaObject, "Client", 1, 0, "OrvaGlobal", cannotCreate);
    // Records reach QML as values; their names give QML their enumerations.
    using namespace kvr::tracker::common;
    qmlRegisterUncreatableMetaObject(SourceDefinition::staticMetaObject, "Client", 1, 0, "SourceDefinition", cannotCreate);
    qmlRegisterUncreatableMetaObject(SourceInfoStatic::staticMetaObject, "Client", 1, 0, "SourceInfoStatic", cannotCreate);
    qmlRegisterUncreatableMetaObject(SourceInfoDynamic::staticMetaObject, "Client", 1, 0, "SourceInfoDynamic", cannotCreate);
    qmlRegisterUncreatableMetaObject(SourceDefinitionInputParams::staticMetaObject, "SourceDefinitions", 1, 0,
                                     "SourceDefinitionInputParams", QStringLiteral("Cannot be created in QML."));
    qmlRegisterUncreatableType<LanguageModel>("Client", 1, 0, "LanguageModel", cannotCreate);
    qmlRegisterUncreatableType<VersionBranchModel>("Client", 1, 0, "VersionBranchModel", cannotCreate);
    qmlRegisterUncreatableType<VersionInfoModel>("Client", 1, 0, "VersionInfoModel", cannotCreate);
    qmlRegisterUncreatableType<TemplateDialogManager>("Client", 1, 0, "TemplateDialogManager", cannotCreate);

    qmlRegisterType<FavoriteDeviceModel>("Client", 1, 0, "FavoriteDeviceModel");
    qmlRegisterType<NetworkDeviceModel>("Client", 1, 0, "NetworkDeviceModel");
    qmlRegisterUncreatableType<User>("Client", 1, 0, "User", cannotCreate);
    qmlRegisterType<SortingFilterProxyModel>("Client", 1, 0, "SortingFilterProxyModel");
    qmlRegisterType<PagingFilterProxyModel>("Client", 1, 0, "PagingFilterProxyModel");
    // The status of observed blocks, cubes and cameras: owned by their observers.
    qmlRegisterUncreatableType<SourceInfo>("Client", 1, 0, "SourceInfo", cannotCreate);
    qmlRegisterUncreatableType<AnalyticInfo>("Client", 1, 0, "AnalyticInfo", cannotCreate);
    qmlRegisterUncreatableMetaObject(AnalyticState::staticMetaObject, "Client", 1, 0, "AnalyticState", cannotCreate);
    qmlRegisterUncreatableType<kvr::BlockStatusInfo>("Client", 1, 0, "BlockStatusInfo", cannotCreate);
    qmlRegisterUncreatableType<CMClientInfoWrapper>("SourceStates", 1, 0, "CMClientInfoWrapper", cannotCreate);
    // The state colours that the style paints with and the map groups count by.
    qmlRegisterSingletonType<StateColors>("Client", 1, 0, "StateColors",
                                          [](QQmlEngine *, QJSEngine *) -> QObject * { return new StateColors; });
    qRegisterMetaType<AnalyticState>("AnalyticState");
    qRegisterMetaType<SourceLocation>("SourceLocation");
    // Module "Observer": the observer page's manager, its models and their proxies.
    const QString notYetCreatable = QStringLiteral("Can not yet be created in qml.");
    qmlRegisterType<ObserverManager>("Observer", 1, 0, "ObserverManager");
    qmlRegisterType<CubeObserverSortFilterProxyModel>("Observer", 1, 0, "CubeObserverSortFilterProxyModel");
    qmlRegisterType<DeviceObserverSortFilterProxyModel>("Observer", 1, 0, "DeviceObserverSortFilterProxyModel");
    qmlRegisterUncreatableType<CubeObserverModel>("Observer", 1, 0, "CubeObserverModel", notYetCreatable);
    qmlRegisterUncreatableType<DeviceObserverModel>("Observer", 1, 0, "DeviceObserverModel", notYetCreatable);
    qRegisterMetaType<ObserverManager::ObserverViewStyle>("ObserverManager::ObserverViewStyle");
    qRegisterMetaType<ObservedDevice>("ObservedDevice");


    // Maps and settings sections: the map views create the group manager and the geo table,
    // the settings dialog its section manager; the shell owns the maps manager.
    qmlRegisterUncreatableMetaObject(kvr::QMTClient::staticMetaObject, "Client", 1, 0, "ClientGlobal", cannotCreate);
    qmlRegisterType<SourceSettingsManager>("Client", 1, 0, "SourceSettingsManager");
    qmlRegisterType<GeoTableModel>("Client", 1, 0, "GeoTableModel");
    qmlRegisterUncreatableType<HostMapsManager>("Client", 1, 0, "MapsManager", cannotCreate);
    qmlRegisterType<MapGroupManager>("AnalyticsProxy", 1, 0, "MapGroupManager");
    qmlRegisterType<TileServerProbe>("Client", 1, 0, "TileServerProbe");
    // The map's preview reads a cube's current camera.
    qRegisterMetaType<kvr::QMTClient::CameraObserver *>("kvr::QMTClient::CameraObserver*");

    // Live video: a VideoOutput's source, fed by a cube observer.
    qmlRegisterType<VideoSource>("Video", 1, 0, "VideoSource");

    // The interface's own modules (Orva.Style, Orva.Controls, ...) need no registration: their
    // qmldir files lie where every QML engine looks for imports (qml/qml.qrc).
}
