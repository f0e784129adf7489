#pragma once

namespace kvr {

// The process's heap as a launcher that shows live video needs it. A process-wide setting:
// made once, at the start of main (the launcher's and the benchmarks' that measure memory),
// before other threads allocate.
class ProcessHeap
{
public:
    static constexpr int MappedFrom = 4 * 1024 * 1024; // bytes
    static constexpr int KeptUnused = 8 * 1024 * 1024; // bytes an arena keeps on top

    // glibc raises its mapping threshold to the largest block freed, so that blocks of a
    // frame's or a video texture's size then come from per-thread arenas, which keep them when
    // they are freed: every tile ever shown would leave its memory with the process. Fixed
    // thresholds keep blocks of MappedFrom and more mapped, and an arena keeps at most
    // KeptUnused on top (less trimming than the default, which would cost page faults for the
    // tile images and packets of every frame). Does nothing on other C libraries.
    static void fixThresholds();
};

} // namespace kvr
