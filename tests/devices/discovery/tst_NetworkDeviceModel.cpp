#include "devices/discovery/AddressResolver.h"
#include "devices/discovery/AddressResolverWorker.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/mdns/DnsName.h"
#include "devices/mdns/MessageCodec.h"
#include "devices/mdns/MdnsFakes.h"

#include <QAbstractItemModelTester>
#include <QHostInfo>
#include <QtTest>

using namespace mdns;
using namespace mdnstest;

using Attributes = QMap<QByteArray, QByteArray>;

Q_DECLARE_METATYPE(QHostAddress)

namespace {

const QByteArray Type = "_orva._tcp.local.";

// Stands in for the system's host lookup: answers only the names it was given.
struct FakeHostLookup
{
    QMutex mutex;
    QHash<QString, QList<QHostAddress>> answers;
    QStringList asked;

    int lookup(const QString &name, QObject *receiver)
    {
        static QAtomicInt nextId(1000);
        QMutexLocker lock(&mutex);
        asked.append(name);
        if (answers.contains(name)) {
            QHostInfo info;
            info.setHostName(name);
            info.setAddresses(answers.value(name));
            QMetaObject::invokeMethod(receiver, "handleHost", Qt::QueuedConnection, Q_ARG(QHostInfo, info));
        }
        return nextId.fetchAndAddRelaxed(1);
    }
};

FakeHostLookup &hostLookup()
{
    static FakeHostLookup lookup;
    return lookup;
}

QByteArray instanceName(const QByteArray &name)
{
    return name + '.' + Type;
}

QList<Record> announcement(const QByteArray &name, const QByteArray &host, const Attributes &attributes,
                           quint32 ttl = 120)
{
    const QByteArray instance = instanceName(name);
    return {ptrRecord(Type, instance, ttl), srvRecord(instance, host, 8088, ttl),
            txtRecord(instance, attributes, ttl)};
}

void deliver(FakeTransport *transport, const QList<Record> &records)
{
    QByteArray datagram;
    QVERIFY(MessageCodec::encode(response(records), datagram));
    transport->receive(datagram);
}

int queriesSent(FakeTransport *transport, const QByteArray &name, quint16 type)
{
    int count = 0;
    for (const QByteArray &datagram : transport->sent()) {
        Message message;
        if (!MessageCodec::decode(datagram, message))
            continue;
        for (const Query &query : message.queries())
            count += (DnsName::equal(query.name(), name) && query.type() == type) ? 1 : 0;
    }
    return count;
}

NetworkDevice rowAt(const NetworkDeviceModel &model, int row)
{
    return model.data(model.index(row, 0), NetworkDeviceModel::DeviceRole).value<NetworkDevice>();
}

const Attributes BlockAttributes = {
    {"block_name", "North gate"},
    {"block_uptime", "60000"},
    {"orva_version", "1.19.0"},
    {"host_id", "a1b2c3d4e5f6"},
    {"host_type", "embedded_macro"},
    {"host_uptime", "93784000"},
    {"interfaces\\size", "2"},
    {"interfaces\\0\\name", "eth0"},
    {"interfaces\\0\\ipv4", "192.0.2.10"},
    {"interfaces\\0\\ipv6", "fe80::10"},
    {"interfaces\\0\\mac", "00:11:22:33:44:55"},
};

} // namespace

class tst_NetworkDeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensNothingBeforeRefresh();
    void announcementBecomesRow_data();
    void announcementBecomesRow();
    void sameServiceTwiceGivesOneRow();
    void updateRefillsAttributesOnly();
    void goodbyeRemovesRowAndStopsResolver();
    void enumerationTypeListsEveryService();
    void addressesFillEachFamilyOnce_data();
    void addressesFillEachFamilyOnce();
    void resolverEndsAfterTimeout();
    void knownFamilyFreesResolverSoon_data();
    void knownFamilyFreesResolverSoon();
    void resolverWithoutHostNameStaysIdle();
    void refreshWithAndWithoutForce();
    void stopEndsResolversKeepsRows();
    void floodWaitsForFreeResolvers();
    void acceptDevice_data();
    void acceptDevice();
    void parseAddress_data();
    void parseAddress();
    void rowsAndRoles();
    void settersSignalOnlyOnChange();

