#include "core/memory/ProcessHeap.h"
#include "core/tracker/CMClientFrame.h"
#include "observation/camera/CameraObserver.h"
#include "observation/video/FramePool.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/SourceFrameReceiver.h"
#include "observation/video/VideoSource.h"
#include "observation/video/VideoSourceManager.h"
#include "support/FrameTestFixtures.h"
#include "support/RecordingVideoSurface.h"
#include "support/SimulatedTrackerNode.h"

#include "MedianReporter.h"
#include "ProcessFigures.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

using kvr::QMTClient::CameraObserver;
using kvr::QMTClient::SourceFrameReceiver;
using kvr::tracker::common::SourceFrame;
using kvr::tracker::net::CMClient;

namespace {

using ProcessFigures::loadAverage;
using ProcessFigures::residentMegabytes;

const QSize FullHd(1920, 1080);
const QSize Tile(640, 360);
constexpr int NodeFrameInterval = 40; // ms: 25 frames a second per camera

// The two pictures of the measurements: a camera's street scene (about 330 KB) and the
// noisy stripes that compress as badly as a dark, grainy camera (about 1 MB).
enum Picture { Street = 0, Noisy = 1 };

QVariantMap streetFrame()
{
    cv::Mat image(FullHd.height(), FullHd.width(), CV_8UC3);
    for (int y = 0; y < image.rows; ++y) {
        auto *row = image.ptr<cv::Vec3b>(y);
        for (int x = 0; x < image.cols; ++x)
            row[x] = cv::Vec3b(uchar(120 + x * 100 / image.cols), uchar(80 + y * 150 / image.rows),
                               uchar(60 + (x + y) * 60 / 3000));
    }
    cv::RNG rng(3);
    for (int i = 0; i < 60; ++i) {
        const cv::Rect wall(rng.uniform(0, 1800), rng.uniform(0, 1000), rng.uniform(20, 300), rng.uniform(20, 300));
        cv::rectangle(image, wall, cv::Scalar(rng.uniform(0, 255), rng.uniform(0, 255), rng.uniform(0, 255)), cv::FILLED);
    }
    for (int i = 0; i < 40; ++i) {
        const cv::Point from(rng.uniform(0, image.cols), rng.uniform(0, image.rows));
        const cv::Point to(rng.uniform(0, image.cols), rng.uniform(0, image.rows));
        cv::line(image, from, to, cv::Scalar(rng.uniform(0, 255), rng.uniform(0, 255), rng.uniform(0, 255)), 2);
    }
    cv::GaussianBlur(image, image, cv::Size(3, 3), 0);
    cv::Mat grain(image.size(), CV_8UC3);
    rng.fill(grain, cv::RNG::NORMAL, 0, 4);
    image += grain;
    std::vector<uchar> encoded;
    cv::imencode(".jpg", image, encoded, {cv::IMWRITE_JPEG_QUALITY, 90});
    const QByteArray bytes(reinterpret_cast<const char *>(encoded.data()), int(encoded.size()));
    return {{QStringLiteral("data"), bytes}, {QStringLiteral("size"), FullHd}, {QStringLiteral("channels"), 3}};
}

const QVariantMap &pictureFrame(int picture)
{
    static const QVariantMap street = streetFrame();
    static const QVariantMap noisy = frametest::jpegFrame(FullHd, 12);
    return picture == Street ? street : noisy;
}

QString cameraTag(int i)
{
    return QStringLiteral("cam%1").arg(i);
}

double cpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

int seconds(const char *variable, int fallback)
{
    const int value = qEnvironmentVariableIntValue(variable);
    return value > 0 ? value : fallback;
}

// One camera observer of a simulated node's source `tag`, showing its frames on a surface as a
// tile would, and counting them; `onFrame` sees each frame before it is shown.
struct ShownCamera
{
    ShownCamera(const QString &tag, const std::function<void(const FrameData &)> &onFrame = {})
    {
        source.setVideoSurface(&surface);
        manager.setVideoSource(&source);
        camera = std::make_unique<CameraObserver>(
            QJsonObject{{QStringLiteral("source_definition"), frametest::videoDefinitionJson(tag)}});
        QObject::connect(camera.get(), &CameraObserver::rawFrameChanged, &manager,
                         [this, onFrame](const std::shared_ptr<FrameData> &frame) {
                             ++frames;
                             if (onFrame)
                                 onFrame(*frame);
                             manager.publishFrame(QVideoFrame(frame->image));
                         });
    }

