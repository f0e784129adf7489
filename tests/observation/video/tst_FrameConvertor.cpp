#include "core/tracker/CMClientFrame.h"
#include "observation/video/FrameConvertor.h"
#include "support/FrameTestFixtures.h"
#include "support/LogCapture.h"

#include <QSignalSpy>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

using kvr::tracker::common::SourceFrame;
using kvr::tracker::common::SourceTimestamp;
using kvr::tracker::net::CMClient;

namespace {

std::shared_ptr<CMClient::Frame> frameOf(const QVariantMap &map, qint64 dataTimestamp = -1)
{
    SourceFrame sourceFrame;
    sourceFrame.setQVariantData(map);
    if (dataTimestamp >= 0) {
        SourceTimestamp timestamp;
        timestamp.setDataTimestampMS(dataTimestamp);
        sourceFrame.setTimestamp(timestamp);
    }
    return std::make_shared<CMClient::Frame>(frametest::frameFormat(1), sourceFrame);
}

// Smooth areas, hard edges and a little sensor noise, as a camera sees a street.
QByteArray streetJpeg(const QSize &size, bool grey)
{
    cv::Mat picture(size.height(), size.width(), CV_8UC3);
    for (int y = 0; y < picture.rows; ++y) {
        for (int x = 0; x < picture.cols; ++x)
            picture.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(120 + x * 100 / picture.cols),
                                                    uchar(80 + y * 150 / picture.rows), uchar(60 + (x + y) * 90 / (picture.cols + picture.rows)));
    }
    cv::RNG rng(3);
    for (int i = 0; i < 12; ++i) {
        const cv::Point corner(rng.uniform(0, picture.cols), rng.uniform(0, picture.rows));
        const cv::Size extent(rng.uniform(picture.cols / 20 + 1, picture.cols / 4), rng.uniform(picture.rows / 20 + 1, picture.rows / 4));
        cv::rectangle(picture, cv::Rect(corner, extent), cv::Scalar(rng.uniform(0, 255), rng.uniform(0, 255), rng.uniform(0, 255)),
                      cv::FILLED);
    }
    cv::Mat noise(picture.size(), CV_8UC3);
    rng.fill(noise, cv::RNG::NORMAL, 0, 3);
    picture += noise;
    if (grey)
        cv::cvtColor(picture, picture, cv::COLOR_BGR2GRAY);
    std::vector<uchar> bytes;
    cv::imencode(".jpg", picture, bytes, {cv::IMWRITE_JPEG_QUALITY, 90});
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// Mean absolute difference of the colour channels of two RGB32 images of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    const cv::Mat ma(a.height(), a.width(), CV_8UC4, const_cast<uchar *>(a.constBits()), size_t(a.bytesPerLine()));
    const cv::Mat mb(b.height(), b.width(), CV_8UC4, const_cast<uchar *>(b.constBits()), size_t(b.bytesPerLine()));
    cv::Mat difference;
    cv::absdiff(ma, mb, difference);
    const cv::Scalar mean = cv::mean(difference);
    return (mean[0] + mean[1] + mean[2]) / 3.0;
}

} // namespace

class tst_FrameConvertor : public QObject
{
    Q_OBJECT

private slots:
    void convertsToRgb32OfTheWantedSize_data();
    void convertsToRgb32OfTheWantedSize();
    void newestWaitingFrameWins_data();
    void newestWaitingFrameWins();
    void scaledDecodeMatchesFullDecode_data();
    void scaledDecodeMatchesFullDecode();
};

void tst_FrameConvertor::convertsToRgb32OfTheWantedSize_data()
{
    QTest::addColumn<QSize>("resize");
    QTest::addColumn<bool>("stamped");
    QTest::addColumn<QSize>("expectedSize");
    QTest::addColumn<qulonglong>("expectedPts");

    const QSize decoded = frametest::FrameSize;
    QTest::newRow("no size keeps the decoded size") << QSize() << true << decoded << qulonglong(1234);
    QTest::newRow("a zero side keeps the decoded size") << QSize(0, 10) << true << decoded << qulonglong(1234);
    QTest::newRow("scaled, aspect ignored") << QSize(32, 40) << true << QSize(32, 40) << qulonglong(1234);
    QTest::newRow("no data time stamp gives pts 0") << QSize(16, 12) << false << QSize(16, 12) << qulonglong(0);
}

void tst_FrameConvertor::convertsToRgb32OfTheWantedSize()
{
    QFETCH(QSize, resize);
    QFETCH(bool, stamped);
    QFETCH(QSize, expectedSize);
    QFETCH(qulonglong, expectedPts);

    SourceFrame sourceFrame;
    sourceFrame.setQVariantData(frametest::jpegFrame());
    if (stamped) {
        SourceTimestamp timestamp;
        timestamp.setQVariantData(QVariantMap{{QStringLiteral("data_ts_ms"), 1234}});
        sourceFrame.setTimestamp(timestamp);
    }
    auto frame = std::make_shared<CMClient::Frame>(frametest::frameFormat(1), sourceFrame);
    const QImage decoded = frame->getImage();

    FrameConvertor convertor;
    QSignalSpy images(&convertor, &FrameConvertor::newImage);
    QVERIFY(images.isValid());
    convertor.setResizeSize(resize);
    convertor.convertImage(frame);
    // Converted in the pool, handed back in this thread.
    QTRY_COMPARE(images.size(), 1);
    const QImage image = images.first().at(0).value<QImage>();
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.size(), expectedSize);
    QCOMPARE(images.first().at(1).toULongLong(), expectedPts);
    // The frame's own image is shared with other cameras and stays as decoded.
    QCOMPARE(frame->getImage().format(), decoded.format());
    QCOMPARE(frame->getImage(), decoded);
}

