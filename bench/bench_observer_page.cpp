// Memory of the observer page at an operator's scale: simulated blocks, each with cubes of one
// camera and a tracker node of its own streaming full-HD JPEG frames at 25 fps, run in a child
// process (so that the figures are the launcher's alone). The real page is loaded into a window
// already shown, as the launcher's is (under Xvfb), scrolled one screen at a time through every
// cube and back, then left for the empty window, which is closed last. Prints the resident
// memory after each step and how "back" compares with the first screen.
//
//     bench_observer_page [--blocks 12] [--cubes 4]
//
// Not a Google Benchmark loop: the question is the memory after each step of one session.

#include "ObserverPeers.h"
#include "app/Launcher.h"
#include "app/QmlRegistration.h"
#include "core/memory/ProcessHeap.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/camera/CameraObserver.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/observers/CubeObserver.h"
#include "observation/observers/ObserverManager.h"

#include "ProcessFigures.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTimer>


#include <cstdio>
#include <memory>

namespace {

using ProcessFigures::residentMegabytes;

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs events until `done` holds or `ms` passed; false on the time-out.
template<typename Condition>
bool waitFor(Condition done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        runFor(20);
    }
    return true;
}

// Child: the blocks and their nodes. Prints the favourites' addresses on one line and serves
// until its standard input closes (the parent ended).
int serve(int blocks, int cubes)
{
    FavoriteDeviceModel favourites;
    ObserverPeers peers(&favourites);
    QStringList addresses;
    for (int i = 0; i < blocks; ++i) {
        if (peers.addBlock({{QStringLiteral("cubeCount"), cubes},
                            {QStringLiteral("firstCubeId"), 1 + i * cubes},
                            {QStringLiteral("node"), true},
                            {QStringLiteral("frameSize"), QSize(1920, 1080)}})
            < 0)
            return 1;
    }
    for (const FavoriteDevice &device : favourites.items())
        addresses << device.address();
    std::printf("%s\n", qPrintable(addresses.join(QLatin1Char(' '))));
    std::fflush(stdout);
    ProcessFigures::quitWhenInputCloses();
    return qApp->exec();
}

