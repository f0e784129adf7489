// Discovery over real multicast, kept off every real network: the test runs itself again
// inside a private network namespace (unshare -n) that holds only a loopback interface.

#include "devices/discovery/AddressResolverWorker.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/mdns/Browser.h"
#include "devices/mdns/Server.h"

#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

using namespace mdns;

namespace {

const char *const InsideVariable = "ORVA_MDNS_NETNS";
const QByteArray Type = "_orva._tcp.local.";
const QByteArray Instance = "ORVA-E2E._orva._tcp.local.";
const QByteArray Host = "orva-e2e.local.";

// Loopback up with multicast and a route for 224.0.0.0/4, then the test binary again.
const char *const NamespaceScript = "ip link set lo up && ip link set lo multicast on "
                                    "&& ip route add 224.0.0.0/4 dev lo && exec \"$0\" \"$@\"";

Record record(const QByteArray &name, quint16 type, quint32 ttl = 120)
{
    Record r(name, type, ttl);
    r.setFlushCache(type != PTR);
    return r;
}

QList<Record> serviceRecords(quint32 ttl)
{
    Record ptr = record(Type, PTR, ttl);
    ptr.setTarget(Instance);
    Record srv = record(Instance, SRV, ttl);
    srv.setTarget(Host);
    srv.setPort(8088);
    Record txt = record(Instance, TXT, ttl);
    txt.setAttributes({{"block_name", "E2E block"}, {"orva_version", "1.19.0"}});
    return {ptr, srv, txt};
}

QList<Record> addressRecords()
{
    Record a = record(Host, A);
    a.setAddress(QHostAddress(QStringLiteral("127.0.0.1")));
    Record aaaa = record(Host, AAAA);
    aaaa.setAddress(QHostAddress(QStringLiteral("::1")));
    return {a, aaaa};
}

// A minimal responder for one block.
class Announcer : public QObject
{
public:
    Announcer()
    {
        connect(&m_server, &AbstractServer::messageReceived, this, [this](const Message &message) {
            if (m_active && !message.isResponse())
                answer(message);
        });
    }

    // TTL 0 says goodbye; the announcer then stays silent, as a block that went away.
    void announce(quint32 ttl)
    {
        m_active = ttl > 0;
        Message message;
        message.setResponse(true);
        message.setRecords(serviceRecords(ttl));
        if (ttl > 0)
            message.setAdditionalRecords(addressRecords());
        m_server.sendMessage(message);
    }

private:
    void answer(const Message &query)
    {
        Message reply;
        reply.setResponse(true);
        for (const Query &q : query.queries()) {
            if (q.type() == PTR && q.name() == Browser::EnumerationType) {
                Record types = record(Browser::EnumerationType, PTR);
                types.setTarget(Type);
                reply.addRecord(types);
            } else if ((q.type() == PTR && q.name() == Type) || q.name() == Instance) {
                reply.setRecords(reply.records() + serviceRecords(120));
            } else if (q.name() == Host) {
                reply.setRecords(reply.records() + addressRecords());
            }
        }
        if (!reply.records().isEmpty())
            m_server.sendMessage(reply);
    }

    Server m_server;
    bool m_active = false;
};

} // namespace

class tst_NetworkDiscoveryMulticast : public QObject
{
    Q_OBJECT

private slots:
    void discoversBlockOverMulticast();

private:
    void runInNamespace(const QString &function);
};

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
    QVERIFY2(output.contains(QStringLiteral("PASS   : tst_NetworkDiscoveryMulticast::") + function),
             qPrintable(output));
}

void tst_NetworkDiscoveryMulticast::discoversBlockOverMulticast()
{
    if (qEnvironmentVariable(InsideVariable) != QLatin1String("1")) {
        runInNamespace(QStringLiteral("discoversBlockOverMulticast"));
        return;
    }
    // Never on a real link: a namespace made by the parent has nothing but loopback.
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        if (!(interface.flags() & QNetworkInterface::IsLoopBack))
            QFAIL(qPrintable(QStringLiteral("Interface %1 is present: not in a private namespace.").arg(interface.name())));
    }
    // Addresses must come from mDNS alone.
    AddressResolverWorker::setHostLookup([](const QString &, QObject *, const char *) { return -1; });

    Announcer announcer;
    announcer.announce(120);
    NetworkDeviceModel model(QString::fromUtf8(Browser::EnumerationType));
    model.refresh();

    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 1, 15000);
    const auto device = [&model]() {
        return model.data(model.index(0, 0), NetworkDeviceModel::DeviceRole).value<NetworkDevice>();
    };
    QCOMPARE(device().serviceId(), QString::fromUtf8(Instance));
    QCOMPARE(device().blockName(), QStringLiteral("E2E block"));
    QVERIFY(device().orvaUnit());
    QTRY_COMPARE_WITH_TIMEOUT(device().address(), QStringLiteral("127.0.0.1"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(device().addressIPv6(), QStringLiteral("::1"), 10000);

    announcer.announce(0);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 0, 5000);
}

QTEST_GUILESS_MAIN(tst_NetworkDiscoveryMulticast)
#include "tst_NetworkDiscoveryMulticast.moc"
