#include "app/Launcher.h"

#include "app/LanguageModel.h"
#include "app/QmlRegistration.h"
#include "app/StartupOptions.h"
#include "app/TemplateDialogManager.h"
#include "app/clientapp/ClientApplication.h"
#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/settings/ConfigDirectory.h"
#include "app/settings/FavoritesWatcher.h"
#include "app/window/LauncherWindow.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/entries/Configuration.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"
#include "devices/proxies/NetworkDeviceSortFilterProxyModel.h"
#include "devices/rest/User.h"
#include "observation/maps/HostMapsManager.h"

#include <QCoreApplication>
#include <QQmlContext>
#include <QQuickView>

namespace {

const QUrl kMainDocument(QStringLiteral("qrc:/qml/main.qml"));
// Services announced by mDNS service discovery; the blocks are among them.
const QString kNetworkServiceType = QStringLiteral("_services._dns-sd._udp.local.");

} // namespace

Launcher::Launcher(QObject *parent)
    : QObject(parent)
    , m_languageModel(new LanguageModel(this))
    , m_templateDialogManager(new TemplateDialogManager(this))
    , m_favoriteDeviceModel(std::make_unique<FavoriteDeviceModel>())
    , m_favoriteDeviceSortFilterModel(new FavoriteDeviceSortFilterProxyModel(this))
    , m_networkDeviceSortFilterModel(new NetworkDeviceSortFilterProxyModel(this))
    , m_networkDeviceModel(new NetworkDeviceModel(kNetworkServiceType, this))
    , m_login(new BlockLogin(m_favoriteDeviceModel.get(), this))
    , m_window(new LauncherWindow(this))
    , m_mapsManager(new HostMapsManager(this))
{
    m_client = new ClientApplication(m_login->blockConnection(), [this]() {
        return ClientApplication::Command{clientExecutable(), clientArguments(),
                                          m_login->username() + QLatin1Char('@') + m_login->host()};
    }, this);
    m_favoriteDeviceSortFilterModel->setSourceModel(m_favoriteDeviceModel.get());
    m_networkDeviceSortFilterModel->setSourceModel(m_networkDeviceModel);

    forwardLoginSignals();
    forwardClientSignals();
    connect(m_window, &LauncherWindow::rectChanged, this, &Launcher::windowRectChanged);
    connect(m_window, &LauncherWindow::escapeKeyPressed, this, &Launcher::escapeKeyPressed);
    connect(m_window, &LauncherWindow::pageUpKeyPressed, this, &Launcher::pageUpKeyPressed);
    connect(m_window, &LauncherWindow::pageDownKeyPressed, this, &Launcher::pageDownKeyPressed);
    connect(m_window, &LauncherWindow::quitRequested, this, &Launcher::quit);
}

Launcher::~Launcher()
{
    m_window->resetCursor();
    // The view goes first: its QML still holds bindings to the models owned here. Then the
    // proxies, before the favourites model they read.
    m_window->destroyView();
    delete m_client; // lets a running client go on by itself
    m_client = nullptr;
    delete m_favoriteDeviceSortFilterModel;
    delete m_networkDeviceSortFilterModel;
    delete m_favoritesWatcher;
    delete m_login;
    m_login = nullptr;
    m_favoriteDeviceModel.reset();
}

void Launcher::forwardLoginSignals()
{
    connect(m_login, &BlockLogin::statusChanged, this, &Launcher::loginStatusChanged);
    connect(m_login, &BlockLogin::inProgressChanged, this, &Launcher::loginInProgressChanged);
    connect(m_login, &BlockLogin::pageStateChanged, this, &Launcher::loginPageStateChanged);
    connect(m_login, &BlockLogin::errorMessageChanged, this, &Launcher::loginErrorMessageChanged);
    connect(m_login, &BlockLogin::serverAddressChanged, this, &Launcher::loginServerAddressChanged);
    connect(m_login, &BlockLogin::usernameChanged, this, &Launcher::loginUsernameChanged);
    connect(m_login, &BlockLogin::blockVersionChanged, this, &Launcher::currentVersionNumberChanged);
    connect(m_login, &BlockLogin::userChanged, this, &Launcher::loggedUserChanged);
    connect(m_login, &BlockLogin::started, m_client, [this]() { m_client->setMessage(QString()); });
    connect(m_login, &BlockLogin::accepted, this, &Launcher::recordLogin);
    connect(m_login, &BlockLogin::succeeded, this, &Launcher::userLoginSuccess);
    connect(m_login, &BlockLogin::validationFailed, this, &Launcher::userLoginValidationFailed);
    connect(m_login, &BlockLogin::forbidden, this, &Launcher::userLoginForbidden);
    connect(m_login, &BlockLogin::expiredAccount, this, &Launcher::userLoginExpiredAccount);
    connect(m_login, &BlockLogin::validationTimeout, this, &Launcher::userLoginValidationTimeout);
}