// Every cube that asks for frames shows one.
bool requestedFramesShown(ObserverManager *manager)
{
    int requesting = 0;
    for (const auto &cube : manager->cubeModel()->items()) {
        if (!cube->requestingFrames())
            continue;
        ++requesting;
        if (!cube->currentCamera() || !cube->currentCamera()->lastFrame())
            return false;
    }
    return requesting > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The launcher's heap, whose memory these figures measure.
    kvr::ProcessHeap::fixThresholds();
    QGuiApplication app(argc, argv);
    // Favourites and settings go to the test locations, never to the user's.
    QStandardPaths::setTestModeEnabled(true);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption blocksOption(QStringLiteral("blocks"), QStringLiteral("Simulated blocks."),
                                          QStringLiteral("n"), QStringLiteral("12"));
    const QCommandLineOption cubesOption(QStringLiteral("cubes"), QStringLiteral("Cubes per block."),
                                         QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption serveOption(QStringLiteral("serve"), QStringLiteral("Run the simulated blocks."));
    const QCommandLineOption shownOption(QStringLiteral("shown"),
                                         QStringLiteral("The box every camera is shown in (WxH); none: each tile's own."),
                                         QStringLiteral("size"));
    parser.addOptions({blocksOption, cubesOption, serveOption, shownOption});
    parser.process(app);
    const int blocks = parser.value(blocksOption).toInt();
    const int cubes = parser.value(cubesOption).toInt();
    if (parser.isSet(serveOption))
        return serve(blocks, cubes);

    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--serve"), QStringLiteral("--blocks"), QString::number(blocks),
                  QStringLiteral("--cubes"), QString::number(cubes)});
    if (!server.waitForReadyRead(60000)) {
        std::fprintf(stderr, "the simulated blocks did not start\n");
        return 1;
    }
    const QStringList addresses = QString::fromLatin1(server.readLine()).trimmed().split(QLatin1Char(' '));
    const QStringList shownSides = parser.value(shownOption).split(QLatin1Char('x'));
    const QSize shown = shownSides.size() == 2 ? QSize(shownSides.at(0).toInt(), shownSides.at(1).toInt()) : QSize();

    registerQmlTypes();
    Launcher launcher;
    for (int i = 0; i < addresses.size(); ++i) {
        FavoriteDevice device(addresses.at(i), QStringLiteral("operator"), QStringLiteral("secret"));
        device.setName(QStringLiteral("Block %1").arg(i + 1));
        device.setType(32);
        launcher.favoriteDeviceModel()->addDevice(device);
    }
    QQmlEngine engine;
    launcher.publishContextProperties(engine.rootContext());
    launcher.requestChangePage(Launcher::ObserverPage);
    runFor(1000);
    const double beforeWindow = residentMegabytes();

    // The page comes and goes in a loader of a window that stays, as in the launcher: what the
    // window and its graphics stack take is not the page's.
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\n"
                      "import QtQuick.Window 2.15\n"
                      "import Orva.Pages 1.0\n"
                      "Window { width: 1600; height: 1000; visible: true\n"
                      "    property alias pageLoader: pageLoader\n"
                      "    Loader { id: pageLoader; anchors.fill: parent; active: false\n"
                      "        sourceComponent: Component { ObserverPage {} } } }\n",
                      QUrl(QStringLiteral("qrc:/bench/ObserverPageWindow.qml")));
    std::unique_ptr<QObject> window(component.create());
    if (!window) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    auto *pageLoader = window->property("pageLoader").value<QQuickItem *>();
    runFor(2000);
    const double before = residentMegabytes();
    pageLoader->setProperty("active", true);
    auto *page = pageLoader->property("item").value<QQuickItem *>();
    if (!page) {
        std::fprintf(stderr, "the observer page was not made\n");
        return 1;
    }
    auto *manager = page->property("observerManager").value<ObserverManager *>();
    const auto grid = [page] {
        auto *loader = page->property("viewLoader").value<QObject *>();
        auto *view = loader ? loader->property("item").value<QObject *>() : nullptr;
        return view ? view->findChild<QQuickItem *>(QStringLiteral("grid")) : nullptr;
    };
    if (!waitFor([&] { return grid() && grid()->property("count").toInt() == blocks * cubes; }, 60000))
        return 1;
    // The tiles tell their cameras the size they show; --shown puts another in its place.
    if (!shown.isEmpty()) {
        for (const auto &cube : manager->cubeModel()->items()) {
            for (const auto &camera : cube->cameras())
                camera->setShownSize(shown);
        }
    }
    if ( !waitFor([&] { return requestedFramesShown(manager); }, 30000)) {
        std::fprintf(stderr, "the first screen of tiles never showed frames\n");
        return 1;
    }
    runFor(2000);
    const double first = residentMegabytes();
    std::printf("%-40s %8.1f MB\n", "before the window", beforeWindow);
    std::printf("%-40s %8.1f MB\n", "before the page (window shown)", before);
    std::printf("%-40s %8.1f MB\n", "first screen of tiles", first);

    QQuickItem *tiles = grid();
    const double step = tiles->height();
    const double end = qMax(0.0, tiles->property("contentHeight").toDouble() - tiles->height());
    double peak = first;
    int screens = 1;
    for (double y = step; y < end + step; y += step, ++screens) {
        tiles->setProperty("contentY", qMin(y, end));
        if (!waitFor([&] { return requestedFramesShown(manager); }, 30000))
            std::fprintf(stderr, "a screen at %.0f never showed frames\n", y);
        peak = qMax(peak, residentMegabytes());
    }
    std::printf("%-40s %8.1f MB (%d screens)\n", "peak while scrolling", peak, screens);
    tiles->setProperty("contentY", 0.0);
    waitFor([&] { return requestedFramesShown(manager); }, 30000);
    runFor(2000);
    const double back = residentMegabytes();
    std::printf("%-40s %8.1f MB = %.2f of the first screen\n", "back on the first screen", back, back / first);

    pageLoader->setProperty("active", false);
    launcher.requestChangePage(Launcher::DemoPage);
    runFor(3000);
    const double left = residentMegabytes();
    std::printf("%-40s %8.1f MB = %+.1f MB from before the page\n", "page left (window kept)", left, left - before);
    window.reset();
    runFor(1000);
    const double closed = residentMegabytes();
    std::printf("%-40s %8.1f MB = %+.1f MB from before the window\n", "window closed", closed, closed - beforeWindow);
    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
