#include "observation/maps/TileServerProbe.h"
#include "support/SimulatedBlock.h"
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
    QVERIFY2(server.streamedBytes() <= 16 * 1024 * 1024, qPrintable(QString::number(server.streamedBytes())));
    QTRY_VERIFY(server.requests("/0/0/0.png").size() >= 2);
}

QTEST_GUILESS_MAIN(tst_TileServerProbe)
#include "tst_TileServerProbe.moc"