void Launcher::forwardClientSignals()
{
    connect(m_client, &ClientApplication::messageChanged, this, &Launcher::clientMessageChanged);
    connect(m_client, &ClientApplication::aboutToStart, this, [this]() {
        m_window->stepAside(tr("The launcher waits here while the client runs."));
        m_autoSelectId = -1;
        emit autoSelectIdChanged();
    });
    connect(m_client, &ClientApplication::started, this, [this]() {
        emit clientRunningChanged();
        emit clientStarted();
    });
    connect(m_client, &ClientApplication::finished, this, &Launcher::onClientFinished);
}

QString Launcher::configDirectory()
{
    return ConfigDirectory::path();
}

bool Launcher::init(const QStringList &arguments)
{
    const StartupOptions options = StartupOptions::parse(arguments);

    prepareSettingsFile();
    prepareFavorites();
    loadSettings();
    if (options.fullScreen)
        m_window->setFullScreen(true);
    m_liveFavoriteList = m_liveFavoriteList || options.liveFavoriteList;
    if (m_loginArgument.isEmpty())
        m_loginArgument = options.login;
    if (m_liveFavoriteList && !m_favoritesWatcher)
        m_favoritesWatcher = new FavoritesWatcher(m_favoriteDeviceModel.get(), m_favoritesPath, this);

    registerQmlTypes();
    if (!m_window->create(kMainDocument, [this](QQmlContext *context) { publishContextProperties(context); }))
        return false;
    m_window->createTrayIcon();
    m_window->show();
    autoLogin();
    return true;
}

bool Launcher::prepareSettingsFile()
{
    m_settings.setPath(ConfigDirectory::filePath(LauncherSettings::fileName()));
    return m_settings.createIfMissing();
}

void Launcher::prepareFavorites()
{
    m_favoritesPath = ConfigDirectory::filePath(ConfigDirectory::favoritesFileName());
    ConfigDirectory::createFavoritesIfMissing(m_favoritesPath);
    m_favoriteDeviceModel->load(m_favoritesPath);
    KVR_LOG_AT(kvr::log::INF, ConfigDirectory::initFunction(),
               QStringLiteral("[INFO] Successful load of %1 favorite device connections.")
                   .arg(m_favoriteDeviceModel->rowCount()));
}

void Launcher::saveFavoriteDevices()
{
    if (m_favoritesPath.isEmpty())
        m_favoritesPath = ConfigDirectory::filePath(ConfigDirectory::favoritesFileName());
    m_favoriteDeviceModel->save(m_favoritesPath);
}

void Launcher::loadSettings()
{
    m_window->setFullScreen(m_settings.fullScreen());
    m_lastAddress = m_settings.lastAddress();
    m_lastUsername = m_settings.lastUsername();

    const QString language = m_settings.language();
    m_languageModel->loadTranslations();
    m_languageModel->setSettingsPath(m_settings.path());
    if (!language.isEmpty() && !m_languageModel->selectLanguage(language))
        LOG_WRN(QStringLiteral("[TRANSLATE] Language %1 is not available, %2 is used.")
                    .arg(language, m_languageModel->currentCode()));
    // The map settings read and write their group of the same file themselves.
    m_mapsManager->loadSettings(m_settings.path());
    if (!m_settings.isReadable()) {
        LOG_WRN(QStringLiteral("[SETTINGS] Settings file %1 cannot be read; the defaults are used and changes are not kept.")
                    .arg(m_settings.path()));
    } else {
        LOG_INF(QStringLiteral("[SETTINGS] Successful load of the settings."));
        LOG_INF(QStringLiteral("[INFO] Successful load of the host map settings."));
    }
}

