#include "app/Launcher.h"

#include "app/LanguageModel.h"
#include "app/QmlRegistration.h"
#include "app/TemplateDialogManager.h"
#include "app/StartupOptions.h"
#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/services/StringUtils.h"
#include "core/log/Log.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/entries/Configuration.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/net/ConnectionTester.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/BlockResponse.h"
#include "devices/rest/User.h"
#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"
#include "devices/proxies/NetworkDeviceSortFilterProxyModel.h"
#include "observation/maps/HostMapsManager.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMenu>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickView>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

const QString kSettingsFileName = QStringLiteral("config.ini");
const QString kSettingsResource = QStringLiteral(":/config.ini");
const QString kFavoritesFileName = QStringLiteral("favorite_connections.json");
const QString kFavoritesResource = QStringLiteral(":/favorite_connections.json");
const QUrl kMainDocument(QStringLiteral("qrc:/qml/main.qml"));
// The files are prepared as part of Launcher::init, and their log lines say so.
const QString kInitFunction = QStringLiteral("Launcher::init");

// Files copied out of the resources are read-only; the launcher writes them back later.
const QFile::Permissions kFilePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;

// Services announced by mDNS service discovery; the blocks are among them.
const QString kNetworkServiceType = QStringLiteral("_services._dns-sd._udp.local.");
const int kConnectionTesterTimeout = 3000;
const int kConnectionTickInterval = 1000;
// An attempt to learn the scheme that stays unanswered this long gives way to the other scheme.
const int kSslProbeTimeout = 1500;
// Blocks older than this keep no server-side session that a log-out could end.
const QString kLogoutApiVersion = QStringLiteral("1.17");
// A block that takes the log-out but never answers must not keep the client from starting.
const int kLogoutAnswerTimeout = 5000;

Configuration::DeviceType deviceTypeFromText(const QString &text)
{
    const QMetaEnum kinds = QMetaEnum::fromType<Configuration::DeviceType>();
    for (int i = 0; i < kinds.keyCount(); ++i) {
        const int value = kinds.value(i);
        if (value != 0 && deviceTypeToString(value) == text)
            return static_cast<Configuration::DeviceType>(value);
    }
    return Configuration::UnknownDevice;
}

} // namespace

Launcher::Launcher(QObject *parent)
    : QObject(parent)
    , m_languageModel(new LanguageModel(this))
    , m_templateDialogManager(new TemplateDialogManager(this))
    , m_mapsManager(new HostMapsManager(this))
    , m_favoriteDeviceModel(std::make_unique<FavoriteDeviceModel>())
    , m_favoriteDeviceSortFilterModel(new FavoriteDeviceSortFilterProxyModel(this))
    , m_networkDeviceSortFilterModel(new NetworkDeviceSortFilterProxyModel(this))
    , m_networkDeviceModel(new NetworkDeviceModel(kNetworkServiceType, this))
    , m_blockConnection(new BlockConnectionManager(this, QString()))
    , m_connectionTester(new ConnectionTester(kConnectionTesterTimeout, this))
    , m_connectionTimer(new QTimer(this))
    , m_logoutWaitTimer(new QTimer(this))
{
    m_logoutWaitTimer->setSingleShot(true);
    m_logoutWaitTimer->setInterval(kLogoutAnswerTimeout);
    connect(m_logoutWaitTimer, &QTimer::timeout, this, [this]() {
        if (!m_clientStartPending)
            return;
        m_clientStartPending = false;
        LOG_WRN(QStringLiteral("[INFO] Log-out before the client start got no answer; the client starts anyway."));
        runClient();
    });
    m_favoriteDeviceSortFilterModel->setSourceModel(m_favoriteDeviceModel.get());
    m_networkDeviceSortFilterModel->setSourceModel(m_networkDeviceModel);

    m_connectionTimer->setInterval(kConnectionTickInterval);
    connect(m_connectionTimer, &QTimer::timeout, this, &Launcher::onConnectionTick);
    connect(m_connectionTester, &ConnectionTester::connected, this, &Launcher::onTesterConnected);
    connect(m_connectionTester, &ConnectionTester::timeout, this, &Launcher::onTesterTimeout);
    connect(m_blockConnection, &BlockConnectionManager::blockInfoReceived, this, &Launcher::processBlockInfo);
    connect(m_blockConnection, &BlockConnectionManager::userInfoResponseReceived, this,
            &Launcher::processUserInfoResponse);
    connect(m_blockConnection, &BlockConnectionManager::userLogoutResponseReceived, this,
            &Launcher::processUserLogoutResponse);
}

Launcher::~Launcher()
{
    resetCursor();
    // The view goes first: its QML still holds bindings to the models owned here. Then the
    // proxies, before the favourites model they read.
    m_view.reset();
    if (m_clientProcess) {
        // The client runs on by itself; only our handle of it goes.
        m_clientProcess->disconnect(this);
        m_clientProcess->setParent(nullptr);
        m_clientProcess = nullptr;
    }
    delete m_favoriteDeviceSortFilterModel;
    delete m_networkDeviceSortFilterModel;
    m_favoriteDeviceModel.reset();
}

