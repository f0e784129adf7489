#include "app/services/MessageHandler.h"
#include "core/log/Log.h"

#include <QApplication>
#include <QQuickView>

int main(int argc, char *argv[])
{
    kvr::log::Logger::instance().setConsoleOutput(true);
    qInstallMessageHandler(customMessageHandler);
    QApplication app(argc, argv);
    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    view.show();
    return app.exec();
}
