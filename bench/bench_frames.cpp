#include "core/tracker/CMClientFrame.h"
#include "observation/camera/CameraObserver.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/VideoSource.h"
#include "observation/video/VideoSourceManager.h"
#include "support/FrameTestFixtures.h"
#include "support/RecordingVideoSurface.h"
#include "support/SimulatedTrackerNode.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

using kvr::QMTClient::CameraObserver;
using kvr::tracker::common::SourceFrame;
using kvr::tracker::net::CMClient;

namespace {

const QSize FullHd(1920, 1080);

const QVariantMap &fullHdFrame()
{
    static const QVariantMap frame = frametest::jpegFrame(FullHd, 12);
    return frame;
}

QString cameraTag(int i)
{
    return QStringLiteral("cam%1").arg(i);
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096.0 / (1024.0 * 1024.0);
}

// A node streaming one full-HD JPEG per source as fast as the launcher reads, from a thread of
// its own, and `cameras` camera observers each showing one of its sources on a surface.
class FrameRoad
{
public:
    FrameRoad(int cameras, int presentDelay)
    {
        m_node = new SimulatedTrackerNode;
        m_node->listen();
        m_node->setFrame(fullHdFrame());
        m_node->setFrameInterval(0);
        QMap<quint32, QHash<QString, QVariant>> sources;
        for (int i = 0; i < cameras; ++i)
            sources.insert(quint32(100 + i), frametest::nodeSource(frametest::videoDefinition(cameraTag(i))));
        m_node->setSourcesData(sources);
        m_node->moveToThread(&m_nodeThread);
        QObject::connect(&m_nodeThread, &QThread::finished, m_node, &QObject::deleteLater);
        m_nodeThread.start();

        for (int i = 0; i < cameras; ++i) {
            auto view = std::make_unique<View>();
            view->surface.setPresentDelay(presentDelay);
            view->source.setVideoSurface(&view->surface);
            view->manager.setVideoSource(&view->source);
            QJsonObject object{{QStringLiteral("source_definition"), frametest::videoDefinitionJson(cameraTag(i))}};
            view->camera = std::make_unique<CameraObserver>(object);
            VideoSourceManager *manager = &view->manager;
            QObject::connect(view->camera.get(), &CameraObserver::rawFrameChanged, manager,
                             [manager](const std::shared_ptr<FrameData> &frame) {
                                 manager->publishFrame(QVideoFrame(frame->image));
                             });
            QObject::connect(&view->surface, &RecordingVideoSurface::framePresented, [this] { ++m_delivered; });
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

    void runFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    qint64 delivered() const { return m_delivered; }

    double nodeCpuSeconds()
    {
        double seconds = 0;
        QMetaObject::invokeMethod(m_node, [&] { seconds = threadCpuSeconds(); }, Qt::BlockingQueuedConnection);
        return seconds;
    }

    bool allAtSize() const
    {
        for (const auto &view : m_views) {
            if (view->surface.lastFrameSize() != FullHd || view->surface.lastPixelFormat() != QVideoFrame::Format_RGB32)
                return false;
        }
        return true;
    }

private:
    struct View
    {
        RecordingVideoSurface surface;
        VideoSource source;
        VideoSourceManager manager;
        std::unique_ptr<CameraObserver> camera;
    };

    QThread m_nodeThread;
    SimulatedTrackerNode *m_node = nullptr;
    std::vector<std::unique_ptr<View>> m_views;
    qint64 m_delivered = 0;
};

// One iteration is one frame on a surface. With process CPU time, cpu per iteration is the
// whole road's cost per delivered frame: receive, decode, convert, present, and the node.
void BM_FrameRoad(benchmark::State &state)
{
    const int cameras = int(state.range(0));
    FrameRoad road(cameras, 0);
    road.deliver(4 * cameras); // connected, mapped and streaming
    const double nodeBefore = road.nodeCpuSeconds();
    const qint64 before = road.delivered();
    for (auto _ : state)
        road.deliver(1);
    const double nodeSeconds = road.nodeCpuSeconds() - nodeBefore;
    const double frames = double(road.delivered() - before);
    if (!road.allAtSize())
        state.SkipWithError("a surface got another size or format");
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["node_cpu_ms_per_frame"] = nodeSeconds * 1000.0 / qMax(1.0, frames);
}
BENCHMARK(BM_FrameRoad)->Arg(1)->Arg(8)->MinTime(5)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The tracker client's own decode of the same bytes, for comparison.
void BM_FrameGetImage(benchmark::State &state)
{
    kvr::tracker::common::SourceFrameFormatDefinition format;
    format.setSourceID(100);
    for (auto _ : state) {
        SourceFrame sourceFrame;
        sourceFrame.setQVariantData(fullHdFrame());
        CMClient::Frame frame(format, sourceFrame);
        const QImage image = frame.getImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_FrameGetImage)->MinTime(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A screen that takes 100 ms per frame behind a node at full speed: memory must stay flat.
// ORVA_BENCH_SLOW_SECONDS sets the length (60 s by default).
void BM_SlowConsumerMemory(benchmark::State &state)
{
    const int cameras = int(state.range(0));
    const int seconds = qEnvironmentVariableIntValue("ORVA_BENCH_SLOW_SECONDS") > 0
        ? qEnvironmentVariableIntValue("ORVA_BENCH_SLOW_SECONDS")
        : 60;
    for (auto _ : state) {
        FrameRoad road(cameras, 100);
        road.deliver(cameras);
        road.runFor(2000);
        // Flat: the second half of the run peaks no higher than the first.
        const double start = residentMegabytes();
        double firstHalfPeak = start;
        double secondHalfPeak = 0;
        for (int elapsed = 0; elapsed < seconds; ++elapsed) {
            road.runFor(1000);
            double &peak = elapsed < seconds / 2 ? firstHalfPeak : secondHalfPeak;
            peak = qMax(peak, residentMegabytes());
        }
        state.counters["rss_start_mb"] = start;
        state.counters["rss_peak_first_half_mb"] = firstHalfPeak;
        state.counters["rss_peak_second_half_mb"] = secondHalfPeak;
        state.counters["rss_end_mb"] = residentMegabytes();
        state.counters["frames_shown"] = double(road.delivered());
    }
}
BENCHMARK(BM_SlowConsumerMemory)->Arg(1)->Arg(8)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