QString Launcher::configDirectory()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(directory);
    return directory;
}

bool Launcher::init(const QStringList &arguments)
{
    const StartupOptions options = StartupOptions::parse(arguments);

    prepareSettingsFile();
    prepareFavorites();
    loadSettings();
    if (options.fullScreen)
        m_fullScreen = true;
    m_liveFavoriteList = m_liveFavoriteList || options.liveFavoriteList;
    if (m_loginArgument.isEmpty())
        m_loginArgument = options.login;
    if (m_liveFavoriteList)
        watchFavorites();

    registerQmlTypes();
    createView();
    if (m_view->status() != QQuickView::Ready)
        return false;
    createTrayIcon();
    showWindow();
    autoLogin();
    return true;
}

bool Launcher::prepareSettingsFile()
{
    m_configPath = QDir(configDirectory()).filePath(kSettingsFileName);
    KVR_LOG_AT(kvr::log::INF, kInitFunction, QStringLiteral("[SETTINGS] Settings file: %1").arg(m_configPath));
    if (QFile::exists(m_configPath))
        return true;
    KVR_LOG_AT(kvr::log::INF, kInitFunction, QStringLiteral("[SETTINGS] Settings file was not found. Creating ..."));
    if (!QFile::copy(kSettingsResource, m_configPath)) {
        KVR_LOG_AT(kvr::log::ERR, kInitFunction,
                   QStringLiteral("[ERROR] %1 Failed to create new settings file.").arg(kInitFunction));
        return false;
    }
    QFile::setPermissions(m_configPath, kFilePermissions);
    return true;
}

void Launcher::prepareFavorites()
{
    m_favoritesPath = QDir(configDirectory()).filePath(kFavoritesFileName);
    KVR_LOG_AT(kvr::log::INF, kInitFunction, QStringLiteral("[INFO] Connections file: %1").arg(m_favoritesPath));
    if (!QFile::exists(m_favoritesPath)) {
        KVR_LOG_AT(kvr::log::INF, kInitFunction, QStringLiteral("[INFO] Connections file was not found. Creating ..."));
        // No built-in favourites ship with the program, so this copy fails and the list starts
        // empty; the model writes the file on the first save.
        if (!QFile::copy(kFavoritesResource, m_favoritesPath))
            KVR_LOG_AT(kvr::log::ERR, kInitFunction,
                       QStringLiteral("[ERROR] %1 Failed to create new connections file.").arg(kInitFunction));
        QFile::setPermissions(m_favoritesPath, kFilePermissions);
    }
    m_favoriteDeviceModel->load(m_favoritesPath);
    KVR_LOG_AT(kvr::log::INF, kInitFunction,
               QStringLiteral("[INFO] Successful load of %1 favorite device connections.")
                   .arg(m_favoriteDeviceModel->rowCount()));
}

void Launcher::saveFavoriteDevices()
{
    if (m_favoritesPath.isEmpty())
        m_favoritesPath = QDir(configDirectory()).filePath(kFavoritesFileName);
    m_favoriteDeviceModel->save(m_favoritesPath);
}

void Launcher::saveMapsSettings()
{
    if (m_configPath.isEmpty())
        m_configPath = QDir(configDirectory()).filePath(kSettingsFileName);
    m_mapsManager->storeSettings(m_configPath);
}

void Launcher::loadSettings()
{
    QSettings settings(m_configPath, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Window"));
    m_fullScreen = settings.value(QStringLiteral("fullscreen"), false).toBool();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("LoginSettings"));
    m_lastAddress = settings.value(QStringLiteral("last_address")).toString();
    m_lastUsername = settings.value(QStringLiteral("last_username")).toString();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("LanguageSettings"));
    const QString language = settings.value(QStringLiteral("language")).toString();
    settings.endGroup();
    m_languageModel->loadTranslations();
    m_languageModel->setSettingsPath(m_configPath);
    if (!language.isEmpty() && !m_languageModel->selectLanguage(language))
        LOG_WRN(QStringLiteral("[TRANSLATE] Language %1 is not available, %2 is used.")
                    .arg(language, m_languageModel->currentCode()));
    if (settings.status() != QSettings::NoError || !QFileInfo(m_configPath).isFile())
        LOG_WRN(QStringLiteral("[SETTINGS] Settings file %1 cannot be read; the defaults are used and changes are not kept.")
                    .arg(m_configPath));
    else
        LOG_INF(QStringLiteral("[SETTINGS] Successful load of the settings."));

    m_mapsManager->loadSettings(m_configPath);
    LOG_INF(QStringLiteral("[INFO] Successful load of the host map settings."));
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

