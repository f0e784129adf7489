#include "observation/video/VideoSource.h"
#include "observation/video/VideoSourceManager.h"
#include "support/RecordingVideoSurface.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QVideoFrame videoFrame(const QSize &size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(Qt::darkCyan);
    return QVideoFrame(image);
}

} // namespace

Q_DECLARE_METATYPE(QVector<QSize>)

// VideoSource and VideoSourceManager: the last steps of a frame, in the GUI thread.
class tst_VideoSource : public QObject
{
    Q_OBJECT

private slots:
    void surfaceRestartsOnlyOnChange_data();
    void surfaceRestartsOnlyOnChange();
    void newSurfaceStartsWithNextFrame_data();
    void newSurfaceStartsWithNextFrame();
    void managerSizeSignal_data();
    void managerSizeSignal();
    void destroyedSurfaceOrSourceIsLeftAlone();
    void shownSizePassedOnOnceSettled_data();
    void shownSizePassedOnOnceSettled();
};

void tst_VideoSource::surfaceRestartsOnlyOnChange_data()
{
    QTest::addColumn<QVector<QSize>>("sizes");
    QTest::addColumn<bool>("argbLast");
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("sizeSignals");

    const QSize hd(1280, 720);
    const QSize vga(640, 480);
    QTest::newRow("same size twice") << QVector<QSize>{hd, hd} << false << 1 << 1;
    QTest::newRow("other size restarts") << QVector<QSize>{hd, vga, vga} << false << 2 << 2;
    QTest::newRow("back and forth") << QVector<QSize>{hd, vga, hd} << false << 3 << 3;
    // The pixel format asked for counts, not the one the surface took.
    QTest::newRow("other pixel format restarts") << QVector<QSize>{hd, hd} << true << 2 << 1;
}

void tst_VideoSource::surfaceRestartsOnlyOnChange()
{
    QFETCH(QVector<QSize>, sizes);
    QFETCH(bool, argbLast);
    QFETCH(int, starts);
    QFETCH(int, sizeSignals);

    RecordingVideoSurface surface;
    VideoSource source;
    source.setVideoSurface(&surface);
    VideoSourceManager manager;
    manager.setVideoSource(&source);
    QSignalSpy newFrames(&source, &VideoSource::newFrame);
    QSignalSpy sizeChanged(&manager, &VideoSourceManager::videoFrameSizeChanged);
    QVERIFY(newFrames.isValid() && sizeChanged.isValid());

    for (int i = 0; i < sizes.size(); ++i) {
        const bool argb = argbLast && i == sizes.size() - 1;
        manager.publishFrame(videoFrame(sizes.at(i), argb ? QImage::Format_ARGB32 : QImage::Format_RGB32));
    }
    QCOMPARE(surface.starts(), starts);
    QCOMPARE(surface.presented(), sizes.size());
    QCOMPARE(newFrames.size(), sizes.size());
    QCOMPARE(sizeChanged.size(), sizeSignals);
    QCOMPARE(sizeChanged.last().at(0).toSize(), sizes.last());
    QCOMPARE(surface.startedFormat().frameSize(), sizes.last());
}

void tst_VideoSource::newSurfaceStartsWithNextFrame_data()
{
    QTest::addColumn<bool>("sameSurface");
    QTest::newRow("another surface") << false;
    QTest::newRow("the same surface again") << true;
}

void tst_VideoSource::newSurfaceStartsWithNextFrame()
{
    QFETCH(bool, sameSurface);
    RecordingVideoSurface first;
    RecordingVideoSurface second;
    VideoSource source;
    source.setVideoSurface(&first);
    source.onNewVideoFrame(videoFrame(QSize(320, 240)));
    QVERIFY(first.isActive());

    RecordingVideoSurface &next = sameSurface ? first : second;
    source.setVideoSurface(&next);
    QCOMPARE(first.isActive(), sameSurface);
    QVERIFY(sameSurface || !second.isActive());

    // A frame of the size the old surface ran with still starts the new one.
    source.onNewVideoFrame(videoFrame(QSize(320, 240)));
    QVERIFY(next.isActive());
    QCOMPARE(next.starts(), 1);
    QCOMPARE(next.presented(), sameSurface ? 2 : 1);
    QCOMPARE(next.lastPixelFormat(), QVideoFrame::Format_RGB32);
}

