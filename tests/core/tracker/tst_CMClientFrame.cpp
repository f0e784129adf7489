#include "core/tracker/CMClientFrame.h"
#include "support/LogCapture.h"
#include "support/SimulatedTrackerNode.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <turbojpeg.h>

#include <atomic>
#include <vector>

using kvr::tracker::common::SourceFrame;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::common::SourceTimestamp;
using kvr::tracker::net::CMClient;
using Frame = CMClient::Frame;

namespace {

// Left half one colour, right half another; 64x48. Channel values in OpenCV's BGR(A) order.
cv::Mat twoColours(int channels)
{
    const cv::Scalar left = channels == 1 ? cv::Scalar(40) : cv::Scalar(30, 200, 10, 128);
    const cv::Scalar right = channels == 1 ? cv::Scalar(220) : cv::Scalar(250, 20, 90, 255);
    cv::Mat mat(48, 64, CV_8UC(channels), left);
    mat(cv::Rect(32, 0, 32, 48)).setTo(right);
    return mat;
}

QByteArray encoded(const cv::Mat &mat, const char *extension)
{
    std::vector<uchar> bytes;
    cv::imencode(extension, mat, bytes, {cv::IMWRITE_JPEG_QUALITY, 95});
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

QByteArray raw(const cv::Mat &mat)
{
    return QByteArray(reinterpret_cast<const char *>(mat.data), int(mat.total() * mat.elemSize()));
}

QVariantMap frameMap(const QByteArray &data, QSize size, int channels)
{
    return {{QStringLiteral("data"), data}, {QStringLiteral("size"), size}, {QStringLiteral("channels"), channels}};
}

std::shared_ptr<Frame> makeFrame(const QVariantMap &map)
{
    SourceFrame sourceFrame;
    sourceFrame.setQVariantData(map);
    SourceFrameFormatDefinition format;
    format.setSourceID(3);
    return std::make_shared<Frame>(format, sourceFrame);
}

bool near(QRgb actual, QRgb expected, int tolerance)
{
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance && qAbs(qGreen(actual) - qGreen(expected)) <= tolerance
           && qAbs(qBlue(actual) - qBlue(expected)) <= tolerance && qAlpha(actual) == qAlpha(expected);
}

// Gradients, sensor noise and hard edges: what makes decoders differ in upsampling and IDCT.
cv::Mat cameraPicture(int width, int height)
{
    cv::Mat picture(height, width, CV_8UC3);
    for (int y = 0; y < height; ++y) {
        auto *row = picture.ptr<cv::Vec3b>(y);
        for (int x = 0; x < width; ++x)
            row[x] = cv::Vec3b(uchar(x * 255 / width), uchar(y * 255 / height), uchar((x + y) * 3));
    }
    cv::RNG rng(7);
    cv::Mat noise(picture.size(), CV_8UC3);
    rng.fill(noise, cv::RNG::NORMAL, 0, 14);
    picture += noise;
    cv::rectangle(picture, cv::Rect(width / 5, height / 4, width / 3, height / 2), cv::Scalar(0, 0, 255), cv::FILLED);
    cv::circle(picture, cv::Point(width * 2 / 3, height / 2), qMax(1, height / 4), cv::Scalar(255, 40, 0), 3);
    return picture;
}

QByteArray jpeg(const cv::Mat &mat, std::vector<int> params)
{
    params.insert(params.end(), {cv::IMWRITE_JPEG_QUALITY, 90});
    std::vector<uchar> bytes;
    cv::imencode(".jpg", mat, bytes, params);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// Subsamplings and colour spaces OpenCV's encoder does not offer.
QByteArray turboJpeg(const cv::Mat &pixels, int pixelFormat, int subsampling)
{
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(handle, pixels.data, pixels.cols, int(pixels.step), pixels.rows, pixelFormat,
                                   &buffer, &size, subsampling, 90, 0);
    QByteArray bytes = failed ? QByteArray() : QByteArray(reinterpret_cast<const char *>(buffer), int(size));
    tjFree(buffer);
    tjDestroy(handle);
    return bytes;
}

// Any image as OpenCV's B, G, R or grey matrix.
cv::Mat asOpenCV(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8)
        return cv::Mat(image.height(), image.width(), CV_8UC1, const_cast<uchar *>(image.constBits()),
                       size_t(image.bytesPerLine()))
            .clone();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    cv::Mat bgr;
    cv::cvtColor(cv::Mat(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar *>(rgb.constBits()),
                         size_t(rgb.bytesPerLine())),
                 bgr, cv::COLOR_RGB2BGR);
    return bgr;
}

cv::Mat openCVDecode(const QByteArray &bytes)
{
    return cv::imdecode(cv::Mat(1, bytes.size(), CV_8UC1, const_cast<char *>(bytes.constData())), cv::IMREAD_UNCHANGED);
}

// libjpeg-turbo's own picture of damaged data, read to its end, as B, G, R.
cv::Mat turboDecode(const QByteArray &bytes)
{
    tjhandle handle = tjInitDecompress();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    cv::Mat bgr;
    if (tjDecompressHeader3(handle, data, bytes.size(), &width, &height, &subsampling, &colourspace) == 0) {
        bgr.create(height, width, CV_8UC3);
        if (tjDecompress2(handle, data, bytes.size(), bgr.data, width, int(bgr.step), height, TJPF_BGR, 0) != 0
            && tjGetErrorCode(handle) == TJERR_FATAL)
            bgr.release();
    }
    tjDestroy(handle);
    return bgr;
}

double largestDifference(const cv::Mat &a, const cv::Mat &b)
{
    return a.size() == b.size() && a.type() == b.type() ? cv::norm(a, b, cv::NORM_INF) : -1.0;
}

QVariantMap formatMap(uint sourceId, uint frameLengthMul)
{
    return {{QStringLiteral("source_id"), sourceId},
            {QStringLiteral("image_data_bandwidth_parameters"),
             QVariantMap{{QStringLiteral("flength_mul"), frameLengthMul}}}};
}

} // namespace

class tst_CMClientFrame : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void jpegAsOpenCVDecodesIt_data();
    void jpegAsOpenCVDecodesIt();
    void decodedOnceForEightThreads();
    void copyWithNewTimestamp();
    void framesFromTheNode_data();
    void framesFromTheNode();
    void streamUntilStopped();
};