void Launcher::createView()
{
    m_view = std::make_unique<QQuickView>();
    m_view->setTitle(BrandConfiguration::instance()->applicationName() + QStringLiteral(" Launcher"));
    m_view->setIcon(QIcon(BrandConfiguration::instance()->iconPath()));
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->setMinimumSize(QSize(800, 560));
    m_view->installEventFilter(this);
    connect(m_view->engine(), &QQmlEngine::quit, this, &Launcher::quit);
    publishContextProperties(m_view->rootContext());

    m_view->setSource(kMainDocument);
    if (m_view->status() != QQuickView::Ready) {
        const auto errors = m_view->errors();
        for (const QQmlError &error : errors)
            LOG_ERR(QStringLiteral("[ERROR] %1").arg(error.toString()));
        LOG_ERR(QStringLiteral("[ERROR] Cannot load %1.").arg(kMainDocument.toString()));
        return;
    }
    // The render thread reports the first frame; it is the moment the operator sees the window.
    // The signal comes queued from the render thread, so more frames may be on their way
    // before the disconnect: the flag keeps the line to one.
    auto firstFrame = std::make_shared<QMetaObject::Connection>();
    auto shown = std::make_shared<bool>(false);
    *firstFrame = connect(m_view.get(), &QQuickWindow::frameSwapped, this, [firstFrame, shown]() {
        QObject::disconnect(*firstFrame);
        if (*shown)
            return;
        *shown = true;
        KVR_LOG_AT(kvr::log::INF, QStringLiteral("Launcher::showWindow"), QStringLiteral("[INFO] Main window shown."));
    });
    connect(m_view.get(), &QWindow::xChanged, this, &Launcher::updateWindowRect);
    connect(m_view.get(), &QWindow::yChanged, this, &Launcher::updateWindowRect);
    connect(m_view.get(), &QWindow::widthChanged, this, &Launcher::updateWindowRect);
    connect(m_view.get(), &QWindow::heightChanged, this, &Launcher::updateWindowRect);
}

void Launcher::createTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        LOG_INF(QStringLiteral("[INFO] No system tray on this desktop, the tray icon is left out."));
        return;
    }
    m_trayIcon = new QSystemTrayIcon(QIcon(BrandConfiguration::instance()->iconPath()), this);
    m_trayIcon->setToolTip(BrandConfiguration::instance()->applicationName() + QStringLiteral(" Launcher"));
    auto *menu = new QMenu;
    connect(m_trayIcon, &QObject::destroyed, menu, &QObject::deleteLater);
    connect(menu->addAction(tr("Show")), &QAction::triggered, this, &Launcher::showWindow);
    connect(menu->addAction(tr("Quit")), &QAction::triggered, this, &Launcher::quit);
    m_trayIcon->setContextMenu(menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            showWindow();
    });
    m_trayIcon->show();
}

void Launcher::showWindow()
{
    if (!m_view)
        return;
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (m_screenIndex >= 0) {
        if (m_screenIndex < screens.size()) {
            m_view->setScreen(screens.at(m_screenIndex));
            m_view->setGeometry(screens.at(m_screenIndex)->availableGeometry());
            LOG_INF(QStringLiteral("[SCREEN] Window on screen %1 (%2).").arg(m_screenIndex).arg(screens.at(m_screenIndex)->name()));
        } else {
            LOG_WRN(QStringLiteral("[SCREEN] Screen %1 does not exist (%2 screens), the primary screen is used.")
                        .arg(m_screenIndex)
                        .arg(screens.size()));
        }
    }
    if (m_fullScreen) {
        // As below: without a window manager nothing else gives the window the screen's size.
        m_view->setGeometry(m_view->screen()->geometry());
        m_view->showFullScreen();
    } else {
        // Without a window manager "maximised" means nothing; the size makes it so anyway.
        m_view->setGeometry(m_view->screen()->availableGeometry());
        m_view->showMaximized();
    }
    m_view->raise();
    m_view->requestActivate();
    updateWindowRect();
}

void Launcher::updateWindowRect()
{
    const QRect rect = m_view ? m_view->geometry() : QRect();
    if (rect == m_windowRect)
        return;
    m_windowRect = rect;
    emit windowRectChanged();
}

void Launcher::setAutoSelectFlag(bool flag)
{
    if (m_autoSelectFlag == flag)
        return;
    m_autoSelectFlag = flag;
    emit autoSelectFlagChanged();
}

void Launcher::setAutoSelectId(int id)
{
    if (m_autoSelectId == id)
        return;
    m_autoSelectId = id;
    emit autoSelectIdChanged();
}

void Launcher::setLoginSourcePage(Page page)
{
    if (m_loginSourcePage == page)
        return;
    m_loginSourcePage = page;
    emit loginSourcePageChanged();
}

void Launcher::setMapViewCoordinate(const QGeoCoordinate &coordinate)
{
    if (m_mapViewCoordinate == coordinate)
        return;
    m_mapViewCoordinate = coordinate;
    emit mapViewCoordinateChanged();
}

