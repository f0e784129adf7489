// Discovery over real multicast, kept off every real network: the test runs itself again
// inside a private network namespace (unshare -n) that holds only a loopback interface.

#include "devices/discovery/AddressResolverWorker.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/mdns/Browser.h"
#include "devices/mdns/DnsName.h"
#include "devices/mdns/Server.h"

#include <QNetworkInterface>
#include <QProcess>
#include <QThread>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <memory>

#include <unistd.h>

using namespace mdns;

namespace {

const char *const InsideVariable = "ORVA_MDNS_NETNS";
const QByteArray Type = "_orva._tcp.local.";

// Loopback up with multicast and a route for 224.0.0.0/4, then the test binary again.
const char *const NamespaceScript = "ip link set lo up && ip link set lo multicast on "
                                    "&& ip route add 224.0.0.0/4 dev lo && exec \"$0\" \"$@\"";

Record record(const QByteArray &name, quint16 type, quint32 ttl = 120)
{
    Record r(name, type, ttl);
    r.setFlushCache(type != PTR);
    return r;
}

// One service of a block and its host.
struct Block
{
    QByteArray instance;
    QByteArray host;
    bool ipv6 = true;

    Record pointer(quint32 ttl) const
    {
        Record ptr = record(Type, PTR, ttl);
        ptr.setTarget(instance);
        return ptr;
    }
    QList<Record> serviceRecords(quint32 ttl) const
    {
        Record srv = record(instance, SRV, ttl);
        srv.setTarget(host);
        srv.setPort(8088);
        Record txt = record(instance, TXT, ttl);
        // What a block announces, so that datagrams have a block's size.
        txt.setAttributes({{"block_name", "E2E block"},
                           {"orva_version", "1.19.0"},
                           {"block_uptime", "86400000"},
                           {"host_id", "4c4c4544-0047-3510-8052-b4c04f4e4b32"},
                           {"host_type", "BX-3"},
                           {"host_uptime", "90061000"},
                           {"interfaces\\size", "1"},
                           {"interfaces\\0\\name", "eth0"},
                           {"interfaces\\0\\ipv4", "127.0.0.1"},
                           {"interfaces\\0\\ipv6", "::1"},
                           {"interfaces\\0\\mac", "00:00:5e:00:53:01"}});
        return {srv, txt};
    }
    QList<Record> addressRecords(quint32 ttl = 120) const
    {
        Record a = record(host, A, ttl);
        a.setAddress(QHostAddress(QStringLiteral("127.0.0.1")));
        if (!ipv6)
            return {a};
        Record aaaa = record(host, AAAA, ttl);
        aaaa.setAddress(QHostAddress(QStringLiteral("::1")));
        return {a, aaaa};
    }
};

const Block E2E{"ORVA-E2E._orva._tcp.local.", "orva-e2e.local."};

QList<Block> manyBlocks(int count, bool ipv6 = true)
{
    QList<Block> blocks;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        blocks.append({"ORVA-" + n + "._orva._tcp.local.", "orva-" + n + ".local.", ipv6});
    }
    return blocks;
}

// A responder for blocks that behaves as real ones do: it answers only what the asker does
// not already hold with at least half its TTL (known-answer suppression, RFC 6762 7.1), adds
// a service's SRV, TXT and addresses only to an answer that names it, and is silent until it
// has announced.
class Announcer : public QObject
{
public:
    explicit Announcer(const QList<Block> &blocks = {E2E})
        : m_blocks(blocks)
    {
        connect(&m_server, &AbstractServer::messageReceived, this, [this](const Message &message) {
            if (message.isResponse())
                return;
            for (const Query &q : message.queries())
                m_asked.append(q.name());
            if (m_active)
                answer(message);
        });
        // Probing for its host name (RFC 6762 8.1) opens the socket, so queries are heard.
        Message probe;
        probe.addQuery(Query(m_blocks.first().host, ANY));
        m_server.sendMessage(probe);
    }

    // TTL 0 says goodbye; the announcer then stays silent, as a block that went away. Each
    // service goes in a datagram of its own, with its addresses when `withAddresses`, `gapUs`
    // apart. A silent announcer announces but answers no query.
    void announce(quint32 ttl, bool withAddresses = true, unsigned long gapUs = 0)
    {
        m_active = ttl > 0 && !silent;
        for (const Block &block : qAsConst(m_blocks)) {
            Message message;
            message.setResponse(true);
            message.setRecords(QList<Record>{block.pointer(ttl)} + block.serviceRecords(ttl));
            if (withAddresses)
                message.setAdditionalRecords(block.addressRecords(ttl));
            m_server.sendMessage(message);
            if (gapUs > 0)
                QThread::usleep(gapUs);
        }
    }

