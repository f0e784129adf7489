#pragma once

#include <QGeoCoordinate>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class FavoriteDeviceModel;
class FavoriteDeviceSortFilterProxyModel;
class LanguageModel;
class NetworkDeviceSortFilterProxyModel;
class QQmlContext;
class QQuickView;
class QSystemTrayIcon;
class TemplateDialogManager;

// The central QML-facing object (context property "client"). Owned by main on its stack; owns
// the QML view, the models and the managers that QML sees. GUI thread only.
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

public:
    enum Page { DemoPage = 0, LoginPage = 1, FavoriteDevicesPage = 2, NetworkDevicesPage = 3, ObserverPage = 4 };
    Q_ENUM(Page)
    enum LoginStatus {
        NotLoggedIn = 0,
        IncorrectPasswordOrUsername = 1,
        InvalidServerAddress = 2,
        WaitingForResponse = 3,
        LoggedIn = 4,
        Demo = 5,
        ExpiredAccount = 6
    };
    Q_ENUM(LoginStatus)
    enum LoginPageState { EnteringAddress = 0, EnteringUploadPath = 1, EnteringUserName = 2, EnteringPassword = 3 };
    Q_ENUM(LoginPageState)

    explicit Launcher(QObject *parent = nullptr);
    ~Launcher() override;

    // Creates the settings and favourites files when missing, loads them, sets up QML and
    // shows the window. Returns false when the main QML document cannot be loaded.
    bool init(const QStringList &arguments);

    // Where "config.ini" and "favorite_connections.json" live (created when missing).
    static QString configDirectory();
    QString configPath() const { return m_configPath; }
    QString favoritesPath() const { return m_favoritesPath; }

    // Step of init: "config.ini" from the built-in default unless it exists.
    bool prepareSettingsFile();
    // Step of init: path, creation attempt and loading of the favourites file.
    void prepareFavorites();
    // The root context properties that every QML document of the interface relies on.
    void publishContextProperties(QQmlContext *context);

    // Set by main from the command line before init.
    void setScreenIndex(int screen) { m_screenIndex = screen; }
    int screenIndex() const { return m_screenIndex; }
    void setLoginArgument(const QString &login) { m_loginArgument = login; }
    QString loginArgument() const { return m_loginArgument; }

    Page currentPage() const { return m_currentPage; }
    QRect windowRect() const { return m_windowRect; }
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
    bool isFullScreen() const { return m_fullScreen; }

    QQuickView *view() const { return m_view.get(); }
    LanguageModel *languageModel() const { return m_languageModel; }
    FavoriteDeviceModel *favoriteDeviceModel() const { return m_favoriteDeviceModel.get(); }
    TemplateDialogManager *templateDialogManager() const { return m_templateDialogManager; }

    Q_INVOKABLE void requestChangePage(Launcher::Page page);
    Q_INVOKABLE void startORVA(bool favoriteDevices = false);
    Q_INVOKABLE void setPageChangeResources(const QVariantMap &resources);
    Q_INVOKABLE void setClosedHandCursor();
    Q_INVOKABLE void resetCursor();
    Q_INVOKABLE void saveFavoriteDevices();
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadSettings();
    void createView();
    void createTrayIcon();
    void showWindow();
    void updateWindowRect();

    QString m_configPath;
    QString m_favoritesPath;
    int m_screenIndex = -1;
    QString m_loginArgument;

    Page m_currentPage = DemoPage;
    QRect m_windowRect;
    bool m_autoSelectFlag = false;
    int m_autoSelectId = -1;
    Page m_loginSourcePage = DemoPage;
    QGeoCoordinate m_mapViewCoordinate;
    double m_mapViewZoomLevel = 0.0;
    QVariantMap m_pageChangeResources;
    bool m_fullScreen = false;
    bool m_cursorOverridden = false;

    LanguageModel *m_languageModel = nullptr;
    TemplateDialogManager *m_templateDialogManager = nullptr;
    // The favourites model has no parent; the proxies below refer to it, so it outlives them.
    std::unique_ptr<FavoriteDeviceModel> m_favoriteDeviceModel;
    FavoriteDeviceSortFilterProxyModel *m_favoriteDeviceSortFilterModel = nullptr;
    // NetworkDeviceModel (mDNS discovery) becomes this proxy's source once it is wired in.
    NetworkDeviceSortFilterProxyModel *m_networkDeviceSortFilterModel = nullptr;

    QSystemTrayIcon *m_trayIcon = nullptr;
    std::unique_ptr<QQuickView> m_view;
};