void Launcher::setMapViewZoomLevel(double level)
{
    if (qFuzzyCompare(m_mapViewZoomLevel + 1.0, level + 1.0))
        return;
    m_mapViewZoomLevel = level;
    emit mapViewZoomLevelChanged();
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
    if (m_pageChangeResources == resources)
        return;
    m_pageChangeResources = resources;
    emit pageChangeResourcesChanged();
}

void Launcher::setClosedHandCursor()
{
    // One override at a time, so that a single resetCursor always restores the normal cursor.
    if (m_cursorOverridden) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::ClosedHandCursor));
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::ClosedHandCursor));
    m_cursorOverridden = true;
}

void Launcher::resetCursor()
{
    if (!m_cursorOverridden)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_cursorOverridden = false;
}

void Launcher::quit()
{
    QCoreApplication::quit();
}

bool Launcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Escape: emit escapeKeyPressed(); break;
        case Qt::Key_PageUp: emit pageUpKeyPressed(); break;
        case Qt::Key_PageDown: emit pageDownKeyPressed(); break;
        default: break;
        }
    }
    // The keys still reach QML.
    return QObject::eventFilter(watched, event);
}

// ---- Log-in ---------------------------------------------------------------------------------

void Launcher::setLoginPageState(LoginPageState state)
{
    if (m_loginPageState == state)
        return;
    m_loginPageState = state;
    emit loginPageStateChanged();
}

void Launcher::setLoginPhase(LoginPhase phase)
{
    const bool wasInProgress = loginInProgress();
    m_loginPhase = phase;
    if (wasInProgress != loginInProgress())
        emit loginInProgressChanged();
}

void Launcher::setLoginStatus(LoginStatus status)
{
    if (m_loginStatus == status)
        return;
    m_loginStatus = status;
    emit loginStatusChanged();
}

void Launcher::setLoginErrorMessage(const QString &message)
{
    if (m_loginErrorMessage == message)
        return;
    m_loginErrorMessage = message;
    emit loginErrorMessageChanged();
}

void Launcher::setClientMessage(const QString &message)
{
    if (m_clientMessage == message)
        return;
    m_clientMessage = message;
    emit clientMessageChanged();
}

QString Launcher::noResponseText() const
{
    return tr("No response from the %1 Block. Check the entered block address and the availability of TCP port ")
               .arg(BrandConfiguration::instance()->productName())
           + QString::number(m_restPort) + tr(" on the Block's machine.");
}

void Launcher::confirmServerAddress(const QString &serverAddress)
{
    const QString address = m_favoriteDeviceModel->parseAddress(serverAddress);
    if (m_loginServerAddress != address) {
        m_loginServerAddress = address;
        emit loginServerAddressChanged();
    }
    setLoginPageState(EnteringUserName);
}

QString Launcher::createConnectionString(const QString &serverAddress) const
{
    return m_favoriteDeviceModel->splitAddressPattern(serverAddress).first;
}

void Launcher::connectToBlock(const QString &serverAddress, const QString &userName, const QString &password)
{
    QString host = createConnectionString(serverAddress).trimmed();
    const QString user = userName.trimmed();
    if (host.isEmpty()) {
        finishLogin(InvalidServerAddress, tr("Enter the address of the %1.").arg(BrandConfiguration::instance()->deviceName()));
        return;
    }
    if (user.isEmpty()) {
        finishLogin(IncorrectPasswordOrUsername, tr("Enter a user name."));
        return;
    }
    if (m_loginServerAddress != host) {
        m_loginServerAddress = host;
        emit loginServerAddressChanged();
    }
    if (m_loginUsername != user) {
        m_loginUsername = user;
        emit loginUsernameChanged();
    }
    m_password = password;

    // "host:port" names the REST port itself and skips the port test.
    int port = 0;
    const bool portGiven = splitAddressPorts(host, &port);
    if (portGiven && (port <= 0 || port > 65535 || host.isEmpty())) {
        finishLogin(InvalidServerAddress, tr("The address %1 is not valid: use host or host:port.").arg(serverAddress.trimmed()));
        return;
    }
    m_host = host;
    m_restPort = portGiven ? port : m_loginPorts.value(0, 8088);
    dropSslProbes();
    // A new log-in ends whatever the last one left.
    m_sessionIdentifier.clear();
    m_blockConnection->setAccessToken(QString());
    if (m_user) {
        m_user.reset();
        emit loggedUserChanged();
    }

    LOG_INF(QStringLiteral("[INFO] Log-in of %1 to %2.").arg(user, serverAddress.trimmed()));
    setLoginErrorMessage(QString());
    setClientMessage(QString());
    setLoginStatus(WaitingForResponse);
    setLoginPhase(LoginPhase::SslInfo);
    m_connectionTimer->stop();

    m_connectionTester->stop();
    m_connectionTester->setEnabled(!portGiven);
    if (!portGiven) {
        const int stored = m_connectionTester->storedPort(m_host);
        if (stored >= 0)
            m_restPort = stored;
    }
    m_connectionTester->setAddress(m_host);
    if (!portGiven) {
        for (int candidate : qAsConst(m_loginPorts))
            m_connectionTester->addConnection(candidate);
    }
    m_connectionTester->start();
    if (portGiven) {
        // Nothing to test: ask at once, and let the tick repeat until the block answers.
        requestSslInfo();
        m_connectionTimer->start();
    }
}