void tst_CMClientFrame::decode_data()
{
    QTest::addColumn<QVariantMap>("frame");
    QTest::addColumn<int>("format");
    QTest::addColumn<QRgb>("left");
    QTest::addColumn<QRgb>("right");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QString>("warning");

    const QSize size(64, 48);
    const QRgb left = qRgb(10, 200, 30);
    const QRgb right = qRgb(90, 20, 250);
    QTest::newRow("jpeg") << frameMap(encoded(twoColours(3), ".jpg"), size, 3) << int(QImage::Format_RGB32) << left
                          << right << 12 << QString();
    QTest::newRow("png") << frameMap(encoded(twoColours(3), ".png"), QSize(), 0) << int(QImage::Format_RGB888)
                         << left << right << 0 << QString();
    QTest::newRow("png with alpha") << frameMap(encoded(twoColours(4), ".png"), size, 4) << int(QImage::Format_ARGB32)
                                    << qRgba(10, 200, 30, 128) << qRgba(90, 20, 250, 255) << 0 << QString();
    QTest::newRow("grey png") << frameMap(encoded(twoColours(1), ".png"), size, 1) << int(QImage::Format_Grayscale8)
                              << qRgb(40, 40, 40) << qRgb(220, 220, 220) << 0 << QString();
    QTest::newRow("raw bgr") << frameMap(raw(twoColours(3)), size, 3) << int(QImage::Format_RGB888) << left << right
                             << 0 << QString();
    QTest::newRow("raw bgra") << frameMap(raw(twoColours(4)), size, 4) << int(QImage::Format_ARGB32)
                              << qRgba(10, 200, 30, 128) << qRgba(90, 20, 250, 255) << 0 << QString();
    QTest::newRow("raw grey") << frameMap(raw(twoColours(1)), size, 1) << int(QImage::Format_Grayscale8)
                              << qRgb(40, 40, 40) << qRgb(220, 220, 220) << 0 << QString();
    QTest::newRow("raw with too few bytes")
        << frameMap(raw(twoColours(3)).left(100), size, 3) << int(QImage::Format_Invalid) << QRgb(0) << QRgb(0) << 0
        << QStringLiteral("Frame data is neither an encoded image nor raw pixels of 64x48 with 3 channels.");
    QTest::newRow("raw with two channels")
        << frameMap(QByteArray(64 * 48 * 2, '\0'), size, 2) << int(QImage::Format_Invalid) << QRgb(0) << QRgb(0) << 0
        << QStringLiteral("Frame data is neither an encoded image nor raw pixels of 64x48 with 2 channels.");
    QTest::newRow("no data") << frameMap(QByteArray(), size, 3) << int(QImage::Format_Invalid) << QRgb(0) << QRgb(0)
                             << 0 << QStringLiteral("Frame holds no image data.");
    QByteArray bomb = encoded(twoColours(3), ".png");
    qToBigEndian<quint32>(100000, bomb.data() + 16);
    qToBigEndian<quint32>(100000, bomb.data() + 20);
    QTest::newRow("png announcing 10 gigapixels")
        << frameMap(bomb, size, 3) << int(QImage::Format_Invalid) << QRgb(0) << QRgb(0) << 0
        << QStringLiteral("Frame announces an image of 100000x100000 pixels, not decoded.");
    QTest::newRow("truncated jpeg") << frameMap(encoded(twoColours(3), ".jpg").left(20), size, 3)
                                    << int(QImage::Format_Invalid) << QRgb(0) << QRgb(0) << 0
                                    << QStringLiteral("Frame data is neither an encoded image nor raw pixels of "
                                                      "64x48 with 3 channels.");
}

