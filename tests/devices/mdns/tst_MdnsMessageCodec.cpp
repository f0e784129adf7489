#include "devices/mdns/DnsName.h"
#include "devices/mdns/MessageCodec.h"

#include <QtTest>

using namespace mdns;

namespace {

QByteArray u16(quint16 value)
{
    QByteArray out;
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
    return out;
}

QByteArray u32(quint32 value)
{
    return u16(quint16(value >> 16)) + u16(quint16(value & 0xFFFF));
}

QByteArray header(quint16 questions, quint16 answers, quint16 additional = 0, quint16 flags = 0x8400)
{
    return u16(0) + u16(flags) + u16(questions) + u16(answers) + u16(0) + u16(additional);
}

// Uncompressed wire name.
QByteArray wireName(const QList<QByteArray> &labels)
{
    QByteArray out;
    for (const QByteArray &label : labels)
        out += char(label.size()) + label;
    return out + '\0';
}

QByteArray pointer(int offset)
{
    return u16(quint16(0xC000 | offset));
}

QByteArray resourceRecord(const QByteArray &name, quint16 type, const QByteArray &data, int length = -1,
                          quint16 klass = 1)
{
    return name + u16(type) + u16(klass) + u32(120) + u16(quint16(length < 0 ? data.size() : length)) + data;
}

QByteArray question(const QByteArray &name, quint16 type)
{
    return name + u16(type) + u16(1);
}

QByteArray label63(char c)
{
    return QByteArray(63, c);
}

} // namespace

class tst_MdnsMessageCodec : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void decodesHandBuiltDatagram();
    void compressesSharedSuffixesKeepingCase();
    void skipsUnknownTypesAndClasses();
    void txtRules();
    void rejectsHostileDatagrams_data();
    void rejectsHostileDatagrams();
    void refusesToEncodeOversizedNames_data();
    void refusesToEncodeOversizedNames();
};

void tst_MdnsMessageCodec::roundTrip_data()
{
    QTest::addColumn<Message>("message");

    {
        Message m;
        m.setTransactionId(0);
        m.addQuery(Query("_orva._tcp.local.", PTR, true));
        m.addQuery(Query("host.local.", A));
        m.addQuery(Query("host.local.", AAAA));
        QTest::newRow("queries with and without the QU bit") << m;
    }
    {
        Message m;
        m.setResponse(true);
        Record ptr("_orva._tcp.local.", PTR, 4500);
        ptr.setTarget("ORVA Block 1._orva._tcp.local.");
        Record srv("ORVA Block 1._orva._tcp.local.", SRV, 120);
        srv.setFlushCache(true);
        srv.setPriority(1);
        srv.setWeight(2);
        srv.setPort(8088);
        srv.setTarget("block-1.local.");
        Record txt("ORVA Block 1._orva._tcp.local.", TXT, 4500);
        txt.setFlushCache(true);
        txt.setAttributes({{"block_name", "North gate"}, {"flag", QByteArray()}, {"empty", ""}, {"eq", "a=b"}});
        Record a("block-1.local.", A, 120);
        a.setFlushCache(true);
        a.setAddress(QHostAddress("192.0.2.10"));
        Record aaaa("block-1.local.", AAAA, 0);
        aaaa.setAddress(QHostAddress("fe80::1:2"));
        m.setRecords({ptr, srv, txt});
        m.setAuthorityRecords({a});
        m.setAdditionalRecords({a, aaaa});
        QTest::newRow("response with every type, flush bits and a goodbye") << m;
    }
    {
        Message m;
        m.setResponse(true);
        Record ptr("_http._tcp.local.", PTR, 10);
        ptr.setTarget("My\\.Printer \\\\ 2._http._tcp.local.");
        m.addRecord(ptr);
        QTest::newRow("escaped dot and backslash inside a label") << m;
    }
    {
        Message m;
        m.setResponse(true);
        m.addRecord(Record("empty._http._tcp.local.", TXT, 10));
        QTest::newRow("empty TXT record") << m;
    }
    {
        Message m;
        m.setResponse(true);
        Record ptr("_http._tcp.local.", PTR, 10);
        ptr.setTarget(QString::fromUtf8("Kamera Süd – 2._http._tcp.local.").toUtf8());
        m.addRecord(ptr);
        QTest::newRow("UTF-8 instance name") << m;
    }
    {
        Message m;
        m.setResponse(true);
        Record a("v4mapped.local.", AAAA, 10);
        a.setAddress(QHostAddress("::ffff:192.0.2.1"));
        m.addRecord(a);
        QTest::newRow("IPv4-mapped AAAA stays AAAA") << m;
    }
}

void tst_MdnsMessageCodec::roundTrip()
{
    QFETCH(Message, message);
    QByteArray datagram;
    QVERIFY(MessageCodec::encode(message, datagram));
    Message decoded;
    QVERIFY(MessageCodec::decode(datagram, decoded));
    QCOMPARE(decoded.queries(), message.queries());
    QCOMPARE(decoded.records(), message.records());
    QCOMPARE(decoded.authorityRecords(), message.authorityRecords());
    QCOMPARE(decoded.additionalRecords(), message.additionalRecords());
    QCOMPARE(decoded.flags(), message.flags());
    QVERIFY(decoded == message);
}

