#pragma once

#include "app/login/BlockLogin.h"
#include "app/settings/LauncherSettings.h"

#include <QGeoCoordinate>
#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class BlockConnectionManager;
class ClientApplication;
class FavoriteDeviceModel;
class FavoritesWatcher;
class HostMapsManager;
class FavoriteDeviceSortFilterProxyModel;
class LanguageModel;
class LauncherWindow;
class NetworkDeviceModel;
class NetworkDeviceSortFilterProxyModel;
class QQmlContext;
class QQuickView;
class TemplateDialogManager;
class User;

// The central QML-facing object (context property "client"). Owned by main on its stack; owns
// the models and the managers that QML sees. It keeps the page state itself and forwards the
// rest to classes of one job each: the log-in (BlockLogin), the client application
// (ClientApplication), the window (LauncherWindow) and the settings file (LauncherSettings).
// GUI thread only.
class Launcher : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Page currentPage READ currentPage NOTIFY currentPageChanged)
    Q_PROPERTY(QRect windowRect READ windowRect NOTIFY windowRectChanged)
    Q_PROPERTY(bool autoSelectFlag READ autoSelectFlag WRITE setAutoSelectFlag NOTIFY autoSelectFlagChanged)
    Q_PROPERTY(int autoSelectId READ autoSelectId WRITE setAutoSelectId NOTIFY autoSelectIdChanged)
    Q_PROPERTY(Page loginSourcePage READ loginSourcePage WRITE setLoginSourcePage NOTIFY loginSourcePageChanged)
    Q_PROPERTY(QGeoCoordinate mapViewCoordinate READ mapViewCoordinate WRITE setMapViewCoordinate NOTIFY mapViewCoordinateChanged)
    Q_PROPERTY(double mapViewZoomLevel READ mapViewZoomLevel WRITE setMapViewZoomLevel NOTIFY mapViewZoomLevelChanged)
    Q_PROPERTY(QVariantMap pageChangeResources READ pageChangeResources NOTIFY pageChangeResourcesChanged)
    Q_PROPERTY(LoginStatus loginStatus READ loginStatus NOTIFY loginStatusChanged)
    Q_PROPERTY(bool loginInProgress READ loginInProgress NOTIFY loginInProgressChanged)
    Q_PROPERTY(LoginPageState loginPageState READ loginPageState WRITE setLoginPageState NOTIFY loginPageStateChanged)
    Q_PROPERTY(QString loginErrorMessage READ loginErrorMessage NOTIFY loginErrorMessageChanged)
    Q_PROPERTY(QString loginServerAddress READ loginServerAddress NOTIFY loginServerAddressChanged)
    Q_PROPERTY(QString loginUsername READ loginUsername NOTIFY loginUsernameChanged)
    Q_PROPERTY(QString lastAddress READ lastAddress CONSTANT)
    Q_PROPERTY(QString lastUsername READ lastUsername CONSTANT)
    Q_PROPERTY(QString currentVersionNumber READ currentVersionNumber NOTIFY currentVersionNumberChanged)
    Q_PROPERTY(User *loggedUser READ loggedUser NOTIFY loggedUserChanged)
    Q_PROPERTY(QString clientMessage READ clientMessage NOTIFY clientMessageChanged)
    Q_PROPERTY(bool clientRunning READ clientRunning NOTIFY clientRunningChanged)