void tst_CMClientFrame::decode()
{
    QFETCH(QVariantMap, frame);
    QFETCH(int, format);
    QFETCH(QRgb, left);
    QFETCH(QRgb, right);
    QFETCH(int, tolerance);
    QFETCH(QString, warning);

    LogCapture log;
    const auto received = makeFrame(frame);
    QCOMPARE(received->getSourceID(), qint64(3));
    const QImage image = received->getImage();
    QCOMPARE(int(image.format()), format);
    if (!warning.isEmpty())
        QVERIFY2(log.texts(kvr::log::WRN).contains(warning), qPrintable(log.texts().join(QLatin1Char('\n'))));
    if (format == QImage::Format_Invalid) {
        QVERIFY(image.isNull());
        QVERIFY(received->getMat().empty());
        return;
    }
    QCOMPARE(image.size(), QSize(64, 48));
    QVERIFY2(near(image.pixel(10, 10), left, tolerance), qPrintable(QString::number(image.pixel(10, 10), 16)));
    QVERIFY2(near(image.pixel(50, 40), right, tolerance), qPrintable(QString::number(image.pixel(50, 40), 16)));
    QCOMPARE(received->getMat().channels(), image.format() == QImage::Format_RGB888 ? 3 : image.depth() / 8);
}

void tst_CMClientFrame::jpegAsOpenCVDecodesIt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    // Damaged data is compared with libjpeg-turbo's own picture of it, read to the end:
    // OpenCV's decoder fills the missing rows differently.
    QTest::addColumn<bool>("damaged");

    const cv::Mat odd = cameraPicture(101, 67);
    const int rgb32 = QImage::Format_RGB32;
    QTest::newRow("colour 4:2:0, odd size") << jpeg(odd, {}) << rgb32 << false;
    QTest::newRow("colour 4:2:2") << turboJpeg(odd, TJPF_BGR, TJSAMP_422) << rgb32 << false;
    QTest::newRow("colour 4:4:4") << turboJpeg(odd, TJPF_BGR, TJSAMP_444) << rgb32 << false;
    QTest::newRow("one pixel") << jpeg(cameraPicture(1, 1), {}) << rgb32 << false;
    QTest::newRow("progressive") << jpeg(odd, {cv::IMWRITE_JPEG_PROGRESSIVE, 1}) << rgb32 << false;
    QTest::newRow("restart markers") << jpeg(odd, {cv::IMWRITE_JPEG_RST_INTERVAL, 2}) << rgb32 << false;
    QTest::newRow("optimised tables") << jpeg(odd, {cv::IMWRITE_JPEG_OPTIMIZE, 1}) << rgb32 << false;
    cv::Mat grey;
    cv::cvtColor(odd, grey, cv::COLOR_BGR2GRAY);
    QTest::newRow("grey") << jpeg(grey, {}) << int(QImage::Format_Grayscale8) << false;
    // Big enough that freed pixels are handed back to the system: reading them after the
    // frame is gone would crash.
    QTest::newRow("1080p") << jpeg(cameraPicture(1920, 1080), {}) << rgb32 << false;

    // CMYK keeps the colours OpenCV's conversion gave it, shown as every colour picture.
    cv::Mat cmyk;
    cv::cvtColor(odd, cmyk, cv::COLOR_BGR2BGRA);
    QTest::newRow("cmyk") << turboJpeg(cmyk, TJPF_CMYK, TJSAMP_444) << rgb32 << false;
    const QByteArray whole = jpeg(odd, {});
    QTest::newRow("truncated") << whole.left(whole.size() * 2 / 3) << rgb32 << true;
    const QByteArray progressive = jpeg(odd, {cv::IMWRITE_JPEG_PROGRESSIVE, 1});
    QTest::newRow("truncated progressive") << progressive.left(progressive.size() / 2) << rgb32 << true;
}

