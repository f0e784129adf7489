// Cost of the processing-parameter records where it is paid repeatedly: a matrix record parses
// its storage text on every getMat, so comparing two camera blocks parses six matrices; watcher
// lists are rebuilt from their value maps on every read of the list.
#include "core/log/Logger.h"
#include "datamodel/params/SourceDataMat.h"
#include "datamodel/params/SourceDefinitionCameraParams.h"
#include "datamodel/params/SourceStateWatcherParams.h"

#include <QJsonArray>
#include <QJsonObject>

#include <benchmark/benchmark.h>

using namespace kvr::tracker::common;

namespace {

SourceDefinitionCameraParams cameraBlock(double focal)
{
    cv::Mat camera = (cv::Mat_<double>(3, 3) << focal, 0, 0.5, 0, focal, 0.5, 0, 0, 1);
    SourceDefinitionCameraParams block;
    block.setEnabled(true);
    block.setCameraMat(SourceDataMat(camera));
    block.setNewCameraMat(SourceDataMat(camera));
    block.setDistortionCoefficients(SourceDataMat(cv::Mat::ones(14, 1, CV_64FC1) * 0.01));
    return block;
}

QJsonObject watcherList(int count)
{
    QJsonArray points;
    for (const auto &p : {QPointF(0, 0), QPointF(1, 0), QPointF(1, 1), QPointF(0, 1)})
        points.append(QJsonObject{{QStringLiteral("x"), p.x()}, {QStringLiteral("y"), p.y()}});
    QJsonArray watchers;
    for (int i = 0; i < count; ++i) {
        watchers.append(QJsonObject{{QStringLiteral("state_watcher_type"), QStringLiteral("Foreground")},
                                    {QStringLiteral("polygon"), points},
                                    {QStringLiteral("min_confidence"), 0.5}});
    }
    return QJsonObject{{QStringLiteral("state_watchers"), watchers}};
}

} // namespace

static void BM_MatrixGetMat(benchmark::State &state)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const SourceDataMat record(cv::Mat::eye(3, 3, CV_64FC1));
    for (auto _ : state)
        benchmark::DoNotOptimize(record.getMat());
    if (record.getMat().rows != 3)
        state.SkipWithError("matrix lost");
}
BENCHMARK(BM_MatrixGetMat);

static void BM_CameraCompareLogic(benchmark::State &state)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const SourceDefinitionCameraParams a = cameraBlock(0.5);
    const SourceDefinitionCameraParams b = cameraBlock(0.5);
    for (auto _ : state)
        benchmark::DoNotOptimize(a.compare(b, CompareParams::logic(true)));
    if (!(a == b))
        state.SkipWithError("blocks differ");
}
BENCHMARK(BM_CameraCompareLogic);

static void BM_WatcherListReadValidate(benchmark::State &state)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const QJsonObject object = watcherList(int(state.range(0)));
    SourceDataReadOptions options;
    options.noVersion = true;
    options.flat = true;
    for (auto _ : state) {
        SourceStateWatcherParams list;
        list.read(object, options);
        benchmark::DoNotOptimize(list);
    }
    SourceStateWatcherParams check;
    check.read(object, options);
    if (check.getStateWatchers().size() != state.range(0))
        state.SkipWithError("watchers lost");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WatcherListReadValidate)->Range(1, 256)->Complexity();

BENCHMARK_MAIN();
