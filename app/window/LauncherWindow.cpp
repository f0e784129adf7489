#include "app/window/LauncherWindow.h"

#include "app/services/BrandConfiguration.h"
#include "core/log/Log.h"
#include "core/property/AssignProperty.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickView>
#include <QScreen>
#include <QSystemTrayIcon>

LauncherWindow::LauncherWindow(QObject *parent)
    : QObject(parent)
{
}

LauncherWindow::~LauncherWindow()
{
    resetCursor();
}

int LauncherWindow::currentScreenIndex() const
{
    if (m_view && m_view->screen())
        return QGuiApplication::screens().indexOf(m_view->screen());
    return m_screenIndex;
}

bool LauncherWindow::create(const QUrl &document, const std::function<void(QQmlContext *)> &publish)
{
    m_view = std::make_unique<QQuickView>();
    m_view->setTitle(BrandConfiguration::instance()->applicationName() + QStringLiteral(" Launcher"));
    m_view->setIcon(QIcon(BrandConfiguration::instance()->iconPath()));
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->setMinimumSize(QSize(800, 560));
    m_view->installEventFilter(this);
    connect(m_view->engine(), &QQmlEngine::quit, this, &LauncherWindow::quitRequested);
    publish(m_view->rootContext());

    m_view->setSource(document);
    if (m_view->status() != QQuickView::Ready) {
        const auto errors = m_view->errors();
        for (const QQmlError &error : errors)
            LOG_ERR(QStringLiteral("[ERROR] %1").arg(error.toString()));
        LOG_ERR(QStringLiteral("[ERROR] Cannot load %1.").arg(document.toString()));
        return false;
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
    connect(m_view.get(), &QWindow::xChanged, this, &LauncherWindow::updateRect);
    connect(m_view.get(), &QWindow::yChanged, this, &LauncherWindow::updateRect);
    connect(m_view.get(), &QWindow::widthChanged, this, &LauncherWindow::updateRect);
    connect(m_view.get(), &QWindow::heightChanged, this, &LauncherWindow::updateRect);
    return true;
}

void LauncherWindow::destroyView()
{
    m_view.reset();
}

void LauncherWindow::createTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        LOG_INF(QStringLiteral("[INFO] No system tray on this desktop, the tray icon is left out."));
        return;
    }
    m_trayIcon = new QSystemTrayIcon(QIcon(BrandConfiguration::instance()->iconPath()), this);
    m_trayIcon->setToolTip(BrandConfiguration::instance()->applicationName() + QStringLiteral(" Launcher"));
    auto *menu = new QMenu;
    connect(m_trayIcon, &QObject::destroyed, menu, &QObject::deleteLater);
    connect(menu->addAction(tr("Show")), &QAction::triggered, this, &LauncherWindow::show);
    connect(menu->addAction(tr("Quit")), &QAction::triggered, this, &LauncherWindow::quitRequested);
    m_trayIcon->setContextMenu(menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            show();
    });
    m_trayIcon->show();
}

void LauncherWindow::show()
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
    updateRect();
}

void LauncherWindow::stepAside(const QString &trayMessage)
{
    if (!m_view)
        return;
    if (!m_trayIcon) {
        m_view->showMinimized();
        return;
    }
    m_view->hide();
    m_trayIcon->showMessage(BrandConfiguration::instance()->applicationName(), trayMessage);
}

void LauncherWindow::updateRect()
{
    const QRect rect = m_view ? m_view->geometry() : QRect();
    assignProperty(this, m_rect, rect, &LauncherWindow::rectChanged);
}

void LauncherWindow::setClosedHandCursor()
{
    if (m_cursorOverridden) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::ClosedHandCursor));
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::ClosedHandCursor));
    m_cursorOverridden = true;
}

void LauncherWindow::resetCursor()
{
    if (!m_cursorOverridden)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_cursorOverridden = false;
}

bool LauncherWindow::eventFilter(QObject *watched, QEvent *event)
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