void Launcher::cancelLogin()
{
    m_connectionTimer->stop();
    m_connectionTester->stop();
    dropSslProbes();
    setLoginPhase(LoginPhase::Idle);
    if (m_loginStatus != LoggedIn)
        setLoginStatus(NotLoggedIn);
    setLoginErrorMessage(QString());
}

void Launcher::onTesterConnected()
{
    if (!m_connectionTester->enabled() || m_connectionTester->activePort() < 0 || m_loginPhase != LoginPhase::SslInfo
        || m_connectionTimer->isActive())
        return;
    m_restPort = m_connectionTester->activePort();
    requestSslInfo();
    m_connectionTimer->start();
}

void Launcher::onTesterTimeout()
{
    if (m_loginPhase != LoginPhase::SslInfo || m_connectionTimer->isActive())
        return;
    setLoginErrorMessage(noResponseText());
    setLoginStatus(InvalidServerAddress);
    emit userLoginValidationTimeout();
    m_connectionTimer->start();
    if (!m_connectionTester->processed())
        m_connectionTester->setProcessed(true);
}

void Launcher::onConnectionTick()
{
    switch (m_loginPhase) {
    case LoginPhase::Authorization:
        requestLoginValidation();
        break;
    case LoginPhase::SslInfo:
        if (m_connectionTester->enabled()) {
            if (m_connectionTester->selectActivePort())
                m_restPort = m_connectionTester->activePort();
            m_connectionTester->stop();
            m_connectionTester->start();
        }
        requestSslInfo();
        break;
    case LoginPhase::BlockInfo:
        m_blockConnection->requestBlockInfo();
        break;
    case LoginPhase::Idle:
        m_connectionTimer->stop();
        break;
    }
}

void Launcher::dropSslProbes()
{
    for (BlockConnectionManager *probe : qAsConst(m_sslProbes))
        probe->deleteLater(); // takes its unanswered request along
    m_sslProbes.clear();
}

void Launcher::requestSslInfo()
{
    // Which scheme the port speaks shows in which request gets an HTTP answer: both are asked
    // at once, each through a REST client of its own, because a TLS hello to a plain HTTP port
    // may hang rather than fail. Unanswered attempts are dropped and asked again.
    if (!m_sslProbes.isEmpty() && m_sslProbeAge.elapsed() < kSslProbeTimeout)
        return;
    dropSslProbes();
    m_sslProbeAge.start();
    for (const bool https : {true, false}) {
        auto *probe = new BlockConnectionManager(this, QString());
        m_sslProbes << probe;
        connect(probe, &BlockConnectionManager::blockSslInfoResponseReceived, this,
                [this, probe, https](const std::shared_ptr<restservice::BlockResponse> &response) {
                    if (!m_sslProbes.contains(probe))
                        return;
                    // An HTTPS port may answer plain HTTP with an error page; only a good answer
                    // proves plain HTTP.
                    const bool answered = https ? response->statusCode != 0 : response->statusCode == 200;
                    if (!answered) {
                        m_sslProbes.removeOne(probe);
                        probe->deleteLater();
                        // Neither scheme got through (a refused port given in the address
                        // never reaches the port test's time-out): the page says so while
                        // the tick asks again.
                        if (m_sslProbes.isEmpty() && m_loginPhase == LoginPhase::SslInfo) {
                            setLoginErrorMessage(noResponseText());
                            setLoginStatus(InvalidServerAddress);
                        }
                        return;
                    }
                    dropSslProbes();
                    processBlockSslInfo(https);
                });
        probe->setUrl(m_host, m_restPort, https);
        probe->requestBlockSslInfo();
    }
}

void Launcher::processBlockSslInfo(bool https)
{
    if (m_loginPhase != LoginPhase::SslInfo)
        return;
    m_useHttps = https;
    LOG_DBG0(QStringLiteral("[INFO] %1:%2 answers over %3.").arg(m_host).arg(m_restPort).arg(https ? "HTTPS" : "HTTP"));
    setLoginPhase(LoginPhase::BlockInfo);
    m_blockConnection->setUrl(m_host, m_restPort, m_useHttps);
    m_blockConnection->requestBlockInfo();
}

