#include "devices/net/ConnectionTester.h"

#include <QTcpServer>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

const QString kLoopback = QStringLiteral("127.0.0.1");
constexpr int kTimeout = 300;

// A port on 127.0.0.1 that accepts, or one that refuses (bound once, then released).
class Ports
{
public:
    int open()
    {
        auto server = std::make_unique<QTcpServer>();
        if (!server->listen(QHostAddress::LocalHost, 0))
            return -1;
        const int port = server->serverPort();
        m_servers.push_back(std::move(server));
        return port;
    }
    static int closed()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        const int port = server.serverPort();
        server.close();
        return port;
    }

private:
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
};

// Lets the ports answer one after the other, so that the answer order is known.
void answerInOrder(ConnectionTester &tester, const QList<int> &ports)
{
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    for (int port : ports) {
        tester.addConnection(port);
        tester.start();
        QVERIFY(connected.wait());
    }
}

} // namespace

class tst_ConnectionTester : public QObject
{
    Q_OBJECT

private slots:
    void openAndClosedPort();
    void bothPortsAnswer();
    void onlyClosedPortTimesOut();
    void noAddressOnlyTimesOut();
    void portAnsweringAgainIsIgnored();
    void acceptActivePortStoresIt();
    void storePort_data();
    void storePort();
    void selectActivePort_data();
    void selectActivePort();
    void addressResetsTheSeries();
    void newSeriesFromConnectedSlot();
    void settersEmitOnChange();
};

void tst_ConnectionTester::openAndClosedPort()
{
    Ports ports;
    const int open = ports.open();
    const int closed = Ports::closed();
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy active(&tester, &ConnectionTester::activePortChanged);
    QSignalSpy timeout(&tester, &ConnectionTester::timeout);
    tester.setAddress(kLoopback);
    tester.addConnection(closed);
    tester.addConnection(open);
    QCOMPARE(tester.connectionCount(), 2);
    tester.start();

    QVERIFY(connected.wait());
    QCOMPARE(tester.activePort(), open);
    QCOMPARE(active.count(), 1);
    QCOMPARE(tester.answeredPorts(), QList<int>{open});
    // The time-out still runs: the users stop the tester when they are satisfied.
    QVERIFY(timeout.wait());
    QCOMPARE(connected.count(), 1);
    QCOMPARE(tester.activePort(), open);
}

void tst_ConnectionTester::bothPortsAnswer()
{
    Ports ports;
    const int first = ports.open();
    const int second = ports.open();
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy active(&tester, &ConnectionTester::activePortChanged);
    tester.setAddress(kLoopback);
    tester.addConnection(first);
    tester.addConnection(second);
    tester.start();
    QTRY_COMPARE(connected.count(), 2);
    QCOMPARE(active.count(), 2);
    const QList<int> answered = tester.answeredPorts();
    QCOMPARE(answered.size(), 2);
    QCOMPARE(QSet<int>(answered.begin(), answered.end()), (QSet<int>{first, second}));
    QCOMPARE(tester.activePort(), answered.last()); // the later answer overrides
}

void tst_ConnectionTester::onlyClosedPortTimesOut()
{
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy timeout(&tester, &ConnectionTester::timeout);
    tester.setAddress(kLoopback);
    tester.addConnection(Ports::closed());
    QElapsedTimer clock;
    clock.start();
    tester.start();
    QVERIFY(timeout.wait());
    QVERIFY(clock.elapsed() >= kTimeout - 50);
    QCOMPARE(connected.count(), 0);
    QCOMPARE(tester.activePort(), -1);
    QVERIFY(!tester.selectActivePort());
}

void tst_ConnectionTester::noAddressOnlyTimesOut()
{
    Ports ports;
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy timeout(&tester, &ConnectionTester::timeout);
    tester.addConnection(ports.open());
    QCOMPARE(tester.connectionCount(), 0);
    tester.start();
    QVERIFY(timeout.wait());
    QCOMPARE(timeout.count(), 1);
    QCOMPARE(connected.count(), 0);
}

void tst_ConnectionTester::portAnsweringAgainIsIgnored()
{
    Ports ports;
    const int open = ports.open();
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    tester.setAddress(kLoopback);
    tester.addConnection(open);
    tester.start();
    QVERIFY(connected.wait());
    tester.stop();
    tester.start(); // the stopped attempt connects once more
    QVERIFY(!connected.wait(kTimeout / 2));
    QCOMPARE(connected.count(), 1);
    QCOMPARE(tester.answeredPorts(), QList<int>{open});
}

void tst_ConnectionTester::acceptActivePortStoresIt()
{
    Ports ports;
    const int open = ports.open();
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy timeout(&tester, &ConnectionTester::timeout);
    QSignalSpy processed(&tester, &ConnectionTester::processedChanged);
    tester.setAddress(kLoopback);
    tester.addConnection(open);
    QCOMPARE(tester.storedPort(kLoopback), -1);
    tester.setProcessed(true);
    tester.start();
    QVERIFY(connected.wait());

    tester.acceptActivePort();
    QCOMPARE(tester.storedPort(kLoopback), open);
    QVERIFY(!tester.processed());
    QCOMPARE(processed.count(), 2);
    QVERIFY(!timeout.wait(kTimeout * 2)); // accepting stops the time-out
    QCOMPARE(tester.storedPort("127.0.0.2"), -1);
}