    bool silent = false;

    bool wasAsked(const QByteArray &name) const
    {
        return std::any_of(m_asked.cbegin(), m_asked.cend(),
                           [&name](const QByteArray &asked) { return DnsName::equal(asked, name); });
    }

private:
    static bool known(const Message &query, const Record &answer)
    {
        const QList<Record> knownAnswers = query.records();
        return std::any_of(knownAnswers.cbegin(), knownAnswers.cend(), [&answer](const Record &k) {
            return DnsName::equal(k.name(), answer.name()) && k.type() == answer.type() && k.sameData(answer)
                && k.ttl() >= answer.ttl() / 2;
        });
    }

    void answer(const Message &query)
    {
        QList<Record> answers;
        QList<Record> additional;
        // A few answers a datagram keep each well below the size limit.
        const auto flush = [&]() {
            if (answers.isEmpty())
                return;
            Message reply;
            reply.setResponse(true);
            reply.setRecords(answers);
            reply.setAdditionalRecords(additional);
            m_server.sendMessage(reply);
            answers.clear();
            additional.clear();
        };
        const auto add = [&](const Record &r, const QList<Record> &extra) {
            if (known(query, r))
                return;
            answers.append(r);
            additional += extra;
            if (answers.size() == 8)
                flush();
        };
        for (const Query &q : query.queries()) {
            if (q.type() == PTR && DnsName::equal(q.name(), Browser::EnumerationType)) {
                Record types = record(Browser::EnumerationType, PTR);
                types.setTarget(Type);
                add(types, {});
            }
            for (const Block &block : qAsConst(m_blocks)) {
                if (q.type() == PTR && DnsName::equal(q.name(), Type))
                    add(block.pointer(120), block.serviceRecords(120) + block.addressRecords());
                else if (DnsName::equal(q.name(), block.instance))
                    for (const Record &r : block.serviceRecords(120))
                        add(r, {});
                else if (DnsName::equal(q.name(), block.host))
                    for (const Record &r : block.addressRecords())
                        add(r, {});
            }
        }
        flush();
    }

    Server m_server;
    QList<Block> m_blocks;
    QList<QByteArray> m_asked;
    bool m_active = false;
};

// An announcer on a thread of its own, so that it goes on sending while the GUI thread is busy.
class AnnouncerThread
{
public:
    explicit AnnouncerThread(const QList<Block> &blocks)
    {
        m_thread.setObjectName(QStringLiteral("Announcer"));
        m_context.moveToThread(&m_thread);
        m_thread.start();
        run([&]() { m_announcer = new Announcer(blocks); });
    }
    ~AnnouncerThread()
    {
        run([this]() { delete m_announcer; });
        m_thread.quit();
        m_thread.wait();
    }
    template <typename Function>
    void run(Function function)
    {
        QMetaObject::invokeMethod(&m_context, function, Qt::BlockingQueuedConnection);
    }
    template <typename Function>
    void post(Function function)
    {
        QMetaObject::invokeMethod(&m_context, function, Qt::QueuedConnection);
    }
    Announcer &announcer() { return *m_announcer; }
    bool wasAsked(const QByteArray &name)
    {
        bool asked = false;
        run([&]() { asked = m_announcer->wasAsked(name); });
        return asked;
    }

private:
    QThread m_thread;
    QObject m_context;
    Announcer *m_announcer = nullptr;
};

NetworkDevice rowAt(const NetworkDeviceModel &model, int row)
{
    return model.data(model.index(row, 0), NetworkDeviceModel::DeviceRole).value<NetworkDevice>();
}

} // namespace

class tst_NetworkDiscoveryMulticast : public QObject
{
    Q_OBJECT

private slots:
    void discoversBlockOverMulticast();
    void reportsBlockAnnouncedWhileBrowsing();
    void addressesOfManyBlocksFollowTheirRows();
    void datagramsThatArriveWhileTheWindowIsBusyCount_data();
    void datagramsThatArriveWhileTheWindowIsBusyCount();
    void modelGoesWhileDatagramsWait();

private:
    void runInNamespace(const QString &function);
    // False when the function ran (or was skipped) in a namespace of its own instead.
    bool insideNamespace(const QString &function);
};

