#include "devices/mdns/Cache.h"
#include "devices/mdns/MdnsFakes.h"

#include <QtTest>

using namespace mdns;
using namespace mdnstest;

namespace {

// The cache's time, moved by the test: what happens "after a second" is proved without
// waiting one.
struct ManualClock
{
    explicit ManualClock(Cache &cache)
        : m_cache(cache)
    {
        m_cache.setClock([this] { return m_ms; });
    }
    void advance(qint64 ms)
    {
        m_ms += ms;
        m_cache.processDue();
    }

private:
    Cache &m_cache;
    qint64 m_ms = 0;
};

} // namespace

class tst_MdnsCache : public QObject
{
    Q_OBJECT

private slots:
    void lookupGivesTheNewestOfNameAndType();
    void recordExpiresAfterItsTtl();
    void refreshedRecordLivesOn();
    void goodbyeLeavesOneSecond();
    void goodbyeForUnknownRecordIsIgnored();
    void cacheFlushRetiresOlderMembersOfTheSet();
    void cacheFlushKeepsMembersOfTheSameAnnouncement();
    void asksForRequeryBeforeExpiry();
    void knownAnswersNeedHalfTheirTtl();
    void stopsGrowingAtItsLimit();
};

void tst_MdnsCache::lookupGivesTheNewestOfNameAndType()
{
    Cache cache;
    cache.addRecord(addressRecord("Host.local.", "192.0.2.1"));
    cache.addRecord(addressRecord("host.local.", "192.0.2.2"));
    cache.addRecord(addressRecord("host.local.", "fe80::2"));
    cache.addRecord(addressRecord("host.local.", "192.0.2.1"));   // heard again: newest now
    Record record;
    QVERIFY(cache.lookupRecord("HOST.local.", A, record));
    QCOMPARE(record.address(), QHostAddress("192.0.2.1"));
    QList<Record> records;
    QVERIFY(cache.lookupRecords("host.local.", ANY, records));
    QCOMPARE(records.size(), 3);
    QVERIFY(!cache.lookupRecord("other.local.", A, record));
    QVERIFY(!cache.lookupRecord("host.local.", SRV, record));
    QCOMPARE(cache.count(), 3);
}

void tst_MdnsCache::recordExpiresAfterItsTtl()
{
    Cache cache;
    QSignalSpy expired(&cache, &Cache::recordExpired);
    QElapsedTimer clock;
    clock.start();
    cache.addRecord(addressRecord("host.local.", "192.0.2.1", 1));
    QVERIFY(expired.wait(3000));
    QVERIFY(clock.elapsed() >= 950);
    QCOMPARE(expired.count(), 1);
    QCOMPARE(expired.at(0).at(0).value<Record>().address(), QHostAddress("192.0.2.1"));
    Record record;
    QVERIFY(!cache.lookupRecord("host.local.", A, record));
}

void tst_MdnsCache::refreshedRecordLivesOn()
{
    Cache cache;
    ManualClock clock(cache);
    QSignalSpy expired(&cache, &Cache::recordExpired);
    cache.addRecord(addressRecord("host.local.", "192.0.2.1", 1));
    clock.advance(600);
    cache.addRecord(addressRecord("host.local.", "192.0.2.1", 1));
    clock.advance(999);
    QCOMPARE(expired.count(), 0);
    clock.advance(1);
    QCOMPARE(expired.count(), 1);
}

void tst_MdnsCache::goodbyeLeavesOneSecond()
{
    Cache cache;
    QSignalSpy expired(&cache, &Cache::recordExpired);
    QSignalSpy queried(&cache, &Cache::shouldQuery);
    cache.addRecord(ptrRecord("_orva._tcp.local.", "a._orva._tcp.local.", 4500));
    QElapsedTimer clock;
    clock.start();
    cache.addRecord(ptrRecord("_orva._tcp.local.", "A._orva._tcp.local.", 0));
    Record record;
    QVERIFY(cache.lookupRecord("_orva._tcp.local.", PTR, record));
    QVERIFY(expired.wait(3000));
    QVERIFY(clock.elapsed() >= 950);
    QCOMPARE(queried.count(), 0);
    QVERIFY(!cache.lookupRecord("_orva._tcp.local.", PTR, record));
}

