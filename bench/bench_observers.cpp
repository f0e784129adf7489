// Scale run of the observation: many simulated blocks, each with several cubes, observed by
// one ObserverManager for a while. The blocks (and one tracker node that every camera's
// receiver connects to) run in a child process, so the figures are those of the observing
// process alone: its CPU share over each sampling interval and its resident memory.
//
//     bench_observers [--blocks 50] [--cubes 4] [--seconds 60] [--sample 5]
//
// Not a Google Benchmark loop: the question is the steady state over time, not one operation.

#include "core/memory/ProcessHeap.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/observers/DeviceObserver.h"
#include "observation/observers/ObserverManager.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedTrackerNode.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// CPU seconds of this process's threads so far: the GUI thread's and the REST clients' HTTP
// threads' ("QNetworkAccessManager", one per client), from /proc.
struct ThreadCpu
{
    double gui = 0;
    double http = 0;
};

ThreadCpu threadCpuSeconds()
{
    ThreadCpu cpu;
    const double ticks = double(sysconf(_SC_CLK_TCK));
    const QString self = QString::number(getpid());
    QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "tid (name) state ...": the fields after the name, utime and stime are the 12th and 13th.
        const int close = line.lastIndexOf(')');
        const QByteArray name = line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1);
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        const double seconds = (fields.value(11).toDouble() + fields.value(12).toDouble()) / ticks;
        if (task == self)
            cpu.gui += seconds;
        else if (name.startsWith("QNetworkAccess"))
            cpu.http += seconds;
    }
    return cpu;
}

// Child: the blocks and the node. Prints "<node port> <block port>..." and serves until its
// standard input closes (the parent ended).
int serve(int blocks, int cubes)
{
    std::vector<std::unique_ptr<SimulatedBlock>> servers;
    SimulatedTrackerNode node;
    if (!node.listen())
        return 1;
    QString line = QString::number(node.port());
    for (int i = 0; i < blocks; ++i) {
        servers.emplace_back(new SimulatedBlock(SimulatedBlock::Scheme::Https));
        if (!servers.back()->listen())
            return 1;
        ObservedBlockScript script;
        script.cubeCount = cubes;
        script.serialNumber = QStringLiteral("ORVA-%1").arg(i + 1);
        script.install(*servers.back());
        line += QLatin1Char(' ') + QString::number(servers.back()->port());
    }
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, qApp, [&input]() {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            qApp->quit();
        }
    });
    return qApp->exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // The launcher's heap, whose memory these figures measure.
    kvr::ProcessHeap::fixThresholds();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption blocksOption(QStringLiteral("blocks"), QStringLiteral("Simulated blocks."),
                                          QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption cubesOption(QStringLiteral("cubes"), QStringLiteral("Cubes per block."),
                                         QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Observed time."),
                                           QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption sampleOption(QStringLiteral("sample"), QStringLiteral("Sampling interval."),
                                          QStringLiteral("s"), QStringLiteral("5"));
    const QCommandLineOption serveOption(QStringLiteral("serve"), QStringLiteral("Run the simulated blocks."));
    parser.addOptions({blocksOption, cubesOption, secondsOption, sampleOption, serveOption});
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
    if (!server.waitForReadyRead(30000)) {
        std::fprintf(stderr, "the simulated blocks did not start\n");
        return 1;
    }
    const QStringList ports = QString::fromLatin1(server.readLine()).trimmed().split(QLatin1Char(' '));
    const QString nodePort = ports.value(0);

    FavoriteDeviceModel favourites;
    for (int i = 1; i < ports.size(); ++i) {
        FavoriteDevice device(QStringLiteral("127.0.0.1:%1:%2").arg(ports.at(i), nodePort),
                              QStringLiteral("operator"), QStringLiteral("secret"));
        device.setName(QStringLiteral("Block %1").arg(i));
        favourites.addDevice(device);
    }

    const double startCpu = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    auto manager = std::make_unique<ObserverManager>();
    manager->setSourceModel(&favourites);

    const int seconds = parser.value(secondsOption).toInt();
    const int sampleMs = parser.value(sampleOption).toInt() * 1000;
    double lastCpu = startCpu;
    qint64 lastMs = 0;
    // The first interval holds the log-ins; the steady state is what comes after it.
    double steadyFromCpu = -1;
    qint64 steadyFromMs = 0;
    double steadyMinRss = 0;
    double steadyMaxRss = 0;
    ThreadCpu lastThreads = threadCpuSeconds();
    std::printf("%8s %8s %8s %8s %8s %10s %7s\n", "time s", "CPU %", "GUI %", "HTTP %", "RSS MB", "logged in",
                "cubes");
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &app, [&]() {
        const qint64 now = clock.elapsed();
        const double cpu = cpuSeconds();
        int loggedIn = 0;
        for (const auto &observer : manager->deviceModel()->items())
            loggedIn += observer->loginStatus() == DeviceObserver::LoggedIn ? 1 : 0;
        const ThreadCpu threads = threadCpuSeconds();
        const double share = 100.0 * 1000.0 / double(now - lastMs);
        std::printf("%8.1f %8.2f %8.2f %8.2f %8.1f %10d %7d\n", now / 1000.0, share * (cpu - lastCpu),
                    share * (threads.gui - lastThreads.gui), share * (threads.http - lastThreads.http),
                    residentMegabytes(), loggedIn, manager->cubeModel()->rowCount());
        lastThreads = threads;
        std::fflush(stdout);
        const double rss = residentMegabytes();
        if (steadyFromCpu < 0) {
            steadyFromCpu = cpu;
            steadyFromMs = now;
            steadyMinRss = steadyMaxRss = rss;
        }
        steadyMinRss = qMin(steadyMinRss, rss);
        steadyMaxRss = qMax(steadyMaxRss, rss);
        lastCpu = cpu;
        lastMs = now;
        if (now >= seconds * 1000LL)
            app.quit();
    });
    sampler.start(sampleMs);
    app.exec();
    const double totalCpu = cpuSeconds() - startCpu;
    std::printf("whole run: %.2f%% of one core over %.1f s (start-up included)\n",
                100.0 * totalCpu * 1000.0 / clock.elapsed(), clock.elapsed() / 1000.0);
    std::printf("steady state: %.2f%% of one core, RSS %.1f to %.1f MB\n",
                100.0 * (lastCpu - steadyFromCpu) * 1000.0 / double(lastMs - steadyFromMs), steadyMinRss,
                steadyMaxRss);
    manager.reset();
    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