void tst_ConnectionTester::storePort_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("stored");
    QTest::newRow("address and port") << kLoopback << 8080 << 8080;
    QTest::newRow("port 0 is a port") << kLoopback << 0 << 0;
    QTest::newRow("negative port ignored") << kLoopback << -1 << 8088;
    QTest::newRow("empty address ignored") << QString() << 8080 << 8088;
}

void tst_ConnectionTester::storePort()
{
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(int, stored);
    ConnectionTester tester(kTimeout);
    tester.storePort(kLoopback, 8088);
    tester.storePort(address, port);
    QCOMPARE(tester.storedPort(kLoopback), stored);
    QCOMPARE(tester.storedPort(QString()), -1);
}

void tst_ConnectionTester::selectActivePort_data()
{
    QTest::addColumn<int>("answering");   // ports that answer, in this order
    QTest::addColumn<int>("activeIndex"); // index into them before the call; -1: activePort -1; 9: a foreign port
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("expectedIndex"); // -1: activePort -1; 9: the foreign port
    QTest::newRow("none answered") << 0 << -1 << false << -1;
    QTest::newRow("one answered, active unset") << 1 << -1 << true << 0;
    QTest::newRow("two, first active: next") << 2 << 0 << true << 1;
    QTest::newRow("two, last active: wraps") << 2 << 1 << true << 0;
    QTest::newRow("three, middle active") << 3 << 1 << true << 2;
    QTest::newRow("two, active unset stays") << 2 << -1 << true << -1;
    QTest::newRow("two, foreign active stays") << 2 << 9 << true << 9;
}

void tst_ConnectionTester::selectActivePort()
{
    QFETCH(int, answering);
    QFETCH(int, activeIndex);
    QFETCH(bool, result);
    QFETCH(int, expectedIndex);

    Ports ports;
    QList<int> open;
    for (int i = 0; i < answering; ++i)
        open << ports.open();
    const int foreign = Ports::closed();
    ConnectionTester tester(5000);
    tester.setAddress(kLoopback);
    answerInOrder(tester, open);
    QCOMPARE(tester.answeredPorts(), open);
    const auto portFor = [&](int index) { return index == -1 ? -1 : index == 9 ? foreign : open.at(index); };
    tester.setActivePort(portFor(activeIndex));

    QSignalSpy active(&tester, &ConnectionTester::activePortChanged);
    QCOMPARE(tester.selectActivePort(), result);
    QCOMPARE(tester.activePort(), portFor(expectedIndex));
    QCOMPARE(active.count(), 0);
    tester.stop();
}

void tst_ConnectionTester::addressResetsTheSeries()
{
    Ports ports;
    const int open = ports.open();
    ConnectionTester tester(kTimeout);
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    QSignalSpy processed(&tester, &ConnectionTester::processedChanged);
    tester.setAddress(kLoopback);
    tester.addConnection(open);
    tester.start();
    QVERIFY(connected.wait());
    tester.setProcessed(true);

    tester.setAddress(kLoopback);
    QCOMPARE(tester.connectionCount(), 0);
    QVERIFY(tester.answeredPorts().isEmpty());
    QVERIFY(!tester.processed());
    QCOMPARE(processed.count(), 2);
    QVERIFY(!tester.selectActivePort());

    // The same port answers again in the new series.
    tester.addConnection(open);
    tester.start();
    QVERIFY(connected.wait());
    QCOMPARE(connected.count(), 2);
    tester.stop();
}

// A user may begin a new series from its connected() slot, while the attempt is still signalling.
void tst_ConnectionTester::newSeriesFromConnectedSlot()
{
    Ports ports;
    const int first = ports.open();
    const int second = ports.open();
    ConnectionTester tester(kTimeout);
    int calls = 0;
    connect(&tester, &ConnectionTester::connected, &tester, [&] {
        if (++calls == 1) {
            tester.setAddress(kLoopback);
            tester.addConnection(second);
            tester.start();
        }
    });
    QSignalSpy connected(&tester, &ConnectionTester::connected);
    tester.setAddress(kLoopback);
    tester.addConnection(first);
    tester.start();
    QTRY_COMPARE(connected.count(), 2);
    QCOMPARE(tester.answeredPorts(), QList<int>{second});
    QCOMPARE(tester.activePort(), second);
    tester.stop();
}

void tst_ConnectionTester::settersEmitOnChange()
{
    ConnectionTester tester(kTimeout);
    QSignalSpy enabled(&tester, &ConnectionTester::enabledChanged);
    QSignalSpy processed(&tester, &ConnectionTester::processedChanged);
    QSignalSpy active(&tester, &ConnectionTester::activePortChanged);
    QVERIFY(tester.enabled());
    QVERIFY(!tester.processed());
    QCOMPARE(tester.activePort(), -1);
    tester.setEnabled(true);
    tester.setProcessed(false);
    tester.setActivePort(-1);
    QCOMPARE(enabled.count() + processed.count() + active.count(), 0);
    tester.setEnabled(false);
    tester.setProcessed(true);
    tester.setActivePort(8080);
    QCOMPARE(enabled.count(), 1);
    QCOMPARE(processed.count(), 1);
    QCOMPARE(active.count(), 1);
    tester.setTimeoutPeriod(50);
    QCOMPARE(tester.timeoutPeriod(), 50);
}

QTEST_GUILESS_MAIN(tst_ConnectionTester)
#include "tst_ConnectionTester.moc"