private:
    NetworkDeviceModel *m_model = nullptr;
    FakeTransport *m_transport = nullptr;
    QAbstractItemModelTester *m_tester = nullptr;
};

void tst_NetworkDeviceModel::initTestCase()
{
    qRegisterMetaType<QHostInfo>("QHostInfo");
    AddressResolverWorker::setHostLookup([](const QString &name, QObject *receiver, const char *) {
        return hostLookup().lookup(name, receiver);
    });
}

void tst_NetworkDeviceModel::init()
{
    {
        QMutexLocker lock(&hostLookup().mutex);
        hostLookup().answers.clear();
        hostLookup().asked.clear();
    }
    m_transport = new FakeTransport;
    m_model = new NetworkDeviceModel(QString::fromUtf8(Type), m_transport);
    m_tester = new QAbstractItemModelTester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void tst_NetworkDeviceModel::cleanup()
{
    delete m_tester;
    delete m_model;   // with resolvers still running: must end their threads
    m_model = nullptr;
}

void tst_NetworkDeviceModel::opensNothingBeforeRefresh()
{
    QCoreApplication::processEvents();
    QCOMPARE(m_transport->opens, 0);
    m_model->refresh();
    QTRY_COMPARE(queriesSent(m_transport, Type, PTR), 1);
    QCOMPARE(m_transport->opens, 1);
}

void tst_NetworkDeviceModel::announcementBecomesRow_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<Attributes>("attributes");
    QTest::addColumn<bool>("orvaUnit");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("blockName");
    QTest::addColumn<QString>("hostType");
    QTest::addColumn<QStringList>("interfaceRows");

    const QStringList blockInterfaces = {
        "name: eth0, mac: 00:11:22:33:44:55, ipv4: 192.0.2.10, ipv6: fe80::10",
        "name: , mac: , ipv4: , ipv6: ",
    };
    QTest::newRow("block with every attribute")
        << QByteArray("ORVA-7") << BlockAttributes << true
        << QStringLiteral("host id: \u20264e5f6, host uptime: 1d2h3m4s, block version: ORVA 1.19.0, "
                          "block uptime: 0d0h1m0s")
        << "North gate" << "embedded_macro" << blockInterfaces;

    Attributes noUptime = BlockAttributes;
    noUptime["host_uptime"] = "0";
    noUptime.remove("block_uptime");
    noUptime.remove("host_id");
    QTest::newRow("block without uptimes or host id")
        << QByteArray("ORVA-7") << noUptime << true << "block version: ORVA 1.19.0" << "North gate"
        << "embedded_macro" << blockInterfaces;

    Attributes oddNumbers = {{"block_uptime", "soon"}, {"host_uptime", "-5"}, {"interfaces\\size", "two"}};
    QTest::newRow("block with numbers that are not numbers")
        << QByteArray("ORVA") << oddNumbers << true << QString() << QString() << QString() << QStringList();

    Attributes hostile = {{"interfaces\\size", "2000000000"}};
    QTest::newRow("block announcing two billion interfaces")
        << QByteArray("ORVA-9") << hostile << true << QString() << QString() << QString()
        << QStringList(QVector<QString>(NetworkDeviceModel::MaxInterfaces, "name: , mac: , ipv4: , ipv6: ").toList());

    Attributes other = {{"txtvers", "1"}, {"path", "/"}, {"empty", ""}, {"flag", QByteArray()},
                        {"block_name", "not ours"}, {"Zeta", "z"}};
    QTest::newRow("other service lists raw attributes in byte order")
        << QByteArray("Printer ORVA") << other << false
        << "Zeta: z, block_name: not ours, path: /, txtvers: 1" << QString() << QString() << QStringList();
}

