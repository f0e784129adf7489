// Discovery over real multicast, kept off every real network: the test runs itself again
// inside a private network namespace (unshare -n) that holds only a loopback interface.

#include "devices/discovery/AddressResolverWorker.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/mdns/Browser.h"
#include "devices/mdns/DnsName.h"
#include "devices/mdns/MessageCodec.h"
#include "devices/mdns/MulticastTransport.h"
#include "devices/mdns/Server.h"

#include <QNetworkInterface>
#include <QProcess>
#include <QThread>
#include <QStandardPaths>
#include <QUdpSocket>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mdns;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVA_SANITIZED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORVA_SANITIZED
#endif
#endif

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
            m_server.sendMessage(announcement(block, ttl, withAddresses));
            if (gapUs > 0)
                QThread::usleep(gapUs);
        }
    }
    // One block's announcement alone; the announcer stays as it was.
    void announceOne(int block, quint32 ttl) { m_server.sendMessage(announcement(m_blocks.at(block), ttl)); }

    static Message announcement(const Block &block, quint32 ttl, bool withAddresses = true)
    {
        Message message;
        message.setResponse(true);
        message.setRecords(QList<Record>{block.pointer(ttl)} + block.serviceRecords(ttl));
        if (withAddresses)
            message.setAdditionalRecords(block.addressRecords(ttl));
        return message;
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

bool isListed(const NetworkDeviceModel &model, const Block &block)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (rowAt(model, row).serviceId() == QString::fromUtf8(block.instance))
            return true;
    }
    return false;
}

// Datagrams of one size to port 5353 on loopback, from a thread of its own, until the socket
// thread has read `count` of them; never far ahead of that thread, so that the kernel drops next
// to none. After every burst it notes the most that waited for the GUI thread.
class Flood
{
public:
    Flood(const MulticastTransport &transport, int size, quint64 count)
        : m_thread(QThread::create([this, &transport, size, count]() { run(transport, size, count); }))
    {
        m_thread->start();
    }
    ~Flood() { m_thread->wait(); }

    bool isFinished() const { return m_thread->isFinished(); }
    void wait() { m_thread->wait(); }
    qint64 mostWaiting() const { return m_mostWaiting; }
    quint64 read() const { return m_read; }

private:
    void run(const MulticastTransport &transport, int size, quint64 count)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(5353);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const QByteArray payload(size, '\0');
        const quint64 first = transport.backlog().read;
        quint64 sent = 0;
        QElapsedTimer clock;
        clock.start();
        QElapsedTimer stalled;
        stalled.start();
        while (m_read < count && !clock.hasExpired(30000)) {
            const MulticastSocketWorker::Backlog backlog = transport.backlog();
            m_mostWaiting = std::max(m_mostWaiting.load(), backlog.datagrams);
            if (backlog.read - first > m_read)
                stalled.restart();
            m_read = backlog.read - first;
            // What the kernel dropped after all is not waited for.
            if (sent > m_read + 256 && !stalled.hasExpired(20)) {
                QThread::usleep(50);
                continue;
            }
            sent = m_read;
            for (int i = 0; i < 64; ++i) {
                if (::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<const sockaddr *>(&to),
                             sizeof to) == payload.size()) {
                    ++sent;
                }
            }
        }
        ::close(fd);
    }

    std::unique_ptr<QThread> m_thread;
    std::atomic<qint64> m_mostWaiting{0};
    std::atomic<quint64> m_read{0};
};

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
    void floodWaitsWithinItsBound_data();
    void floodWaitsWithinItsBound();
    void batchKeepsItsOrder_data();
    void batchKeepsItsOrder();
    void interfaceThatComesUpLaterIsJoined();
    void socketThreadThatCannotStartFailsTheOpen();

private:
    void runInNamespace(const QString &function);
    // False when the function ran (or was skipped) in a namespace of its own instead.
    bool insideNamespace(const QString &function);
    // The same for the current data row, which reaches the namespace by the test's name and tag.
    bool insideNamespaceRow();
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

