// The yardstick of bench_startup: the least a Qt Quick program does to show a window, one
// Rectangle in a QQuickView, with the launcher's build flags and its start-up probe. Its window
// takes the screen's available area, as the launcher's does, so both draw as many pixels.

#include "app/StartupProbe.h"

#include <QGuiApplication>
#include <QQuickView>
#include <QScreen>
#include <QUrl>

int main(int argc, char *argv[])
{
    StartupProbe startupProbe;
    QGuiApplication app(argc, argv);
    startupProbe.applicationCreated();

    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/bare_qml_window.qml")));
    view.setGeometry(view.screen()->availableGeometry());
    view.showMaximized();
    return QGuiApplication::exec();
}