public:
    // Of type int: QML may request any number, which must stay a value of the type to be refused.
    enum Page : int { DemoPage = 0, LoginPage = 1, FavoriteDevicesPage = 2, NetworkDevicesPage = 3, ObserverPage = 4 };
    Q_ENUM(Page)
    // The log-in's states under the names QML knows (Client.LoggedIn, ...).
    enum LoginStatus {
        NotLoggedIn = BlockSession::NotLoggedIn,
        IncorrectPasswordOrUsername = BlockSession::IncorrectPasswordOrUsername,
        InvalidServerAddress = BlockSession::InvalidServerAddress,
        WaitingForResponse = BlockSession::WaitingForResponse,
        LoggedIn = BlockSession::LoggedIn,
        Demo = BlockSession::Demo,
        ExpiredAccount = BlockSession::ExpiredAccount
    };
    Q_ENUM(LoginStatus)
    enum LoginPageState {
        EnteringAddress = BlockLogin::EnteringAddress,
        EnteringUploadPath = BlockLogin::EnteringUploadPath,
        EnteringUserName = BlockLogin::EnteringUserName,
        EnteringPassword = BlockLogin::EnteringPassword
    };
    Q_ENUM(LoginPageState)

    explicit Launcher(QObject *parent = nullptr);
    ~Launcher() override;

    // Creates the settings and favourites files when missing, loads them, sets up QML and
    // shows the window. Returns false when the main QML document cannot be loaded.
    bool init(const QStringList &arguments);

    // Where "config.ini" and "favorite_connections.json" live (created when missing).
    static QString configDirectory();
    QString configPath() const { return m_settings.path(); }
    QString favoritesPath() const { return m_favoritesPath; }

    // Step of init: "config.ini" from the built-in default unless it exists.
    bool prepareSettingsFile();
    // Step of init: path, creation and loading of the favourites file.
    void prepareFavorites();
    // The root context properties that every QML document of the interface relies on.
    void publishContextProperties(QQmlContext *context);

    // Set by main from the command line before init.
    void setScreenIndex(int screen);
    int screenIndex() const;
    void setLoginArgument(const QString &login) { m_loginArgument = login; }
    QString loginArgument() const { return m_loginArgument; }

    Page currentPage() const { return m_currentPage; }
    QRect windowRect() const;
    bool autoSelectFlag() const { return m_autoSelectFlag; }
    void setAutoSelectFlag(bool flag);
    int autoSelectId() const { return m_autoSelectId; }
    void setAutoSelectId(int id);
    Page loginSourcePage() const { return m_loginSourcePage; }
    void setLoginSourcePage(Page page);
    QGeoCoordinate mapViewCoordinate() const { return m_mapViewCoordinate; }
    void setMapViewCoordinate(const QGeoCoordinate &coordinate);
    double mapViewZoomLevel() const { return m_mapViewZoomLevel; }
    void setMapViewZoomLevel(double level);
    QVariantMap pageChangeResources() const { return m_pageChangeResources; }
    bool isFullScreen() const;

    LoginStatus loginStatus() const { return static_cast<LoginStatus>(m_login->status()); }
    bool loginInProgress() const { return m_login->inProgress(); }
    LoginPageState loginPageState() const { return static_cast<LoginPageState>(m_login->pageState()); }
    void setLoginPageState(LoginPageState state);
    QString loginErrorMessage() const { return m_login->errorMessage(); }
    QString loginServerAddress() const { return m_login->serverAddress(); }
    QString loginUsername() const { return m_login->username(); }
    QString lastAddress() const { return m_lastAddress; }
    QString lastUsername() const { return m_lastUsername; }
    QString currentVersionNumber() const { return m_login->blockVersion(); }
    User *loggedUser() const { return m_login->user(); }
    QString sessionIdentifier() const { return m_login->sessionIdentifier(); }
    QString clientMessage() const;
    bool clientRunning() const;
    BlockConnectionManager *blockConnection() const { return m_login->blockConnection(); }

    // The REST ports probed when the typed address names none; 8088 and 8080 in the product.
    // Tests point it at the ports of their simulated block.
    void setLoginPorts(const QList<int> &ports) { m_login->setPorts(ports); }
    QList<int> loginPorts() const { return m_login->ports(); }
    // Off until main allows it: mDNS browsing sends multicast on the machine's interfaces,
    // which a Launcher built by a test must not do.
    void setNetworkDiscoveryAllowed(bool allowed) { m_networkDiscoveryAllowed = allowed; }
    NetworkDeviceModel *networkDeviceModel() const { return m_networkDeviceModel; }
    // The executable of the client application in the selected version's directory; empty
    // when no version is selected or the directory holds none.
    QString clientExecutable() const;
    // The arguments the client application is started with for the current log-in.
    QStringList clientArguments() const;

    // "user:password@address:port" of "--login": false when the text has no user part.
    static bool parseLoginArgument(const QString &text, QString *address, QString *username, QString *password);

    QQuickView *view() const;
    LanguageModel *languageModel() const { return m_languageModel; }
    FavoriteDeviceModel *favoriteDeviceModel() const { return m_favoriteDeviceModel.get(); }
    TemplateDialogManager *templateDialogManager() const { return m_templateDialogManager; }
    BlockLogin *login() const { return m_login; }
    ClientApplication *clientApplication() const { return m_client; }
    LauncherWindow *window() const { return m_window; }
    HostMapsManager *mapsManager() const { return m_mapsManager; }

    Q_INVOKABLE void requestChangePage(Launcher::Page page);
    Q_INVOKABLE void startORVA(bool favoriteDevices = false);
    Q_INVOKABLE void setPageChangeResources(const QVariantMap &resources);
    Q_INVOKABLE void setClosedHandCursor();
    Q_INVOKABLE void resetCursor();
    Q_INVOKABLE void saveFavoriteDevices();
    // Stores the map provider, keys and tile layers in the settings file.
    Q_INVOKABLE void saveMapsSettings();

    // The log-in: port test, scheme, block information, credentials (answers through
    // loginStatus, loginErrorMessage and the userLogin* signals).
    Q_INVOKABLE void connectToBlock(const QString &serverAddress, const QString &userName, const QString &password);
    Q_INVOKABLE void cancelLogin();
    // Local log-out: forgets the user and the session; with `force` the block is told too.
    Q_INVOKABLE void logout(bool force = false);
    Q_INVOKABLE void confirmServerAddress(const QString &serverAddress);
    Q_INVOKABLE QString createConnectionString(const QString &serverAddress) const;
    // Starts the client application for the logged-in user (see clientMessage on failure).
    Q_INVOKABLE bool startClient();
    Q_INVOKABLE void refreshNetworkDevices(bool force = false);
    // Adds a discovered block to the favourites (not saved yet); returns the new entry's id,
    // -1 when the index names no discovered device.
    Q_INVOKABLE int addNetworkDeviceToFavorites(const QModelIndex &networkIndex);
    Q_INVOKABLE void quit();