bool tst_NetworkDiscoveryMulticast::insideNamespaceRow()
{
    return insideNamespace(QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char(':')
                           + QString::fromLatin1(QTest::currentDataTag()));
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
    QFETCH(bool, goodbyes);
    if (!insideNamespaceRow())
        return;
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
    auto *transport = new MulticastTransport;
    auto model = std::make_unique<NetworkDeviceModel>(QString::fromUtf8(Type), transport);
    model->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(responder.wasAsked(Type), 5000);
    // Read by the socket thread, their hand-over queued for this one, which is busy.
    responder.run([&]() { responder.announcer().announce(120); });
    QThread::msleep(200);
    QVERIFY(transport->backlog().datagrams > 0);
    QCOMPARE(model->rowCount(), 0);
    model.reset();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_NetworkDiscoveryMulticast::floodWaitsWithinItsBound_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("windowBusy");
    QTest::newRow("empty datagrams, window busy") << 0 << true;
    QTest::newRow("bare DNS headers, window busy") << 12 << true;
    QTest::newRow("more than the bound in all, taken in between") << 9000 << false;
}

void tst_NetworkDiscoveryMulticast::floodWaitsWithinItsBound()
{
    QFETCH(int, size);
    QFETCH(bool, windowBusy);
    if (!insideNamespaceRow())
        return;
    const qint64 cost = size + MulticastSocketWorker::DatagramOverheadBytes;
    const qint64 fitting = MulticastSocketWorker::MaxWaitingCost / cost;
    auto *transport = new MulticastTransport;
    NetworkDeviceModel model(QString::fromUtf8(Type), transport);
    model.refresh();
    QTRY_VERIFY(transport->isOpen());

    {
        Flood flood(*transport, size, quint64(3 * fitting));
        if (windowBusy)
            flood.wait();
        else
            QTRY_VERIFY_WITH_TIMEOUT(flood.isFinished(), 40000);
        QVERIFY2(flood.read() >= quint64(3 * fitting),
                 qPrintable(QStringLiteral("%1 of %2 datagrams read").arg(flood.read()).arg(3 * fitting)));
        // Besides the flood, a few of the model's own queries may wait, looped back.
        constexpr qint64 OwnQueries = 8;
        const qint64 mostAllowed = size < MulticastSocketWorker::MinDatagramBytes ? OwnQueries : fitting + OwnQueries;
        QVERIFY2(flood.mostWaiting() <= mostAllowed,
                 qPrintable(QStringLiteral("%1 datagrams waited, %2 allowed").arg(flood.mostWaiting()).arg(mostAllowed)));
        if (windowBusy && size >= MulticastSocketWorker::MinDatagramBytes)
            QVERIFY(flood.mostWaiting() >= fitting * 9 / 10);
    }

    QTRY_COMPARE_WITH_TIMEOUT(transport->backlog().datagrams, qint64(0), 10000);
    Announcer announcer;
    announcer.announce(120);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 1, 1000);
    announcer.announce(0);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 0, 3000);
}

void tst_NetworkDiscoveryMulticast::batchKeepsItsOrder_data()
{
    QTest::addColumn<bool>("listedBefore");
    QTest::addColumn<quint32>("firstTtl");
    QTest::addColumn<quint32>("secondTtl");
    QTest::addColumn<bool>("listedAfter");
    QTest::newRow("announcement, then its goodbye") << false << 120u << 0u << false;
    QTest::newRow("goodbye, then the block back") << true << 0u << 120u << true;
}

