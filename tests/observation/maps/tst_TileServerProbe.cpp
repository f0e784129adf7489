#include "observation/maps/TileServerProbe.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedBlockThread.h"
#include "support/SimulatedTileServer.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(SimulatedBlock::Reply)

// The probe behind the map's "tiles could not be loaded" line, against servers on 127.0.0.1.
class tst_TileServerProbe : public QObject
{
    Q_OBJECT

private slots:
    void answerDecides_data();
    void answerDecides();
    void asksAgainAfterAFailure();
    void replyLargerThanAnyTile_data();
    void replyLargerThanAnyTile();
    void redirectsAreFollowed_data();
    void redirectsAreFollowed();
    void redirectToAStreamIsCutOff_data();
    void redirectToAStreamIsCutOff();
};

void tst_TileServerProbe::answerDecides_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<TileServerProbe::Status>("expected");

    const QByteArray tile = SimulatedTileServer::tileImage();
    QTest::newRow("a tile") << 200 << QByteArray("image/png") << tile << TileServerProbe::Status::Reachable;
    QTest::newRow("not found") << 404 << QByteArray("image/png") << tile << TileServerProbe::Status::Unreachable;
    QTest::newRow("key refused") << 401 << QByteArray("text/plain") << QByteArray("Invalid API key")
                                 << TileServerProbe::Status::Unreachable;
    QTest::newRow("a page instead of a tile") << 200 << QByteArray("text/html") << QByteArray("<html>login</html>")
                                              << TileServerProbe::Status::Unreachable;
    // status 0: nobody listens on the port
    QTest::newRow("nobody listening") << 0 << QByteArray() << QByteArray() << TileServerProbe::Status::Unreachable;
}

void tst_TileServerProbe::answerDecides()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(TileServerProbe::Status, expected);

    SimulatedBlock server;
    QVERIFY(server.listen());
    quint16 port = server.port();
    if (status == 0) {
        server.close();
    } else {
        server.setReply("/atlas/0/0/0.png", status, contentType, body);
    }

    TileServerProbe probe;
    QSignalSpy changed(&probe, &TileServerProbe::statusChanged);
    QVERIFY(changed.isValid());
    probe.setTileAddress(QStringLiteral("http://127.0.0.1:%1/atlas/%z/%x/%y.png").arg(port));
    QVERIFY(changed.wait(5000));
    QCOMPARE(probe.status(), expected);
    if (status != 0)
        QCOMPARE(server.requests("/atlas/0/0/0.png").size(), 1);
}

// The map's line goes once the server answers again.
void tst_TileServerProbe::asksAgainAfterAFailure()
{
    SimulatedBlock server;
    QVERIFY(server.listen());
    server.setReply("/0/0/0.png", 503, "text/plain", "busy");

    TileServerProbe probe;
    probe.setRetryInterval(10);
    probe.setTileAddress(QStringLiteral("http://127.0.0.1:%1/%z/%x/%y.png").arg(server.port()));
    QTRY_COMPARE(probe.status(), TileServerProbe::Status::Unreachable);
    server.setReply("/0/0/0.png", 200, "image/png", SimulatedTileServer::tileImage());
    QTRY_COMPARE(probe.status(), TileServerProbe::Status::Reachable);
}

void tst_TileServerProbe::replyLargerThanAnyTile_data()
{
    QTest::addColumn<SimulatedBlock::Reply>("reply");
    SimulatedBlock::Reply endless;
    endless.contentType = "image/png";
    endless.body = SimulatedTileServer::tileImage().repeated(64);
    endless.action = SimulatedBlock::Action::Stream;
    QTest::newRow("a stream that never ends") << endless;
    SimulatedBlock::Reply declared;
    declared.contentType = "image/png";
    declared.body = SimulatedTileServer::tileImage();
    declared.declaredLength = 4 * 1024 * 1024;
    QTest::newRow("4 MiB declared") << declared;
}

// Cut off within a second, held to little more than a tile's size, and asked again later.
void tst_TileServerProbe::replyLargerThanAnyTile()
{
    QFETCH(SimulatedBlock::Reply, reply);
    SimulatedBlock server;
    QVERIFY(server.listen());
    server.setReply("/0/0/0.png", reply);

    TileServerProbe probe;
    probe.setRetryInterval(100);
    QElapsedTimer clock;
    clock.start();
    probe.setTileAddress(QStringLiteral("http://127.0.0.1:%1/%z/%x/%y.png").arg(server.port()));
    QTRY_COMPARE_WITH_TIMEOUT(probe.status(), TileServerProbe::Status::Unreachable, 1000);
    QVERIFY2(server.sentBytes() <= 16 * 1024 * 1024, qPrintable(QString::number(server.sentBytes())));
    QTRY_VERIFY(server.requests("/0/0/0.png").size() >= 2);
}

