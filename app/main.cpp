#include "app/Launcher.h"
#include "app/StartupOptions.h"
#include "app/StartupProbe.h"
#include "app/services/BrandConfiguration.h"
#include "app/services/LauncherConfig.h"
#include "app/window/TextureAtlasLimit.h"
#include "core/log/MessageHandler.h"
#include "core/log/Console.h"
#include "core/log/Log.h"
#include "core/memory/ProcessHeap.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/PendingLogouts.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>
#include <QSvgRenderer>

#include <cstdio>

namespace {

const char kVersion[] = "1.19.11";
const char kApiVersion[] = "1.19.0";

QStringList rawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// A bad option must reach the console even when "-log" switched the logger's console off.
void reportProblems(const QStringList &problems)
{
    const bool logOnConsole = kvr::log::Logger::instance().consoleOutput();
    for (const QString &problem : problems) {
        if (!logOnConsole)
            std::fprintf(stderr, "%s\n", qPrintable(problem));
        KVR_LOG_AT(kvr::log::WRN, QStringLiteral("main"), QStringLiteral("[ERROR] ") + problem);
    }
}

QPixmap splashPixmap(const BrandConfiguration &brand)
{
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(480, 270) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor(QStringLiteral("#1f2a3c")));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer logo(brand.iconPath());
    if (logo.isValid())
        logo.render(&painter, QRectF(40, 75, 96, 96));
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(160, 80, 300, 44), Qt::AlignLeft | Qt::AlignVCenter, brand.productName());
    QFont subtitle = title;
    subtitle.setPixelSize(16);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(QStringLiteral("#b3c3dc")));
    painter.drawText(QRectF(160, 124, 300, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1 Launcher %2").arg(brand.applicationName(), QLatin1String(kVersion)));
    painter.fillRect(QRectF(0, 266, 480, 4), QColor(brand.headingColor()));
    return pixmap;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any thread allocates: frame-sized blocks must go back to the system when freed.
    kvr::ProcessHeap::fixThresholds();
    StartupProbe startupProbe;
    kvr::log::Logger &logger = kvr::log::Logger::instance();
    logger.setConsoleOutput(true);
    logger.setFlag(kvr::log::ALL, true);

    const StartupOptions options = StartupOptions::parse(rawArguments(argc, argv));
    options.applyScale();
    TextureAtlasLimit::apply();
    QApplication::setAttribute(Qt::AA_Use96Dpi);

    QApplication app(argc, argv);
    startupProbe.applicationCreated();
    QApplication::setOrganizationName(QStringLiteral("KVR"));
    QApplication::setOrganizationDomain(QStringLiteral("orva.example"));

    BrandConfiguration *brand = BrandConfiguration::instance();
    if (!options.brandPackage.isEmpty())
        brand->loadPackage(options.brandPackage);
    else
        LOG_INF(QStringLiteral("[INFO] No brand package given, the built-in brand is used."));

    QApplication::setApplicationName(QStringLiteral("ORVA Launcher"));
    QApplication::setApplicationVersion(QLatin1String(kVersion));
    QApplication::setWindowIcon(QIcon(brand->iconPath()));
    qInstallMessageHandler(customMessageHandler);

    if (options.console && !logger.console().open())
        std::fprintf(stderr, "Cannot open a console.\n");
    if (!options.logOptions.isEmpty()) {
        QString error;
        if (!logger.applyOptions(options.logOptions, &error))
            reportProblems({QStringLiteral("Option -log: %1; the other flags are applied.").arg(error)});
    }
    reportProblems(options.problems);

    LOG_INF(QStringLiteral("[INFO] ================================================================"));
    LOG_INF(QStringLiteral("[INFO] %1 Launcher %2 (API version %3)")
                .arg(brand->applicationName(), QLatin1String(kVersion), QLatin1String(kApiVersion)));
    LOG_INF(QStringLiteral("[INFO] Qt %1, scale factor %2").arg(QLatin1String(qVersion())).arg(options.scaleFactor));
    LOG_INF(QStringLiteral("[INFO] ================================================================"));

    Launcher launcher;
    QSplashScreen splash(splashPixmap(*brand));
    splash.show();
    splash.showMessage(QObject::tr("Loading..."), Qt::AlignBottom | Qt::AlignHCenter, Qt::white);
    QApplication::processEvents();

    LauncherConfig::instance()->setShowAll(options.showAll);
    launcher.setScreenIndex(options.screen);
    launcher.setLoginArgument(options.login);
    // Only the real program browses the network; a Launcher built by a test stays silent.
    launcher.setNetworkDiscoveryAllowed(true);

    int result = 1;
    if (launcher.init(QApplication::arguments())) {
        splash.close();
        result = QApplication::exec();
        // A log-out sent just before the end still reaches its block; the event loop runs on,
        // so no window freezes meanwhile.
        PendingLogouts::waitForAll(BlockConnectionManager::LogoutTimeout);
    } else {
        LOG_ERR(QStringLiteral("[ERROR] The launcher could not start."));
    }

    LOG_INF(QStringLiteral("[INFO] Launcher ends (%1).").arg(result));
    qInstallMessageHandler(nullptr);
    // Leaving the scope destroys the splash screen, the launcher and the application, in
    // that order.
    return result;
}
