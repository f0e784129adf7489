#include "core/net/TCPClient.h"
#include "support/LogCapture.h"
#include "support/SimulatedTrackerNode.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

using kvr::net::TCPClient;

class tst_TCPClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void partyInformationComesFirst();
    void reconnectsAfterTheNodeCloses();
    void connectRestartsTheConnection();
    void keepAlive_data();
    void keepAlive();
    void refusedConnectionIsRetried();

private:
    void connectClient();

    SimulatedTrackerNode *m_node = nullptr;
    TCPClient *m_client = nullptr;
};

void tst_TCPClient::init()
{
    m_node = new SimulatedTrackerNode(this);
    QVERIFY(m_node->listen());
    m_client = new TCPClient(this);
    m_client->setHostAddress(m_node->address());
    m_client->setPort(m_node->port());
}

void tst_TCPClient::cleanup()
{
    delete m_client;
    delete m_node;
}

void tst_TCPClient::connectClient()
{
    QSignalSpy connected(m_client, &TCPClient::connected);
    m_client->connect();
    QVERIFY(connected.wait());
}

void tst_TCPClient::partyInformationComesFirst()
{
    QCoreApplication::setApplicationName(QStringLiteral("orva-test"));
    QSignalSpy party(m_node, &SimulatedTrackerNode::partyInformationReceived);
    connectClient();
    QVERIFY(party.count() == 1 || party.wait());
    QCOMPARE(m_node->decodeErrors(), 0);
    QCOMPARE(m_node->partyInformation().value(QStringLiteral("application_name")).toString(),
             QStringLiteral("orva-test"));
    QCOMPARE(m_node->partyInformation().value(QStringLiteral("protocol_version")).toInt(), 1);
}

void tst_TCPClient::reconnectsAfterTheNodeCloses()
{
    LogCapture log;
    connectClient();
    QSignalSpy connected(m_client, &TCPClient::connected);
    QSignalSpy disconnected(m_client, &TCPClient::disconnected);
    QSignalSpy errors(m_client, &TCPClient::errorString);
    m_node->closeConnection();
    QVERIFY(connected.wait(3000));
    QCOMPARE(disconnected.count(), 1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("The remote host closed the connection"));
    QVERIFY(log.texts(kvr::log::ERR).contains(QStringLiteral("The remote host closed the connection")));
    QCOMPARE(m_node->connectionCount(), 2);
}

void tst_TCPClient::connectRestartsTheConnection()
{
    connectClient();
    QSignalSpy disconnected(m_client, &TCPClient::disconnected);
    QSignalSpy errors(m_client, &TCPClient::errorString);
    connectClient();
    QTRY_COMPARE(m_node->connectionCount(), 2);
    QCOMPARE(disconnected.count(), 1);
    QCOMPARE(errors.count(), 0);
}

void tst_TCPClient::keepAlive_data()
{
    QTest::addColumn<bool>("nodeHangs");
    QTest::newRow("idle link stays open") << false;
    QTest::newRow("hung node is dropped and reconnected") << true;
}

void tst_TCPClient::keepAlive()
{
    QFETCH(bool, nodeHangs);
    LogCapture log;
    m_client->setKeepAliveInterval(50);
    m_client->setKeepAliveTimeout(300);
    m_node->setKeepAliveInterval(50);
    connectClient();
    QSignalSpy errors(m_client, &TCPClient::errorString);
    if (!nodeHangs) {
        QVERIFY(!errors.wait(1000));
        QCOMPARE(m_node->connectionCount(), 1);
        QVERIFY(m_node->hasClient());
        return;
    }
    m_node->setSilent(true);
    QVERIFY(errors.wait(2000));
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Nothing received for 300 ms, the connection is dead."));
    m_node->setSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(m_node->connectionCount(), 2, 3000);
}

void tst_TCPClient::refusedConnectionIsRetried()
{
    LogCapture log;
    const quint16 port = m_node->port();
    delete m_node;
    m_node = nullptr;
    QSignalSpy errors(m_client, &TCPClient::errorString);
    m_client->connect();
    QVERIFY(errors.wait());
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Connection refused"));
    // The retry comes after the reconnect interval; a node listening by then is reached.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, port));
    QSignalSpy connected(m_client, &TCPClient::connected);
    QVERIFY(connected.wait(3000));
}

QTEST_GUILESS_MAIN(tst_TCPClient)
#include "tst_TCPClient.moc"
