#include "core/memory/ProcessHeap.h"

#include <QtTest>

#include <array>
#include <cstdlib>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using kvr::ProcessHeap;

namespace {

// The sanitizers bring an allocator of their own, which glibc's settings do not reach.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool OwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool OwnAllocator = true;
#else
constexpr bool OwnAllocator = false;
#endif
#else
constexpr bool OwnAllocator = false;
#endif

constexpr int MaxBlocks = 4;

// Volatile, so that the compiler keeps each allocation the test measures.
void *volatile held = nullptr;

} // namespace

// glibc's thresholds as the launcher fixes them at start-up: what is mapped, and what an arena
// keeps for the next frame.
class tst_ProcessHeap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void largeBlocksStayMapped_data();
    void largeBlocksStayMapped();
    void arenaKeepsAtMostKeptUnused_data();
    void arenaKeepsAtMostKeptUnused();
};

void tst_ProcessHeap::initTestCase()
{
#ifndef __GLIBC__
    QSKIP("The thresholds are glibc's.");
#endif
    if (OwnAllocator)
        QSKIP("A sanitizer's allocator replaces glibc's.");
    ProcessHeap::fixThresholds();
}

void tst_ProcessHeap::largeBlocksStayMapped_data()
{
    QTest::addColumn<size_t>("freedBefore");
    QTest::addColumn<size_t>("size");
    QTest::addColumn<bool>("mapped");

    // glibc's own rule would raise the threshold to the larger block and serve this one from
    // an arena, which keeps it after it is freed.
    QTest::newRow("a block of the threshold after a larger one went")
        << size_t(4 * ProcessHeap::MappedFrom) << size_t(ProcessHeap::MappedFrom) << true;
    QTest::newRow("a block below the threshold") << size_t(0) << size_t(ProcessHeap::MappedFrom - 64 * 1024) << false;
}

void tst_ProcessHeap::largeBlocksStayMapped()
{
#ifdef __GLIBC__
    QFETCH(size_t, freedBefore);
    QFETCH(size_t, size);
    QFETCH(bool, mapped);

    if (freedBefore > 0) {
        held = std::malloc(freedBefore);
        std::free(held);
    }
    const size_t mappedBefore = mallinfo2().hblkhd;
    held = std::malloc(size);
    const bool isMapped = mallinfo2().hblkhd >= mappedBefore + size;
    std::free(held);
    QCOMPARE(isMapped, mapped);
#endif
}

void tst_ProcessHeap::arenaKeepsAtMostKeptUnused_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<bool>("kept");

    // Blocks of half KeptUnused, freed together on top of the arena.
    QTest::newRow("less than KeptUnused stays for the next frame") << 1 << true;
    QTest::newRow("more than KeptUnused goes back to the system") << MaxBlocks << false;
}

void tst_ProcessHeap::arenaKeepsAtMostKeptUnused()
{
#ifdef __GLIBC__
    QFETCH(int, blocks);
    QFETCH(bool, kept);

    static_assert(ProcessHeap::KeptUnused / 2 < ProcessHeap::MappedFrom, "the blocks must come from the arena");
    const size_t block = ProcessHeap::KeptUnused / 2;
    size_t withBlocks = 0;
    size_t afterFree = 0;
    // A thread of its own, as each node's link has, whose arena holds nothing else: the blocks
    // lie on top of each other and, freed, on top of the arena.
    std::thread([&] {
        std::array<void *, MaxBlocks> taken{};
        for (int i = 0; i < blocks; ++i) {
            taken[size_t(i)] = std::malloc(block);
            held = taken[size_t(i)];
        }
        withBlocks = mallinfo2().arena;
        for (int i = blocks - 1; i >= 0; --i)
            std::free(taken[size_t(i)]);
        afterFree = mallinfo2().arena;
    }).join();
    if (kept)
        QCOMPARE(afterFree, withBlocks);
    else
        QVERIFY2(withBlocks - afterFree >= blocks * block - ProcessHeap::KeptUnused,
                 qPrintable(QStringLiteral("%1 of %2 bytes given back").arg(withBlocks - afterFree).arg(blocks * block)));
#endif
}

QTEST_APPLESS_MAIN(tst_ProcessHeap)
#include "tst_ProcessHeap.moc"
