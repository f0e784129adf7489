// Cost of the source definitions against the bare JSON work on the same document: a camera
// definition with every block, and a cube of 16 such cameras, each parsed, read (validated
// after reading), written and serialised, next to QJsonDocument parse + serialise of the same
// bytes; the comparison with an equal definition, which the JSON road does not make, is
// measured on its own. Prints the ratios at the end of the run, both from the medians of
// repetitions taken in turn and from the roads taken in turn in one loop.
#include "core/log/Logger.h"
#include "MedianReporter.h"
#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

using namespace kvr::tracker::common;

namespace {

QJsonObject fixture(const char *name)
{
    const QString path = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(
        QStringLiteral("../tests/datamodel/data/definitions/") + QLatin1String(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Missing fixture %s", qPrintable(path));
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray cameraDocument()
{
    return QJsonDocument(fixture("camera_full.json")).toJson(QJsonDocument::Compact);
}

// The three-camera cube with 16 full cameras, each on its own node port.
QByteArray cubeDocument()
{
    const QJsonObject camera = fixture("camera_full.json");
    QJsonObject cube = fixture("cube_3_cameras.json");
    QJsonObject data = cube.value(QLatin1String("data")).toObject();
    const QJsonObject templateElement = data.value(QLatin1String("cube_element_definitions")).toArray().at(0).toObject();
    QJsonArray elements;
    for (int i = 0; i < 16; ++i) {
        QJsonObject element = templateElement;
        QJsonObject elementData = element.value(QLatin1String("data")).toObject();
        QJsonObject connection = elementData.value(QLatin1String("source_connection_definition")).toObject();
        QJsonObject connectionData = connection.value(QLatin1String("data")).toObject();
        connectionData.insert(QLatin1String("source_definition"), camera);
        QJsonObject params = connectionData.value(QLatin1String("connection_params")).toObject();
        QJsonObject paramsData = params.value(QLatin1String("data")).toObject();
        paramsData.insert(QLatin1String("port"), 6000 + i);
        params.insert(QLatin1String("data"), paramsData);
        connectionData.insert(QLatin1String("connection_params"), params);
        connection.insert(QLatin1String("data"), connectionData);
        elementData.insert(QLatin1String("source_connection_definition"), connection);
        elementData.insert(QLatin1String("assigned_fuse_zone_names"), QJsonArray());
        element.insert(QLatin1String("data"), elementData);
        elements.append(element);
    }
    data.insert(QLatin1String("cube_element_definitions"), elements);
    cube.insert(QLatin1String("data"), data);
    return QJsonDocument(cube).toJson(QJsonDocument::Compact);
}


void bareJsonOnce(const QByteArray &bytes)
{
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    QByteArray out = QJsonDocument(parsed.object()).toJson(QJsonDocument::Compact);
    benchmark::DoNotOptimize(out);
}

// Parse, read through the factory (validated after reading), write, serialise: the road that
// bare JSON parse + serialise stands beside.
std::shared_ptr<SourceDefinition> definitionOnce(const QByteArray &bytes)
{
    auto definition = SourceDefinition::createFromJson(QJsonDocument::fromJson(bytes).object());
    QByteArray out = QJsonDocument(definition->toJsonObject()).toJson(QJsonDocument::Compact);
    benchmark::DoNotOptimize(out);
    return definition;
}

std::shared_ptr<SourceDefinition> reference(const QByteArray &bytes)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    return SourceDefinition::createFromJson(QJsonDocument::fromJson(bytes).object());
}

void checkRoundTrip(benchmark::State &state, const QByteArray &bytes, const SourceDefinition &expected)
{
    if (!(*definitionOnce(bytes) == expected) || !expected.isValid(true))
        state.SkipWithError("definition did not round-trip valid and equal");
}

void definitionRoad(benchmark::State &state, const QByteArray &bytes)
{
    const auto expected = reference(bytes);
    for (auto _ : state)
        definitionOnce(bytes);
    checkRoundTrip(state, bytes, *expected);
}

// The comparison of a definition with an equal one, a figure of its own.
void comparison(benchmark::State &state, const QByteArray &bytes)
{
    const auto expected = reference(bytes);
    const auto read = definitionOnce(bytes);
    bool equal = true;
    for (auto _ : state)
        equal = *read == *expected && equal;
    if (!equal)
        state.SkipWithError("definitions differ");
}

// The three in turn within each iteration, so that all meet the same load of the machine;
// the counters are the road's and the comparison's time over the bare JSON time.
void interleaved(benchmark::State &state, const QByteArray &bytes)
{
    const auto expected = reference(bytes);
    using Clock = std::chrono::steady_clock;
    Clock::duration json{};
    Clock::duration road{};
    Clock::duration compare{};
    bool equal = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        bareJsonOnce(bytes);
        const auto t1 = Clock::now();
        const auto definition = definitionOnce(bytes);
        const auto t2 = Clock::now();
        equal = *definition == *expected && equal;
        compare += Clock::now() - t2;
        road += t2 - t1;
        json += t1 - t0;
    }
    if (!equal)
        state.SkipWithError("definition did not round-trip equal");
    if (json.count() > 0) {
        state.counters["ratio"] = double(road.count()) / double(json.count());
        state.counters["compare_ratio"] = double(compare.count()) / double(json.count());
    }
}

} // namespace

void bareJson(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state)
        bareJsonOnce(bytes);
}