void tst_CMClientFrame::jpegAsOpenCVDecodesIt()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QFETCH(bool, damaged);

    QVERIFY(!bytes.isEmpty());
    const cv::Mat expected = damaged ? turboDecode(bytes) : openCVDecode(bytes);
    auto frame = makeFrame(frameMap(bytes, QSize(), 0));
    const QImage image = frame->getImage();
    const cv::Mat mat = frame->getMat();
    frame.reset(); // the image and the matrix must hold their pixels without it
    QCOMPARE(int(image.format()), format);
    if (expected.empty()) {
        QVERIFY(image.isNull());
        QVERIFY(mat.empty());
        return;
    }
    QCOMPARE(largestDifference(asOpenCV(image), expected), 0.0);
    cv::Mat matAsBgr = mat;
    if (mat.channels() == 4) {
        // One decode: the image shows the matrix's pixels.
        QCOMPARE(image.constBits(), static_cast<const uchar *>(mat.data));
        cv::cvtColor(mat, matAsBgr, cv::COLOR_BGRA2BGR);
    }
    QCOMPARE(largestDifference(matAsBgr, expected), 0.0);
}

void tst_CMClientFrame::decodedOnceForEightThreads()
{
    const auto frame = makeFrame(frameMap(encoded(twoColours(3), ".jpg"), QSize(64, 48), 3));
    constexpr int threadCount = 8;
    std::atomic<int> ready{0};
    std::vector<QImage> images(threadCount);
    std::vector<const uchar *> pixels(threadCount);
    std::vector<QThread *> threads;
    for (int i = 0; i < threadCount; ++i) {
        threads.push_back(QThread::create([&, i] {
            ++ready;
            while (ready.load() < threadCount) {
            }
            // Half ask for the matrix first, half for the image.
            if (i % 2) {
                pixels[i] = frame->getMat().data;
                images[i] = frame->getImage();
            } else {
                images[i] = frame->getImage();
                pixels[i] = frame->getMat().data;
            }
        }));
    }
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(10000));
        delete thread;
    }
    for (int i = 0; i < threadCount; ++i) {
        QVERIFY(!images[i].isNull());
        QCOMPARE(images[i].cacheKey(), images[0].cacheKey()); // one decode, shared
        QCOMPARE(pixels[i], pixels[0]);
    }
    const QImage own = frame->getImage(true);
    QVERIFY(own.cacheKey() != images[0].cacheKey());
    QCOMPARE(own, images[0]);
    QVERIFY(frame->getMat(true).data != pixels[0]);
}

