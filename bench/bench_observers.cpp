// Polling cost of the observation: many simulated blocks, each with several cubes, polled by one
// ObserverManager and, in turns of its own, by a bare Qt poller that makes the same requests
// (same paths, headers, bodies with the last replies' time stamps, periods, HTTPS without
// certificate checks) through one shared QNetworkAccessManager and only parses each reply for
// the stamps of the next body. The blocks (and one
// tracker node that every camera's receiver connects to) run in a child process, so the figures
// are those of the polling process alone.
//
//     bench_observers [--blocks 50] [--cubes 4] [--seconds 10] [--benchmark_repetitions=5]
//
// A turn logs in (observers), waits out a warm-up and then measures `seconds`: the "time" of a
// turn is its CPU time per request the blocks received in it; counters give the requests per
// second, the CPU share of the process, of its GUI thread and of its HTTP threads, and the
// resident memory. The two kinds of turn alternate in random order; the summary gives the
// medians, their ratio and the load average.

#include "core/memory/ProcessHeap.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/observers/DeviceObserver.h"
#include "observation/observers/ObserverManager.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedTrackerNode.h"

#include "MedianReporter.h"
#include "ProcessFigures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ProcessFigures::loadAverage;
using ProcessFigures::residentMegabytes;

const int kWarmUpMs = 3000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of this process's threads so far: the GUI thread's and the HTTP threads' of the
// network access managers ("QNetworkAccessManager thread"), from /proc.
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

// Child: the blocks and the node. Prints "<node port> <block port>...", then answers every line
// on its standard input with the number of requests the blocks have received since the last
// line; ends when its standard input closes (the parent ended).
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
    QObject::connect(&input, &QSocketNotifier::activated, qApp, [&input, &servers]() {
        char buffer[64];
        const ssize_t size = read(STDIN_FILENO, buffer, sizeof buffer);
        if (size <= 0) {
            input.setEnabled(false);
            qApp->quit();
            return;
        }
        for (ssize_t i = 0; i < size; ++i) {
            if (buffer[i] != '\n')
                continue;
            qint64 requests = 0;
            for (const auto &server : servers) {
                requests += server->requestCount();
                // Only the count is wanted; the records would grow for the whole run.
                server->clearRequests();
            }
            std::printf("%lld\n", static_cast<long long>(requests));
            std::fflush(stdout);
        }
    });
    return qApp->exec();
}

// The blocks of the child process and the favourites that name them.
struct Blocks
{
    QProcess server;
    QStringList ports;
    QString nodePort;
    int cubes = 4;
    int seconds = 10;
    FavoriteDeviceModel favourites;

    bool start(int blocks)
    {
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--serve"), QStringLiteral("--blocks"), QString::number(blocks),
                      QStringLiteral("--cubes"), QString::number(cubes)});
        if (!server.waitForReadyRead(30000))
            return false;
        const QStringList line = QString::fromLatin1(server.readLine()).trimmed().split(QLatin1Char(' '));
        nodePort = line.value(0);
        ports = line.mid(1);
        for (int i = 0; i < ports.size(); ++i) {
            FavoriteDevice device(QStringLiteral("127.0.0.1:%1:%2").arg(ports.at(i), nodePort),
                                  QStringLiteral("operator"), QStringLiteral("secret"));
            device.setName(QStringLiteral("Block %1").arg(i + 1));
            favourites.addDevice(device);
        }
        return ports.size() == blocks;
    }

    // Requests the blocks received since the last call; -1 when the child does not answer.
    qint64 requestsServed()
    {
        server.write("\n");
        while (!server.canReadLine()) {
            if (!server.waitForReadyRead(10000))
                return -1;
        }
        return server.readLine().trimmed().toLongLong();
    }
};

Blocks *blocks = nullptr;

