#include "observation/video/FramePool.h"

#include "core/tracker/FrameBufferAllocator.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

QThreadPool *FramePool::instance()
{
    // Waits for its last jobs when the process ends; they hold only frames and images.
    static QThreadPool pool;
    static const bool sized = [] {
#ifdef __GLIBC__
        // glibc raises its mapping threshold to the largest block freed, so that blocks of a
        // frame's or a video texture's size then come from per-thread arenas, which keep them
        // when they are freed: every tile ever shown would leave its memory with the process.
        // Fixed thresholds keep blocks of 4 MB and more mapped, and an arena keeps at most
        // 8 MB unused on top (less trimming than the default, which would cost page faults
        // for the tile images and packets of every frame).
        mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 8 * 1024 * 1024);
#endif
        pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
        // Frames still in the pool when the application object goes would be converted
        // against a torn-down Qt: they are dropped and waited for first.
        qAddPostRoutine([] {
            pool.clear();
            pool.waitForDone();
        });
        return true;
    }();
    Q_UNUSED(sized)
    return &pool;
}

void FramePool::releaseIdleMemory()
{
    static int calls = 0;
    const int call = ++calls;
    QTimer::singleShot(ReleaseDelay, QCoreApplication::instance(), [call] {
        if (call == calls)
            kvr::tracker::net::FrameBufferAllocator::instance().releaseIdle();
    });
}
