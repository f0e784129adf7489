#pragma once

namespace kvr {

// The process's heap as a launcher that shows live video needs it. A process-wide setting:
// made once, at the start of main (the launcher's and the benchmarks' that measure memory),
// before other threads allocate.
class ProcessHeap
{
public:
    static constexpr int MappedFrom = 4 * 1024 * 1024; // bytes
    static constexpr int KeptUnused = 1024 * 1024; // bytes an arena keeps on top

    // glibc raises its mapping threshold to the largest block freed, so that blocks of a
    // frame's or a video texture's size then come from per-thread arenas, which keep them when
    // they are freed: every tile ever shown would leave its memory with the process. Fixed
    // thresholds keep blocks of MappedFrom and more mapped, and an arena keeps at most
    // KeptUnused on top. A thread's arena shrinks only when memory is freed into it
    // (malloc_trim leaves the top of thread arenas alone), so the arena of a node link whose
    // streams stopped keeps its top for good: at 8 MB each link that ever streamed kept about
    // 3 MB of packets. The price: a streaming link's packets are paged in anew, a few page
    // faults per frame. Does nothing on other C libraries.
    static void fixThresholds();
    // Hands the free pages amid the arenas back to the system (malloc_trim): what was freed in
    // blocks below MappedFrom and lies under live ones, which free alone never returns. Takes
    // each arena's lock in turn, about a millisecond with the observer page's threads: for
    // moments right after memory was let go of in bulk. Does nothing on other C libraries.
    static void releaseFreePages();
};

} // namespace kvr