void tst_TileServerProbe::redirectsAreFollowed_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<TileServerProbe::Status>("expected");
    QTest::newRow("moved to the tile") << QByteArray("/tiles/0/0/0.png") << TileServerProbe::Status::Reachable;
    QTest::newRow("moved to itself") << QByteArray("/0/0/0.png") << TileServerProbe::Status::Unreachable;
}

// A tile server that has moved its tiles still counts; one that redirects without end does not.
void tst_TileServerProbe::redirectsAreFollowed()
{
    QFETCH(QByteArray, location);
    QFETCH(TileServerProbe::Status, expected);
    SimulatedBlock server;
    QVERIFY(server.listen());
    server.setReply("/0/0/0.png", SimulatedBlock::movedTo(location));
    server.setReply("/tiles/0/0/0.png", 200, "image/png", SimulatedTileServer::tileImage());

    TileServerProbe probe;
    probe.setRetryInterval(0);
    probe.setTileAddress(QStringLiteral("http://127.0.0.1:%1/%z/%x/%y.png").arg(server.port()));
    QTRY_VERIFY(probe.status() != TileServerProbe::Status::Unknown);
    QCOMPARE(probe.status(), expected);
    // Qt's own limit of redirects: 50 after the first request.
    QVERIFY2(server.requestCount() <= 51, qPrintable(QString::number(server.requestCount())));
}

void tst_TileServerProbe::redirectToAStreamIsCutOff_data()
{
    QTest::addColumn<int>("busyMs");
    QTest::newRow("GUI thread free") << 0;
    QTest::newRow("GUI thread busy after the redirect") << 500;
}

// The transfer after a redirect is held to the window as the first one, and the cut-off ends it:
// within a second of the GUI thread being free, with its connection closed.
void tst_TileServerProbe::redirectToAStreamIsCutOff()
{
    QFETCH(int, busyMs);
    // On a thread of its own, the server goes on sending while this thread is busy.
    SimulatedBlockThread server;
    QVERIFY(server.listen());
    server.call([busyMs](SimulatedBlock &s) {
        s.setReply("/0/0/0.png", SimulatedBlock::movedTo("/stream.png"));
        SimulatedBlock::Reply endless;
        endless.contentType = "image/png";
        endless.body = SimulatedTileServer::tileImage().repeated(64);
        endless.action = SimulatedBlock::Action::Stream;
        s.setReply("/stream.png", endless);
        // Busy from the redirected request on, before the stream's first bytes are taken.
        if (busyMs > 0) {
            QObject::connect(&s, &SimulatedBlock::requestReceived, &s, [&s, busyMs](int index) {
                if (s.requests().at(index).path != "/stream.png")
                    return;
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(), [busyMs]() { QThread::msleep(busyMs); }, Qt::QueuedConnection);
            });
        }
    });
    const auto streamAsked = [&server]() {
        bool asked = false;
        server.call([&asked](SimulatedBlock &s) { asked = !s.requests("/stream.png").isEmpty(); });
        return asked;
    };
    const auto connections = [&server]() {
        int count = 0;
        server.call([&count](SimulatedBlock &s) { count = s.connectionCount(); });
        return count;
    };

    TileServerProbe probe;
    probe.setRetryInterval(0);
    probe.setTileAddress(QStringLiteral("http://127.0.0.1:%1/%z/%x/%y.png").arg(server.port()));
    QTRY_COMPARE_WITH_TIMEOUT(probe.status(), TileServerProbe::Status::Unreachable, busyMs + 1000);
    QVERIFY(streamAsked());
    QTRY_COMPARE(connections(), 0);
    qint64 sent = 0;
    server.call([&sent](SimulatedBlock &s) { sent = s.sentBytes(); });
    // A tile's limit besides the socket buffers of both ends.
    QVERIFY2(sent <= 16 * 1024 * 1024, qPrintable(QString::number(sent)));
}

QTEST_GUILESS_MAIN(tst_TileServerProbe)
#include "tst_TileServerProbe.moc"
