#include "core/net/PacketDecoder.h"
#include "core/tracker/CMClientFrame.h"
#include "core/tracker/CMPacketReader.h"
#include "core/tracker/TrackerPacketType.h"
#include "support/SimulatedTrackerNode.h"
#include "MedianReporter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <vector>

using kvr::tracker::common::SourceFrame;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::net::CMClient;

namespace {

// A 1920x1080 camera-like picture: gradients with sensor noise, JPEG at quality 85.
const QByteArray &jpeg1080p()
{
    static const QByteArray bytes = [] {
        cv::Mat image(1080, 1920, CV_8UC3);
        for (int y = 0; y < image.rows; ++y) {
            auto *row = image.ptr<cv::Vec3b>(y);
            for (int x = 0; x < image.cols; ++x)
                row[x] = cv::Vec3b(uchar(x / 8), uchar(y / 5), uchar((x + y) / 12));
        }
        cv::Mat noise(image.size(), CV_8UC3);
        cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(12));
        image += noise;
        std::vector<uchar> encoded;
        cv::imencode(".jpg", image, encoded, {cv::IMWRITE_JPEG_QUALITY, 85});
        return QByteArray(reinterpret_cast<const char *>(encoded.data()), int(encoded.size()));
    }();
    return bytes;
}

QVariantMap frameMap()
{
    return {{QStringLiteral("data"), jpeg1080p()},
            {QStringLiteral("size"), QSize(1920, 1080)},
            {QStringLiteral("channels"), 3}};
}

// From the simulated node to imageReceived over loopback, one frame per iteration; with
// range(0) = 1 every frame is also decoded to a QImage in the receiving thread.
void BM_LoopbackFrames(benchmark::State &state)
{
    const bool decode = state.range(0) != 0;
    SimulatedTrackerNode node;
    node.listen();
    node.setFrameInterval(0);
    node.setFrame(frameMap());
    CMClient client;
    client.setHostAddress(node.address());
    client.setPort(node.port());
    int received = 0;
    bool decodedAll = true;
    QObject::connect(&client, &CMClient::imageReceived, [&](std::shared_ptr<CMClient::Frame> frame) {
        if (decode)
            decodedAll = decodedAll && !frame->getImage().isNull();
        ++received;
    });
    QEventLoop loop;
    QObject::connect(&client, &CMClient::authorizedReceived, &loop, &QEventLoop::quit);
    client.connect();
    loop.exec();
    client.command(QStringLiteral("request_frames"), QVariantMap{{QStringLiteral("source_id"), 1u}});

    int target = 0;
    for (auto _ : state) {
        ++target;
        while (received < target)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    client.command(QStringLiteral("request_frames_stop_all"), QVariant());
    if (!decodedAll)
        state.SkipWithError("a frame did not decode");
    const qint64 packetBytes = node.frameBytesSent() / qMax(1, node.framesSent());
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * packetBytes);
    state.counters["packet_bytes"] = double(packetBytes);
}
BENCHMARK(BM_LoopbackFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A received frame as the client builds it, decoded through Frame::getImage.
void BM_FrameGetImage(benchmark::State &state)
{
    const QVariantMap map = frameMap();
    SourceFrameFormatDefinition format;
    format.setSourceID(1);
    for (auto _ : state) {
        SourceFrame sourceFrame;
        sourceFrame.setQVariantData(map);
        CMClient::Frame frame(format, sourceFrame);
        QImage image = frame.getImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameGetImage)->Unit(benchmark::kMillisecond);

// What the client itself adds per frame, without the decode: the framed packet read (the one
// copy of the image bytes), the records and the shared Frame.
void BM_PacketToFrame(benchmark::State &state)
{
    QByteArray packet = kvr::net::PacketFraming::packet(
        quint16(kvr::tracker::net::TrackerPacketType::Frame2),
        SimulatedTrackerNode::frameBody(frameMap(), QVariantMap{{QStringLiteral("source_id"), 1u}}));
    const kvr::net::PacketDecoder decoder(std::make_shared<kvr::tracker::net::CMPacketReader>());
    for (auto _ : state) {
        QBuffer buffer(&packet);
        buffer.open(QIODevice::ReadOnly);
        kvr::net::Packet decoded;
        QString error;
        decoder.next(buffer, decoded, error);
        const QVariantList fields = decoded.value.toList();
        SourceFrame sourceFrame;
        sourceFrame.setQVariantData(fields.value(0));
        SourceFrameFormatDefinition format;
        format.setQVariantData(fields.value(1));
        auto frame = std::make_shared<CMClient::Frame>(format, sourceFrame);
        benchmark::DoNotOptimize(frame.get());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * packet.size());
}
BENCHMARK(BM_PacketToFrame)->Unit(benchmark::kMicrosecond);

// The same bytes through bare cv::imdecode and the same conversion into a QImage.
void BM_BareDecode(benchmark::State &state)
{
    const QByteArray bytes = jpeg1080p();
    for (auto _ : state) {
        const cv::Mat encoded(1, bytes.size(), CV_8UC1, const_cast<char *>(bytes.constData()));
        const cv::Mat mat = cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
        QImage image(mat.cols, mat.rows, QImage::Format_RGB888);
        cv::Mat target(mat.rows, mat.cols, CV_8UC3, image.bits(), size_t(image.bytesPerLine()));
        cv::cvtColor(mat, target, cv::COLOR_BGR2RGB);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return MedianReporter::run(argc, argv, 7, [](const MedianReporter &r) {
        const double frame = r.nanoseconds("BM_FrameGetImage");
        const double bare = r.nanoseconds("BM_BareDecode");
        std::printf("Frame::getImage of a 1080p JPEG: %.2f ms, bare cv::imdecode + cvtColor %.2f ms, ratio %.2f\n",
                    frame / 1e6, bare / 1e6, MedianReporter::ratio(frame, bare));
    });
}