void Launcher::processBlockInfo(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_loginPhase != LoginPhase::BlockInfo)
        return;
    if (response->statusCode == 0) {
        setLoginErrorMessage(noResponseText());
        m_connectionTimer->start();
        return;
    }
    if (response->statusCode != 200) {
        qDebug() << Q_FUNC_INFO << " [ERROR] status code: " << response->statusCode;
        // The tick asks again; meanwhile the page says why nothing happens.
        setLoginErrorMessage(tr("The %1 did not give its information (HTTP status %2); asking again.")
                                 .arg(BrandConfiguration::instance()->deviceName())
                                 .arg(response->statusCode));
        m_connectionTimer->start();
        return;
    }
    const QJsonDocument *document = loginReplyJson(*response);
    if (!document)
        return;
    m_connectionTester->acceptActivePort();
    setLoginErrorMessage(QString());
    const QJsonObject object = document->object();
    QString blockVersion;
    QString apiVersion;
    if (object.contains(QStringLiteral("Api_Version")) && object.contains(QStringLiteral("Block_Version"))) {
        blockVersion = object.value(QStringLiteral("Block_Version")).toString();
        apiVersion = object.value(QStringLiteral("Api_Version")).toString();
    } else {
        blockVersion = object.value(QStringLiteral("block_version")).toString();
        apiVersion = object.value(QStringLiteral("api_version")).toString();
    }
    const Configuration::DeviceType kind =
        deviceTypeFromText(object.value(QStringLiteral("block_host_device_type")).toString());
    m_favoriteDeviceModel->handleDevice(m_host, m_loginUsername, m_password, kind);
    if (m_currentVersionNumber != blockVersion) {
        m_currentVersionNumber = blockVersion;
        emit currentVersionNumberChanged();
    }
    m_blockApiVersion = apiVersion;
    LauncherConfig::instance()->setAppVersion(blockVersion);
    LauncherConfig::instance()->setApiVersion(apiVersion);
    LauncherConfig::instance()->setDeviceType(kind);
    if (!apiVersion.isEmpty())
        m_blockConnection->setApiVersion(apiVersion);
    requestLoginValidation();
}

const QJsonDocument *Launcher::loginReplyJson(const restservice::BlockResponse &response)
{
    const QJsonDocument *document = response.responseDataToJson();
    if (document && document->isObject())
        return document;
    qWarning() << "[FATAL]" << Q_FUNC_INFO << "Cannot convert data to JSON!";
    // Asking again would get the same answer: the log-in ends with a message instead of
    // waiting for good.
    finishLogin(NotLoggedIn, tr("The %1 sent an answer that cannot be read (HTTP status %2).")
                                 .arg(BrandConfiguration::instance()->deviceName())
                                 .arg(response.statusCode));
    return nullptr;
}

void Launcher::requestLoginValidation()
{
    setLoginPhase(LoginPhase::Authorization);
    QJsonObject body;
    body.insert(QStringLiteral("username"), m_loginUsername);
    body.insert(QStringLiteral("password"), m_password);
    m_blockConnection->requestUserValidation(body);
}

void Launcher::processUserInfoResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (m_loginPhase != LoginPhase::Authorization)
        return;
    if (response->statusCode == 0) {
        // The tick asks again; the page tells the operator meanwhile.
        setLoginErrorMessage(noResponseText());
        setLoginStatus(InvalidServerAddress);
        emit userLoginValidationTimeout();
        m_connectionTimer->start();
        return;
    }
    const QJsonDocument *document = loginReplyJson(*response);
    if (!document)
        return;
    QString reason;
    response->extractErrorResponse(nullptr, &reason, nullptr);
    const int status = response->statusCode;
    if (status == 401 && reason == QLatin1String("auth_error")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Unauthorized - auth_error";
        finishLogin(IncorrectPasswordOrUsername, tr("Incorrect user name or password."));
        emit userLoginValidationFailed();
        return;
    }
    if (status == 403 && reason == QLatin1String("forbidden")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Forbidden";
        // Asking again changes nothing for an account that is not let in.
        finishLogin(NotLoggedIn, tr("The user %1 is not allowed to log in to this %2.")
                                     .arg(m_loginUsername, BrandConfiguration::instance()->deviceName()));
        emit userLoginForbidden();
        return;
    }
    if (status == 410 && reason == QLatin1String("expired_account")) {
        qDebug() << "response->statusCode == restservice::HttpRespStatus::Gone";
        finishLogin(ExpiredAccount, tr("The account %1 has expired.").arg(m_loginUsername));
        emit userLoginExpiredAccount();
        return;
    }
    auto user = std::make_shared<User>(document->object());
    if (user->accessTokens().isEmpty()) {
        qWarning() << "[Warning]" << Q_FUNC_INFO << "Logged user has no access tokens! Can't login!";
        finishLogin(IncorrectPasswordOrUsername, status == 200
                        ? tr("The account %1 has no access to this %2.").arg(m_loginUsername, BrandConfiguration::instance()->deviceName())
                        : tr("The log-in was refused (HTTP status %1).").arg(status));
        emit userLoginValidationFailed();
        return;
    }
    m_sessionIdentifier = document->object().value(QStringLiteral("session_identifier")).toString();
    m_blockConnection->setAccessToken(user->accessTokens().first());
    user->setUserName(m_loginUsername);
    m_user = user;
    emit loggedUserChanged();

    QSettings settings(m_configPath, QSettings::IniFormat);
    if (!m_configPath.isEmpty()) {
        settings.beginGroup(QStringLiteral("LoginSettings"));
        settings.setValue(QStringLiteral("last_address"), m_loginServerAddress);
        settings.setValue(QStringLiteral("last_username"), m_loginUsername);
        settings.endGroup();
    }
    // The kind and the time of this connection recorded on the favourites survive a restart.
    if (!m_favoritesPath.isEmpty())
        m_favoriteDeviceModel->save(m_favoritesPath);
    finishLogin(LoggedIn, QString());
    LOG_INF(QStringLiteral("[INFO] Login was successful."));
    emit userLoginSuccess();
}