void tst_NetworkDeviceModel::announcementBecomesRow()
{
    QFETCH(QByteArray, name);
    QFETCH(Attributes, attributes);
    QFETCH(bool, orvaUnit);
    QFETCH(QString, description);
    QFETCH(QString, blockName);
    QFETCH(QString, hostType);
    QFETCH(QStringList, interfaceRows);

    m_model->refresh();
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    deliver(m_transport, announcement(name, "blk7.local.", attributes));
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(m_model->dataCount(), 1);
    const NetworkDevice device = rowAt(*m_model, 0);
    QCOMPARE(device.id(), 1);
    QCOMPARE(device.name(), QString::fromUtf8(name));
    QCOMPARE(device.serviceId(), QString::fromUtf8(instanceName(name)));
    QCOMPARE(device.device(), QString::fromUtf8(Type));
    QCOMPARE(device.type(), 0);
    QCOMPARE(device.hostname(), QByteArray("blk7.local."));
    QCOMPARE(device.orvaUnit(), orvaUnit);
    QCOMPARE(device.attributes(), description);
    QCOMPARE(device.blockName(), blockName);
    QCOMPARE(device.hostType(), hostType);
    QCOMPARE(device.interfaceRows(), interfaceRows);
    QVERIFY(device.address().isEmpty());
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 1);
}

void tst_NetworkDeviceModel::sameServiceTwiceGivesOneRow()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    deliver(m_transport, announcement("ORVA-2", "blk2.local.", BlockAttributes));
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(rowAt(*m_model, 1).id(), 2);
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 2);
}

void tst_NetworkDeviceModel::updateRefillsAttributesOnly()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    NetworkDevice edited = rowAt(*m_model, 0);
    edited.setAddress("192.0.2.99");
    QVERIFY(m_model->setData(m_model->index(0, 0), QVariant::fromValue(edited), NetworkDeviceModel::DeviceRole));

    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    Attributes renamed = BlockAttributes;
    renamed["block_name"] = "South gate";
    renamed["interfaces\\size"] = "1";
    const QByteArray instance = instanceName("ORVA-1");
    deliver(m_transport, {txtRecord(instance, renamed), srvRecord(instance, "moved.local.", 8088)});
    QVERIFY(changed.count() >= 1);
    QCOMPARE(changed.last().at(2).value<QVector<int>>(), QVector<int>{NetworkDeviceModel::DeviceRole});
    const NetworkDevice device = rowAt(*m_model, 0);
    QCOMPARE(device.blockName(), QStringLiteral("South gate"));
    QCOMPARE(device.interfaceRows().size(), 1);
    QCOMPARE(device.address(), QStringLiteral("192.0.2.99"));
    QCOMPARE(device.hostname(), QByteArray("blk1.local."));
    QCOMPARE(m_model->rowCount(), 1);
}

void tst_NetworkDeviceModel::goodbyeRemovesRowAndStopsResolver()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    deliver(m_transport, announcement("ORVA-2", "blk2.local.", BlockAttributes));
    const QList<AddressResolver *> resolvers = m_model->findChildren<AddressResolver *>();
    QCOMPARE(resolvers.size(), 2);
    QVERIFY(resolvers.at(0)->isRunning());
    // The log-in page chose the first block, the page the second one.
    m_model->setLoginIndex(m_model->index(0, 0));
    m_model->setCurrentIndex(m_model->index(1, 0));
    QSignalSpy login(m_model, &NetworkDeviceModel::loginIndexChanged);
    QSignalSpy current(m_model, &NetworkDeviceModel::currentIndexChanged);

    deliver(m_transport, {ptrRecord(Type, instanceName("ORVA-1"), 0)});
    QTRY_COMPARE_WITH_TIMEOUT(m_model->rowCount(), 1, 3000);
    QCOMPARE(m_model->dataCount(), 1);
    QCOMPARE(rowAt(*m_model, 0).name(), QStringLiteral("ORVA-2"));
    // The chosen block left: its index names no other row. The other choice follows its row.
    QVERIFY(!m_model->loginIndex().isValid());
    QCOMPARE(login.count(), 1);
    QCOMPARE(m_model->currentIndex(), m_model->index(0, 0));
    QCOMPARE(current.count(), 1);
    const QList<AddressResolver *> left = m_model->findChildren<AddressResolver *>();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first()->serviceId(), QString::fromUtf8(instanceName("ORVA-2")));
}