void tst_CMClientFrame::copyWithNewTimestamp()
{
    const auto frame = makeFrame(frameMap(encoded(twoColours(3), ".png"), QSize(64, 48), 3));
    SourceTimestamp timestamp;
    timestamp.setDataTimestampMS(42);
    timestamp.setVideoTimestampMS(7);
    const Frame copy(*frame, timestamp);
    QCOMPARE(copy.getSourceFrame().getTimestamp(), timestamp);
    QVERIFY(frame->getSourceFrame().getTimestamp() != timestamp);
    QCOMPARE(copy.getSourceID(), frame->getSourceID());
    QCOMPARE(copy.getImage(), frame->getImage());
    QVERIFY(copy.getImage().cacheKey() != frame->getImage().cacheKey());
    QVERIFY(copy.getMat().data != frame->getMat().data);
}

void tst_CMClientFrame::framesFromTheNode_data()
{
    QTest::addColumn<QVariantMap>("frame");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("jpeg") << frameMap(encoded(twoColours(3), ".jpg"), QSize(64, 48), 3) << 12;
    QTest::newRow("png") << frameMap(encoded(twoColours(3), ".png"), QSize(64, 48), 3) << 0;
    QTest::newRow("raw") << frameMap(raw(twoColours(3)), QSize(64, 48), 3) << 0;
}

void tst_CMClientFrame::framesFromTheNode()
{
    QFETCH(QVariantMap, frame);
    QFETCH(int, tolerance);

    SimulatedTrackerNode node;
    QVERIFY(node.listen());
    node.setFrame(frame);
    CMClient client;
    client.setHostAddress(node.address());
    client.setPort(node.port());
    QSignalSpy authorized(&client, &CMClient::authorizedReceived);
    QSignalSpy images(&client, &CMClient::imageReceived);
    QThread *emittedIn = nullptr;
    QObject::connect(&client, &CMClient::imageReceived, this, [&] { emittedIn = QThread::currentThread(); });
    client.connect();
    QVERIFY(authorized.wait());

    // A single-shot format: exactly one frame.
    client.command(QStringLiteral("request_frames"), formatMap(5, 0));
    QVERIFY(images.wait());
    QCOMPARE(emittedIn, QThread::currentThread());
    const auto received = images.at(0).at(0).value<std::shared_ptr<Frame>>();
    QVERIFY(received);
    QCOMPARE(received->getSourceID(), qint64(5));
    QCOMPARE(received->getImageDataBandwidthParams().getFrameLengthMul(), 0u);
    QCOMPARE(received->getSourceFrame().getData(), frame.value(QStringLiteral("data")).toByteArray());
    const QImage image = received->getImage();
    QVERIFY(near(image.pixel(10, 10), qRgb(10, 200, 30), tolerance));
    QVERIFY(near(image.pixel(50, 40), qRgb(90, 20, 250), tolerance));
    QCOMPARE(node.framesSent(), 1);
    QCOMPARE(node.frameStreams(), 0);
}

void tst_CMClientFrame::streamUntilStopped()
{
    SimulatedTrackerNode node;
    QVERIFY(node.listen());
    node.setFrame(frameMap(encoded(twoColours(3), ".jpg"), QSize(64, 48), 3));
    node.setFrameInterval(5);
    CMClient client;
    client.setHostAddress(node.address());
    client.setPort(node.port());
    QSignalSpy authorized(&client, &CMClient::authorizedReceived);
    QSignalSpy images(&client, &CMClient::imageReceived);
    client.connect();
    QVERIFY(authorized.wait());
    client.command(QStringLiteral("request_frames"), formatMap(8, 1));
    QTRY_VERIFY(images.count() >= 5);
    client.command(QStringLiteral("request_frames_stop"), formatMap(8, 1));
    QTRY_COMPARE(node.frameStreams(), 0);
    const int sent = node.framesSent();
    QTRY_COMPARE(images.count(), sent);
    for (const QList<QVariant> &arguments : qAsConst(images))
        QCOMPARE(arguments.at(0).value<std::shared_ptr<Frame>>()->getSourceID(), qint64(8));
}

QTEST_GUILESS_MAIN(tst_CMClientFrame)
#include "tst_CMClientFrame.moc"
