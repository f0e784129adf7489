// Cost of the source definitions against the bare JSON work on the same document: a camera
// definition with every block, and a cube of 16 such cameras, each parsed, read (validated
// after reading), written, serialised and compared with a reference, next to QJsonDocument
// parse + serialise of the same bytes. Prints the two ratios at the end of the run, both from
// the fastest of five repetitions and from the two roads taken in turn in one loop.
#include "core/log/Logger.h"
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
#include <map>
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
    QJsonObject data = cube.value("data").toObject();
    const QJsonObject templateElement = data.value("cube_element_definitions").toArray().at(0).toObject();
    QJsonArray elements;
    for (int i = 0; i < 16; ++i) {
        QJsonObject element = templateElement;
        QJsonObject elementData = element.value("data").toObject();
        QJsonObject connection = elementData.value("source_connection_definition").toObject();
        QJsonObject connectionData = connection.value("data").toObject();
        connectionData.insert("source_definition", camera);
        QJsonObject params = connectionData.value("connection_params").toObject();
        QJsonObject paramsData = params.value("data").toObject();
        paramsData.insert("port", 6000 + i);
        params.insert("data", paramsData);
        connectionData.insert("connection_params", params);
        connection.insert("data", connectionData);
        elementData.insert("source_connection_definition", connection);
        elementData.insert("assigned_fuse_zone_names", QJsonArray());
        element.insert("data", elementData);
        elements.append(element);
    }
    data.insert("cube_element_definitions", elements);
    cube.insert("data", data);
    return QJsonDocument(cube).toJson(QJsonDocument::Compact);
}


void bareJsonOnce(const QByteArray &bytes)
{
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    QByteArray out = QJsonDocument(parsed.object()).toJson(QJsonDocument::Compact);
    benchmark::DoNotOptimize(out);
}

// Parse, read through the factory (validated after reading), write, serialise, compare.
bool definitionOnce(const QByteArray &bytes, const SourceDefinition &reference)
{
    const auto definition = SourceDefinition::createFromJson(QJsonDocument::fromJson(bytes).object());
    QByteArray out = QJsonDocument(definition->toJsonObject()).toJson(QJsonDocument::Compact);
    benchmark::DoNotOptimize(out);
    return *definition == reference;
}

void definitionRoad(benchmark::State &state, const QByteArray &bytes)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const auto reference = SourceDefinition::createFromJson(QJsonDocument::fromJson(bytes).object());
    bool equal = true;
    for (auto _ : state)
        equal = definitionOnce(bytes, *reference) && equal;
    if (!equal || !reference->isValid(true))
        state.SkipWithError("definition did not round-trip valid and equal");
}

// Both roads in turn within each iteration, so that both meet the same load of the machine;
// the counter "ratio" is the definition road's time over the bare JSON time.
void interleaved(benchmark::State &state, const QByteArray &bytes)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const auto reference = SourceDefinition::createFromJson(QJsonDocument::fromJson(bytes).object());
    using Clock = std::chrono::steady_clock;
    Clock::duration json{};
    Clock::duration definition{};
    bool equal = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        bareJsonOnce(bytes);
        const auto t1 = Clock::now();
        equal = definitionOnce(bytes, *reference) && equal;
        definition += Clock::now() - t1;
        json += t1 - t0;
    }
    if (!equal)
        state.SkipWithError("definition did not round-trip equal");
    state.counters["ratio"] = json.count() > 0 ? double(definition.count()) / double(json.count()) : 0.0;
}

} // namespace

void bareJson(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state)
        bareJsonOnce(bytes);
}

static void BM_CameraJson(benchmark::State &state) { bareJson(state, cameraDocument()); }
BENCHMARK(BM_CameraJson)->Unit(benchmark::kMicrosecond)->Repetitions(5);

static void BM_CameraDefinition(benchmark::State &state) { definitionRoad(state, cameraDocument()); }
BENCHMARK(BM_CameraDefinition)->Unit(benchmark::kMicrosecond)->Repetitions(5);

static void BM_Cube16Json(benchmark::State &state) { bareJson(state, cubeDocument()); }
BENCHMARK(BM_Cube16Json)->Unit(benchmark::kMicrosecond)->Repetitions(5);

static void BM_Cube16Definition(benchmark::State &state) { definitionRoad(state, cubeDocument()); }
BENCHMARK(BM_Cube16Definition)->Unit(benchmark::kMicrosecond)->Repetitions(5);

static void BM_CameraInterleaved(benchmark::State &state) { interleaved(state, cameraDocument()); }
BENCHMARK(BM_CameraInterleaved)->Unit(benchmark::kMicrosecond);

static void BM_Cube16Interleaved(benchmark::State &state) { interleaved(state, cubeDocument()); }
BENCHMARK(BM_Cube16Interleaved)->Unit(benchmark::kMicrosecond);

namespace {

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // The fastest repetition: the least disturbed by other work on the machine.
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const auto ratio = run.counters.find("ratio");
            if (ratio != run.counters.end())
                m_ratios[run.run_name.function_name] = ratio->second.value;
            double &best = m_times[run.run_name.function_name];
            const double time = run.GetAdjustedRealTime();
            if (best <= 0 || time < best)
                best = time;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        report("camera", "BM_CameraDefinition", "BM_CameraJson", "BM_CameraInterleaved");
        report("cube of 16 cameras", "BM_Cube16Definition", "BM_Cube16Json", "BM_Cube16Interleaved");
    }

private:
    void report(const char *what, const char *definition, const char *json, const char *interleaved)
    {
        if (m_times[json] > 0)
            std::printf("%s: parse+read+validate+write+serialise+compare / JSON parse+serialise: %.2f (fastest runs), "
                        "%.2f (interleaved)\n",
                        what, m_times[definition] / m_times[json], m_ratios[interleaved]);
    }

    std::map<std::string, double> m_times;
    std::map<std::string, double> m_ratios;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