void tst_MdnsMessageCodec::decodesHandBuiltDatagram()
{
    // Response: PTR with compressed target, SRV whose target points into the PTR's data.
    const QByteArray type = wireName({"_orva", "_tcp", "local"});    // at offset 12
    QByteArray datagram = header(0, 3);
    datagram += type + u16(PTR) + u16(1) + u32(4500);
    const int ptrData = datagram.size() + 2;
    datagram += u16(8) + char(5) + QByteArray("ORVA1") + pointer(12);
    const int instance = ptrData;
    datagram += resourceRecord(pointer(instance), SRV,
                               u16(0) + u16(0) + u16(8088) + char(4) + QByteArray("blk1") + pointer(12 + 11),
                               -1, 0x8001);
    datagram += resourceRecord(pointer(instance), TXT, QByteArray("\x0b" "host_id=abc" "\x04" "bare" "\x00", 17));

    Message m;
    QVERIFY(MessageCodec::decode(datagram, m));
    QVERIFY(m.isResponse());
    QCOMPARE(m.records().size(), 3);
    QCOMPARE(m.records().at(0).name(), QByteArray("_orva._tcp.local."));
    QCOMPARE(m.records().at(0).target(), QByteArray("ORVA1._orva._tcp.local."));
    QCOMPARE(m.records().at(0).ttl(), 4500u);
    const Record srv = m.records().at(1);
    QCOMPARE(srv.name(), QByteArray("ORVA1._orva._tcp.local."));
    QVERIFY(srv.flushCache());
    QCOMPARE(srv.port(), quint16(8088));
    QCOMPARE(srv.target(), QByteArray("blk1.local."));
    const auto attributes = m.records().at(2).attributes();
    QCOMPARE(attributes.value("host_id"), QByteArray("abc"));
    QVERIFY(attributes.contains("bare"));
    QVERIFY(attributes.value("bare").isNull());
}

void tst_MdnsMessageCodec::compressesSharedSuffixesKeepingCase()
{
    Message m;
    m.setResponse(true);
    Record a("alpha.example.local.", A, 10);
    a.setAddress(QHostAddress("192.0.2.1"));
    Record b("beta.example.local.", A, 10);
    b.setAddress(QHostAddress("192.0.2.2"));
    Record c("gamma.EXAMPLE.local.", A, 10);
    c.setAddress(QHostAddress("192.0.2.3"));
    m.setRecords({a, b, c});
    QByteArray datagram;
    QVERIFY(MessageCodec::encode(m, datagram));
    // "example.local." is written once in full; "beta" refers back to it, "gamma" to "local.".
    QCOMPARE(datagram.count("example"), 1);
    QCOMPARE(datagram.count("EXAMPLE"), 1);
    QCOMPARE(datagram.count("local"), 1);
    Message decoded;
    QVERIFY(MessageCodec::decode(datagram, decoded));
    QCOMPARE(decoded.records().at(2).name(), QByteArray("gamma.EXAMPLE.local."));
}

void tst_MdnsMessageCodec::skipsUnknownTypesAndClasses()
{
    const QByteArray host = wireName({"host", "local"});
    QByteArray datagram = header(0, 3);
    datagram += resourceRecord(host, 47, QByteArray("\xC0\x0C\x00\x04\x40\x00\x00\x08", 8));   // NSEC
    datagram += resourceRecord(host, A, u32(0xC0000201), -1, 3);                                // CHAOS class
    datagram += resourceRecord(host, A, u32(0xC0000202));
    Message m;
    QVERIFY(MessageCodec::decode(datagram, m));
    QCOMPARE(m.records().size(), 1);
    QCOMPARE(m.records().first().address(), QHostAddress("192.0.2.2"));
}

void tst_MdnsMessageCodec::txtRules()
{
    // A string without key is ignored, a repeated key keeps its first value.
    const QByteArray data = QByteArray("\x06=value\x03k=1\x03k=2\x00\x02x=", 20);
    QByteArray datagram = header(0, 1) + resourceRecord(wireName({"s", "local"}), TXT, data);
    Message m;
    QVERIFY(MessageCodec::decode(datagram, m));
    const auto attributes = m.records().first().attributes();
    QCOMPARE(attributes.keys(), QList<QByteArray>({"k", "x"}));
    QCOMPARE(attributes.value("k"), QByteArray("1"));
    QVERIFY(!attributes.value("x").isNull());
    QVERIFY(attributes.value("x").isEmpty());
}