void Launcher::saveMapsSettings()
{
    if (!m_settings.path().isEmpty())
        m_mapsManager->storeSettings(m_settings.path());
}

void Launcher::recordLogin()
{
    m_settings.setValue(LauncherSettings::Key::LastAddress, m_login->serverAddress());
    m_settings.setValue(LauncherSettings::Key::LastUsername, m_login->username());
    // The kind and the time of this connection recorded on the favourites survive a restart.
    if (!m_favoritesPath.isEmpty())
        m_favoriteDeviceModel->save(m_favoritesPath);
}

void Launcher::publishContextProperties(QQmlContext *context)
{
    context->setContextProperty(QStringLiteral("client"), this);
    context->setContextProperty(QStringLiteral("clientConfig"), LauncherConfig::instance());
    context->setContextProperty(QStringLiteral("brandConfig"), BrandConfiguration::instance());
    context->setContextProperty(QStringLiteral("templateDialogManager"), m_templateDialogManager);
    context->setContextProperty(QStringLiteral("languageModel"), m_languageModel);
    context->setContextProperty(QStringLiteral("favoriteDeviceModel"), m_favoriteDeviceModel.get());
    context->setContextProperty(QStringLiteral("favoriteDeviceSortFilterModel"), m_favoriteDeviceSortFilterModel);
    context->setContextProperty(QStringLiteral("networkDeviceSortFilterModel"), m_networkDeviceSortFilterModel);
    context->setContextProperty(QStringLiteral("networkDeviceModel"), m_networkDeviceModel);
    context->setContextProperty(QStringLiteral("mapsManager"), m_mapsManager);
    context->setContextProperty(QStringLiteral("hostMapsManager"), m_mapsManager->hostManager());
}

// ---- Window ---------------------------------------------------------------------------------

void Launcher::setScreenIndex(int screen)
{
    m_window->setScreenIndex(screen);
}

int Launcher::screenIndex() const
{
    return m_window->screenIndex();
}

QRect Launcher::windowRect() const
{
    return m_window->rect();
}

bool Launcher::isFullScreen() const
{
    return m_window->isFullScreen();
}

QQuickView *Launcher::view() const
{
    return m_window->view();
}

void Launcher::setClosedHandCursor()
{
    m_window->setClosedHandCursor();
}

void Launcher::resetCursor()
{
    m_window->resetCursor();
}

void Launcher::quit()
{
    QCoreApplication::quit();
}

// ---- Pages ----------------------------------------------------------------------------------

void Launcher::setAutoSelectFlag(bool flag)
{
    assignProperty(this, m_autoSelectFlag, flag, &Launcher::autoSelectFlagChanged);
}

void Launcher::setAutoSelectId(int id)
{
    assignProperty(this, m_autoSelectId, id, &Launcher::autoSelectIdChanged);
}

void Launcher::setLoginSourcePage(Page page)
{
    assignProperty(this, m_loginSourcePage, page, &Launcher::loginSourcePageChanged);
}

void Launcher::setMapViewCoordinate(const QGeoCoordinate &coordinate)
{
    assignProperty(this, m_mapViewCoordinate, coordinate, &Launcher::mapViewCoordinateChanged);
}

void Launcher::setMapViewZoomLevel(double level)
{
    assignProperty(this, m_mapViewZoomLevel, level, &Launcher::mapViewZoomLevelChanged, fuzzyShiftedEqual);
}

void Launcher::requestChangePage(Launcher::Page page)
{
    if (page < DemoPage || page > ObserverPage) {
        LOG_WRN(QStringLiteral("[ERROR] Unknown page %1 requested, the page stays.").arg(int(page)));
        return;
    }
    if (page == m_currentPage)
        return;
    LOG_DBG0(QStringLiteral("[INFO] Page %1 -> %2.").arg(int(m_currentPage)).arg(int(page)));
    m_currentPage = page;
    // What a settings section reported belongs to the page that is left.
    setPageChangeResources({});
    emit currentPageChanged();
}

