#include "devices/mdns/Browser.h"
#include "devices/mdns/Cache.h"
#include "devices/mdns/MdnsFakes.h"

#include <QtTest>

using namespace mdns;
using namespace mdnstest;

namespace {

const QByteArray Type = "_orva._tcp.local.";
const QByteArray Instance = "ORVA Block._orva._tcp.local.";

QList<Record> announcementOf(const QByteArray &instance, quint32 ttl = 120, quint16 port = 8088,
                             const QMap<QByteArray, QByteArray> &attributes = {{"block_name", "North"}})
{
    return {ptrRecord(Type, instance, ttl), srvRecord(instance, "block.local.", port, ttl),
            txtRecord(instance, attributes, ttl)};
}

} // namespace

class tst_MdnsBrowser : public QObject
{
    Q_OBJECT

private slots:
    void queriesItsTypeAtOnce();
    void reportsAnAnnouncedServiceOnce();
    void waitsForSrvAndAsksForIt();
    void reportsChanges_data();
    void reportsChanges();
    void removesOnGoodbye();
    void removesOnTtlExpiry_data();
    void removesOnTtlExpiry();
    void ignoresOtherTypesAndQueries();
    void enumerationBrowsesEveryType();
    void typeLearntLaterReportsCachedServices();
    void repeatsQueriesWithKnownAnswers();
    void floodOfTypesStaysBounded();
};

void tst_MdnsBrowser::queriesItsTypeAtOnce()
{
    FakeServer server;
    Browser browser(&server, "_orva._tcp.local");
    QCOMPARE(browser.type(), Type);
    QTRY_COMPARE(server.queriesFor(Type, PTR), 1);
    QVERIFY(!server.sent().first().isResponse());
}

void tst_MdnsBrowser::reportsAnAnnouncedServiceOnce()
{
    FakeServer server;
    Cache cache;
    Browser browser(&server, Type, &cache);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QSignalSpy updated(&browser, &Browser::serviceUpdated);
    server.deliver(response(announcementOf(Instance)));
    server.deliver(response(announcementOf(Instance)));
    QCOMPARE(added.count(), 1);
    QCOMPARE(updated.count(), 0);
    const auto service = added.at(0).at(0).value<Service>();
    QCOMPARE(service.name(), QByteArray("ORVA Block"));
    QCOMPARE(service.type(), Type);
    QCOMPARE(service.hostname(), QByteArray("block.local."));
    QCOMPARE(service.port(), quint16(8088));
    QCOMPARE(service.attributes().value("block_name"), QByteArray("North"));
    QVERIFY(cache.count() >= 3);
}

void tst_MdnsBrowser::waitsForSrvAndAsksForIt()
{
    FakeServer server;
    Browser browser(&server, Type);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QTRY_COMPARE(server.queriesFor(Type, PTR), 1);
    server.deliver(response({ptrRecord(Type, Instance)}));
    QCOMPARE(added.count(), 0);
    QCOMPARE(server.queriesFor(Instance, SRV), 1);
    QCOMPARE(server.queriesFor(Instance, TXT), 1);

    // The SRV alone is enough; the TXT arriving later is an update.
    QSignalSpy updated(&browser, &Browser::serviceUpdated);
    server.deliver(response({srvRecord(Instance, "block.local.", 80)}));
    QCOMPARE(added.count(), 1);
    QVERIFY(added.at(0).at(0).value<Service>().attributes().isEmpty());
    server.deliver(response({txtRecord(Instance, {{"k", "v"}})}));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(updated.at(0).at(0).value<Service>().attributes().value("k"), QByteArray("v"));
}

void tst_MdnsBrowser::reportsChanges_data()
{
    QTest::addColumn<QList<Record>>("change");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("blockName");

    QTest::newRow("new TXT") << QList<Record>{txtRecord(Instance, {{"block_name", "South"}})}
                             << QByteArray("block.local.") << 8088 << QByteArray("South");
    QTest::newRow("new port") << QList<Record>{srvRecord(Instance, "block.local.", 9000)}
                              << QByteArray("block.local.") << 9000 << QByteArray("North");
    QTest::newRow("new host") << QList<Record>{srvRecord(Instance, "other.local.", 8088)}
                              << QByteArray("other.local.") << 8088 << QByteArray("North");
}

void tst_MdnsBrowser::reportsChanges()
{
    QFETCH(QList<Record>, change);
    QFETCH(QByteArray, host);
    QFETCH(int, port);
    QFETCH(QByteArray, blockName);
    FakeServer server;
    Browser browser(&server, Type);
    QSignalSpy updated(&browser, &Browser::serviceUpdated);
    QSignalSpy removed(&browser, &Browser::serviceRemoved);
    server.deliver(response(announcementOf(Instance)));
    server.deliver(response(change));
    QCOMPARE(updated.count(), 1);
    const auto service = updated.at(0).at(0).value<Service>();
    QCOMPARE(service.hostname(), host);
    QCOMPARE(service.port(), quint16(port));
    QCOMPARE(service.attributes().value("block_name"), blockName);
    QCOMPARE(removed.count(), 0);
}

void tst_MdnsBrowser::removesOnGoodbye()
{
    FakeServer server;
    Browser browser(&server, Type);
    QSignalSpy removed(&browser, &Browser::serviceRemoved);
    server.deliver(response(announcementOf(Instance)));
    server.deliver(response(announcementOf("Other._orva._tcp.local.")));
    QElapsedTimer clock;
    clock.start();
    server.deliver(response({ptrRecord(Type, Instance, 0)}));
    QCOMPARE(removed.count(), 0);
    QVERIFY(removed.wait(3000));
    QVERIFY(clock.elapsed() >= 950);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).value<Service>().name(), QByteArray("ORVA Block"));
}