// The same requests as a device observer's polls, each re-armed by its reply on a precise
// single-shot timer: the analytics and cameras bodies carry each cube's time stamp of the last
// reply, as the observer's do. The replies are parsed for those stamps, nothing more.
class BarePoller
{
public:
    BarePoller(const QStringList &ports, int cubes)
    {
        m_ssl = QSslConfiguration::defaultConfiguration();
        m_ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
        for (const QString &port : ports) {
            auto block = std::make_unique<Block>();
            block->base = QStringLiteral("https://127.0.0.1:%1/api").arg(port);
            for (int id = 1; id <= cubes; ++id) {
                block->analyticsStamps.insert(id, QStringLiteral("0"));
                block->cameraStamps.insert(id, QString());
            }
            Block *owner = block.get();
            const struct
            {
                QTimer *timer;
                int period;
                Poll poll;
            } polls[] = {{&block->status, 2000, Poll::Status},
                         {&block->analytics, 500, Poll::Analytics},
                         {&block->cameras, 3000, Poll::Cameras}};
            for (const auto &entry : polls) {
                entry.timer->setSingleShot(true);
                entry.timer->setTimerType(Qt::PreciseTimer);
                entry.timer->setInterval(entry.period);
                const Poll poll = entry.poll;
                QObject::connect(entry.timer, &QTimer::timeout, [this, owner, poll]() { send(*owner, poll); });
                send(*owner, poll);
            }
            m_blocks.push_back(std::move(block));
        }
    }

private:
    enum class Poll { Status, Analytics, Cameras };

    struct Block
    {
        QString base;
        QTimer status;
        QTimer analytics;
        QTimer cameras;
        QMap<int, QString> analyticsStamps;
        QMap<int, QString> cameraStamps; // null: no stamp yet
        quint32 nextId = 0;
    };

    static QByteArray body(const QMap<int, QString> &stamps)
    {
        QJsonArray cubes;
        for (auto it = stamps.cbegin(); it != stamps.cend(); ++it) {
            QJsonObject cube{{QStringLiteral("id"), it.key()}};
            if (!it.value().isNull())
                cube.insert(QStringLiteral("last_timestamp"), it.value());
            cubes.append(cube);
        }
        return QJsonDocument(QJsonObject{{QStringLiteral("cubes"), cubes}}).toJson();
    }

    static void readStamps(const QJsonDocument &document, Poll poll, Block &block)
    {
        for (const QJsonValue &entry : document.object().value(QStringLiteral("cubes")).toArray()) {
            const QJsonObject cube = entry.toObject();
            const int id = cube.value(QStringLiteral("id")).toInt(-1);
            if (poll == Poll::Analytics && block.analyticsStamps.contains(id)) {
                block.analyticsStamps[id] =
                    cube.value(QStringLiteral("analytic_info")).toObject().value(QStringLiteral("timestamp")).toString();
            } else if (poll == Poll::Cameras && block.cameraStamps.contains(id)) {
                const QJsonObject stamp = cube.value(QStringLiteral("camera_info"))
                                              .toObject()
                                              .value(QStringLiteral("source_timestamp"))
                                              .toObject()
                                              .value(QStringLiteral("data"))
                                              .toObject();
                block.cameraStamps[id] = QString::number(qint64(stamp.value(QStringLiteral("data_ts_ms")).toDouble()));
            }
        }
    }

    void send(Block &block, Poll poll)
    {
        static const QString paths[] = {QStringLiteral("/block_status_info"), QStringLiteral("/cubes/analytics/info"),
                                        QStringLiteral("/cubes/cameras/info")};
        QNetworkRequest request(QUrl(block.base + paths[int(poll)]));
        request.setRawHeader("Private-Api", "true");
        request.setRawHeader("Authorization", "Bearer token-1");
        request.setRawHeader("Accept-Version", "1.19.0");
        if (poll != Poll::Status)
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader("accept", "application/json");
        request.setRawHeader("RequestID", QByteArray::number(block.nextId++));
        request.setAttribute(QNetworkRequest::HttpPipeliningAllowedAttribute, true);
        request.setSslConfiguration(m_ssl);
        QNetworkReply *reply = nullptr;
        if (poll == Poll::Status)
            reply = m_network.get(request);
        else
            reply = m_network.post(request, body(poll == Poll::Analytics ? block.analyticsStamps : block.cameraStamps));
        QTimer *timer = poll == Poll::Status ? &block.status : poll == Poll::Analytics ? &block.analytics : &block.cameras;
        QObject::connect(reply, &QNetworkReply::finished, [reply, timer, poll, &block]() {
            readStamps(QJsonDocument::fromJson(reply->readAll()), poll, block);
            reply->deleteLater();
            timer->start();
        });
    }

    QNetworkAccessManager m_network;
    QSslConfiguration m_ssl;
    std::vector<std::unique_ptr<Block>> m_blocks;
};