void tst_NetworkDeviceModel::enumerationTypeListsEveryService()
{
    auto *transport = new FakeTransport;
    NetworkDeviceModel model(QStringLiteral("_services._dns-sd._udp.local."), transport);
    model.refresh();
    QTRY_COMPARE(queriesSent(transport, "_services._dns-sd._udp.local.", PTR), 1);
    deliver(transport, {ptrRecord("_services._dns-sd._udp.local.", Type),
                        ptrRecord("_services._dns-sd._udp.local.", "_http._tcp.local.")});
    QCOMPARE(queriesSent(transport, Type, PTR), 1);
    deliver(transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    const QByteArray printer = "Printer._http._tcp.local.";
    deliver(transport, {ptrRecord("_http._tcp.local.", printer), srvRecord(printer, "p.local.", 631),
                        txtRecord(printer, {{"rp", "queue"}})});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(rowAt(model, 0).device(), QString::fromUtf8(Type));
    QVERIFY(rowAt(model, 0).orvaUnit());
    QCOMPARE(rowAt(model, 1).serviceId(), QStringLiteral("Printer._http._tcp.local."));
    QCOMPARE(rowAt(model, 1).attributes(), QStringLiteral("rp: queue"));
}

void tst_NetworkDeviceModel::addressesFillEachFamilyOnce_data()
{
    QTest::addColumn<QList<Record>>("mdnsAnswers");
    QTest::addColumn<QList<QHostAddress>>("systemAnswers");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("addressIPv6");
    QTest::addColumn<bool>("resolverLeft");

    const QByteArray host = "blk1.local.";
    QTest::newRow("mDNS IPv4 twice, then IPv6")
        << QList<Record>{addressRecord(host, "192.0.2.10"), addressRecord(host, "192.0.2.11"),
                         addressRecord(host, "fe80::10")}
        << QList<QHostAddress>() << "192.0.2.10" << "fe80::10" << false;
    QTest::newRow("mDNS IPv4 only keeps resolving")
        << QList<Record>{addressRecord(host, "192.0.2.10")} << QList<QHostAddress>() << "192.0.2.10" << QString()
        << true;
    QTest::newRow("mDNS IPv6 only")
        << QList<Record>{addressRecord(host, "fe80::10")} << QList<QHostAddress>() << QString() << "fe80::10"
        << true;
    QTest::newRow("IPv4-mapped AAAA counts as IPv4")
        << QList<Record>{addressRecord(host, "::ffff:192.0.2.12")} << QList<QHostAddress>() << "192.0.2.12"
        << QString() << true;
    QTest::newRow("system lookup gives both")
        << QList<Record>() << QList<QHostAddress>{QHostAddress("2001:db8::1"), QHostAddress("192.0.2.20")}
        << "192.0.2.20" << "2001:db8::1" << false;
}

void tst_NetworkDeviceModel::addressesFillEachFamilyOnce()
{
    QFETCH(QList<Record>, mdnsAnswers);
    QFETCH(QList<QHostAddress>, systemAnswers);
    QFETCH(QString, address);
    QFETCH(QString, addressIPv6);
    QFETCH(bool, resolverLeft);

    if (!systemAnswers.isEmpty()) {
        QMutexLocker lock(&hostLookup().mutex);
        hostLookup().answers.insert("blk1.local.", systemAnswers);
    }
    m_model->refresh();
    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    QTRY_COMPARE(queriesSent(m_transport, "blk1.local.", A), 1);   // the worker's resolver listens
    for (const Record &record : mdnsAnswers)
        deliver(m_transport, {record});
    QTRY_COMPARE(rowAt(*m_model, 0).address(), address);
    QTRY_COMPARE(rowAt(*m_model, 0).addressIPv6(), addressIPv6);
    QTRY_COMPARE(m_model->findChildren<AddressResolver *>().size(), resolverLeft ? 1 : 0);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(hostLookup().asked, QStringList{"blk1.local."});
}

void tst_NetworkDeviceModel::resolverEndsAfterTimeout()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    const QList<AddressResolver *> resolvers = m_model->findChildren<AddressResolver *>();
    QCOMPARE(resolvers.size(), 1);
    QElapsedTimer elapsed;
    elapsed.start();
    // The pool deletes the resolver from its time-out signal.
    QSignalSpy ended(resolvers.first(), &QObject::destroyed);
    QVERIFY(ended.wait(AddressResolver::TimeoutMs + 3000));
    // A coarse timer may fire up to 5 % early.
    QVERIFY2(elapsed.elapsed() >= AddressResolver::TimeoutMs - 1000, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 0);
    QCOMPARE(m_model->rowCount(), 1);
    QVERIFY(rowAt(*m_model, 0).address().isEmpty());
    // An answer after the end changes nothing.
    deliver(m_transport, {addressRecord("blk1.local.", "192.0.2.10")});
    QCoreApplication::processEvents();
    QVERIFY(rowAt(*m_model, 0).address().isEmpty());
}