void tst_FrameConvertor::newestWaitingFrameWins_data()
{
    QTest::addColumn<int>("sent");
    QTest::addColumn<QList<qulonglong>>("converted");
    QTest::addColumn<int>("dropped");

    // All handed in before the first comes back: the first goes to the pool, the rest wait.
    QTest::newRow("one") << 1 << QList<qulonglong>{1} << 0;
    QTest::newRow("one waits") << 2 << QList<qulonglong>{1, 2} << 0;
    QTest::newRow("only the newest of those waiting") << 5 << QList<qulonglong>{1, 5} << 3;
}

void tst_FrameConvertor::newestWaitingFrameWins()
{
    QFETCH(int, sent);
    QFETCH(QList<qulonglong>, converted);
    QFETCH(int, dropped);

    // A damaged picture is still shown, and each decode of one warns: the warnings count the
    // decodes.
    QVariantMap damaged = frametest::jpegFrame();
    QByteArray data = damaged.value(QStringLiteral("data")).toByteArray();
    data.insert(data.size() - 2, QByteArray(5, '\x11'));
    damaged.insert(QStringLiteral("data"), data);
    LogCapture log(kvr::log::WRN);

    FrameConvertor convertor;
    QSignalSpy images(&convertor, &FrameConvertor::newImage);
    QVERIFY(images.isValid());
    std::vector<std::weak_ptr<CMClient::Frame>> handedIn;
    for (int i = 1; i <= sent; ++i) {
        const auto frame = frameOf(damaged, i);
        handedIn.push_back(frame);
        convertor.convertImage(frame);
    }
    // Replaced frames are let go at once: never decoded.
    for (int i = 1; i < sent - 1; ++i)
        QVERIFY(handedIn[size_t(i)].expired());
    QCOMPARE(convertor.droppedFrames(), quint64(dropped));

    QTRY_COMPARE(images.size(), converted.size());
    QList<qulonglong> stamps;
    for (const QList<QVariant> &image : qAsConst(images))
        stamps << image.at(1).toULongLong();
    QCOMPARE(stamps, converted);
    QCOMPARE(convertor.convertedFrames(), quint64(converted.size()));
    for (const std::weak_ptr<CMClient::Frame> &frame : handedIn)
        QVERIFY(frame.expired());
    QCOMPARE(log.texts(kvr::log::WRN).count(QStringLiteral("Frame holds damaged JPEG data; shown as far as it could be decoded.")),
             converted.size());
}

void tst_FrameConvertor::scaledDecodeMatchesFullDecode_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("decoded");

    const QSize fullHd(1920, 1080);
    const QSize odd(1021, 677);
    QTest::newRow("half both ways: 1/2") << fullHd << false << QSize(960, 540) << QSize(960, 540);
    QTest::newRow("a tile: 1/2, then scaled") << fullHd << false << QSize(640, 360) << QSize(960, 540);
    QTest::newRow("3/8 would fit, 1/2 is taken") << fullHd << false << QSize(700, 400) << QSize(960, 540);
    QTest::newRow("a quarter: 1/4") << fullHd << false << QSize(480, 270) << QSize(480, 270);
    QTest::newRow("below a quarter: 1/4, then scaled") << fullHd << false << QSize(320, 180) << QSize(480, 270);
    QTest::newRow("over half one way: full size") << fullHd << false << QSize(961, 100) << fullHd;
    QTest::newRow("larger than the picture: full size") << QSize(320, 240) << false << QSize(640, 480) << QSize(320, 240);
    QTest::newRow("odd size: a quarter rounds up") << odd << false << QSize(256, 170) << QSize(256, 170);
    QTest::newRow("odd size: just over a quarter") << odd << false << QSize(257, 170) << QSize(511, 339);
    QTest::newRow("grey") << fullHd << true << QSize(640, 360) << QSize(960, 540);
}

void tst_FrameConvertor::scaledDecodeMatchesFullDecode()
{
    QFETCH(QSize, picture);
    QFETCH(bool, grey);
    QFETCH(QSize, wanted);
    QFETCH(QSize, decoded);

    const QVariantMap map{{QStringLiteral("data"), streetJpeg(picture, grey)}, {QStringLiteral("size"), picture},
                          {QStringLiteral("channels"), grey ? 1 : 3}};
    const auto full = frameOf(map);
    const auto scaled = frameOf(map);
    scaled->setDecodeSize(wanted);
    QCOMPARE(scaled->getImage().size(), decoded);
    QCOMPARE(full->getImage().size(), picture);

    const QImage expected = FrameConvertor::convert(*full, wanted);
    const QImage image = FrameConvertor::convert(*scaled, wanted);
    QCOMPARE(image.size(), wanted);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    const double difference = meanDifference(image, expected);
    QVERIFY2(difference < 3.0, qPrintable(QString::number(difference)));
}

QTEST_GUILESS_MAIN(tst_FrameConvertor)
#include "tst_FrameConvertor.moc"