// Runs the event loop for a while; `done` ends it sooner.
void runFor(int milliseconds, const std::function<bool()> &done = nullptr)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QTimer check;
    if (done) {
        QObject::connect(&check, &QTimer::timeout, &loop, [&loop, &done]() {
            if (done())
                loop.quit();
        });
        check.start(100);
    }
    loop.exec();
}

// Measures one turn: warm-up, then the measured seconds.
void measure(benchmark::State &state)
{
    runFor(kWarmUpMs);
    blocks->requestsServed();
    const double cpu = cpuSeconds();
    const ThreadCpu threads = threadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runFor(blocks->seconds * 1000);
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double spent = cpuSeconds() - cpu;
    const ThreadCpu threadsAfter = threadCpuSeconds();
    const qint64 requests = blocks->requestsServed();
    if (requests <= 0) {
        state.SkipWithError("the blocks received no request");
        return;
    }
    state.SetIterationTime(spent / double(requests));
    state.counters["requests_per_s"] = double(requests) / wall;
    state.counters["cpu_pct"] = 100.0 * spent / wall;
    state.counters["gui_pct"] = 100.0 * (threadsAfter.gui - threads.gui) / wall;
    state.counters["http_pct"] = 100.0 * (threadsAfter.http - threads.http) / wall;
    state.counters["rss_mb"] = residentMegabytes();
}

void BM_Observers(benchmark::State &state)
{
    for (auto _ : state) {
        auto manager = std::make_unique<ObserverManager>();
        manager->setSourceModel(&blocks->favourites);
        const auto loggedIn = [&manager]() {
            int count = 0;
            for (const auto &observer : manager->deviceModel()->items())
                count += observer->loginStatus() == BlockSession::LoggedIn ? 1 : 0;
            return count;
        };
        runFor(60000, [&loggedIn]() { return loggedIn() == blocks->ports.size(); });
        if (loggedIn() < blocks->ports.size()) {
            state.SkipWithError("not every observer logged in");
            return;
        }
        measure(state);
    }
}
BENCHMARK(BM_Observers)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_BareSharedPoller(benchmark::State &state)
{
    for (auto _ : state) {
        BarePoller poller(blocks->ports, blocks->cubes);
        measure(state);
    }
}
BENCHMARK(BM_BareSharedPoller)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

// "--name value" of our own, taken out of the arguments Google Benchmark reads.
int takeOption(std::vector<char *> &arguments, const char *name, int fallback)
{
    for (size_t i = 1; i + 1 < arguments.size(); ++i) {
        if (std::strcmp(arguments[i], name) == 0) {
            const int value = std::atoi(arguments[i + 1]);
            arguments.erase(arguments.begin() + long(i), arguments.begin() + long(i) + 2);
            return value;
        }
    }
    return fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    // The launcher's heap, whose memory these figures measure.
    kvr::ProcessHeap::fixThresholds();
    QGuiApplication app(argc, argv);
    std::vector<char *> arguments(argv, argv + argc);
    const int blockCount = takeOption(arguments, "--blocks", 50);
    const int cubes = takeOption(arguments, "--cubes", 4);
    const int seconds = takeOption(arguments, "--seconds", 10);
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (std::strcmp(arguments[i], "--serve") == 0)
            return serve(blockCount, cubes);
    }

    Blocks served;
    served.cubes = cubes;
    served.seconds = seconds;
    if (!served.start(blockCount)) {
        std::fprintf(stderr, "the simulated blocks did not start\n");
        return 1;
    }
    blocks = &served;
    std::printf("%d blocks x %d cubes, %d s a turn after %d ms of warm-up; load average before: %s\n",
                blockCount, cubes, seconds, kWarmUpMs, qPrintable(loadAverage()));
    const int result = MedianReporter::run(int(arguments.size()), arguments.data(), 5, [](const MedianReporter &r) {
        const double observers = r.nanoseconds("BM_Observers");
        const double bare = r.nanoseconds("BM_BareSharedPoller");
        std::printf("CPU per request: observers %.0f us, bare poller on one shared manager %.0f us, ratio %.2f\n",
                    observers / 1e3, bare / 1e3, MedianReporter::ratio(observers, bare));
        std::printf("requests per second: observers %.1f, bare poller %.1f\n",
                    r.counter("BM_Observers", "requests_per_s"), r.counter("BM_BareSharedPoller", "requests_per_s"));
        std::printf("load average after: %s\n", qPrintable(loadAverage()));
    });
    blocks = nullptr;
    served.server.closeWriteChannel();
    served.server.waitForFinished(5000);
    return result;
}