void tst_NetworkDeviceModel::knownFamilyFreesResolverSoon_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QList<Record>>("withAnnouncement");
    QTest::addColumn<QList<Record>>("answers");
    QTest::addColumn<int>("resolversAtOnce");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("addressIPv6");

    const QByteArray host = "blk1.local.";
    const QString ipv4 = QStringLiteral("192.0.2.10");
    const QString ipv6 = QStringLiteral("fe80::10");
    const Record a = addressRecord(host, ipv4);
    const Record aaaa = addressRecord(host, ipv6);
    QTest::newRow("IPv4 answered, no IPv6") << host << QList<Record>() << QList<Record>{a} << 1 << ipv4 << QString();
    QTest::newRow("IPv6 answered, no IPv4") << host << QList<Record>() << QList<Record>{aaaa} << 1 << QString() << ipv6;
    QTest::newRow("IPv4 in the announcement") << host << QList<Record>{a} << QList<Record>() << 1 << ipv4 << QString();
    QTest::newRow("both in the announcement: no resolver")
        << host << QList<Record>{a, aaaa} << QList<Record>() << 0 << ipv4 << ipv6;
    QTest::newRow("SRV without a host: no resolver")
        << QByteArray(".") << QList<Record>() << QList<Record>() << 0 << QString() << QString();
}

void tst_NetworkDeviceModel::knownFamilyFreesResolverSoon()
{
    QFETCH(QByteArray, host);
    QFETCH(QList<Record>, withAnnouncement);
    QFETCH(QList<Record>, answers);
    QFETCH(int, resolversAtOnce);
    QFETCH(QString, address);
    QFETCH(QString, addressIPv6);

    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", host, BlockAttributes) + withAnnouncement);
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), resolversAtOnce);
    if (!answers.isEmpty())
        QTRY_COMPARE(queriesSent(m_transport, host, A), 1);   // the worker's resolver listens
    for (const Record &record : answers)
        deliver(m_transport, {record});
    QTRY_COMPARE(rowAt(*m_model, 0).address(), address);
    QTRY_COMPARE(rowAt(*m_model, 0).addressIPv6(), addressIPv6);
    // Well before the full time-out, the thread is free for another service.
    QTRY_COMPARE_WITH_TIMEOUT(m_model->findChildren<AddressResolver *>().size(), 0, AddressResolver::TimeoutMs / 4);
}

void tst_NetworkDeviceModel::resolverWithoutHostNameStaysIdle()
{
    AddressResolver idle(nullptr, QByteArray(), QStringLiteral("x._orva._tcp.local."));
    QSignalSpy timeout(&idle, &AddressResolver::timeout);
    QVERIFY(!idle.isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(timeout.count(), 0);
    QVERIFY(hostLookup().asked.isEmpty());
}

void tst_NetworkDeviceModel::refreshWithAndWithoutForce()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    QCOMPARE(m_model->rowCount(), 1);

    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);
    m_model->refresh();
    QCOMPARE(reset.count(), 0);
    QCOMPARE(m_model->rowCount(), 1);

    m_model->refresh(true);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_model->dataCount(), 0);
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 0);
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(rowAt(*m_model, 0).id(), 2);
}

