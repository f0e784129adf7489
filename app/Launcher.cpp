#include "app/Launcher.h"

#include "app/LanguageModel.h"
#include "app/QmlRegistration.h"
#include "app/TemplateDialogManager.h"
#include "app/StartupOptions.h"
#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "core/log/Log.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"
#include "devices/proxies/NetworkDeviceSortFilterProxyModel.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
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

} // namespace

Launcher::Launcher(QObject *parent)
    : QObject(parent)
    , m_languageModel(new LanguageModel(this))
    , m_templateDialogManager(new TemplateDialogManager(this))
    , m_favoriteDeviceModel(std::make_unique<FavoriteDeviceModel>())
    , m_favoriteDeviceSortFilterModel(new FavoriteDeviceSortFilterProxyModel(this))
    , m_networkDeviceSortFilterModel(new NetworkDeviceSortFilterProxyModel(this))
{
    m_favoriteDeviceSortFilterModel->setSourceModel(m_favoriteDeviceModel.get());
}

Launcher::~Launcher()
{
    resetCursor();
    // The view goes first: its QML still holds bindings to the models owned here. Then the
    // proxies, before the favourites model they read.
    m_view.reset();
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

    registerQmlTypes();
    createView();
    if (m_view->status() != QQuickView::Ready)
        return false;
    createTrayIcon();
    showWindow();
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

void Launcher::loadSettings()
{
    QSettings settings(m_configPath, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Window"));
    m_fullScreen = settings.value(QStringLiteral("fullscreen"), false).toBool();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("LanguageSettings"));
    const QString language = settings.value(QStringLiteral("language")).toString();
    settings.endGroup();
    m_languageModel->loadTranslations();
    m_languageModel->setSettingsPath(m_configPath);
    if (!language.isEmpty() && !m_languageModel->selectLanguage(language))
        LOG_WRN(QStringLiteral("[TRANSLATE] Language %1 is not available, %2 is used.")
                    .arg(language, m_languageModel->currentCode()));
    LOG_INF(QStringLiteral("[SETTINGS] Successful load of the settings."));
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
    // Null until the discovery model is wired in, so that QML sees an empty object rather than
    // an undefined name.
    context->setContextProperty(QStringLiteral("networkDeviceModel"), QVariant::fromValue<QObject *>(nullptr));
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
    auto firstFrame = std::make_shared<QMetaObject::Connection>();
    *firstFrame = connect(m_view.get(), &QQuickWindow::frameSwapped, this, [firstFrame]() {
        QObject::disconnect(*firstFrame);
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
