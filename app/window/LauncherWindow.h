#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QQmlContext;
class QQuickView;
class QSystemTrayIcon;

// The launcher's window: the QML view, its screen and size, the tray icon, the cursor override
// and the keys the pages react to. GUI thread only.
class LauncherWindow : public QObject
{
    Q_OBJECT

public:
    explicit LauncherWindow(QObject *parent = nullptr);
    ~LauncherWindow() override;

    QQuickView *view() const { return m_view.get(); }
    QRect rect() const { return m_rect; }
    bool isFullScreen() const { return m_fullScreen; }
    void setFullScreen(bool fullScreen) { m_fullScreen = fullScreen; }
    // -1: the primary screen.
    int screenIndex() const { return m_screenIndex; }
    void setScreenIndex(int screen) { m_screenIndex = screen; }
    // The screen the window is on now, else the one asked for.
    int currentScreenIndex() const;

    // Loads `document` with the root context that `publish` fills; false when it cannot be
    // loaded (the errors are logged).
    bool create(const QUrl &document, const std::function<void(QQmlContext *)> &publish);
    void createTrayIcon();
    // Full screen or maximised on the chosen screen, raised and active.
    void show();
    // While the client runs: hidden behind the tray icon, or minimised where the desktop has no
    // tray, so that the operator can always get back to it.
    void stepAside(const QString &trayMessage);
    void destroyView();

    // One override at a time, so that a single reset always restores the normal cursor.
    void setClosedHandCursor();
    void resetCursor();

signals:
    void rectChanged();
    void escapeKeyPressed();
    void pageUpKeyPressed();
    void pageDownKeyPressed();
    void quitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateRect();

    std::unique_ptr<QQuickView> m_view;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QRect m_rect;
    bool m_fullScreen = false;
    int m_screenIndex = -1;
    bool m_cursorOverridden = false;
};
