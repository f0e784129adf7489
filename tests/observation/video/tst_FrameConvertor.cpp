#include "core/tracker/CMClientFrame.h"
#include "observation/video/FrameConvertor.h"
#include "support/FrameTestFixtures.h"

#include <QSignalSpy>
#include <QtTest>

using kvr::tracker::common::SourceFrame;
using kvr::tracker::common::SourceTimestamp;
using kvr::tracker::net::CMClient;

class tst_FrameConvertor : public QObject
{
    Q_OBJECT

private slots:
    void convertsToRgb32OfTheWantedSize_data();
    void convertsToRgb32OfTheWantedSize();
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
    QCOMPARE(images.size(), 1);
    const QImage image = images.first().at(0).value<QImage>();
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.size(), expectedSize);
    QCOMPARE(images.first().at(1).toULongLong(), expectedPts);
    // The frame's own image is shared with other cameras and stays as decoded.
    QCOMPARE(frame->getImage().format(), decoded.format());
    QCOMPARE(frame->getImage(), decoded);
}

QTEST_GUILESS_MAIN(tst_FrameConvertor)
#include "tst_FrameConvertor.moc"
