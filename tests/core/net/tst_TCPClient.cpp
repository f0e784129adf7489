#include "core/net/PacketFraming.h"
#include "core/net/TCPClient.h"
#include "core/net/TCPConnection.h"
#include "support/LogCapture.h"
#include "support/SimulatedTrackerNode.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTcpServer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    void busyClientHoldsTheNodeBack();
    void connectTimesOut();

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

void tst_TCPClient::busyClientHoldsTheNodeBack()
{
    using kvr::net::TCPConnection;
    TCPConnection connection(std::make_shared<kvr::net::PacketReader>());
    int received = 0;
    QObject::connect(&connection, &TCPConnection::packetReceived, this, [&] { ++received; });
    QSignalSpy connected(&connection, &TCPConnection::connected);
    QByteArray party;
    QDataStream partyStream(&party, QIODevice::WriteOnly);
    kvr::net::PacketFraming::prepare(partyStream);
    partyStream << QVariantMap();
    connection.configure(5000, 0, 0, party);
    connection.connectToHost(m_node->address(), m_node->port());
    QVERIFY(connected.wait());

    m_node->setFrameInterval(0);
    m_node->setFrame(QVariantMap{{QStringLiteral("data"), QByteArray(100000, 'x')}});
    QByteArray request;
    QDataStream stream(&request, QIODevice::WriteOnly);
    kvr::net::PacketFraming::prepare(stream);
    stream << QStringLiteral("request_frames") << QVariant(QVariantMap{{QStringLiteral("source_id"), 1}});
    connection.sendPacket(1, request);

    // Nothing is handled: reading stops at the limit while the node's frames pile up on its side.
    QTRY_VERIFY(m_node->framesSent() > 3 * TCPConnection::MaxPacketsInFlight);
    QTRY_COMPARE(received, TCPConnection::MaxPacketsInFlight);
    for (int i = 0; i < TCPConnection::MaxPacketsInFlight; ++i) {
        const bool resume = connection.packetHandled();
        QCOMPARE(resume, i == 0);
    }
    connection.resumeReading();
    QTRY_VERIFY(received >= 2 * TCPConnection::MaxPacketsInFlight);
    connection.shutdown();
}

void tst_TCPClient::connectTimesOut()
{
    // A listener whose accept queue is full leaves further handshakes unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    QCOMPARE(::bind(listener, reinterpret_cast<sockaddr *>(&address), length), 0);
    QCOMPARE(::listen(listener, 0), 0);
    QCOMPARE(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    QTcpSocket fillers[3];
    for (QTcpSocket &filler : fillers)
        filler.connectToHost(QHostAddress::LocalHost, port);
    QTRY_VERIFY(fillers[0].state() == QAbstractSocket::ConnectedState);

    LogCapture log;
    m_client->setPort(port);
    m_client->setConnectTimeout(200);
    m_client->setReconnectOnError(false);
    QSignalSpy errors(m_client, &TCPClient::errorString);
    m_client->connect();
    QVERIFY(errors.wait(3000));
    QCOMPARE(errors.at(0).at(0).toString(),
             QStringLiteral("Connection to 127.0.0.1:%1 timed out after 200 ms.").arg(port));
    ::close(listener);
}

QTEST_GUILESS_MAIN(tst_TCPClient)
#include "tst_TCPClient.moc"