void Launcher::startORVA(bool favoriteDevices)
{
    LauncherConfig::instance()->setClientMode(LauncherConfig::Normal);
    requestChangePage(favoriteDevices ? FavoriteDevicesPage : LoginPage);
}

void Launcher::setPageChangeResources(const QVariantMap &resources)
{
    assignProperty(this, m_pageChangeResources, resources, &Launcher::pageChangeResourcesChanged);
}

// ---- Log-in ---------------------------------------------------------------------------------

void Launcher::setLoginPageState(LoginPageState state)
{
    m_login->setPageState(static_cast<BlockLogin::PageState>(state));
}

void Launcher::confirmServerAddress(const QString &serverAddress)
{
    m_login->confirmServerAddress(serverAddress);
}

QString Launcher::createConnectionString(const QString &serverAddress) const
{
    return m_login->connectionString(serverAddress);
}

void Launcher::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    m_login->connectToBlock(serverAddress, userName, password);
}

void Launcher::cancelLogin()
{
    m_login->cancel();
}

void Launcher::logout(bool force)
{
    m_login->logout(force);
}

bool Launcher::parseLoginArgument(const QString &text, QString *address, QString *username, QString *password)
{
    return BlockLogin::parseLoginArgument(text, address, username, password);
}

void Launcher::autoLogin()
{
    if (m_loginArgument.isEmpty())
        return;
    QString address, username, password;
    if (!parseLoginArgument(m_loginArgument, &address, &username, &password)) {
        LOG_WRN(QStringLiteral("[ERROR] --login expects user:password@address:port, the log-in is skipped."));
        return;
    }
    LauncherConfig::instance()->setClientMode(LauncherConfig::Normal);
    requestChangePage(LoginPage);
    connectToBlock(address, username, password);
}

// ---- Network devices ------------------------------------------------------------------------

void Launcher::refreshNetworkDevices(bool force)
{
    if (m_networkDiscoveryAllowed)
        m_networkDeviceModel->refresh(force);
}

int Launcher::addNetworkDeviceToFavorites(const QModelIndex &networkIndex)
{
    const QVariant value = networkIndex.data(NetworkDeviceModel::DeviceRole);
    if (!value.canConvert<NetworkDevice>())
        return -1;
    const NetworkDevice network = value.value<NetworkDevice>();
    FavoriteDevice favorite = m_favoriteDeviceModel->createDevice(network.address());
    favorite.setName(network.blockName().isEmpty() ? network.name() : network.blockName());
    const auto kind = static_cast<Configuration::DeviceType>(deviceTypeFromString(network.hostType()));
    favorite.setType(kind);
    favorite.setDevice(deviceTypeToString(kind));
    favorite.setDescription(network.attributes());
    return m_favoriteDeviceModel->addDevice(favorite);
}

// ---- Client application ---------------------------------------------------------------------

QString Launcher::clientMessage() const
{
    return m_client->message();
}

bool Launcher::clientRunning() const
{
    return m_client->isRunning();
}

QString Launcher::clientExecutable() const
{
    return ClientApplication::findExecutable(m_settings.selectedVersionPath());
}

QStringList Launcher::clientArguments() const
{
    const BrandConfiguration *brand = BrandConfiguration::instance();
    ClientApplication::Login login;
    login.username = m_login->username();
    login.password = m_login->password();
    login.host = m_login->host();
    login.port = m_login->restPort();
    login.autoLogoutPeriod = m_settings.autoLogoutPeriod();
    login.language = m_languageModel->currentCode();
    login.screen = m_window->currentScreenIndex();
    login.autoSelectDashboard = m_autoSelectFlag;
    login.autoSelectId = m_autoSelectId;
    if (brand->isCustom())
        login.brandPackage = brand->packagePath();
    return ClientApplication::arguments(login);
}

bool Launcher::startClient()
{
    return m_client->start(loginStatus() == LoggedIn, m_login->blockApiVersion(), m_login->sessionIdentifier());
}

void Launcher::onClientFinished(int exitCode)
{
    m_window->show();
    // A hand-over from the observer returns there.
    if (m_loginSourcePage == ObserverPage)
        requestChangePage(ObserverPage);
    // The client held the session; the launcher's own ended before it started.
    logout(false);
    emit clientRunningChanged();
    emit clientFinished(exitCode);
}