void Launcher::finishLogin(LoginStatus status, const QString &message)
{
    setLoginPhase(LoginPhase::Idle);
    m_connectionTimer->stop();
    m_connectionTester->stop();
    dropSslProbes();
    setLoginErrorMessage(message);
    setLoginStatus(status);
}

void Launcher::logout(bool force)
{
    if (force && !m_sessionIdentifier.isEmpty()) {
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), m_sessionIdentifier);
        m_blockConnection->requestUserLogout(body);
    }
    m_connectionTimer->stop();
    setLoginPhase(LoginPhase::Idle);
    m_sessionIdentifier.clear();
    m_blockConnection->setAccessToken(QString());
    if (m_user) {
        m_user.reset();
        emit loggedUserChanged();
    }
    setLoginStatus(NotLoggedIn);
    LOG_INF(QStringLiteral("[INFO] Logout has finished."));
}

bool Launcher::parseLoginArgument(const QString &text, QString *address, QString *username, QString *password)
{
    // The password may hold ":" and "@": the user ends at the first ":", the address starts
    // after the last "@".
    const int at = text.lastIndexOf(QLatin1Char('@'));
    if (at <= 0)
        return false;
    const QString credentials = text.left(at);
    const int colon = credentials.indexOf(QLatin1Char(':'));
    *username = colon < 0 ? credentials : credentials.left(colon);
    *password = colon < 0 ? QString() : credentials.mid(colon + 1);
    *address = text.mid(at + 1);
    return !username->isEmpty() && !address->isEmpty();
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

void Launcher::watchFavorites()
{
    if (m_favoritesWatcher || m_favoritesPath.isEmpty())
        return;
    m_favoritesWatcher = new QFileSystemWatcher(this);
    // The directory too: a save replaces the file, and the watch on the old one ends with it.
    m_favoritesWatcher->addPath(QFileInfo(m_favoritesPath).absolutePath());
    if (QFile::exists(m_favoritesPath))
        m_favoritesWatcher->addPath(m_favoritesPath);
    auto reload = [this]() {
        if (!QFile::exists(m_favoritesPath))
            return;
        if (!m_favoritesWatcher->files().contains(m_favoritesPath))
            m_favoritesWatcher->addPath(m_favoritesPath);
        const QDateTime modified = QFileInfo(m_favoritesPath).lastModified();
        if (modified == m_favoritesModified)
            return;
        m_favoritesModified = modified;
        m_favoriteDeviceModel->load(m_favoritesPath);
        LOG_INF(QStringLiteral("[INFO] Favorite devices reloaded: %1.").arg(m_favoriteDeviceModel->rowCount()));
    };
    m_favoritesModified = QFileInfo(m_favoritesPath).lastModified();
    connect(m_favoritesWatcher, &QFileSystemWatcher::fileChanged, this, reload);
    connect(m_favoritesWatcher, &QFileSystemWatcher::directoryChanged, this, reload);
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
    const Configuration::DeviceType kind = deviceTypeFromText(network.hostType());
    favorite.setType(kind);
    favorite.setDevice(deviceTypeToString(kind));
    favorite.setDescription(network.attributes());
    return m_favoriteDeviceModel->addDevice(favorite);
}

// ---- Client application ---------------------------------------------------------------------

QString Launcher::clientExecutable() const
{
    QSettings settings(m_configPath, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("VersionSettings"));
    const QString directory = settings.value(QStringLiteral("selected_version_path")).toString();
    settings.endGroup();
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return QString();
    // The client is named after the brand's application, with or without ".exe".
    const QString name = BrandConfiguration::instance()->applicationName().toLower();
    QDirIterator it(directory, QDir::Files | QDir::Executable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.completeBaseName().toLower() == name || file.fileName().toLower() == name)
            return file.absoluteFilePath();
    }
    return QString();
}