signals:
    void currentPageChanged();
    void windowRectChanged();
    void autoSelectFlagChanged();
    void autoSelectIdChanged();
    void loginSourcePageChanged();
    void mapViewCoordinateChanged();
    void mapViewZoomLevelChanged();
    void pageChangeResourcesChanged();
    void escapeKeyPressed();
    void pageUpKeyPressed();
    void pageDownKeyPressed();
    void loginStatusChanged();
    void loginPageStateChanged();
    void loginInProgressChanged();
    void loginErrorMessageChanged();
    void loginServerAddressChanged();
    void loginUsernameChanged();
    void currentVersionNumberChanged();
    void loggedUserChanged();
    void clientMessageChanged();
    void clientRunningChanged();
    void userLoginValidationFailed();
    void userLoginForbidden();
    void userLoginSuccess();
    void userLoginValidationTimeout();
    void userLoginExpiredAccount();
    void clientStarted();
    void clientFinished(int exitCode);

private:
    void forwardLoginSignals();
    void forwardClientSignals();
    void recordLogin();
    void onClientFinished(int exitCode);
    void autoLogin();
    void loadSettings();

    LauncherSettings m_settings;
    QString m_favoritesPath;
    QString m_loginArgument;
    QString m_lastAddress;
    QString m_lastUsername;
    bool m_liveFavoriteList = false;

    Page m_currentPage = DemoPage;
    bool m_autoSelectFlag = false;
    int m_autoSelectId = -1;
    Page m_loginSourcePage = DemoPage;
    QGeoCoordinate m_mapViewCoordinate;
    double m_mapViewZoomLevel = 0.0;
    QVariantMap m_pageChangeResources;

    LanguageModel *m_languageModel = nullptr;
    TemplateDialogManager *m_templateDialogManager = nullptr;
    // The favourites model has no parent; the proxies and the log-in refer to it, so it
    // outlives them.
    std::unique_ptr<FavoriteDeviceModel> m_favoriteDeviceModel;
    FavoriteDeviceSortFilterProxyModel *m_favoriteDeviceSortFilterModel = nullptr;
    NetworkDeviceSortFilterProxyModel *m_networkDeviceSortFilterModel = nullptr;
    NetworkDeviceModel *m_networkDeviceModel = nullptr;
    bool m_networkDiscoveryAllowed = false;
    FavoritesWatcher *m_favoritesWatcher = nullptr;

    BlockLogin *m_login = nullptr;
    ClientApplication *m_client = nullptr;
    LauncherWindow *m_window = nullptr;
    HostMapsManager *m_mapsManager = nullptr;
};