void tst_NetworkDeviceModel::stopEndsResolversKeepsRows()
{
    m_model->refresh();
    deliver(m_transport, announcement("ORVA-1", "blk1.local.", BlockAttributes));
    deliver(m_transport, announcement("ORVA-2", "blk2.local.", BlockAttributes));
    m_model->stop();
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 0);
    QCOMPARE(m_model->rowCount(), 2);
    // The browser goes on.
    deliver(m_transport, announcement("ORVA-3", "blk3.local.", BlockAttributes));
    QCOMPARE(m_model->rowCount(), 3);
}

void tst_NetworkDeviceModel::floodWaitsForFreeResolvers()
{
    m_model->refresh();
    for (int i = 0; i < 80; ++i) {
        const QByteArray n = QByteArray::number(i);
        deliver(m_transport, announcement("ORVA-" + n, "blk" + n + ".local.", BlockAttributes));
    }
    QCOMPARE(m_model->rowCount(), 80);
    QCOMPARE(m_model->findChildren<AddressResolver *>().size(), 64);
    // A finished resolver hands its thread to a waiting service; a removed one is skipped.
    deliver(m_transport, {ptrRecord(Type, instanceName("ORVA-64"), 0)});
    deliver(m_transport, {addressRecord("blk0.local.", "192.0.2.10"), addressRecord("blk0.local.", "fe80::10")});
    QTRY_COMPARE(rowAt(*m_model, 0).addressIPv6(), QStringLiteral("fe80::10"));
    QTRY_COMPARE_WITH_TIMEOUT(m_model->rowCount(), 79, 3000);
    const QList<AddressResolver *> running = m_model->findChildren<AddressResolver *>();
    QCOMPARE(running.size(), 64);
    QStringList ids;
    for (const AddressResolver *resolver : running)
        ids << resolver->serviceId();
    QVERIFY(!ids.contains(QString::fromUtf8(instanceName("ORVA-0"))));
    QVERIFY(!ids.contains(QString::fromUtf8(instanceName("ORVA-64"))));
    QVERIFY(ids.contains(QString::fromUtf8(instanceName("ORVA-65"))));
}

void tst_NetworkDeviceModel::acceptDevice_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("addressIPv6");
    QTest::addColumn<bool>("validIndex");
    QTest::addColumn<QString>("expected");

    QTest::newRow("IPv4 first") << "192.0.2.10" << "fe80::10" << true << "192.0.2.10";
    QTest::newRow("IPv6 when no IPv4") << QString() << "fe80::10" << true << "fe80::10";
    QTest::newRow("no address") << QString() << QString() << true << QString();
    QTest::newRow("invalid index") << "192.0.2.10" << QString() << false << QString();
}

void tst_NetworkDeviceModel::acceptDevice()
{
    QFETCH(QString, address);
    QFETCH(QString, addressIPv6);
    QFETCH(bool, validIndex);
    QFETCH(QString, expected);

    NetworkDevice device = m_model->createDevice(address, addressIPv6);
    device.setName("North gate");
    m_model->addDevice(device);
    QSignalSpy spy(m_model, &NetworkDeviceModel::autoconnect);
    m_model->acceptDevice(validIndex ? m_model->index(0, 0) : QModelIndex());
    if (expected.isEmpty()) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), (QList<QVariant>{expected, QString(), QString(), QStringLiteral("North gate")}));
}

void tst_NetworkDeviceModel::parseAddress_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("address") << "192.0.2.10" << "192.0.2.10";
    QTest::newRow("name gives its address") << "North" << "192.0.2.10";
    QTest::newRow("suggestion text") << "192.0.2.11 - South (admin)" << "192.0.2.11";
    QTest::newRow("any piece matches, not only the first") << "x - y - South)" << "192.0.2.11";
    QTest::newRow("unknown stays unchanged") << " block-01.local " << " block-01.local ";
    QTest::newRow("only dashes") << "--" << "--";
    QTest::newRow("hyphenated name gives its address") << "ORVA-Gate-3" << "192.0.2.12";
    QTest::newRow("hyphenated name of a suggestion") << "ORVA-Gate-3 - x (admin)" << "192.0.2.12";
    QTest::newRow("part of a hyphenated text is no name") << "North-East" << "North-East";
}

