#include "core/tracker/CMClientFrame.h"
#include "core/tracker/FrameBufferAllocator.h"

#include <QtTest>

#include <opencv2/imgcodecs.hpp>

#include <memory>
#include <vector>

using kvr::tracker::net::CMClient;
using kvr::tracker::net::FrameBufferAllocator;

namespace {

QByteArray jpegOf(const QSize &size)
{
    const cv::Mat picture(size.height(), size.width(), CV_8UC3, cv::Scalar(40, 90, 160));
    std::vector<uchar> bytes;
    cv::imencode(".jpg", picture, bytes);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// A frame of `size` decoded at `decodeSize`, held until the caller lets go of it.
std::shared_ptr<CMClient::Frame> decoded(const QSize &size, const QSize &decodeSize = QSize())
{
    kvr::tracker::common::SourceFrame sourceFrame;
    sourceFrame.setQVariantData(QVariantMap{{QStringLiteral("data"), jpegOf(size)}});
    auto frame = std::make_shared<CMClient::Frame>(kvr::tracker::common::SourceFrameFormatDefinition(), sourceFrame);
    frame->setDecodeSize(decodeSize);
    frame->getImage();
    return frame;
}

constexpr qulonglong FullHdBytes = 1920 * 1080 * 4;
constexpr qulonglong MiB = 1024 * 1024;

// An RGB32 picture of `size` whose pixels come from `allocator`.
cv::Mat pictureFrom(FrameBufferAllocator &allocator, const QSize &size)
{
    cv::Mat picture;
    picture.allocator = &allocator;
    picture.create(size.height(), size.width(), CV_8UC4);
    return picture;
}

} // namespace

// The pixel memory of decoded frames: reused by the next frame of its size, handed back to the
// system when idle.
class tst_FrameBufferAllocator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void buffersAreReusedThenHandedBack_data();
    void buffersAreReusedThenHandedBack();
    void idleBuffersKeptUpToTheCap_data();
    void idleBuffersKeptUpToTheCap();
    void idleBuffersForgottenAfterAWhile_data();
    void idleBuffersForgottenAfterAWhile();
};

void tst_FrameBufferAllocator::init()
{
    FrameBufferAllocator::instance().releaseIdle();
    QCOMPARE(qulonglong(FrameBufferAllocator::instance().mappedBytes()), qulonglong(0));
}

void tst_FrameBufferAllocator::buffersAreReusedThenHandedBack_data()
{
    QTest::addColumn<QSize>("second");
    QTest::addColumn<QSize>("secondDecodeSize");
    QTest::addColumn<qulonglong>("mappedWithSecond");
    QTest::addColumn<qulonglong>("inUse");

    const QSize fullHd(1920, 1080);
    const qulonglong half = 960 * 540 * 4;
    QTest::newRow("same size: the first frame's buffer again") << fullHd << QSize() << FullHdBytes << FullHdBytes;
    QTest::newRow("half size: a buffer of its own") << fullHd << QSize(960, 540) << FullHdBytes + half << half;
    QTest::newRow("small picture: not mapped") << QSize(64, 48) << QSize() << FullHdBytes << qulonglong(0);
}

void tst_FrameBufferAllocator::buffersAreReusedThenHandedBack()
{
    QFETCH(QSize, second);
    QFETCH(QSize, secondDecodeSize);
    QFETCH(qulonglong, mappedWithSecond);
    QFETCH(qulonglong, inUse);

    FrameBufferAllocator &allocator = FrameBufferAllocator::instance();
    auto first = decoded(QSize(1920, 1080));
    QCOMPARE(qulonglong(allocator.mappedBytes()), FullHdBytes);
    first.reset();
    QCOMPARE(qulonglong(allocator.idleBytes()), FullHdBytes);

    auto next = decoded(second, secondDecodeSize);
    QCOMPARE(qulonglong(allocator.mappedBytes()), mappedWithSecond);
    // Only what no frame holds is handed back.
    allocator.releaseIdle();
    QCOMPARE(qulonglong(allocator.mappedBytes()), inUse);
    next.reset();
    allocator.releaseIdle();
    QCOMPARE(qulonglong(allocator.mappedBytes()), qulonglong(0));
}

void tst_FrameBufferAllocator::idleBuffersKeptUpToTheCap_data()
{
    QTest::addColumn<QVector<QSize>>("released");
    QTest::addColumn<qulonglong>("idle");

    const QSize fullHd(1920, 1080);
    const QSize uhd8k(7680, 4320); // 126.6 MiB
    QTest::newRow("8K picture alone: handed back at once") << QVector<QSize>{uhd8k} << qulonglong(0);
    QTest::newRow("largest node frame alone") << QVector<QSize>{QSize(8192, 8192)} << qulonglong(0);
    QTest::newRow("a row over the cap") << QVector<QSize>{QSize(4096, 4097)} << qulonglong(0);
    QTest::newRow("the cap itself is kept") << QVector<QSize>{QSize(4096, 4096)} << 64 * MiB;
    QTest::newRow("8K after full HD: those stay") << QVector<QSize>{fullHd, fullHd, uhd8k} << 2 * FullHdBytes;
    // 24 + 32 + 20 MiB: the first one goes.
    QTest::newRow("beyond the cap: the oldest go first")
        << QVector<QSize>{QSize(4096, 1536), QSize(4096, 2048), QSize(4096, 1280)} << 52 * MiB;
}

// Pictures held together, then let go of in order.
void tst_FrameBufferAllocator::idleBuffersKeptUpToTheCap()
{
    QFETCH(QVector<QSize>, released);
    QFETCH(qulonglong, idle);

    FrameBufferAllocator allocator;
    std::vector<cv::Mat> pictures;
    for (const QSize &size : released)
        pictures.push_back(pictureFrom(allocator, size));
    for (cv::Mat &picture : pictures)
        picture.release();
    QCOMPARE(qulonglong(allocator.idleBytes()), idle);
    QCOMPARE(qulonglong(allocator.mappedBytes()), idle);
}

void tst_FrameBufferAllocator::idleBuffersForgottenAfterAWhile_data()
{
    QTest::addColumn<qint64>("idleFor");
    QTest::addColumn<bool>("kept");

    QTest::newRow("a second") << qint64(1000) << true;
    QTest::newRow("five seconds") << qint64(5000) << true;
    QTest::newRow("just over five seconds") << qint64(5001) << false;
}

// A buffer idle for `idleFor` ms when another one is let go of.
void tst_FrameBufferAllocator::idleBuffersForgottenAfterAWhile()
{
    QFETCH(qint64, idleFor);
    QFETCH(bool, kept);

    qint64 time = 1000;
    FrameBufferAllocator allocator([&time] { return time; });
    cv::Mat first = pictureFrom(allocator, QSize(1920, 1080));
    cv::Mat second = pictureFrom(allocator, QSize(640, 360));
    first.release();
    time += idleFor;
    second.release();
    const qulonglong secondBytes = 640 * 360 * 4;
    QCOMPARE(qulonglong(allocator.mappedBytes()), secondBytes + (kept ? FullHdBytes : 0));
    QCOMPARE(qulonglong(allocator.idleBytes()), allocator.mappedBytes());
}

QTEST_GUILESS_MAIN(tst_FrameBufferAllocator)
#include "tst_FrameBufferAllocator.moc"