void tst_VideoSource::managerSizeSignal_data()
{
    QTest::addColumn<bool>("attached");
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("sizeSignals");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("presented");

    const QString unreadable = QStringLiteral("/nonexistent/picture.png");
    QTest::newRow("published frame, no source") << false << QString() << 0 << QSize() << 0;
    QTest::newRow("published frame, source") << true << QString() << 1 << QSize(16, 9) << 1;
    QTest::newRow("loaded image, no source") << false << QStringLiteral("image") << 1 << QSize(16, 9) << 0;
    // An unreadable file still publishes: an empty picture, 0 by 0 counting as a size.
    QTest::newRow("unreadable file, source") << true << unreadable << 1 << QSize(0, 0) << 1;
}

void tst_VideoSource::managerSizeSignal()
{
    QFETCH(bool, attached);
    QFETCH(QString, image);
    QFETCH(int, sizeSignals);
    QFETCH(QSize, size);
    QFETCH(int, presented);

    RecordingVideoSurface surface;
    VideoSource source;
    source.setVideoSurface(&surface);
    VideoSourceManager manager;
    if (attached)
        manager.setVideoSource(&source);
    QCOMPARE(manager.videoSource(), attached ? &source : nullptr);
    QSignalSpy sizeChanged(&manager, &VideoSourceManager::videoFrameSizeChanged);

    QImage picture(QSize(16, 9), QImage::Format_ARGB32);
    picture.fill(Qt::red);
    if (image.isEmpty())
        manager.publishFrame(QVideoFrame(picture.convertToFormat(QImage::Format_RGB32)));
    else if (image == QLatin1String("image"))
        manager.loadImage(picture);
    else
        manager.loadImage(image);

    QCOMPARE(sizeChanged.size(), sizeSignals);
    if (sizeSignals > 0)
        QCOMPARE(sizeChanged.first().at(0).toSize(), size);
    QCOMPARE(surface.presented(), presented);
}

void tst_VideoSource::destroyedSurfaceOrSourceIsLeftAlone()
{
    VideoSourceManager manager;
    auto *source = new VideoSource;
    auto *surface = new RecordingVideoSurface;
    source->setVideoSurface(surface);
    manager.setVideoSource(source);
    manager.publishFrame(videoFrame(QSize(4, 4)));
    delete surface;
    manager.publishFrame(videoFrame(QSize(4, 4)));
    delete source;
    manager.publishFrame(videoFrame(QSize(4, 4)));
    QCOMPARE(manager.videoSource(), nullptr);
}

void tst_VideoSource::shownSizePassedOnOnceSettled_data()
{
    QTest::addColumn<QVector<QSize>>("before");
    QTest::addColumn<QVector<QSize>>("resize");
    QTest::addColumn<QVector<QSize>>("passedOn");

    const QSize tile(640, 360);
    const QSize wider(700, 394);
    QTest::newRow("the first size at once") << QVector<QSize>{tile} << QVector<QSize>() << QVector<QSize>{tile};
    QTest::newRow("a size set before the source was attached") << QVector<QSize>() << QVector<QSize>()
                                                               << QVector<QSize>{tile};
    QTest::newRow("a resize: its last step") << QVector<QSize>{tile} << QVector<QSize>{QSize(650, 366), wider}
                                             << QVector<QSize>{tile, wider};
    QTest::newRow("resized and back: nothing new") << QVector<QSize>{tile} << QVector<QSize>{wider, tile}
                                                   << QVector<QSize>{tile};
    QTest::newRow("a hidden output keeps its size") << QVector<QSize>{tile} << QVector<QSize>{QSize(0, 0)}
                                                    << QVector<QSize>{tile};
}

void tst_VideoSource::shownSizePassedOnOnceSettled()
{
    QFETCH(QVector<QSize>, before);
    QFETCH(QVector<QSize>, resize);
    QFETCH(QVector<QSize>, passedOn);

    VideoSource source;
    VideoSourceManager manager;
    // Settled as soon as this thread's events run again.
    manager.setSettleDelay(0);
    QSignalSpy sizes(&manager, &VideoSourceManager::shownSizeChanged);
    QVERIFY(sizes.isValid());
    if (before.isEmpty())
        source.setShownSize(passedOn.first());
    manager.setVideoSource(&source);
    for (const QSize &size : qAsConst(before))
        source.setShownSize(size);
    QCOMPARE(sizes.size(), 1);
    for (const QSize &size : qAsConst(resize))
        source.setShownSize(size);
    QCoreApplication::processEvents();
    QVector<QSize> passed;
    for (const QList<QVariant> &size : qAsConst(sizes))
        passed << size.at(0).toSize();
    QCOMPARE(passed, passedOn);
    QCOMPARE(manager.shownSize(), passedOn.last());
}

QTEST_MAIN(tst_VideoSource)
#include "tst_VideoSource.moc"