bool tst_NetworkDiscoveryMulticast::insideNamespace(const QString &function)
{
    if (qEnvironmentVariable(InsideVariable) != QLatin1String("1")) {
        runInNamespace(function);
        return false;
    }
    // Never on a real link: a namespace made by the parent has nothing but loopback.
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        if (!(interface.flags() & QNetworkInterface::IsLoopBack)) {
            qFatal("Interface %s is present: not in a private namespace.", qPrintable(interface.name()));
        }
    }
    // Addresses must come from mDNS alone.
    AddressResolverWorker::setHostLookup([](const QString &, QObject *, const char *) { return -1; });
    return true;
}

void tst_NetworkDiscoveryMulticast::runInNamespace(const QString &function)
{
    if (geteuid() != 0)
        QSKIP("Multicast discovery test skipped: making a private network namespace (unshare -n) needs root.");
    if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty()) {
        QSKIP("Multicast discovery test skipped: unshare or ip is not installed.");
    }
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        QSKIP("Multicast discovery test skipped: no private network namespace can be made here (unshare -n failed).");

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(InsideVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("-n"), QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QString::fromLatin1(NamespaceScript), QCoreApplication::applicationFilePath(), function});
    QVERIFY(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        qWarning().noquote() << output;
        QFAIL("The test inside the network namespace failed.");
    }
    // A data row is asked for as "function:tag" and reported as "function(tag)".
    QString reported = function;
    if (const int colon = reported.indexOf(QLatin1Char(':')); colon >= 0)
        reported = reported.left(colon) + QLatin1Char('(') + reported.mid(colon + 1) + QLatin1Char(')');
    QVERIFY2(output.contains(QStringLiteral("PASS   : tst_NetworkDiscoveryMulticast::") + reported), qPrintable(output));
}

void tst_NetworkDiscoveryMulticast::discoversBlockOverMulticast()
{
    if (!insideNamespace(QStringLiteral("discoversBlockOverMulticast")))
        return;

    Announcer announcer;
    announcer.announce(120);
    NetworkDeviceModel model(QString::fromUtf8(Browser::EnumerationType));
    model.refresh();

    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 1, 15000);
    const auto device = [&model]() {
        return model.data(model.index(0, 0), NetworkDeviceModel::DeviceRole).value<NetworkDevice>();
    };
    QCOMPARE(device().serviceId(), QString::fromUtf8(E2E.instance));
    QCOMPARE(device().blockName(), QStringLiteral("E2E block"));
    QVERIFY(device().orvaUnit());
    QTRY_COMPARE_WITH_TIMEOUT(device().address(), QStringLiteral("127.0.0.1"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(device().addressIPv6(), QStringLiteral("::1"), 10000);

    announcer.announce(0);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 0, 5000);
}

void tst_NetworkDiscoveryMulticast::reportsBlockAnnouncedWhileBrowsing()
{
    if (!insideNamespace(QStringLiteral("reportsBlockAnnouncedWhileBrowsing")))
        return;
    Announcer announcer;
    NetworkDeviceModel model(QString::fromUtf8(Browser::EnumerationType));
    model.refresh();
    // The model browses and knows no block type yet when the block is switched on.
    QTRY_VERIFY_WITH_TIMEOUT(announcer.wasAsked(Browser::EnumerationType), 5000);
    QCOMPARE(model.rowCount(), 0);
    announcer.announce(120);

    // It learns the type from the next enumeration answer; the block's own records are then
    // only in its cache, as the responder does not repeat what the model lists as known.
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 1, 10000);
    QCOMPARE(rowAt(model, 0).serviceId(), QString::fromUtf8(E2E.instance));
    QCOMPARE(rowAt(model, 0).blockName(), QStringLiteral("E2E block"));
    QCOMPARE(rowAt(model, 0).address(), QStringLiteral("127.0.0.1"));
    QCOMPARE(rowAt(model, 0).addressIPv6(), QStringLiteral("::1"));
}