QStringList Launcher::clientArguments() const
{
    QSettings settings(m_configPath, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("LoginSettings"));
    const int autoLogout = settings.value(QStringLiteral("auto_logout_period"), 0).toInt();
    settings.endGroup();

    int screen = m_screenIndex;
    if (m_view && m_view->screen())
        screen = QGuiApplication::screens().indexOf(m_view->screen());

    QStringList arguments{QStringLiteral("--launcher")};
    if (BrandConfiguration::instance()->isCustom() && !BrandConfiguration::instance()->packagePath().isEmpty())
        arguments << QStringLiteral("--brand-package") << BrandConfiguration::instance()->packagePath();
    arguments << QStringLiteral("--login")
              << QStringLiteral("%1:%2@%3:%4").arg(m_loginUsername, m_password, m_host).arg(m_restPort)
              << QStringLiteral("--logout") << QString::number(autoLogout)
              << QStringLiteral("--language") << m_languageModel->currentCode()
              << QStringLiteral("--screen") << QString::number(qMax(screen, 0));
    if (m_autoSelectId >= 0)
        arguments << (m_autoSelectFlag ? QStringLiteral("--selected-dashboard") : QStringLiteral("--selected-analytic"))
                  << QString::number(m_autoSelectId);
    return arguments;
}

bool Launcher::startClient()
{
    if (m_clientProcess || m_clientStartPending) {
        setClientMessage(tr("The %1 client is already running.").arg(BrandConfiguration::instance()->applicationName()));
        return false;
    }
    if (m_loginStatus != LoggedIn) {
        setClientMessage(tr("Log in to a %1 first.").arg(BrandConfiguration::instance()->deviceName()));
        return false;
    }
    if (clientExecutable().isEmpty()) {
        setClientMessage(tr("No %1 client version is installed. Download a version before you start the client.")
                             .arg(BrandConfiguration::instance()->applicationName()));
        LOG_WRN(QStringLiteral("[VERSION] No client executable in the selected version directory."));
        return false;
    }
    setClientMessage(QString());
    if (LauncherConfig::isVersionAtLeast(m_blockApiVersion, kLogoutApiVersion) && !m_sessionIdentifier.isEmpty()) {
        // The client logs in by itself; the launcher's session ends first, and the client
        // starts once the block has answered (or failed to).
        m_clientStartPending = true;
        QJsonObject body;
        body.insert(QStringLiteral("session_identifier"), m_sessionIdentifier);
        m_blockConnection->requestUserLogout(body);
        m_logoutWaitTimer->start();
        return true;
    }
    runClient();
    return true;
}

void Launcher::processUserLogoutResponse(const std::shared_ptr<restservice::BlockResponse> &response)
{
    if (!m_clientStartPending)
        return;
    m_clientStartPending = false;
    m_logoutWaitTimer->stop();
    if (response->statusCode != 200)
        LOG_WRN(QStringLiteral("[INFO] Log-out before the client start answered %1.").arg(response->statusCode));
    runClient();
}

void Launcher::runClient()
{
    const QString program = clientExecutable();
    const QStringList arguments = clientArguments();
    m_clientProcess = new QProcess(this);
    m_clientProcess->setProgram(program);
    m_clientProcess->setArguments(arguments);
    m_clientProcess->setWorkingDirectory(QFileInfo(program).absolutePath());
    m_clientProcess->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_clientProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &Launcher::onClientFinished);
    connect(m_clientProcess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !m_clientProcess)
            return;
        LOG_ERR(QStringLiteral("[ERROR] The client %1 failed to start: %2")
                    .arg(m_clientProcess->program(), m_clientProcess->errorString()));
        setClientMessage(tr("The %1 client could not be started: %2")
                             .arg(BrandConfiguration::instance()->applicationName(), m_clientProcess->errorString()));
        onClientFinished(-1, QProcess::CrashExit);
    });
    // The operator's password is on this command line: the log shows the user only.
    LOG_INF(QStringLiteral("[INFO] Starting the client %1 for %2@%3.").arg(program, m_loginUsername, m_host));
    if (m_view)
        m_view->hide();
    if (m_trayIcon)
        m_trayIcon->showMessage(BrandConfiguration::instance()->applicationName(),
                                tr("The launcher waits here while the client runs."));
    m_autoSelectId = -1;
    emit autoSelectIdChanged();
    m_clientProcess->start();
    emit clientRunningChanged();
    emit clientStarted();
}

void Launcher::onClientFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!m_clientProcess)
        return;
    LOG_INF(QStringLiteral("[INFO] The client ended with %1%2.")
                .arg(exitCode)
                .arg(status == QProcess::CrashExit ? QStringLiteral(" (crashed)") : QString()));
    m_clientProcess->deleteLater();
    m_clientProcess = nullptr;
    showWindow();
    // A hand-over from the observer returns there.
    if (m_loginSourcePage == ObserverPage)
        requestChangePage(ObserverPage);
    // The client held the session; the launcher's own ended before it started.
    logout(false);
    emit clientRunningChanged();
    emit clientFinished(exitCode);
}
