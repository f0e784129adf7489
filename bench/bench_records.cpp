// Cost of the record family against the bare JSON work on the same document: a 50-field record
// read from an object, validated and written back, next to QJsonDocument parse + serialise.
// Prints the ratios of the medians of repetitions taken in turn at the end of the run.
#include "core/data/SourceData.h"
#include "core/data/ValidityChain.h"
#include "core/log/Logger.h"
#include "MedianReporter.h"

#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace kvr::tracker::common;

namespace {

// 20 doubles, 10 unsigned, 10 bools, 10 texts.
const std::vector<SourceDataField> &fields()
{
    static const std::vector<SourceDataField> table = [] {
        std::vector<SourceDataField> out;
        for (int i = 0; i < 20; ++i)
            out.push_back({QStringLiteral("double_field_%1").arg(i), SourceDataField::Type::Double});
        for (int i = 0; i < 10; ++i)
            out.push_back({QStringLiteral("unsigned_field_%1").arg(i), SourceDataField::Type::UInt});
        for (int i = 0; i < 10; ++i)
            out.push_back({QStringLiteral("bool_field_%1").arg(i), SourceDataField::Type::Bool});
        for (int i = 0; i < 10; ++i)
            out.push_back({QStringLiteral("text_field_%1").arg(i), SourceDataField::Type::String});
        return out;
    }();
    return table;
}

class WideRecord : public SourceData
{
public:
    WideRecord()
        : SourceData(1)
    {
    }

    double getDouble(int i) const { return valueAs<double>(fields()[size_t(i)].key, 0.5); }
    uint getUnsigned(int i) const { return valueAs<uint>(fields()[size_t(20 + i)].key, 1); }
    QString getText(int i) const { return valueAs<QString>(fields()[size_t(40 + i)].key); }

protected:
    bool isValid_impl(bool skipWrn) const override
    {
        if (!getEnabled())
            return true;
        ValidityChain v(skipWrn, Q_FUNC_INFO);
        return v(getDouble(0) >= 0 && getDouble(0) <= 1, "getDouble(0) >= 0 && getDouble(0) <= 1")
            && v(getDouble(1) >= 0, "getDouble(1) >= 0") && v(getDouble(2) >= 0, "getDouble(2) >= 0")
            && v(getDouble(3) < 1000, "getDouble(3) < 1000") && v(getUnsigned(0) > 0, "getUnsigned(0) > 0")
            && v(getUnsigned(1) >= getUnsigned(0), "getUnsigned(1) >= getUnsigned(0)")
            && v(getUnsigned(2) < 100000, "getUnsigned(2) < 100000") && v(!getText(0).isEmpty(), "!getText(0).isEmpty()")
            && v(getText(1) != getText(0), "getText(1) != getText(0)")
            && v(getDouble(4) <= getDouble(5), "getDouble(4) <= getDouble(5)");
    }
    void read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &) override { readFields(data, fields()); }
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &) const override { writeFields(data, fields()); }
};

QByteArray document()
{
    QJsonObject data;
    for (int i = 0; i < 20; ++i)
        data.insert(QStringLiteral("double_field_%1").arg(i), 0.125 * (i + 1) / 8);
    for (int i = 0; i < 10; ++i)
        data.insert(QStringLiteral("unsigned_field_%1").arg(i), 100 * (i + 1));
    for (int i = 0; i < 10; ++i)
        data.insert(QStringLiteral("bool_field_%1").arg(i), i % 2 == 0);
    for (int i = 0; i < 10; ++i)
        data.insert(QStringLiteral("text_field_%1").arg(i), QStringLiteral("text value %1").arg(i));
    QJsonObject object{{QStringLiteral("version"), 1}, {QStringLiteral("enabled"), true}, {QStringLiteral("data"), data}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void checkRecord(benchmark::State &state, const WideRecord &record, const QJsonObject &written, const QJsonObject &expected)
{
    if (!record.isValid(true) || written != expected || record.valueMap().size() != 51)
        state.SkipWithError("record did not round-trip");
}

} // namespace

// Bare JSON work: parse the bytes, serialise the object.
static void BM_JsonParseSerialise(benchmark::State &state)
{
    const QByteArray bytes = document();
    for (auto _ : state) {
        const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
        QByteArray out = QJsonDocument(parsed.object()).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_JsonParseSerialise);

// Record work alone: read from the parsed object, validate, write an object.
static void BM_RecordReadValidateWrite(benchmark::State &state)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const QJsonObject object = QJsonDocument::fromJson(document()).object();
    QJsonObject written;
    WideRecord record;
    for (auto _ : state) {
        WideRecord fresh;
        fresh.read(object); // validates after reading
        written = fresh.toJsonObject();
        benchmark::DoNotOptimize(written);
        record = fresh;
    }
    checkRecord(state, record, written, object);
}
BENCHMARK(BM_RecordReadValidateWrite);

// The whole road: parse, read, validate, write, serialise.
static void BM_RecordWithJson(benchmark::State &state)
{
    kvr::log::Logger::instance().setFlags(kvr::log::ERR | kvr::log::WRN);
    const QByteArray bytes = document();
    WideRecord record;
    QJsonObject written;
    for (auto _ : state) {
        WideRecord fresh;
        fresh.read(QJsonDocument::fromJson(bytes).object());
        written = fresh.toJsonObject();
        QByteArray out = QJsonDocument(written).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(out);
        record = fresh;
    }
    checkRecord(state, record, written, QJsonDocument::fromJson(bytes).object());
}
BENCHMARK(BM_RecordWithJson);

// Silent Logic comparison of two equal records (the registered equality).
static void BM_RecordCompareLogic(benchmark::State &state)
{
    WideRecord a;
    a.read(QJsonDocument::fromJson(document()).object());
    WideRecord b;
    b.read(QJsonDocument::fromJson(document()).object());
    for (auto _ : state) {
        bool equal = a == b;
        benchmark::DoNotOptimize(equal);
    }
    if (!(a == b))
        state.SkipWithError("records differ");
}
BENCHMARK(BM_RecordCompareLogic);

int main(int argc, char **argv)
{
    return MedianReporter::run(argc, argv, 9, [](const MedianReporter &r) {
        const double json = r.nanoseconds("BM_JsonParseSerialise");
        std::printf("record read+validate+write / JSON parse+serialise: %.2f\n",
                    MedianReporter::ratio(r.nanoseconds("BM_RecordReadValidateWrite"), json));
        std::printf("parse+read+validate+write+serialise / JSON parse+serialise: %.2f\n",
                    MedianReporter::ratio(r.nanoseconds("BM_RecordWithJson"), json));
    });
}
