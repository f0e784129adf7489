#include "devices/mdns/MessageCodec.h"
#include "devices/mdns/Resolver.h"
#include "devices/mdns/Server.h"
#include "devices/mdns/MdnsFakes.h"

#include <QtTest>

using namespace mdns;
using namespace mdnstest;

Q_DECLARE_METATYPE(QHostAddress)

class tst_MdnsResolver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QHostAddress>(); }
    void queriesBothFamilies();
    void reportsEachAddressOnce();
    void ignoresWhatIsNotAnAnswerForItsName_data();
    void ignoresWhatIsNotAnAnswerForItsName();
    void repeatsItsQuery();
    void runsInAWorkerThreadOnTheServerOfAnother();
};

void tst_MdnsResolver::queriesBothFamilies()
{
    FakeServer server;
    Resolver resolver(&server, "block.local");
    QCOMPARE(resolver.name(), QByteArray("block.local."));
    QTRY_COMPARE(server.sent().size(), 1);
    QCOMPARE(server.queriesFor("block.local.", A), 1);
    QCOMPARE(server.queriesFor("block.local.", AAAA), 1);
}

void tst_MdnsResolver::reportsEachAddressOnce()
{
    FakeServer server;
    Resolver resolver(&server, "block.local.");
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    server.deliver(response({addressRecord("block.local.", "192.0.2.10")}));
    server.deliver(response({addressRecord("BLOCK.local.", "192.0.2.10"), addressRecord("block.local.", "fe80::10")}));
    Message additional = response({});
    additional.setAdditionalRecords({addressRecord("block.local.", "192.0.2.11"),
                                     addressRecord("block.local.", "fe80::10")});
    server.deliver(additional);
    QCOMPARE(resolved.count(), 3);
    QCOMPARE(resolved.at(0).at(0).value<QHostAddress>(), QHostAddress("192.0.2.10"));
    QCOMPARE(resolved.at(1).at(0).value<QHostAddress>(), QHostAddress("fe80::10"));
    QCOMPARE(resolved.at(2).at(0).value<QHostAddress>(), QHostAddress("192.0.2.11"));
}

void tst_MdnsResolver::ignoresWhatIsNotAnAnswerForItsName_data()
{
    QTest::addColumn<Message>("message");
    QTest::newRow("other host") << response({addressRecord("other.local.", "192.0.2.1")});
    QTest::newRow("goodbye") << response({addressRecord("block.local.", "192.0.2.1", 0)});
    QTest::newRow("other type") << response({srvRecord("block.local.", "block.local.", 80)});
    Message query = response({addressRecord("block.local.", "192.0.2.1")});
    query.setResponse(false);
    QTest::newRow("known answer in a query") << query;
}

void tst_MdnsResolver::ignoresWhatIsNotAnAnswerForItsName()
{
    QFETCH(Message, message);
    FakeServer server;
    Resolver resolver(&server, "block.local.");
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    server.deliver(message);
    QCOMPARE(resolved.count(), 0);
}

void tst_MdnsResolver::repeatsItsQuery()
{
    FakeServer server;
    Resolver resolver(&server, "block.local.");
    QTRY_COMPARE(server.sent().size(), 1);
    const QTimer *next = resolver.findChild<QTimer *>();
    QVERIFY(next);
    QCOMPARE(next->interval(), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(server.sent().size(), 2, 2500);
    QVERIFY(next->isActive());
    QCOMPARE(next->interval(), 2000);   // the next one waits twice as long
}

void tst_MdnsResolver::runsInAWorkerThreadOnTheServerOfAnother()
{
    auto *transport = new FakeTransport;
    Server server(transport);
    QThread thread;
    thread.start();
    Resolver *resolver = nullptr;
    // Built in the worker thread, as the discovery model's workers do.
    QObject anchor;
    anchor.moveToThread(&thread);
    QMetaObject::invokeMethod(
        &anchor, [&]() { resolver = new Resolver(&server, "block.local."); }, Qt::BlockingQueuedConnection);
    QSignalSpy resolved(resolver, &Resolver::resolved);

    QTRY_COMPARE(transport->sent().size(), 1);
    QCOMPARE(transport->sendThreads().first(), QThread::currentThread());
    QByteArray datagram;
    QVERIFY(MessageCodec::encode(response({addressRecord("block.local.", "192.0.2.10")}), datagram));
    transport->receive(datagram);
    QTRY_COMPARE(resolved.count(), 1);

    QMetaObject::invokeMethod(resolver, [resolver]() { delete resolver; }, Qt::BlockingQueuedConnection);
    thread.quit();
    QVERIFY(thread.wait(5000));
}

QTEST_GUILESS_MAIN(tst_MdnsResolver)
#include "tst_MdnsResolver.moc"