    RecordingVideoSurface surface;
    VideoSource source;
    VideoSourceManager manager;
    std::unique_ptr<CameraObserver> camera;
    qint64 frames = 0;
};

struct RoadOptions
{
    int cameras = 8;
    int frameInterval = NodeFrameInterval; // 0: as fast as the launcher reads
    QSize shown = Tile;                    // empty: the decoded size
    int presentDelay = 0;                  // ms a surface takes per frame
    bool stamped = false;                  // the node stamps frames with the time it sends them
    int picture = Noisy;
};

// A node streaming one picture per source from a thread of its own, and `cameras` camera
// observers each showing one of its sources on a surface.
class FrameRoad
{
public:
    explicit FrameRoad(const RoadOptions &options)
        : m_options(options)
    {
        m_node = new SimulatedTrackerNode;
        m_node->listen();
        m_node->setFrame(pictureFrame(options.picture));
        m_node->setFrameInterval(options.frameInterval);
        m_node->setFrameTimestamps(options.stamped);
        m_node->setWallClockTimestamps(options.stamped);
        QMap<quint32, QHash<QString, QVariant>> sources;
        for (int i = 0; i < options.cameras; ++i)
            sources.insert(quint32(100 + i), frametest::nodeSource(frametest::videoDefinition(cameraTag(i))));
        m_node->setSourcesData(sources);
        m_node->moveToThread(&m_nodeThread);
        QObject::connect(&m_nodeThread, &QThread::finished, m_node, &QObject::deleteLater);
        m_nodeThread.start();

        for (int i = 0; i < options.cameras; ++i) {
            auto view = std::make_unique<ShownCamera>(cameraTag(i), [this](const FrameData &frame) {
                if (m_options.stamped)
                    m_ages.push_back(QDateTime::currentMSecsSinceEpoch() - frame.timestamp);
            });
            view->surface.setPresentDelay(options.presentDelay);
            QObject::connect(&view->surface, &RecordingVideoSurface::framePresented, [this] { ++m_delivered; });
            view->camera->setResizeSize(options.shown);
            view->camera->connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
            view->camera->startRequestingFrames();
            m_views.push_back(std::move(view));
        }
    }

    ~FrameRoad()
    {
        m_views.clear();
        frametest::releaseAllReceivers();
        m_nodeThread.quit();
        m_nodeThread.wait();
    }