void tst_NetworkDiscoveryMulticast::addressesOfManyBlocksFollowTheirRows()
{
    if (!insideNamespace(QStringLiteral("addressesOfManyBlocksFollowTheirRows")))
        return;
    constexpr int Count = 200;
    Announcer announcer(manyBlocks(Count, false));
    NetworkDeviceModel model(QString::fromUtf8(Type));
    QHash<QString, qint64> rowTimes;
    QHash<QString, qint64> addressTimes;
    QElapsedTimer clock;
    clock.start();
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            rowTimes.insert(rowAt(model, row).serviceId(), clock.elapsed());
    });
    connect(&model, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex &topLeft) {
        const NetworkDevice device = rowAt(model, topLeft.row());
        if (!device.address().isEmpty() && !addressTimes.contains(device.serviceId()))
            addressTimes.insert(device.serviceId(), clock.elapsed());
    });
    model.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(announcer.wasAsked(Type), 5000);
    // IPv4-only hosts whose addresses are not in the announcement: each needs its resolver,
    // which must not hold its thread waiting for an IPv6 address that never comes.
    announcer.announce(120, false);

    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), Count, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(addressTimes.size(), Count, 15000);
    qint64 slowest = 0;
    for (auto it = addressTimes.cbegin(); it != addressTimes.cend(); ++it)
        slowest = qMax(slowest, it.value() - rowTimes.value(it.key()));
    QVERIFY2(slowest <= 5000, qPrintable(QStringLiteral("An address came %1 ms after its row.").arg(slowest)));
}

void tst_NetworkDiscoveryMulticast::datagramsThatArriveWhileTheWindowIsBusyCount_data()
{
    QTest::addColumn<bool>("goodbyes");
    QTest::newRow("goodbyes of every block") << true;
    QTest::newRow("announcements of every block") << false;
}

void tst_NetworkDiscoveryMulticast::datagramsThatArriveWhileTheWindowIsBusyCount()
{
    // Data rows reach the namespace by the test's name and the row's tag.
    QFETCH(bool, goodbyes);
    if (!insideNamespace(QStringLiteral("datagramsThatArriveWhileTheWindowIsBusyCount:")
                         + QString::fromLatin1(QTest::currentDataTag()))) {
        return;
    }
    // More datagrams than the kernel holds for a socket nobody reads, at a responder's pace.
    constexpr int Count = 200;
    constexpr int Rounds = 3;
    constexpr unsigned long GapUs = 350000 / (Count * Rounds);
    constexpr unsigned long BusyMs = 500;
    AnnouncerThread responder(manyBlocks(Count));
    NetworkDeviceModel model(QString::fromUtf8(Type));
    QElapsedTimer clock;
    QHash<QString, qint64> leaveTimes;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            leaveTimes.insert(rowAt(model, row).serviceId(), clock.elapsed());
    });
    responder.run([&]() { responder.announcer().silent = !goodbyes; });
    model.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(responder.wasAsked(Type), 5000);
    if (goodbyes) {
        responder.run([&]() { responder.announcer().announce(120); });
        QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), Count, 10000);
    }

    clock.start();
    responder.post([&]() {
        for (int round = 0; round < (goodbyes ? Rounds : 1); ++round)
            responder.announcer().announce(goodbyes ? 0 : 120, true, goodbyes ? GapUs : GapUs * Rounds);
    });
    QThread::msleep(BusyMs);

    if (goodbyes) {
        QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 0, 5000);
        // A goodbye leaves its record one more second (RFC 6762 10.1).
        for (auto it = leaveTimes.cbegin(); it != leaveTimes.cend(); ++it)
            QVERIFY2(it.value() >= 1000 && it.value() <= 4000,
                     qPrintable(QStringLiteral("%1 left %2 ms after the goodbyes began.").arg(it.key()).arg(it.value())));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), Count, 5000);
    }
}

void tst_NetworkDiscoveryMulticast::modelGoesWhileDatagramsWait()
{
    if (!insideNamespace(QStringLiteral("modelGoesWhileDatagramsWait")))
        return;
    AnnouncerThread responder(manyBlocks(50));
    auto model = std::make_unique<NetworkDeviceModel>(QString::fromUtf8(Type));
    model->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(responder.wasAsked(Type), 5000);
    // Read by the socket thread, their hand-over queued for this one, which is busy.
    responder.run([&]() { responder.announcer().announce(120); });
    QThread::msleep(200);
    model.reset();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_GUILESS_MAIN(tst_NetworkDiscoveryMulticast)
#include "tst_NetworkDiscoveryMulticast.moc"