static void BM_CameraJson(benchmark::State &state) { bareJson(state, cameraDocument()); }
BENCHMARK(BM_CameraJson)->Unit(benchmark::kMicrosecond);

static void BM_CameraDefinition(benchmark::State &state) { definitionRoad(state, cameraDocument()); }
BENCHMARK(BM_CameraDefinition)->Unit(benchmark::kMicrosecond);

static void BM_CameraCompare(benchmark::State &state) { comparison(state, cameraDocument()); }
BENCHMARK(BM_CameraCompare)->Unit(benchmark::kMicrosecond);

static void BM_Cube16Json(benchmark::State &state) { bareJson(state, cubeDocument()); }
BENCHMARK(BM_Cube16Json)->Unit(benchmark::kMicrosecond);

static void BM_Cube16Definition(benchmark::State &state) { definitionRoad(state, cubeDocument()); }
BENCHMARK(BM_Cube16Definition)->Unit(benchmark::kMicrosecond);

static void BM_Cube16Compare(benchmark::State &state) { comparison(state, cubeDocument()); }
BENCHMARK(BM_Cube16Compare)->Unit(benchmark::kMicrosecond);

static void BM_CameraInterleaved(benchmark::State &state) { interleaved(state, cameraDocument()); }
BENCHMARK(BM_CameraInterleaved)->Unit(benchmark::kMicrosecond);

static void BM_Cube16Interleaved(benchmark::State &state) { interleaved(state, cubeDocument()); }
BENCHMARK(BM_Cube16Interleaved)->Unit(benchmark::kMicrosecond);

namespace {

void report(const MedianReporter &r, const char *what, const std::string &prefix)
{
    const double json = r.nanoseconds(prefix + "Json");
    std::printf("%s: parse+read+validate+write+serialise / JSON parse+serialise: %.2f (medians), %.2f (interleaved)\n",
                what, MedianReporter::ratio(r.nanoseconds(prefix + "Definition"), json),
                r.counter(prefix + "Interleaved", "ratio"));
    std::printf("%s: compare with an equal definition / JSON parse+serialise: %.2f (medians), %.2f (interleaved)\n",
                what, MedianReporter::ratio(r.nanoseconds(prefix + "Compare"), json),
                r.counter(prefix + "Interleaved", "compare_ratio"));
}

} // namespace

int main(int argc, char **argv)
{
    return MedianReporter::run(argc, argv, 5, [](const MedianReporter &r) {
        report(r, "camera", "BM_Camera");
        report(r, "cube of 16 cameras", "BM_Cube16");
    });
}