void tst_NetworkDiscoveryMulticast::batchKeepsItsOrder()
{
    QFETCH(bool, listedBefore);
    QFETCH(quint32, firstTtl);
    QFETCH(quint32, secondTtl);
    QFETCH(bool, listedAfter);
    if (!insideNamespaceRow())
        return;
    // The second block's goodbye, sent after the batch was taken, goes a second later: by then
    // a goodbye in the batch has taken its row too.
    const Block clock = manyBlocks(1).first();
    Announcer announcer({E2E, clock});
    auto *transport = new MulticastTransport;
    NetworkDeviceModel model(QString::fromUtf8(Type), transport);
    model.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(announcer.wasAsked(Type), 5000);
    announcer.announceOne(1, 120);
    if (listedBefore)
        announcer.announceOne(0, 120);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), listedBefore ? 2 : 1, 5000);

    // This thread takes nothing until both wait.
    announcer.announceOne(0, firstTtl);
    announcer.announceOne(0, secondTtl);
    QElapsedTimer waited;
    waited.start();
    while (transport->backlog().datagrams < 2 && !waited.hasExpired(5000))
        QThread::msleep(1);
    QThread::msleep(50);
    QVERIFY(transport->backlog().datagrams >= 2);
    QTRY_COMPARE_WITH_TIMEOUT(transport->backlog().datagrams, qint64(0), 5000);

    announcer.announceOne(1, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!isListed(model, clock), 5000);
    QCOMPARE(isListed(model, E2E), listedAfter);
}

void tst_NetworkDiscoveryMulticast::interfaceThatComesUpLaterIsJoined()
{
    if (!insideNamespace(QStringLiteral("interfaceThatComesUpLaterIsJoined")))
        return;
    MulticastSocketWorker::setRejoinInterval(100);
    auto *transport = new MulticastTransport;
    NetworkDeviceModel model(QString::fromUtf8(Type), transport);
    model.refresh();
    QTRY_VERIFY(transport->isOpen());

    // A cable plugged in after the start: a link with an address of its own.
    for (const char *command : {"ip link add orva0 type veth peer name orva1", "ip addr add 192.0.2.1/24 dev orva0",
                                "ip link set orva1 up", "ip link set orva0 multicast on up"}) {
        QCOMPARE(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromLatin1(command)}), 0);
    }
    const QNetworkInterface link = QNetworkInterface::interfaceFromName(QStringLiteral("orva0"));
    QVERIFY(link.isValid());

    // A responder on that link alone. Its socket joins no group, so what it sends comes back to
    // this host only if the model's socket joined the group on the link.
    QUdpSocket responder;
    QVERIFY(responder.bind(QHostAddress::AnyIPv4, 5353, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    responder.setMulticastInterface(link);
    responder.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    QByteArray datagram;
    QVERIFY(MessageCodec::encode(Announcer::announcement(E2E, 120, false), datagram));
    QTimer again;
    connect(&again, &QTimer::timeout, this, [&]() {
        responder.writeDatagram(datagram, QHostAddress(QStringLiteral("224.0.0.251")), 5353);
    });
    again.start(100);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 1, 5000);
}

void tst_NetworkDiscoveryMulticast::socketThreadThatCannotStartFailsTheOpen()
{
#ifdef ORVA_SANITIZED
    // QSKIP's variadic form would warn under clang.
    QTest::qSkip("The sanitizers reserve more address space than any limit leaves.", __FILE__, __LINE__);
    return;
#endif
    if (!insideNamespace(QStringLiteral("socketThreadThatCannotStartFailsTheOpen")))
        return;
    MulticastTransport transport;
    // No room left for a thread's stack: the address space is capped just above what is mapped.
    QFile statm(QStringLiteral("/proc/self/statm"));
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const rlim_t mapped = rlim_t(statm.readAll().split(' ').first().toLongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = mapped + 1024 * 1024;
    QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
    const bool opened = transport.open();
    setrlimit(RLIMIT_AS, &saved);
    QVERIFY(!opened);
    QVERIFY(transport.open());
}

QTEST_GUILESS_MAIN(tst_NetworkDiscoveryMulticast)
#include "tst_NetworkDiscoveryMulticast.moc"