    // Runs this thread's events until `count` more frames reached the surfaces.
    void deliver(qint64 count)
    {
        const qint64 target = m_delivered + count;
        while (m_delivered < target)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    // Runs this thread's events until every camera showed `count` frames.
    void deliverEach(qint64 count)
    {
        while (std::any_of(m_views.begin(), m_views.end(), [count](const auto &view) { return view->frames < count; }))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    // An event loop, not processEvents with a time limit: that one never sleeps.
    void runFor(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    qint64 delivered() const { return m_delivered; }
    std::vector<qint64> &ages() { return m_ages; }

    std::vector<qint64> framesPerCamera() const
    {
        std::vector<qint64> frames;
        for (const auto &view : m_views)
            frames.push_back(view->frames);
        return frames;
    }

    double nodeCpuSeconds()
    {
        double cpu = 0;
        QMetaObject::invokeMethod(m_node, [&] { cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID); },
                                  Qt::BlockingQueuedConnection);
        return cpu;
    }

    // Frames replaced while waiting for the GUI thread (one receiver: one node).
    quint64 droppedBeforeDelivery() const
    {
        const auto *receiver = qobject_cast<const SourceFrameReceiver *>(m_views.front()->camera->frameReceiver());
        return receiver ? receiver->droppedFrames() : 0;
    }

    quint64 droppedBeforeConversion() const
    {
        quint64 dropped = 0;
        for (const auto &view : m_views)
            dropped += view->camera->frameConvertor().droppedFrames();
        return dropped;
    }

    bool allAt(const QSize &size) const
    {
        for (const auto &view : m_views) {
            if (view->surface.lastFrameSize() != size || view->surface.lastPixelFormat() != QVideoFrame::Format_RGB32)
                return false;
        }
        return true;
    }

private:
    RoadOptions m_options;
    QThread m_nodeThread;
    SimulatedTrackerNode *m_node = nullptr;
    std::vector<std::unique_ptr<ShownCamera>> m_views;
    qint64 m_delivered = 0;
    std::vector<qint64> m_ages;
};

double percentile(std::vector<qint64> values, double fraction)
{
    if (values.empty())
        return 0;
    const auto at = values.begin() + long(double(values.size() - 1) * fraction);
    std::nth_element(values.begin(), at, values.end());
    return double(*at);
}

// Eight cameras of one node at 25 frames a second, shown as 640x360 tiles. One iteration is
// a window of ORVA_BENCH_WINDOW_SECONDS (5); cpu_ms_per_frame is the process's CPU time
// without the node's thread, per frame shown.
void BM_TileRoad(benchmark::State &state)
{
    const int windowMs = 1000 * seconds("ORVA_BENCH_WINDOW_SECONDS", 5);
    RoadOptions options;
    options.picture = int(state.range(0));
    FrameRoad road(options);
    road.deliverEach(5); // connected, mapped and streaming
    road.runFor(1000);

    const std::vector<qint64> framesBefore = road.framesPerCamera();
    const quint64 deliveryDropsBefore = road.droppedBeforeDelivery();
    const quint64 conversionDropsBefore = road.droppedBeforeConversion();
    const double nodeBefore = road.nodeCpuSeconds();
    const double cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    QElapsedTimer window;
    window.start();
    for (auto _ : state)
        road.runFor(windowMs);
    const double elapsed = double(window.elapsed()) / 1000.0;
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - (road.nodeCpuSeconds() - nodeBefore);

    const std::vector<qint64> framesAfter = road.framesPerCamera();
    qint64 frames = 0;
    double slowest = 1e9;
    for (size_t i = 0; i < framesAfter.size(); ++i) {
        frames += framesAfter[i] - framesBefore[i];
        slowest = std::min(slowest, double(framesAfter[i] - framesBefore[i]) / elapsed);
    }
    if (!road.allAt(Tile))
        state.SkipWithError("a surface got another size or format");
    state.counters["cpu_ms_per_frame"] = cpu * 1000.0 / double(std::max<qint64>(1, frames));
    state.counters["min_camera_fps"] = slowest;
    state.counters["fps"] = double(frames) / elapsed;
    state.counters["dropped_delivery"] = double(road.droppedBeforeDelivery() - deliveryDropsBefore);
    state.counters["dropped_conversion"] = double(road.droppedBeforeConversion() - conversionDropsBefore);
}
BENCHMARK(BM_TileRoad)->Arg(Street)->Arg(Noisy)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// One decode of the picture (CMClient::Frame::getImage) in this thread, at `decodeSize`.
void decodeInTurn(benchmark::State &state, const QSize &decodeSize)
{
    const QVariantMap &picture = pictureFrame(int(state.range(0)));
    kvr::tracker::common::SourceFrameFormatDefinition format;
    format.setSourceID(100);
    const double cpuBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    for (auto _ : state) {
        SourceFrame sourceFrame;
        sourceFrame.setQVariantData(picture);
        CMClient::Frame frame(format, sourceFrame);
        frame.setDecodeSize(decodeSize);
        const QImage image = frame.getImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cpu_ms_per_decode"] =
        (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore) * 1000.0 / double(state.iterations());
}

// The yardstick: a full-size decode of the same picture.
void BM_FullDecode(benchmark::State &state)
{
    decodeInTurn(state, QSize());
}
BENCHMARK(BM_FullDecode)->Arg(Street)->Arg(Noisy)->MinTime(2)->Unit(benchmark::kMillisecond);

// The decode alone as the tile road does it (1/2 scale for 640x360): the road's floor.
void BM_TileDecode(benchmark::State &state)
{
    decodeInTurn(state, Tile);
}
BENCHMARK(BM_TileDecode)->Arg(Street)->Arg(Noisy)->MinTime(2)->Unit(benchmark::kMillisecond);

// The road with one pool thread, which cannot decode all frames: the frames shown must stay
// young (dropped, not queued). ORVA_BENCH_AGE_SECONDS sets the length (60 s by default).
void BM_FrameAgeOneThread(benchmark::State &state)
{
    const int runMs = 1000 * seconds("ORVA_BENCH_AGE_SECONDS", 60);
    QThreadPool *pool = FramePool::instance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    RoadOptions options;
    options.picture = int(state.range(0));
    options.stamped = true;
    for (auto _ : state) {
        FrameRoad road(options);
        road.deliverEach(2);
        road.ages().clear();
        const std::vector<qint64> framesBefore = road.framesPerCamera();
        const quint64 deliveryDropsBefore = road.droppedBeforeDelivery();
        const quint64 conversionDropsBefore = road.droppedBeforeConversion();
        road.runFor(runMs / 2);
        const double firstHalfMax = percentile(road.ages(), 1.0);
        road.runFor(runMs - runMs / 2);
        const std::vector<qint64> &ages = road.ages();
        qint64 frames = 0;
        const std::vector<qint64> framesAfter = road.framesPerCamera();
        for (size_t i = 0; i < framesAfter.size(); ++i)
            frames += framesAfter[i] - framesBefore[i];
        state.counters["age_median_ms"] = percentile(ages, 0.5);
        state.counters["age_p99_ms"] = percentile(ages, 0.99);
        state.counters["age_max_ms"] = percentile(ages, 1.0);
        state.counters["age_max_first_half_ms"] = firstHalfMax;
        state.counters["fps"] = double(frames) * 1000.0 / runMs;
        state.counters["dropped_delivery"] = double(road.droppedBeforeDelivery() - deliveryDropsBefore);
        state.counters["dropped_conversion"] = double(road.droppedBeforeConversion() - conversionDropsBefore);
        state.counters["rss_mb"] = residentMegabytes();
    }
    pool->setMaxThreadCount(threads);
}
BENCHMARK(BM_FrameAgeOneThread)->Arg(Street)->Arg(Noisy)->Iterations(1)->Repetitions(1)->UseRealTime()->Unit(benchmark::kSecond);

// Full-size frames as fast as the node can send them: the road's throughput. One iteration is
// one frame on a surface; cpu per iteration is the whole process's, the node included.
void BM_FrameRoad(benchmark::State &state)
{
    RoadOptions options;
    options.cameras = int(state.range(0));
    options.frameInterval = 0;
    options.shown = QSize();
    FrameRoad road(options);
    road.deliver(4 * options.cameras);
    const double nodeBefore = road.nodeCpuSeconds();
    const qint64 before = road.delivered();
    for (auto _ : state)
        road.deliver(1);
    const double nodeSeconds = road.nodeCpuSeconds() - nodeBefore;
    const double frames = double(road.delivered() - before);
    if (!road.allAt(FullHd))
        state.SkipWithError("a surface got another size or format");
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["node_cpu_ms_per_frame"] = nodeSeconds * 1000.0 / qMax(1.0, frames);
}
BENCHMARK(BM_FrameRoad)->Arg(1)->Arg(8)->MinTime(5)->Repetitions(1)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A screen that takes 100 ms per frame behind a node at full speed: memory must stay flat.
// ORVA_BENCH_SLOW_SECONDS sets the length (60 s by default).
void BM_SlowConsumerMemory(benchmark::State &state)
{
    const int length = seconds("ORVA_BENCH_SLOW_SECONDS", 60);
    RoadOptions options;
    options.cameras = int(state.range(0));
    options.frameInterval = 0;
    options.shown = QSize();
    options.presentDelay = 100;
    for (auto _ : state) {
        FrameRoad road(options);
        road.deliver(options.cameras);
        road.runFor(2000);
        // Flat: the second half of the run peaks no higher than the first.
        const double start = residentMegabytes();
        double firstHalfPeak = start;
        double secondHalfPeak = 0;
        for (int elapsed = 0; elapsed < length; ++elapsed) {
            road.runFor(1000);
            double &peak = elapsed < length / 2 ? firstHalfPeak : secondHalfPeak;
            peak = qMax(peak, residentMegabytes());
        }
        state.counters["rss_start_mb"] = start;
        state.counters["rss_peak_first_half_mb"] = firstHalfPeak;
        state.counters["rss_peak_second_half_mb"] = secondHalfPeak;
        state.counters["rss_end_mb"] = residentMegabytes();
        state.counters["frames_shown"] = double(road.delivered());
    }
}
BENCHMARK(BM_SlowConsumerMemory)->Arg(1)->Arg(8)->Iterations(1)->Repetitions(1)->UseRealTime()->Unit(benchmark::kSecond);

constexpr int CamerasPerBlock = 4;

// The child of BM_ScrollMemory: `blocks` nodes of four sources each, streaming the street
// picture at 25 fps. Prints their ports on one line and serves until its input closes.
int serveNodes(int blocks)
{
    std::vector<std::unique_ptr<SimulatedTrackerNode>> nodes;
    QString ports;
    for (int b = 0; b < blocks; ++b) {
        auto node = std::make_unique<SimulatedTrackerNode>();
        if (!node->listen())
            return 1;
        node->setFrame(pictureFrame(Street));
        node->setFrameInterval(NodeFrameInterval);
        QMap<quint32, QHash<QString, QVariant>> sources;
        for (int c = 0; c < CamerasPerBlock; ++c)
            sources.insert(quint32(100 + c), frametest::nodeSource(frametest::videoDefinition(cameraTag(c))));
        node->setSourcesData(sources);
        ports += QString::number(node->port()) + QLatin1Char(' ');
        nodes.push_back(std::move(node));
    }
    std::printf("%s\n", qPrintable(ports.trimmed()));
    std::fflush(stdout);
    ProcessFigures::quitWhenInputCloses();
    return qApp->exec();
}

// Blocks of four cameras, each block with a node of its own (in a child process, so that the
// figures are the launcher's alone), streaming full-size frames at 25 fps; a screen shows 12
// cameras. The screens are shown one after the other (the previous one stopped, as tiles
// scrolled away), then the first again, then every camera is dropped, as when the page is
// left. Resident memory after each step: "back" should hold at most 10 % more than "first".
void BM_ScrollMemory(benchmark::State &state)
{
    const int blocks = int(state.range(0));
    constexpr int Screen = 12;
    for (auto _ : state) {
        const double before = residentMegabytes();
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--serve-nodes"), QString::number(blocks)});
        if (!server.waitForReadyRead(30000)) {
            state.SkipWithError("the nodes did not start");
            return;
        }
        const QStringList ports = QString::fromLatin1(server.readLine()).trimmed().split(QLatin1Char(' '));

        std::vector<std::unique_ptr<ShownCamera>> cameras;
        for (int b = 0; b < blocks; ++b) {
            for (int c = 0; c < CamerasPerBlock; ++c) {
                auto shown = std::make_unique<ShownCamera>(cameraTag(c));
                shown->camera->connectToNode(QStringLiteral("127.0.0.1"), quint16(ports.value(b).toUInt()));
                cameras.push_back(std::move(shown));
            }
        }
        const int screens = int(cameras.size() + Screen - 1) / Screen;
        const auto range = [&](int screen) {
            const size_t first = size_t(screen * Screen);
            return std::make_pair(first, std::min(cameras.size(), first + Screen));
        };
        const auto show = [&](int screen) {
            const auto [first, last] = range(screen);
            for (size_t i = first; i < last; ++i) {
                cameras[i]->frames = 0;
                cameras[i]->camera->startRequestingFrames();
            }
            while (std::any_of(cameras.begin() + long(first), cameras.begin() + long(last),
                               [](const auto &shown) { return shown->frames < 3; }))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        };
        const auto hide = [&](int screen) {
            const auto [first, last] = range(screen);
            for (size_t i = first; i < last; ++i) {
                cameras[i]->camera->stopRequestingFrames(true);
                cameras[i]->manager.clearFrame();
            }
        };
        const auto settle = [] {
            QEventLoop loop;
            QTimer::singleShot(1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
            loop.exec();
        };

        show(0);
        settle();
        const double first = residentMegabytes();
        double peak = first;
        for (int screen = 1; screen < screens; ++screen) {
            hide(screen - 1);
            show(screen);
            peak = std::max(peak, residentMegabytes());
        }
        hide(screens - 1);
        show(0);
        settle();
        const double back = residentMegabytes();
        hide(0);
        cameras.clear();
        frametest::releaseAllReceivers();
        settle();
        const double left = residentMegabytes();
        server.closeWriteChannel();
        server.waitForFinished(5000);

        state.counters["cameras"] = double(blocks * CamerasPerBlock);
        state.counters["rss_before_mb"] = before;
        state.counters["rss_first_screen_mb"] = first;
        state.counters["rss_peak_mb"] = peak;
        state.counters["rss_back_mb"] = back;
        state.counters["rss_left_mb"] = left;
        state.counters["back_over_first"] = back / first;
    }
}
BENCHMARK(BM_ScrollMemory)->Arg(12)->Iterations(1)->Repetitions(1)->UseRealTime()->Unit(benchmark::kSecond);

void summary(const MedianReporter &r, const QString &loadBefore)
{
    static const char *const names[] = {"street (about 330 KB)", "noisy (about 1 MB)"};
    for (const int picture : {Street, Noisy}) {
        const std::string arg = "/" + std::to_string(picture);
        const double road = r.counter("BM_TileRoad" + arg, "cpu_ms_per_frame");
        const double decode = r.counter("BM_FullDecode" + arg, "cpu_ms_per_decode");
        const double tileDecode = r.counter("BM_TileDecode" + arg, "cpu_ms_per_decode");
        if (road <= 0 || decode <= 0)
            continue;
        std::printf("%s, %d KB: cpu per frame shown %.2f ms = %.2f of a full-size decode (%.2f ms; the 1/2 decode "
                    "alone %.2f ms = %.2f); slowest camera %.1f fps; dropped %.0f before delivery, %.0f before "
                    "conversion per window\n",
                    names[picture], int(pictureFrame(picture).value(QStringLiteral("data")).toByteArray().size() / 1024),
                    road, road / decode, decode, tileDecode, tileDecode / decode,
                    r.counter("BM_TileRoad" + arg, "min_camera_fps"),
                    r.counter("BM_TileRoad" + arg, "dropped_delivery"),
                    r.counter("BM_TileRoad" + arg, "dropped_conversion"));
    }
    std::printf("load average before: %s, after: %s\n", qPrintable(loadBefore), qPrintable(loadAverage()));
}

} // namespace

int main(int argc, char **argv)
{
    // The launcher's heap, whose memory these figures measure.
    kvr::ProcessHeap::fixThresholds();
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--serve-nodes") == 0)
        return serveNodes(atoi(argv[2]));
    // ORVA_BENCH_POOL_THREADS caps the frame pool, as a smaller machine would.
    if (qEnvironmentVariableIntValue("ORVA_BENCH_POOL_THREADS") > 0)
        FramePool::instance()->setMaxThreadCount(qEnvironmentVariableIntValue("ORVA_BENCH_POOL_THREADS"));
    const QString loadBefore = loadAverage();
    // The tile road and its yardstick take turns, five times each.
    return MedianReporter::run(argc, argv, 5, [&](const MedianReporter &r) { summary(r, loadBefore); });
}