void tst_MdnsBrowser::removesOnTtlExpiry_data()
{
    QTest::addColumn<QList<Record>>("records");
    QTest::newRow("PTR runs out")
        << QList<Record>{ptrRecord(Type, Instance, 1), srvRecord(Instance, "b.local.", 1, 120)};
    QTest::newRow("SRV runs out")
        << QList<Record>{ptrRecord(Type, Instance, 120), srvRecord(Instance, "b.local.", 1, 1)};
}

void tst_MdnsBrowser::removesOnTtlExpiry()
{
    QFETCH(QList<Record>, records);
    FakeServer server;
    Browser browser(&server, Type);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QSignalSpy removed(&browser, &Browser::serviceRemoved);
    server.deliver(response(records));
    QCOMPARE(added.count(), 1);
    QVERIFY(removed.wait(3000));
    QCOMPARE(removed.count(), 1);
}

void tst_MdnsBrowser::ignoresOtherTypesAndQueries()
{
    FakeServer server;
    Browser browser(&server, Type);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    const QByteArray http = "Printer._http._tcp.local.";
    server.deliver(response({ptrRecord("_http._tcp.local.", http), srvRecord(http, "p.local.", 631)}));
    Message query = response(announcementOf(Instance));
    query.setResponse(false);   // a query carrying known answers is not an announcement
    server.deliver(query);
    QCOMPARE(added.count(), 0);
}

void tst_MdnsBrowser::enumerationBrowsesEveryType()
{
    FakeServer server;
    Browser browser(&server, Browser::EnumerationType);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QTRY_COMPARE(server.queriesFor(Browser::EnumerationType, PTR), 1);
    QCOMPARE(server.queriesFor(Type, PTR), 0);

    server.deliver(response({ptrRecord(Browser::EnumerationType, Type),
                             ptrRecord(Browser::EnumerationType, "_http._tcp.local."),
                             ptrRecord(Browser::EnumerationType, Browser::EnumerationType)}));
    QCOMPARE(server.queriesFor(Type, PTR), 1);
    QCOMPARE(server.queriesFor("_http._tcp.local.", PTR), 1);
    QCOMPARE(added.count(), 0);

    server.deliver(response(announcementOf(Instance)));
    const QByteArray http = "Printer._http._tcp.local.";
    server.deliver(response({ptrRecord("_http._tcp.local.", http), srvRecord(http, "p.local.", 631)}));
    QCOMPARE(added.count(), 2);
    QCOMPARE(added.at(0).at(0).value<Service>().type(), Type);
    QCOMPARE(added.at(1).at(0).value<Service>().name(), QByteArray("Printer"));
    QCOMPARE(added.at(1).at(0).value<Service>().type(), QByteArray("_http._tcp.local."));

    // The periodic query now asks for every type learnt.
    server.clearSent();
    QTRY_VERIFY_WITH_TIMEOUT(server.queriesFor("_http._tcp.local.", PTR) == 1, 3000);
    QCOMPARE(server.queriesFor(Browser::EnumerationType, PTR), 1);
    QCOMPARE(server.queriesFor(Type, PTR), 1);
}

void tst_MdnsBrowser::typeLearntLaterReportsCachedServices()
{
    FakeServer server;
    Browser browser(&server, Browser::EnumerationType);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QTRY_COMPARE(server.queriesFor(Browser::EnumerationType, PTR), 1);
    // Announced before its type is known: cached, not yet reported.
    server.deliver(response(announcementOf(Instance)));
    QCOMPARE(added.count(), 0);

    server.deliver(response({ptrRecord(Browser::EnumerationType, Type)}));
    // The new type's query lists the service as a known answer, so no answer will come:
    // the service is reported from the cache at once.
    QCOMPARE(server.queriesFor(Type, PTR), 1);
    QCOMPARE(server.sent().last().records().size(), 1);
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).value<Service>().hostname(), QByteArray("block.local."));
    QCOMPARE(added.at(0).at(0).value<Service>().attributes().value("block_name"), QByteArray("North"));
}

void tst_MdnsBrowser::repeatsQueriesWithKnownAnswers()
{
    FakeServer server;
    Browser browser(&server, Type);
    QTRY_COMPARE(server.queriesFor(Type, PTR), 1);
    server.deliver(response(announcementOf(Instance)));
    server.clearSent();
    QTRY_VERIFY_WITH_TIMEOUT(server.queriesFor(Type, PTR) == 1, 3000);
    const Message query = server.sent().last();
    QCOMPARE(query.records().size(), 1);
    QCOMPARE(query.records().first().type(), quint16(PTR));
    QCOMPARE(query.records().first().target(), Instance);
    QVERIFY(query.records().first().ttl() <= 120);
}

void tst_MdnsBrowser::floodOfTypesStaysBounded()
{
    FakeServer server;
    Browser browser(&server, Browser::EnumerationType);
    QList<Record> types;
    for (int i = 0; i < Browser::MaxTypes + 100; ++i)
        types.append(ptrRecord(Browser::EnumerationType, "_t" + QByteArray::number(i) + "._tcp.local."));
    server.deliver(response(types));
    int typeQueries = 0;
    for (const Message &message : server.sent()) {
        QVERIFY(message.queries().size() <= 8);
        QVERIFY(message.records().size() <= Browser::MaxKnownAnswers);
        typeQueries += message.queries().size();
    }
    QCOMPARE(typeQueries, Browser::MaxTypes);
}

QTEST_GUILESS_MAIN(tst_MdnsBrowser)
#include "tst_MdnsBrowser.moc"
