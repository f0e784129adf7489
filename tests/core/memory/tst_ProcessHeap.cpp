#include "core/memory/ProcessHeap.h"

#include <QtTest>

#include <cstdlib>

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

// Volatile, so that the compiler keeps each allocation the test measures.
void *volatile held = nullptr;

} // namespace

// glibc's thresholds as the launcher fixes them at start-up.
class tst_ProcessHeap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void largeBlocksStayMapped_data();
    void largeBlocksStayMapped();
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

QTEST_APPLESS_MAIN(tst_ProcessHeap)
#include "tst_ProcessHeap.moc"
