#pragma once

class QThreadPool;

// The threads that decode and convert the frames of every camera of the process: one bounded
// pool, as many threads as cores at most, each ended after half a minute without work. A
// camera holds no thread of its own, and at most one of its frames is in the pool at a time.
class FramePool
{
public:
    static constexpr int ReleaseDelay = 1000; // ms

    static QThreadPool *instance();
    // Hands the frame memory no stream uses any more back to the system, once no call came
    // for ReleaseDelay (streams stop in bursts while tiles scroll). GUI thread.
    static void releaseIdleMemory();
};
