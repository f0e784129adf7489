#pragma once

class QThreadPool;

// The threads that decode and convert the frames of every camera of the process: one bounded
// pool, as many threads as cores at most, each ended after half a minute without work. A
// camera holds no thread of its own, and at most one of its frames is in the pool at a time.
class FramePool
{
public:
    static QThreadPool *instance();
};
