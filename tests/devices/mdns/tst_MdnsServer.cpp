#include "devices/mdns/MessageCodec.h"
#include "devices/mdns/Server.h"
#include "devices/mdns/MdnsFakes.h"
#include "support/LogCapture.h"

#include <QtTest>

using namespace mdns;
using namespace mdnstest;

namespace {

QByteArray encoded(const Message &message)
{
    QByteArray datagram;
    if (!MessageCodec::encode(message, datagram))
        qFatal("test message does not encode");
    return datagram;
}

Message announcement()
{
    return response({addressRecord("block.local.", "192.0.2.10")});
}

} // namespace

class tst_MdnsServer : public QObject
{
    Q_OBJECT

private slots:
    void deliversWellFormedMessagesWithTheirPeer();
    void dropsWhatMustBeIgnored_data();
    void dropsWhatMustBeIgnored();
    void opensTheTransportOnFirstSendOnly();
    void sendsFromAnyThreadOnItsOwnThread();
    void messagesReachReceiversInOtherThreads();
    void unencodableMessageIsNotSent();
};

void tst_MdnsServer::deliversWellFormedMessagesWithTheirPeer()
{
    auto *transport = new FakeTransport;
    Server server(transport);
    QSignalSpy spy(&server, &AbstractServer::messageReceived);
    QVERIFY(spy.isValid());
    transport->receive(encoded(announcement()), QHostAddress("192.0.2.44"), 5353);
    QCOMPARE(spy.count(), 1);
    const auto message = spy.at(0).at(0).value<Message>();
    QCOMPARE(message.address(), QHostAddress("192.0.2.44"));
    QCOMPARE(message.port(), quint16(5353));
    QCOMPARE(message.records(), announcement().records());
    QCOMPARE(transport->opens, 0);
}

void tst_MdnsServer::dropsWhatMustBeIgnored_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("delivered");

    const QByteArray good = encoded(announcement());
    QTest::newRow("malformed") << good.left(good.size() - 1) << 5353 << false;
    QByteArray withOpcode = good;
    withOpcode[2] = char(withOpcode[2] | 0x08);     // opcode 1
    QTest::newRow("non-zero opcode") << withOpcode << 5353 << false;
    QByteArray withRcode = good;
    withRcode[3] = char(withRcode[3] | 0x03);       // NXDOMAIN
    QTest::newRow("non-zero response code") << withRcode << 5353 << false;
    QTest::newRow("response from another port") << good << 40000 << false;
    Message query;
    query.addQuery(Query("block.local.", A));
    QTest::newRow("query from another port") << encoded(query) << 40000 << true;
}

void tst_MdnsServer::dropsWhatMustBeIgnored()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, port);
    QFETCH(bool, delivered);
    auto *transport = new FakeTransport;
    Server server(transport);
    QSignalSpy spy(&server, &AbstractServer::messageReceived);
    transport->receive(datagram, QHostAddress("192.0.2.44"), quint16(port));
    QCOMPARE(spy.count(), delivered ? 1 : 0);
}

void tst_MdnsServer::opensTheTransportOnFirstSendOnly()
{
    auto *transport = new FakeTransport;
    transport->openSucceeds = false;
    Server server(transport);
    QCOMPARE(transport->opens, 0);

    Message query;
    query.addQuery(Query("block.local.", A));
    server.sendMessage(query);
    QCOMPARE(transport->opens, 1);
    QVERIFY(transport->sent().isEmpty());

    transport->openSucceeds = true;
    server.sendMessage(query);
    server.sendMessage(query);
    QCOMPARE(transport->opens, 2);
    QCOMPARE(transport->sent().size(), 2);
    QCOMPARE(transport->sent().first(), encoded(query));
}

void tst_MdnsServer::sendsFromAnyThreadOnItsOwnThread()
{
    auto *transport = new FakeTransport;
    Server server(transport);
    Message query;
    query.addQuery(Query("block.local.", A));

    QThread *worker = QThread::create([&server, query]() {
        for (int i = 0; i < 20; ++i)
            server.sendMessage(query);
    });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QTRY_COMPARE(transport->sent().size(), 20);
    for (QThread *thread : transport->sendThreads())
        QCOMPARE(thread, QThread::currentThread());
}

void tst_MdnsServer::messagesReachReceiversInOtherThreads()
{
    QVERIFY(QMetaType::type("mdns::Message") != QMetaType::UnknownType);
    auto *transport = new FakeTransport;
    Server server(transport);
    QThread thread;
    QObject receiver;
    receiver.moveToThread(&thread);
    QAtomicInt received;
    QAtomicPointer<QThread> receivedIn;
    connect(&server, &AbstractServer::messageReceived, &receiver, [&](const Message &message) {
        if (message.records().size() == 1)
            received.ref();
        receivedIn.storeRelaxed(QThread::currentThread());
    });
    thread.start();
    transport->receive(encoded(announcement()));
    QTRY_COMPARE(received.loadRelaxed(), 1);
    QCOMPARE(receivedIn.loadRelaxed(), &thread);
    thread.quit();
    QVERIFY(thread.wait(5000));
}

void tst_MdnsServer::unencodableMessageIsNotSent()
{
    LogCapture log(kvr::log::WRN);
    auto *transport = new FakeTransport;
    Server server(transport);
    Message query;
    query.addQuery(Query(QByteArray(70, 'x') + ".local.", A));
    server.sendMessage(query);
    QVERIFY(transport->sent().isEmpty());
    QCOMPARE(log.texts(kvr::log::WRN), QStringList{QStringLiteral("[mDNS] Message cannot be encoded, not sent.")});
}

QTEST_GUILESS_MAIN(tst_MdnsServer)
#include "tst_MdnsServer.moc"