void tst_NetworkDeviceModel::parseAddress()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    NetworkDevice north = m_model->createDevice("192.0.2.10");
    north.setName("North");
    NetworkDevice south = m_model->createDevice("192.0.2.11");
    south.setName("South");
    NetworkDevice gate = m_model->createDevice("192.0.2.12");
    gate.setName("ORVA-Gate-3");
    m_model->addDevice(north);
    m_model->addDevice(south);
    m_model->addDevice(gate);
    QCOMPARE(m_model->parseAddress(pattern), expected);
}

void tst_NetworkDeviceModel::rowsAndRoles()
{
    QCOMPARE(m_model->roleNames(), (QHash<int, QByteArray>{{0, "NameRole"}, {1, "AddressRole"}, {2, "DeviceRole"}}));
    NetworkDevice device = m_model->createDevice("192.0.2.10", "fe80::1");
    device.setName("North");
    QCOMPARE(m_model->addDevice(device), 1);
    QCOMPARE(m_model->addDevice(device), 2);
    const QModelIndex first = m_model->index(0, 0);
    QCOMPARE(m_model->data(first, NetworkDeviceModel::NameRole).toString(), QStringLiteral("North"));
    QCOMPARE(m_model->data(first, NetworkDeviceModel::AddressRole).toString(), QStringLiteral("192.0.2.10"));
    QVERIFY(!m_model->data(first, Qt::UserRole).isValid());
    QVERIFY(!m_model->data(QModelIndex(), NetworkDeviceModel::NameRole).isValid());

    QVERIFY(!m_model->setData(first, QStringLiteral("text"), NetworkDeviceModel::DeviceRole));
    QVERIFY(!m_model->setData(first, QVariant::fromValue(device), NetworkDeviceModel::NameRole));
    QVERIFY(!m_model->setData(QModelIndex(), QVariant::fromValue(device), NetworkDeviceModel::DeviceRole));
    NetworkDevice replaced = m_model->createDevice("192.0.2.77");
    QVERIFY(m_model->setData(first, QVariant::fromValue(replaced), NetworkDeviceModel::DeviceRole));
    QCOMPARE(m_model->data(first, NetworkDeviceModel::AddressRole).toString(), QStringLiteral("192.0.2.77"));

    QSignalSpy count(m_model, &NetworkDeviceModel::dataCountChanged);
    m_model->removeDevice(first);
    QCOMPARE(m_model->dataCount(), 1);
    QCOMPARE(count.count(), 1);
    m_model->removeDevice(QModelIndex());
    QCOMPARE(count.count(), 1);
}

void tst_NetworkDeviceModel::settersSignalOnlyOnChange()
{
    QSignalSpy page(m_model, &NetworkDeviceModel::pageFlagChanged);
    QSignalSpy reconnect(m_model, &NetworkDeviceModel::reconnectFlagChanged);
    QSignalSpy login(m_model, &NetworkDeviceModel::loginIndexChanged);
    m_model->setPageFlag(false);
    m_model->setPageFlag(true);
    m_model->setPageFlag(true);
    m_model->setReconnectFlag(true);
    m_model->setReconnectFlag(true);
    m_model->addDevice(m_model->createDevice("192.0.2.1"));
    m_model->setLoginIndex(m_model->index(0, 0));
    m_model->setLoginIndex(m_model->index(0, 0));
    m_model->setLoginIndex();
    QCOMPARE(page.count(), 1);
    QCOMPARE(reconnect.count(), 1);
    QCOMPARE(login.count(), 2);
    QVERIFY(!m_model->loginIndex().isValid());
    m_model->setLastDevice(m_model->createDevice("192.0.2.5"));
    QCOMPARE(m_model->lastDevice().address(), QStringLiteral("192.0.2.5"));
    m_model->setLastDevice();
    QVERIFY(m_model->lastDevice().address().isEmpty());
}

QTEST_GUILESS_MAIN(tst_NetworkDeviceModel)
#include "tst_NetworkDeviceModel.moc"