void tst_MdnsMessageCodec::rejectsHostileDatagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");

    const QByteArray host = wireName({"host", "local"});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header cut short") << header(0, 0).left(11);
    QTest::newRow("question count past the end") << header(2, 0) + question(host, A);
    QTest::newRow("answer count past the end") << header(0, 3) + resourceRecord(host, A, u32(1));
    QTest::newRow("pointer to itself") << header(1, 0) + pointer(12) + u16(1) + u16(1);
    QTest::newRow("two pointers pointing at each other")
        << header(1, 0) + pointer(14) + pointer(12) + u16(1) + u16(1);
    QTest::newRow("pointer back to the start of its own name")
        << header(1, 0) + QByteArray("\x01" "a", 2) + pointer(12) + u16(1) + u16(1);
    QTest::newRow("pointer forward")
        << header(1, 0) + pointer(18) + u16(1) + u16(1) + host;
    QTest::newRow("pointer past the end") << header(1, 0) + pointer(0x3FFF) + u16(1) + u16(1);
    QTest::newRow("pointer cut in half") << header(1, 0) + QByteArray("\xC0", 1);
    QTest::newRow("truncated name") << header(1, 0) + QByteArray("\x05" "ho", 3);
    QTest::newRow("name without its final zero") << header(1, 0) + QByteArray("\x04" "host", 5);
    QTest::newRow("label over 63") << header(1, 0) + char(64) + QByteArray(64, 'a') + '\0' + u16(1) + u16(1);
    QTest::newRow("extended label type") << header(1, 0) + QByteArray("\x80" "a\x00", 3) + u16(1) + u16(1);
    const QByteArray longName = wireName({label63('a'), label63('b'), label63('c'), label63('d'), "e"});
    QTest::newRow("name over 255") << header(1, 0) + question(longName, A);
    const QByteArray first = wireName({label63('a'), label63('b'), label63('c')});   // 193 bytes at offset 12
    QTest::newRow("name over 255 through a pointer")
        << header(2, 0) + question(first, A) + char(63) + label63('x') + pointer(12) + u16(1) + u16(1);
    QTest::newRow("record length past the end") << header(0, 1) + resourceRecord(host, A, u32(1), 100);
    QTest::newRow("A record of 5 bytes") << header(0, 1) + resourceRecord(host, A, u32(1) + 'x');
    QTest::newRow("AAAA record of 4 bytes") << header(0, 1) + resourceRecord(host, AAAA, u32(1));
    QTest::newRow("TXT string longer than its record")
        << header(0, 2) + resourceRecord(host, TXT, QByteArray("\x0a" "ab", 3))
               + resourceRecord(host, A, u32(1));
    QTest::newRow("SRV target running past its record")
        << header(0, 2) + resourceRecord(host, SRV, u16(0) + u16(0) + u16(80) + host, 6 + 3)
               + resourceRecord(host, A, u32(1));
    QTest::newRow("SRV shorter than its fixed part") << header(0, 1) + resourceRecord(host, SRV, u16(0) + u16(0));
    QTest::newRow("PTR with bytes after its target")
        << header(0, 1) + resourceRecord(host, PTR, host + "zz");
    QTest::newRow("PTR target pointing into its own record")
        << header(0, 1) + resourceRecord(host, PTR, pointer(12 + host.size() + 10));
}

void tst_MdnsMessageCodec::rejectsHostileDatagrams()
{
    QFETCH(QByteArray, datagram);
    Message message;
    message.setTransactionId(77);
    QVERIFY(!MessageCodec::decode(datagram, message));
    QCOMPARE(message.transactionId(), quint16(77));
    QVERIFY(message.records().isEmpty());
    // Every prefix is hostile too, and none may read past its end.
    for (int size = 0; size < datagram.size(); ++size) {
        Message prefix;
        const QByteArray copy(datagram.constData(), size);
        MessageCodec::decode(copy, prefix);
    }
}

void tst_MdnsMessageCodec::refusesToEncodeOversizedNames_data()
{
    QTest::addColumn<Message>("message");
    {
        Message m;
        m.addQuery(Query(QByteArray(64, 'a') + ".local.", A));
        QTest::newRow("label over 63") << m;
    }
    {
        Message m;
        m.addQuery(Query(label63('a') + '.' + label63('b') + '.' + label63('c') + '.' + label63('d') + ".", A));
        QTest::newRow("name over 255") << m;
    }
    {
        Message m;
        m.addQuery(Query("a..local.", A));
        QTest::newRow("empty label") << m;
    }
    {
        Message m;
        m.addRecord(Record("s.local.", TXT, 1));
        Record txt("s.local.", TXT, 1);
        txt.setAttributes({{"k", QByteArray(300, 'v')}});
        m.setRecords({txt});
        QTest::newRow("TXT string over 255") << m;
    }
    {
        Message m;
        Record a("h.local.", A, 1);
        a.setAddress(QHostAddress("fe80::1"));
        m.addRecord(a);
        QTest::newRow("A record holding an IPv6 address") << m;
    }
}

void tst_MdnsMessageCodec::refusesToEncodeOversizedNames()
{
    QFETCH(Message, message);
    QByteArray datagram("untouched");
    QVERIFY(!MessageCodec::encode(message, datagram));
    QCOMPARE(datagram, QByteArray("untouched"));
}

QTEST_GUILESS_MAIN(tst_MdnsMessageCodec)
#include "tst_MdnsMessageCodec.moc"