void tst_MdnsCache::goodbyeForUnknownRecordIsIgnored()
{
    Cache cache;
    cache.addRecord(ptrRecord("_orva._tcp.local.", "b._orva._tcp.local.", 0));
    QCOMPARE(cache.count(), 0);
}

void tst_MdnsCache::cacheFlushRetiresOlderMembersOfTheSet()
{
    Cache cache;
    ManualClock clock(cache);
    QSignalSpy expired(&cache, &Cache::recordExpired);
    cache.addRecord(srvRecord("a._orva._tcp.local.", "old.local.", 80, 120));
    cache.addRecord(addressRecord("old.local.", "192.0.2.1"));
    clock.advance(1001);
    cache.addRecord(srvRecord("a._orva._tcp.local.", "new.local.", 81, 120));
    clock.advance(999);
    QCOMPARE(expired.count(), 0);
    clock.advance(1);
    QCOMPARE(expired.count(), 1);
    QCOMPARE(expired.at(0).at(0).value<Record>().target(), QByteArray("old.local."));
    Record record;
    QVERIFY(cache.lookupRecord("a._orva._tcp.local.", SRV, record));
    QCOMPARE(record.port(), quint16(81));
    QVERIFY(cache.lookupRecord("old.local.", A, record));
}

void tst_MdnsCache::cacheFlushKeepsMembersOfTheSameAnnouncement()
{
    Cache cache;
    ManualClock clock(cache);
    QSignalSpy expired(&cache, &Cache::recordExpired);
    cache.addRecord(addressRecord("host.local.", "192.0.2.1", 120));
    clock.advance(500);
    cache.addRecord(addressRecord("host.local.", "192.0.2.2", 120));
    clock.advance(1000);
    QCOMPARE(expired.count(), 0);
    QList<Record> records;
    QVERIFY(cache.lookupRecords("host.local.", A, records));
    QCOMPARE(records.size(), 2);
}

void tst_MdnsCache::asksForRequeryBeforeExpiry()
{
    Cache cache;
    QSignalSpy queried(&cache, &Cache::shouldQuery);
    QSignalSpy expired(&cache, &Cache::recordExpired);
    QElapsedTimer clock;
    clock.start();
    cache.addRecord(ptrRecord("_orva._tcp.local.", "a._orva._tcp.local.", 2));
    QVERIFY(queried.wait(3000));
    QVERIFY2(clock.elapsed() >= 1550, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(expired.wait(3000));
    QCOMPARE(queried.count(), 4);
    QCOMPARE(queried.at(3).at(0).value<Record>().target(), QByteArray("a._orva._tcp.local."));
}

void tst_MdnsCache::knownAnswersNeedHalfTheirTtl()
{
    Cache cache;
    ManualClock clock(cache);
    cache.addRecord(ptrRecord("_orva._tcp.local.", "short._orva._tcp.local.", 2));
    cache.addRecord(ptrRecord("_orva._tcp.local.", "long._orva._tcp.local.", 100));
    clock.advance(1000);
    QCOMPARE(cache.knownAnswers("_orva._tcp.local.", PTR).size(), 2);   // half the TTL left
    clock.advance(1);
    const QList<Record> known = cache.knownAnswers("_orva._tcp.local.", PTR);
    QCOMPARE(known.size(), 1);
    QCOMPARE(known.first().target(), QByteArray("long._orva._tcp.local."));
    QVERIFY(known.first().ttl() <= 99);
}

void tst_MdnsCache::stopsGrowingAtItsLimit()
{
    Cache cache;
    for (int i = 0; i <= Cache::MaxEntries; ++i)
        cache.addRecord(ptrRecord("_flood._tcp.local.", "s" + QByteArray::number(i) + "._flood._tcp.local."));
    QCOMPARE(cache.count(), Cache::MaxEntries);
    // Known records are still refreshed.
    cache.addRecord(ptrRecord("_flood._tcp.local.", "s0._flood._tcp.local.", 0));
    QCOMPARE(cache.count(), Cache::MaxEntries);
}

QTEST_GUILESS_MAIN(tst_MdnsCache)
#include "tst_MdnsCache.moc"
